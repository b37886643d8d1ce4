// The popup run: caret location, the popup list, and the paste into the
// application the user was typing in.
#include "app/clipboard.h"
#include "app/clipboard_snapshot.h"
#include "app/popup_app.h"
#include "frame/main_frame.h"
#include "macro/launcher_win32.h"
#include "popup/dpi_scale.h"
#include "popup/popup_list_dlg.h"
#include "popup/popup_run_rules.h"
#include "res/resource.h"
#include "settings/app_settings.h"
#include "ui/app.h"
#include "ui/dpi.h"

namespace {

pikora::ScreenRect MonitorRectAt(POINT p) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    HMONITOR monitor = ::MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST);
    if (monitor && ::GetMonitorInfoW(monitor, &info)) {
        return {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right,
                info.rcMonitor.bottom};
    }
    RECT desktop;
    ::GetWindowRect(::GetDesktopWindow(), &desktop);
    return {desktop.left, desktop.top, desktop.right, desktop.bottom};
}

// How long a paste waits for the application to take the focus back.
constexpr DWORD kTargetFocusWaitMs = 3000;

void KeyEvent(BYTE vk, DWORD flags) {
    ::keybd_event(vk, 0, flags, 0);
}

}  // namespace

void CPopupApp::LocateCaret(POINT& p) {
    m_hwndTargetFocus = nullptr;
    POINT caret{0, 0};
    RECT focusRect{0, 0, 0, 0};
    const pikora::ScreenPoint desktop{::GetSystemMetrics(SM_XVIRTUALSCREEN),
                                      ::GetSystemMetrics(SM_YVIRTUALSCREEN)};

    const DWORD current = ::GetCurrentThreadId();
    HWND foreground = ::GetForegroundWindow();
    const DWORD target = foreground ? ::GetWindowThreadProcessId(foreground, nullptr) : 0;
    // GetCaretPos is no proof of a caret: Wine answers (0, 0) for a thread
    // that has none. The thread's GUI state names the caret's window.
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    const bool ownsCaret = target != 0 && ::GetGUIThreadInfo(target, &gui) && gui.hwndCaret;
    if (current == 0 || target == 0 || !::AttachThreadInput(current, target, TRUE)) {
        const pikora::ScreenPoint point = pikora::CaretScreenPoint({0, 0}, {}, desktop);
        p = POINT{point.x, point.y};
        m_ptCaret = p;
        return;
    }
    const bool caretRead = ownsCaret && ::GetCaretPos(&caret);
    if (!caretRead) {
        ::OutputDebugStringW(L"失敗");
    }
    m_hwndTargetFocus = ::GetFocus();
    if (m_hwndTargetFocus) {
        ::GetWindowRect(m_hwndTargetFocus, &focusRect);
    }
    ::AttachThreadInput(current, target, FALSE);

    const pikora::ScreenRect focusWindow{focusRect.left, focusRect.top, focusRect.right,
                                         focusRect.bottom};
    CCaretFinder::Target found;
    found.foreground = foreground;
    found.focus = m_hwndTargetFocus;
    found.focusCorner = pikora::CaretScreenPoint({0, 0}, focusWindow, desktop);
    if (caretRead) {
        found.systemCaret = pikora::CaretScreenPoint({caret.x, caret.y}, focusWindow, desktop);
    } else if (ownsCaret) {
        POINT screenCaret{gui.rcCaret.left, gui.rcCaret.top};
        ::ClientToScreen(gui.hwndCaret, &screenCaret);
        found.systemCaret = pikora::CaretScreenPoint({screenCaret.x, screenCaret.y}, {}, desktop);
    }
    const pikora::ScreenPoint point =
        pikora::CaretScreenPoint(m_caretFinder.Find(found).point, {}, desktop);
    p = POINT{point.x, point.y};
    m_ptCaret = p;
}

void CPopupApp::PopupPosFromCursor() {
    ::GetCursorPos(&m_ptPopup);
    const pikora::PopupSize size =
        pikora::UsablePopupSize(m_settings.DialogSizeX, m_settings.DialogSizeY);
    const int dpi = ui::DpiAtPoint(m_ptPopup);
    m_ptPopup.x -= pikora::ScaleForDpi(size.width, dpi);
    m_ptPopup.y -= pikora::ScaleForDpi(size.height, dpi);
}

void CPopupApp::ActivateTarget() {
    // SetForegroundWindow on a child (an editor's edit control) does not bring
    // its window to the front everywhere; activating the top-level window
    // gives the focus back to the child that had it.
    HWND root = ::GetAncestor(m_hwndTargetFocus, GA_ROOT);
    ::SetForegroundWindow(root ? root : m_hwndTargetFocus);
}

void CPopupApp::KeepTargetInFront() {
    HWND root = m_hwndTargetFocus ? ::GetAncestor(m_hwndTargetFocus, GA_ROOT) : nullptr;
    if (root == nullptr) {
        return;
    }
    // The keystrokes go to the window that has the focus when they are sent
    // (so Wine does it; Windows when the target reads them). Being in front
    // is not yet having it: the target's thread takes the focus when it
    // handles its activation, which a busy application does late. And a
    // focus loss that the window system reports late can still move the
    // activation after the target got it: Wine makes the desktop the
    // foreground then, in our thread (peeking takes that in) or in the
    // target's. A message sent to the target returns only after its thread
    // has handled what came before it, so what is seen after it holds. A
    // hung application gets the keys after the wait all the same.
    const DWORD thread = ::GetWindowThreadProcessId(root, nullptr);
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
        const DWORD waited = ::GetTickCount() - start;
        DWORD_PTR ignored = 0;
        if (waited >= kTargetFocusWaitMs ||
            !::SendMessageTimeoutW(root, WM_NULL, 0, 0, SMTO_NORMAL, kTargetFocusWaitMs - waited,
                                   &ignored)) {
            return;
        }
        GUITHREADINFO gui{};
        gui.cbSize = sizeof gui;
        if (::GetForegroundWindow() == root &&
            (!::GetGUIThreadInfo(thread, &gui) || (gui.hwndActive == root && gui.hwndFocus))) {
            return;
        }
        ActivateTarget();
        ::Sleep(20);
    }
}

std::string CPopupApp::ExpandMacros(const pikora::TextItem& entry) {
    ShellLauncher launcher;
    return pikora::ExpandEntryForPaste(entry, CurrentLocalTime(), launcher);
}

void CPopupApp::RunPopup(int mode) {
    if (m_bPopupActive) {
        return;
    }
    m_bPopupActive = true;

    int index = 0;
    const pikora::PopupSize usable =
        pikora::UsablePopupSize(m_settings.DialogSizeX, m_settings.DialogSizeY);
    int size[2] = {usable.width, usable.height};
    CPopupListDlg dialog(MainFrame(), &index, static_cast<BYTE>(mode), size);

    const bool locate = m_ptPopup.x == 0 && m_ptPopup.y == 0;
    if (locate) {
        LocateCaret(m_ptPopup);
    }
    const int dpi = ui::DpiAtPoint(m_ptPopup);
    const pikora::ScreenPoint placed =
        pikora::PlacePopup({m_ptPopup.x, m_ptPopup.y}, locate, m_settings.CaretPosX,
                           m_settings.CaretPosY, MonitorRectAt(m_ptPopup), dpi);
    m_ptPopup = POINT{placed.x, placed.y};
    dialog.SetDpi(dpi);

    ::SetForegroundWindow(MainFrame()->Handle());
    ::UnregisterHotKey(nullptr, HOTKEY_HISTORY_TOGGLE);
    const bool historyWasOn = m_bHistoryMode;
    m_bHistoryMode = false;
    m_ptMouseRestore = POINT{0, 0};

    INT_PTR result;
    do {
        result = dialog.DoModal();
    } while (result == POPUP_REOPEN);

    m_settings.DialogSizeX = size[0];
    m_settings.DialogSizeY = size[1];
    WriteProfileInt(pikora::kSettingSection, "DialogSizeX", m_settings.DialogSizeX);
    WriteProfileInt(pikora::kSettingSection, "DialogSizeY", m_settings.DialogSizeY);
    WriteProfileInt(pikora::kSettingSection, "SelectID", m_settings.SelectID);
    // A paste saves the list itself once the text is in, as it stands before
    // the paste changes it.
    const bool paste = result == IDOK && index >= 0 && index < m_items.GetCount();
    if (!paste) {
        SaveDataFile();
    }

    if (m_hwndTargetFocus && result != POPUP_DISMISSED) {
        ActivateTarget();
    }
    if (paste) {
        PasteEntry(index);
    }
    if (result == POPUP_DISMISSED) {
        ::SetFocus(m_hwndTargetFocus);
    }
    if (historyWasOn) {
        m_bHistoryMode = true;
    }
    // The settings dialog (a tray click can run a popup while it is open)
    // holds the hotkey back so that its control can take the keys; it
    // registers it itself when it closes.
    if (m_pSettingsDlg == nullptr) {
        RegisterHistoryHotkey();
    }
    m_bPopupActive = false;
}

void CPopupApp::PasteEntry(int index) {
    // Another program may hold the clipboard open for a while. The paste
    // waits for it up to 3 s; after that it is called off with a word to the
    // user, rather than type whatever the clipboard holds or lose the user's
    // content, and the list stays as it was. A copy still waiting to be read
    // is read first, within the same wait: it would be lost under the entry.
    const DWORD start = ::GetTickCount();
    const int countBefore = m_items.GetCount();
    MainFrame()->ReadPendingCopy(app::kPasteClipboardWaitMs);
    index += m_items.GetCount() - countBefore;  // recorded at the top
    const DWORD waited = ::GetTickCount() - start;
    const pikora::TextItem entry = m_items.GetAt(m_items.FindIndex(index));
    const std::optional<std::string> own = OwnClipboardText();
    const app::ClipboardSnapshot saved =
        own ? app::ClipboardSnapshot::OfText(*own)
            : app::ClipboardSnapshot::Take(
                  waited < app::kPasteClipboardWaitMs ? app::kPasteClipboardWaitMs - waited : 0);
    if (!saved.Taken()) {
        SaveDataFile();
        app::TellClipboardBusyForPaste();
        return;
    }
    const std::string text = ExpandMacros(entry);
    const bool keep = m_settings.ToClip != 0;
    // A text that only passes through the clipboard is marked so that other
    // clipboard tools do not record it; one the user keeps is a normal copy.
    if (!app::SetClipboardTextRetrying(text, !keep, true)) {
        SaveDataFile();
        app::TellClipboardBusyForPaste();
        return;
    }
    if (!keep) {
        NoteOwnClipboardText(text);
    }

    KeepTargetInFront();
    // Our own Ctrl+V interception must not catch the keystroke we send.
    ::UnregisterHotKey(nullptr, HOTKEY_PASTE);
    KeyEvent(VK_CONTROL, 0);
    KeyEvent('V', 0);
    if (m_ptMouseRestore.x != 0 && m_ptMouseRestore.y != 0) {
        ::SetCursorPos(m_ptMouseRestore.x, m_ptMouseRestore.y);
    }
    KeyEvent('V', KEYEVENTF_KEYUP);
    KeyEvent(VK_CONTROL, KEYEVENTF_KEYUP);
    // The application reads the clipboard when it handles the keystroke; give
    // it time before the clipboard changes again.
    ::Sleep(400);
    ::RegisterHotKey(nullptr, HOTKEY_PASTE, MOD_CONTROL, 'V');

    if (!keep) {
        // A clipboard tool or the application itself may still have the
        // clipboard open: try as long as the paste's own write did.
        const bool restored = app::Retrying(app::kClipboardAttempts, false, [&] {
            return saved.IsTextOnly() ? app::SetClipboardText(saved.Text(), true) : saved.Restore();
        });
        if (restored && saved.IsTextOnly()) {
            NoteOwnClipboardText(saved.Text());
        }
        if (!restored) {
            app::TellClipboardNotRestored();
        }
    } else {
        m_lastClipText = text;
    }
    // Saved only now, as the list stood before the paste: encoding a long list
    // takes the processor for a while, which the application should have to
    // itself while it pastes.
    SaveDataFile();
    pikora::UpdateListAfterPaste(m_items, index, m_settings.UseItemMoveTop != 0,
                                 m_settings.NormalDelete != 0, m_settings.SelectID);
}
