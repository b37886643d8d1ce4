// The tray menu as the user sees it, and the history-mode switch in it.
#include <gtest/gtest.h>

#include <memory>

#include "support/common.h"
#include "support/hotkey.h"
#include "support/input.h"
#include "support/menu.h"
#include "support/thread_spy.h"
#include "support/pikora_process.h"
#include "support/process_windows.h"
#include "support/tray.h"

namespace {

using namespace e2e;

std::string Shown(const std::string& cp932) {
    return Utf8(cp932) + " [" + Hex(cp932) + "]";
}

// The label of item 32774 as UTF-8 with its CP932 bytes, so that a
// comparison checks every byte and still reads well when it fails.
std::string HistoryLabel(const Menu& menu) {
    const MenuItem* item = FindCommand(menu, kIdHistoryMode);
    return item != nullptr ? Shown(item->text) : std::string("(no item 32774)");
}

class PikoraTrayMenu : public PikoraTest {
  protected:
    void StartWithSpy() {
        ASSERT_NO_FATAL_FAILURE(StartPikora());
        spy_ = std::make_unique<ThreadSpy>(pikora_.Pid(), pikora_.ThreadId());
        ASSERT_TRUE(spy_->Ok()) << spy_->Error();
    }

    std::unique_ptr<ThreadSpy> spy_;
};

TEST_F(PikoraTrayMenu, RightClickOnTheIconOpensTheTenItemsWithTheLowerLeftCornerAtThePointer) {
    ASSERT_NO_FATAL_FAILURE(StartWithSpy());
    ASSERT_TRUE(WaitUntil([] { return TrayIconCount() == 1; }, 2000))
        << "tray icons: " << TrayIconCount();

    // A real right-click on the icon, through Wine's tray window.
    const auto menu =
        spy_->CaptureMenu([] { Click(CenterOf(TrayIcons().front()), MouseButton::Right); });
    ASSERT_TRUE(menu.has_value()) << "no WM_INITMENUPOPUP within 3 s; Pikora's windows:\n"
                                  << DescribeWindowsOf(pikora_.Pid());
    EXPECT_EQ(menu->size(), 10u);
    // History mode starts off (StopRun=1 by default), so the item offers "ON".
    EXPECT_EQ(Describe(*menu), Describe(ExpectedTrayMenu(kHistoryOnLabel)));
    ASSERT_TRUE(CloseMenuWithEscape(*spy_)) << "the menu did not close on Escape";
    EXPECT_TRUE(WaitUntil([&] { return FindVisibleMenuWindow(pikora_.Pid()) == nullptr; }, 2000));

    // The icon sits in a corner where the screen edge would push the menu
    // around; the placement is checked with the pointer in the open.
    const POINT mouse{600, 500};
    MoveMouse(mouse);
    ASSERT_EQ(CursorPos().x, mouse.x);
    ASSERT_TRUE(OpenTrayMenu(*spy_, pikora_.Frame()).has_value());
    HWND menuWindow = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] { return (menuWindow = FindVisibleMenuWindow(pikora_.Pid())) != nullptr; }, 2000));
    RECT r{};
    GetWindowRect(menuWindow, &r);
    EXPECT_NEAR(r.left, mouse.x, 2);
    EXPECT_NEAR(r.bottom, mouse.y, 2);
    EXPECT_TRUE(CloseMenuWithEscape(*spy_));
}

TEST_F(PikoraTrayMenu, SwitchingHistoryModeTwiceFlipsTheLabelAndCtrlVBothWays) {
    ASSERT_NO_FATAL_FAILURE(StartWithSpy());
    auto menu = OpenTrayMenu(*spy_, pikora_.Frame());
    ASSERT_TRUE(menu.has_value());
    EXPECT_EQ(HistoryLabel(*menu), Shown(kHistoryOnLabel));
    EXPECT_FALSE(HotkeyTaken(MOD_CONTROL, 'V')) << "Ctrl+V is intercepted with history mode off";

    // First switch: chosen in the menu by its mnemonic, as a user would.
    PressKey('R');
    ASSERT_TRUE(spy_->WaitMenuLoop(false)) << "the menu did not close after choosing the item";
    menu = OpenTrayMenu(*spy_, pikora_.Frame());
    ASSERT_TRUE(menu.has_value());
    EXPECT_EQ(HistoryLabel(*menu), Shown(kHistoryOffLabel));
    // The label changed in the same handler that registers Ctrl+V, so it is
    // registered by now.
    EXPECT_TRUE(HotkeyTaken(MOD_CONTROL, 'V')) << "Ctrl+V is not intercepted in history mode";
    ASSERT_TRUE(CloseMenuWithEscape(*spy_));

    // Second switch: the command as the history hotkey's path sends it.
    ASSERT_TRUE(pikora_.PostCommand(kIdHistoryMode));
    menu = OpenTrayMenu(*spy_, pikora_.Frame());
    ASSERT_TRUE(menu.has_value());
    EXPECT_EQ(HistoryLabel(*menu), Shown(kHistoryOnLabel));
    EXPECT_FALSE(HotkeyTaken(MOD_CONTROL, 'V')) << "Ctrl+V is still intercepted";
    // Only the label changes; the rest of the menu stays as it was.
    EXPECT_EQ(Describe(*menu), Describe(ExpectedTrayMenu(kHistoryOnLabel)));
    EXPECT_TRUE(CloseMenuWithEscape(*spy_));
}

}  // namespace
