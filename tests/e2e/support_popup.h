// Helpers shared by the popup and Ctrl+V tests: seeding Pikora.ini, finding
// Pikora's popup list from the outside, reading the popup's lines, and where
// the popup should appear.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/clipboard.h"
#include "support/common.h"
#include "support/data_file.h"
#include "support/ini_file.h"
#include "support/input.h"
#include "support/notepad.h"
#include "support/pikora_process.h"
#include "support/process_windows.h"

namespace e2e {

// A popup that opens at the caret is kept on screen as a box of this size,
// whatever size the popup itself has.
constexpr int kClampWidth = 155;
constexpr int kClampHeight = 225;

// --- Pikora.ini -------------------------------------------------------------

// [Setting] with `values`; keys a test does not set start history mode off,
// open no popup on a copy and play no sound.
inline std::string SettingIni(std::map<std::string, std::string> values) {
    values.emplace("StopRun", "1");
    values.emplace("CopyPopup", "0");
    values.emplace("RirekiWave", "0");
    std::string ini = "[Setting]\r\n";
    for (const auto& [key, value] : values) {
        ini += key + "=" + value + "\r\n";
    }
    return ini;
}

// --- Pikora's windows -------------------------------------------------------

inline HWND PopupListOf(HWND popup) {
    return GetDlgItem(popup, kPopupListId);
}

// The visible popup list of the process: a dialog whose control 1000 is a
// list box (a message box is a "#32770" as well, without that control).
inline HWND FindPopup(DWORD pid) {
    for (HWND hwnd : TopLevelWindowsOf(pid)) {
        if (IsWindowVisible(hwnd) && ClassNameOf(hwnd) == "#32770") {
            HWND list = PopupListOf(hwnd);
            if (list != nullptr && ClassNameOf(list) == "ListBox") {
                return hwnd;
            }
        }
    }
    return nullptr;
}

inline HWND WaitForPopup(DWORD pid, DWORD timeoutMs = 3000) {
    HWND popup = nullptr;
    WaitUntil([&] { return (popup = FindPopup(pid)) != nullptr; }, timeoutMs);
    return popup;
}

// A popup shows, and gets the activation back from a window of Pikora's that
// closed, before its thread has moved the keyboard focus into its list; a key
// pressed before then goes to the window that had it. Waits for that focus.
inline void WaitPopupFocused(HWND popup, DWORD timeoutMs = 3000) {
    const DWORD thread = GetWindowThreadProcessId(popup, nullptr);
    const bool focused = WaitUntil(
        [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return GetForegroundWindow() == popup && GetGUIThreadInfo(thread, &info) &&
                   info.hwndFocus == PopupListOf(popup);
        },
        timeoutMs);
    if (!focused) {
        ADD_FAILURE() << "the popup did not take the keyboard focus";
    }
}

inline HWND WaitForFocusedPopup(DWORD pid, DWORD timeoutMs = 3000) {
    HWND popup = WaitForPopup(pid, timeoutMs);
    if (popup != nullptr) {
        WaitPopupFocused(popup, timeoutMs);
    }
    return popup;
}

inline bool WaitPopupGone(DWORD pid, DWORD timeoutMs = 3000) {
    return WaitUntil([&] { return FindPopup(pid) == nullptr; }, timeoutMs);
}

// The lines of the popup's list as CP932. Read through the wide messages:
// Wine hands another process only the first character of an ANSI
// LB_GETTEXT from this list.
inline std::vector<std::string> PopupLines(HWND popup) {
    std::vector<std::string> lines;
    HWND list = PopupListOf(popup);
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length <= 0) {
            // No title is empty: say what the list answered, for the failure.
            lines.push_back("(LB_GETTEXTLEN " + std::to_string(length) + ", error " +
                            std::to_string(GetLastError()) +
                            (IsWindow(list) ? ")" : ", the list is gone)"));
            continue;
        }
        std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
        const LRESULT got = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                                         reinterpret_cast<LPARAM>(wide.data()));
        wide.resize(got > 0 ? static_cast<size_t>(got) : 0);
        lines.push_back(Cp932(wide));
    }
    return lines;
}

inline int PopupSelection(HWND popup) {
    return static_cast<int>(SendMessageW(PopupListOf(popup), LB_GETCURSEL, 0, 0));
}

inline std::string DescribeLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        out += "'" + Utf8(line) + "' ";
    }
    return out.empty() ? "(no lines)" : out;
}

inline std::vector<std::string> TitlesOf(const std::vector<DatEntry>& entries) {
    std::vector<std::string> titles;
    for (const DatEntry& e : entries) {
        titles.push_back(e.title);
    }
    return titles;
}

// Screen point of a line's middle, a little right of the kind icon.
inline POINT PopupLinePoint(HWND popup, int index) {
    HWND list = PopupListOf(popup);
    const auto height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    const auto top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    POINT p{40, (index - top) * height + height / 2};
    ClientToScreen(list, &p);
    return p;
}

// --- Where the popup belongs --------------------------------------------

// The caret of `edit` (owned by another thread) in the edit window's client
// coordinates; nothing when that thread shows no caret in it.
inline std::optional<POINT> CaretClientPoint(HWND edit) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(edit, nullptr), &info) ||
        info.hwndCaret != edit) {
        return std::nullopt;
    }
    return POINT{info.rcCaret.left, info.rcCaret.top};
}

// The caret's client point is measured from the edit window's outer corner,
// moved by the default offsets (-20, 20), and the result kept on the
// 1024 x 768 screen as a box of the default popup size; at another DPI the
// offsets and the box are scaled from 96 DPI.
inline POINT ExpectedPopupOrigin(HWND edit, POINT caretClient, int dpi = 96) {
    RECT outer{};
    GetWindowRect(edit, &outer);
    POINT p{caretClient.x + outer.left, caretClient.y + outer.top};
    p.x = p.x < 0 ? 0 : p.x;
    p.y = p.y < 0 ? 0 : p.y;
    p.x += MulDiv(-20, dpi, 96);
    p.y += MulDiv(20, dpi, 96);
    const int right = GetSystemMetrics(SM_CXSCREEN);
    const int bottom = GetSystemMetrics(SM_CYSCREEN);
    const int clampHeight = MulDiv(kClampHeight, dpi, 96);
    const int clampWidth = MulDiv(kClampWidth, dpi, 96);
    if (p.y + clampHeight > bottom) {
        p.y = bottom - clampHeight;
    }
    if (p.x + clampWidth > right) {
        p.x = right - clampWidth;
    }
    p.y = p.y < 0 ? 0 : p.y;
    p.x = p.x < 0 ? 0 : p.x;
    return p;
}

inline SIZE WindowSize(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// --- Clipboard ---------------------------------------------------------------

// Counts the changes of the clipboard's content from its creation on
// (WM_CLIPBOARDUPDATE, one per closed write), without ever opening the
// clipboard: an open by the test could make one of Pikora's single-attempt
// writes fail. The sequence number is no substitute: Wine advances it for
// every format of one write.
class ClipboardWatch {
  public:
    ClipboardWatch() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &ClipboardWatch::Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kClassName;
        RegisterClassA(&wc);  // fails harmlessly when a previous watch registered it
        m_hwnd = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 wc.hInstance, nullptr);
        if (m_hwnd != nullptr) {
            SetWindowLongPtrA(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&m_changes));
            m_ok = AddClipboardFormatListener(m_hwnd) != FALSE;
        }
    }
    ~ClipboardWatch() {
        if (m_hwnd != nullptr) {
            RemoveClipboardFormatListener(m_hwnd);
            DestroyWindow(m_hwnd);
        }
    }
    ClipboardWatch(const ClipboardWatch&) = delete;
    ClipboardWatch& operator=(const ClipboardWatch&) = delete;

    bool Ok() const { return m_ok; }

    int Changes() {
        MSG msg;
        while (PeekMessageA(&msg, m_hwnd, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&msg);
        }
        return m_changes;
    }

    bool WaitChanges(int count, DWORD timeoutMs = 3000) {
        return WaitUntil([&] { return Changes() >= count; }, timeoutMs);
    }

  private:
    static constexpr char kClassName[] = "PikoraE2EClipboardWatch";

    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_CLIPBOARDUPDATE) {
            if (auto* changes = reinterpret_cast<int*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA))) {
                ++*changes;
            }
            return 0;
        }
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }

    HWND m_hwnd = nullptr;
    bool m_ok = false;
    int m_changes = 0;
};

// The clipboard's text once it equals `expected`, or the last text seen
// when `timeoutMs` has passed ("(no text)" for none). Under Wine a thread
// without a window can open the clipboard while another such thread holds it,
// so one read may land between a writer's EmptyClipboard and its
// SetClipboardData; a later look sees the finished write. Call it only after
// the write has been announced (ClipboardWatch), never while one is due.
inline std::string WaitClipboardText(const std::string& expected, DWORD timeoutMs = 1000) {
    std::string seen;
    WaitUntil(
        [&] {
            seen = GetClipboardText().value_or("(no text)");
            return seen == expected;
        },
        timeoutMs, 50);
    return seen;
}

// --- Fixture ----------------------------------------------------------------

// Pikora with a seeded list, and Wine's notepad in front of it as the
// application the user types in.
class PikoraWithNotepad : public PikoraTest {
  protected:
    // Starts Pikora with `ini` and `entries` as Pikora.dat, then notepad,
    // brings notepad to the front and types `typed`, so that the caret is not
    // at the corner of the edit window. Use with ASSERT_NO_FATAL_FAILURE.
    void StartWithNotepad(const std::string& ini, const std::vector<DatEntry>& entries,
                          const std::string& typed = "ab") {
        PikoraSeed seed;
        seed.ini = ini;
        seed.dat = EncodeDat(entries);
        seed.subfolder = subfolder_;
        ASSERT_NO_FATAL_FAILURE(StartPikora(seed));
        notepad_ = std::make_unique<Notepad>();
        ASSERT_TRUE(notepad_->Started()) << notepad_->Error();
        // Away from the screen's edges, so that no clamp hides where the popup
        // was put.
        MoveNotepad(POINT{200, 120});
        ASSERT_TRUE(notepad_->Focus()) << "notepad did not come to the front";
        TypeText(typed);
        ASSERT_TRUE(notepad_->WaitForText(typed))
            << "typing into notepad gave '" << Utf8(notepad_->Text()) << "'";
    }

    // Moves notepad's window so that its top-left corner is at `at`.
    void MoveNotepad(POINT at) {
        SetWindowPos(notepad_->Frame(), nullptr, at.x, at.y, 600, 400,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // Alt+X as the user presses it, into notepad's edit or the window given;
    // the popup that opens, ready for keys, or nullptr.
    HWND OpenPopupWithAltX(HWND typedInto = nullptr) {
        if (typedInto == nullptr && notepad_) {
            typedInto = notepad_->Edit();
        }
        if (typedInto != nullptr) {
            PressChordInto(typedInto, {VK_MENU}, 'X', 30,
                           [&] { return FindPopup(pikora_.Pid()) != nullptr; });
        } else {
            PressChord({VK_MENU}, 'X');
        }
        return WaitForFocusedPopup(pikora_.Pid());
    }

    // Ends Pikora through its menu and decodes the list it saved.
    std::optional<std::vector<DatEntry>> DatAfterExit() {
        if (!pikora_.Exit()) {
            ADD_FAILURE() << "Pikora did not end; its windows:\n"
                          << DescribeWindowsOf(pikora_.Pid());
            return std::nullopt;
        }
        const auto bytes = pikora_.ReadDat();
        return bytes ? CompleteDatEntries(*bytes) : std::nullopt;
    }

    // A failing test may leave the popup or its question open: close them
    // first, so that the exit through the menu is not stuck behind them.
    void TearDown() override {
        if (pikora_.Running()) {
            if (HWND box = FindMessageBoxOf(pikora_.Pid())) {
                PostMessageA(box, WM_COMMAND, IDNO, 0);
            }
            if (HWND popup = FindPopup(pikora_.Pid())) {
                PostMessageA(popup, WM_COMMAND, IDCANCEL, 0);
                WaitPopupGone(pikora_.Pid(), 2000);
            }
        }
        PikoraTest::TearDown();
        notepad_.reset();
    }

    std::unique_ptr<Notepad> notepad_;
    std::string subfolder_;  // of the test's folder, for Pikora.exe
};

}  // namespace e2e
