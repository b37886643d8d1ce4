// The framework's message filter and command routing, in a real message loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "ui/app.h"
#include "ui/dialog.h"
#include "ui/window.h"

namespace {

constexpr UINT kPollTimer = 605;
constexpr WPARAM kHotkeyId = 7;
constexpr UINT kProbe = WM_APP + 1;

// Counts what reaches the application's filter and runs the test's scenario
// as its start-up.
class TestApp : public ui::App {
  public:
    std::function<void()> scenario;
    std::function<void()> onBothSeen;
    int hotkeys = 0;
    int pollTicks = 0;
    int probes = 0;
    int appCommands = 0;
    UINT lastAppCommand = 0;

    bool InitInstance() override {
        scenario();
        return false;  // no main loop: the scenario ran its own loops
    }
    bool PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_HOTKEY && msg->hwnd == nullptr && msg->wParam == kHotkeyId) {
            ++hotkeys;
        } else if (msg->message == WM_TIMER && msg->wParam == kPollTimer) {
            ++pollTicks;
        } else if (msg->message == kProbe) {
            ++probes;
        }
        if (hotkeys > 0 && pollTicks > 0 && onBothSeen) {
            auto done = std::move(onBothSeen);
            onBothSeen = nullptr;
            done();
        }
        return ui::App::PreTranslateMessage(msg);
    }
    bool OnCommand(UINT id) override {
        ++appCommands;
        lastAppCommand = id;
        return true;
    }
};

class TestFrame : public ui::Window {
  public:
    UINT handled = 0;
    bool Create() {
        RegisterWindowClass(L"ui_test_frame", 0, nullptr, nullptr, nullptr);
        return CreateEx(0, L"ui_test_frame", "frame", WS_OVERLAPPEDWINDOW, -500, -500, 100, 100,
                        nullptr, nullptr);
    }

  protected:
    bool OnCommand(UINT id, UINT, HWND) override {
        if (id == 40001) {
            handled = id;
            return true;
        }
        return false;
    }
};

class TestDialog : public ui::Dialog {
  public:
    std::function<void(TestDialog&)> onInit;
    UINT handled = 0;
    explicit TestDialog(ui::Window* parent) : ui::Dialog(100, parent) {}

  protected:
    bool OnInitDialog() override {
        ui::Dialog::OnInitDialog();
        if (onInit) {
            onInit(*this);
        }
        return true;
    }
    bool OnCommand(UINT id, UINT, HWND) override {
        if (id == 40003) {
            handled = id;
            EndDialog(IDOK);
            return true;
        }
        return false;
    }
};

void PostThreadHotkey() {
    ::PostThreadMessageA(::GetCurrentThreadId(), WM_HOTKEY, kHotkeyId, MAKELPARAM(MOD_ALT, 'X'));
}

BOOL CALLBACK FindDialogProc(HWND hwnd, LPARAM lp) {
    char cls[32] = {};
    ::GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0 && ::IsWindowVisible(hwnd)) {
        *reinterpret_cast<HWND*>(lp) = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindThreadDialog() {
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindDialogProc, reinterpret_cast<LPARAM>(&found));
    return found;
}

int RunApp(TestApp& app) {
    return app.Run(::GetModuleHandleA(nullptr));
}

}  // namespace

TEST(MessageFilter, SeesThreadHotkeyAndPollTimerInsideOwnModalLoopOnce) {
    TestApp app;
    TestFrame frame;
    INT_PTR result = 0;
    app.scenario = [&] {
        ASSERT_TRUE(frame.Create());
        ::SetTimer(frame.Handle(), kPollTimer, 30, nullptr);
        TestDialog dialog(&frame);
        dialog.onInit = [&](TestDialog& d) {
            PostThreadHotkey();
            // A message for the dialog itself goes through IsDialogMessage,
            // which calls the hook again: it must still be filtered once.
            ::PostMessageA(d.Handle(), kProbe, 0, 0);
        };
        app.onBothSeen = [&] { dialog.EndDialog(IDOK); };
        result = dialog.DoModal();
        ::KillTimer(frame.Handle(), kPollTimer);
    };
    RunApp(app);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(app.hotkeys, 1);
    EXPECT_GE(app.pollTicks, 1);
    EXPECT_EQ(app.probes, 1);
}

TEST(MessageFilter, SeesThreadHotkeyAndPollTimerInsideMessageBox) {
    TestApp app;
    TestFrame frame;
    int result = 0;
    app.scenario = [&] {
        ASSERT_TRUE(frame.Create());
        ::SetTimer(frame.Handle(), kPollTimer, 30, nullptr);
        PostThreadHotkey();
        app.onBothSeen = [&] {
            if (HWND box = FindThreadDialog()) {
                ::PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
        };
        result = ::MessageBoxA(nullptr, "filter test", "ui", MB_OK);
        ::KillTimer(frame.Handle(), kPollTimer);
    };
    RunApp(app);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(app.hotkeys, 1);
    EXPECT_GE(app.pollTicks, 1);
}

TEST(MessageFilter, SeesThreadHotkeyAndPollTimerInsideTrackedMenu) {
    TestApp app;
    TestFrame frame;
    BOOL chosen = TRUE;
    app.scenario = [&] {
        ASSERT_TRUE(frame.Create());
        ui::UniqueMenu menu(::CreatePopupMenu());
        ::AppendMenuA(menu.Get(), MF_STRING, 100, "item");
        ::SetTimer(frame.Handle(), kPollTimer, 30, nullptr);
        PostThreadHotkey();
        app.onBothSeen = [] { ::EndMenu(); };
        ::SetForegroundWindow(frame.Handle());
        chosen = ::TrackPopupMenu(menu.Get(), TPM_RETURNCMD, 200, 200, 0, frame.Handle(), nullptr);
        ::KillTimer(frame.Handle(), kPollTimer);
    };
    RunApp(app);
    EXPECT_EQ(chosen, 0);  // ended without a choice
    EXPECT_EQ(app.hotkeys, 1);
    EXPECT_GE(app.pollTicks, 1);
}

TEST(CommandRouting, DialogThenFrameThenApplication) {
    TestApp app;
    TestFrame frame;
    UINT dialogHandled = 0;
    app.scenario = [&] {
        ASSERT_TRUE(frame.Create());
        TestDialog dialog(&frame);
        dialog.onInit = [](TestDialog& d) {
            ::PostMessageA(d.Handle(), WM_COMMAND, 40001, 0);  // the frame's
            ::PostMessageA(d.Handle(), WM_COMMAND, 40002, 0);  // nobody's but the app's
            ::PostMessageA(d.Handle(), WM_COMMAND, 40003, 0);  // the dialog's; ends it
        };
        dialog.DoModal();
        dialogHandled = dialog.handled;
    };
    RunApp(app);
    EXPECT_EQ(dialogHandled, 40003u);
    EXPECT_EQ(frame.handled, 40001u);
    EXPECT_EQ(app.appCommands, 1);
    EXPECT_EQ(app.lastAppCommand, 40002u);
}

TEST(ModalLoop, QuitInsideIsPostedAgainAndOwnerIsEnabledAfterwards) {
    TestApp app;
    TestFrame frame;
    bool ownerEnabledAfter = false;
    bool quitSeenAfter = false;
    app.scenario = [&] {
        ASSERT_TRUE(frame.Create());
        TestDialog dialog(&frame);
        dialog.onInit = [](TestDialog&) { ::PostQuitMessage(3); };
        dialog.DoModal();
        ownerEnabledAfter = ::IsWindowEnabled(frame.Handle()) != FALSE;
        MSG msg;
        quitSeenAfter =
            ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && msg.wParam == 3;
    };
    RunApp(app);
    EXPECT_TRUE(ownerEnabledAfter);
    EXPECT_TRUE(quitSeenAfter);
}
