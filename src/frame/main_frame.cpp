#include "frame/main_frame.h"

#include "app/clipboard.h"
#include "app/popup_app.h"
#include "res/resource.h"
#include "text/tray_tip.h"
#include "ui/app.h"
#include "ui/wide_text.h"

namespace {

constexpr UINT kTrayIconId = 4;
constexpr UINT kViewId = 0xE900;  // the first pane id frames give their view
// The first version of NOTIFYICONDATAW (64-character tip), which every shell
// accepts. Its size follows the architecture: the record holds a window and
// an icon handle, so a hard-coded size is wrong for one of them.
constexpr DWORD kNotifyIconDataSize = NOTIFYICONDATAW_V1_SIZE;
static_assert(kNotifyIconDataSize == (sizeof(void*) == 8 ? 168 : 152),
              "the first NOTIFYICONDATAW layout is 152 bytes on 32-bit Windows, 168 on 64-bit");

// Another program holds the clipboard open: the pass tries again from this
// timer until the clipboard frees, rather than lose the copy or keep this
// thread from its hotkeys meanwhile. The id is beside TIMER_POLL (605) and
// TIMER_AUTOCLOSE (606).
constexpr UINT_PTR kClipboardRetryTimer = 607;
constexpr UINT kClipboardRetryMs = 50;
constexpr int kClipboardRetries = 200;  // 10 s

HICON LoadSmallIcon(UINT id) {
    // The notification area's icon size: 16 pixels at 96 DPI, more on a
    // high-DPI screen.
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                           IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                           ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
}

bool IsMouseMessage(LPARAM message) {
    return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST;
}

HWND FindTrayNotifyWnd() {
    HWND tray = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    return tray ? ::FindWindowExW(tray, nullptr, L"TrayNotifyWnd", nullptr) : nullptr;
}

}  // namespace

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame() = default;

bool CMainFrame::LoadFrame() {
    // A class of our own with no styles, cursor, background or icon: the frame
    // is never seen.
    if (!RegisterWindowClass(kClassName, 0, nullptr, nullptr, nullptr)) {
        return false;
    }
    m_uTaskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    m_hAccel = ::LoadAcceleratorsW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    // Off-screen, so that the short minimize of start-up shows nothing.
    return CreateEx(0, kClassName, ui::LoadResString(IDS_MAINFRAME_TITLE),
                    WS_SYSMENU | WS_MINIMIZEBOX, -500, -500, 185, 256, nullptr, nullptr);
}

int CMainFrame::OnCreate() {
    if (!m_wndView.Create(m_hwnd, kViewId)) {
        return -1;
    }
    m_menuTray.Reset(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME)));
    m_hIconHistoryOn.Reset(LoadSmallIcon(IDI_HISTORY_ON));
    m_hIconHistoryOff.Reset(LoadSmallIcon(IDI_HISTORY_OFF));

    m_nid.cbSize = kNotifyIconDataSize;
    m_nid.hWnd = m_hwnd;
    m_nid.uID = kTrayIconId;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_nid.uCallbackMessage = WM_TRAYNOTIFY;
    m_nid.hIcon = m_hIconHistoryOn.Get();  // history mode starts on
    std::string text;
    if (!app::IsClipboardMarkedPrivate().value_or(true)) {
        app::GetClipboardText(text);
    }
    SetTrayTip(pikora::MakeTrayTip(text, false));
    AddTrayIcon();
    return 0;
}

void CMainFrame::JoinClipboardChain() {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    using ListenerFn = BOOL(WINAPI*)(HWND);
    auto add = reinterpret_cast<ListenerFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "AddClipboardFormatListener")));
    m_pfnRemoveClipboardFormatListener = reinterpret_cast<ListenerFn>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "RemoveClipboardFormatListener")));
    if (add && m_pfnRemoveClipboardFormatListener && add(m_hwnd)) {
        m_bFormatListener = true;
        return;
    }
    m_bInViewerChain = true;
    TheApp().m_hwndNextViewer = ::SetClipboardViewer(m_hwnd);
}

void CMainFrame::LeaveClipboardChain() {
    if (m_bFormatListener) {
        m_pfnRemoveClipboardFormatListener(m_hwnd);
        m_bFormatListener = false;
    }
    if (m_bInViewerChain) {
        ::ChangeClipboardChain(m_hwnd, TheApp().m_hwndNextViewer);
        TheApp().m_hwndNextViewer = nullptr;
        m_bInViewerChain = false;
    }
}

bool CMainFrame::PreTranslateMessage(MSG* msg) {
    return m_hAccel && msg->hwnd == m_hwnd && ::TranslateAcceleratorW(m_hwnd, m_hAccel, msg);
}

LRESULT CMainFrame::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            return OnCreate();
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_SETFOCUS:
            OnSetFocus();
            return 0;
        case WM_TRAYNOTIFY:
            return OnTrayNotify(lParam);
        case WM_CLIPBOARDUPDATE:
            OnClipboardChanged();
            return 0;
        case WM_DRAWCLIPBOARD:
            if (TheApp().m_hwndNextViewer) {
                // Posted, so that a viewer further down that hangs cannot hang
                // this program too.
                ::PostMessageW(TheApp().m_hwndNextViewer, msg, wParam, lParam);
            }
            OnClipboardChanged();
            return 0;
        case WM_CHANGECBCHAIN:
            OnChangeClipboardChain(reinterpret_cast<HWND>(wParam), reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_TIMER:
            if (wParam == kClipboardRetryTimer) {
                ::KillTimer(m_hwnd, kClipboardRetryTimer);
                ClipboardPass();
                return 0;
            }
            return Window::WindowProc(msg, wParam, lParam);
        case WM_CLIPBOARD_DELAYED:
            // Word 97/98 announces a cut before the text is really there.
            ::Sleep(150);
            ClipboardPass();
            return 0;
        case WM_ENDSESSION:
            OnEndSession(wParam != FALSE);
            return 0;
        case WM_DATA_FILE_WRITTEN:
            OnDataFileWritten(wParam != 0, static_cast<unsigned long>(lParam));
            return 0;
        default:
            if (m_uTaskbarCreated != 0 && msg == m_uTaskbarCreated) {
                OnTaskbarCreated();
                return 0;
            }
            return Window::WindowProc(msg, wParam, lParam);
    }
}

bool CMainFrame::OnCommand(UINT id, UINT, HWND) {
    switch (id) {
        case ID_EXIT:
            OnExit();
            return true;
        case ID_HISTORY_MODE:
            OnHistoryMode();
            return true;
        case ID_CLEAR_NORMAL:
            OnClearNormal();
            return true;
        default:
            return false;
    }
}

void CMainFrame::OnSetFocus() {
    if (m_wndView.Handle()) {
        ::SetFocus(m_wndView.Handle());
    }
}

LRESULT CMainFrame::OnTrayNotify(LPARAM mouseMessage) {
    switch (mouseMessage) {
        case WM_RBUTTONDOWN:
            OnTrayRightButton();
            break;
        case WM_LBUTTONDOWN:
            m_bTrayPopup = true;
            TheApp().RunPopup(POPUP_MODE_USER);
            m_bTrayPopup = false;
            return 0;
        default:
            if (IsMouseMessage(mouseMessage)) {
                OnTrayHover();
            }
            break;
    }
    return Default(WM_TRAYNOTIFY, 0, mouseMessage);
}

void CMainFrame::OnTrayRightButton() {
    POINT pt;
    ::GetCursorPos(&pt);
    // Without the foreground the menu would not close when the user clicks
    // elsewhere; the WM_NULL afterwards lets it close on the first click.
    ::SetForegroundWindow(m_hwnd);
    ::TrackPopupMenu(::GetSubMenu(m_menuTray.Get(), 0),
                     TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_LEFTBUTTON, pt.x, pt.y, 0, m_hwnd,
                     nullptr);
    ::PostMessageW(m_hwnd, WM_NULL, 0, 0);
}

void CMainFrame::OnTrayHover() {
    if (m_bTrayPopup) {
        return;
    }
    // Where the shell has no notification-area window to test against, the
    // callback itself tells that the pointer is over our icon.
    if (!IsCursorOverTrayArea() && FindTrayNotifyWnd() != nullptr) {
        return;
    }
    HWND foreground = ::GetForegroundWindow();
    if (foreground != m_hwndLastForeground) {
        TheApp().m_bCaretCapturePending = true;
        m_hwndLastForeground = foreground;
    }
}

bool CMainFrame::IsCursorOverTrayArea() const {
    POINT p;
    ::GetCursorPos(&p);
    HWND area = FindTrayNotifyWnd();
    if (!area) {
        return false;
    }
    RECT r;
    ::GetWindowRect(area, &r);
    return r.left < p.x && p.x < r.right && r.top < p.y && p.y < r.bottom;
}

void CMainFrame::OnClipboardChanged() {
    // A copy read late is judged by the state it was made in: one made before
    // a popup opened is history, even if the popup is up when it can be read.
    m_pendingGate = TheApp().CaptureGateNow();
    if (TheApp().m_settings.WordBugSW) {
        ::PostMessageW(m_hwnd, WM_CLIPBOARD_DELAYED, 0, 0);
        return;
    }
    ClipboardPass();
}

void CMainFrame::ClipboardPass() {
    if (const std::optional<std::string> own = TheApp().OwnClipboardText()) {
        StopClipboardRetries();
        ShowClipboardInTip(*own);
        return;
    }
    const pikora::CaptureGate gate = m_pendingGate.value_or(TheApp().CaptureGateNow());
    app::ClipboardTexts texts;
    const bool read = app::GetClipboardTexts(texts);
    // Password managers mark their copies; those never become history, and
    // the tip does not show them to whoever points at the icon.
    const std::optional<bool> marked = read ? app::IsClipboardMarkedPrivate() : std::nullopt;
    // There is text but the clipboard cannot be opened: another viewer is
    // reading the new text right now, or a program keeps the clipboard open.
    if (!marked && ::IsClipboardFormatAvailable(CF_TEXT) &&
        m_nClipboardRetries < kClipboardRetries) {
        ++m_nClipboardRetries;
        ::SetTimer(m_hwnd, kClipboardRetryTimer, kClipboardRetryMs, nullptr);
        return;
    }
    StopClipboardRetries();
    // A mark that could never be read counts: a password is not recorded by
    // mistake. Nor does a Unicode text that code page 932 cannot hold whole
    // become history: the entry would paste '?' or "u" where the copy had
    // "€" or "ü".
    const bool isPrivate = marked.value_or(true);
    if (read && !isPrivate) {
        if (const std::optional<std::string> exact = app::ExactCp932Text(texts)) {
            TheApp().CaptureHistoryText(*exact, gate);
        }
    }
    ShowClipboardInTip(isPrivate ? std::string() : texts.text);
}

void CMainFrame::ReadPendingCopy(DWORD waitMs) {
    const DWORD start = ::GetTickCount();
    // Pending from the announcement on, not only once a read has failed: the
    // first pass may still wait behind a posted message (WordBugSW) that comes
    // after the keystroke that is about to write the clipboard over.
    while (m_pendingGate) {
        ClipboardPass();
        if (!m_pendingGate || ::GetTickCount() - start >= waitMs) {
            return;
        }
        ::Sleep(kClipboardRetryMs);
    }
}

void CMainFrame::StopClipboardRetries() {
    ::KillTimer(m_hwnd, kClipboardRetryTimer);
    m_nClipboardRetries = 0;
    m_pendingGate.reset();
}

void CMainFrame::ShowClipboardInTip(const std::string& text) {
    SetTrayTip(pikora::MakeTrayTip(text, true));
    if (m_bTrayIconAdded) {
        ::Shell_NotifyIconW(NIM_MODIFY, &m_nid);
    }
}

void CMainFrame::OnChangeClipboardChain(HWND removed, HWND next) {
    HWND& nextViewer = TheApp().m_hwndNextViewer;
    if (removed == nextViewer) {
        nextViewer = next;
    } else if (nextViewer) {
        ::SendMessageW(nextViewer, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(removed),
                       reinterpret_cast<LPARAM>(next));
    }
}

void CMainFrame::SetTrayTip(const std::string& tip) {
    // The tip is at most 63 bytes, so never more than 63 characters.
    const std::wstring wide = ui::Wide(tip);
    constexpr size_t kRoom = sizeof(m_nid.szTip) / sizeof(m_nid.szTip[0]) - 1;
    const size_t n = wide.size() < kRoom ? wide.size() : kRoom;
    std::memcpy(m_nid.szTip, wide.data(), n * sizeof(wchar_t));
    m_nid.szTip[n] = L'\0';
}

void CMainFrame::AddTrayIcon() {
    m_bTrayIconAdded = ::Shell_NotifyIconW(NIM_ADD, &m_nid) != FALSE;
}

void CMainFrame::RemoveTrayIcon() {
    if (m_bTrayIconAdded) {
        ::Shell_NotifyIconW(NIM_DELETE, &m_nid);
        m_bTrayIconAdded = false;
    }
}

void CMainFrame::OnTaskbarCreated() {
    // The shell was restarted and has forgotten every icon.
    AddTrayIcon();
}

void CMainFrame::OnHistoryMode() {
    CPopupApp& app = TheApp();
    app.m_bHistoryMode = !app.m_bHistoryMode;
    HMENU menu = ::GetSubMenu(m_menuTray.Get(), 0);
    if (app.m_bHistoryMode) {
        m_nid.hIcon = m_hIconHistoryOn.Get();
        ::ModifyMenuW(menu, ID_HISTORY_MODE, MF_BYCOMMAND | MF_STRING, ID_HISTORY_MODE,
                      ui::Wide(ui::LoadResString(IDS_HISTORY_MODE_OFF)).c_str());
        ::RegisterHotKey(nullptr, HOTKEY_PASTE, MOD_CONTROL, 'V');
    } else {
        m_nid.hIcon = m_hIconHistoryOff.Get();
        ::ModifyMenuW(menu, ID_HISTORY_MODE, MF_BYCOMMAND | MF_STRING, ID_HISTORY_MODE,
                      ui::Wide(ui::LoadResString(IDS_HISTORY_MODE_ON)).c_str());
        ::UnregisterHotKey(nullptr, HOTKEY_PASTE);
    }
    if (m_bTrayIconAdded) {
        ::Shell_NotifyIconW(NIM_MODIFY, &m_nid);
    }
    ::UpdateWindow(m_hwnd);
}

void CMainFrame::OnClearNormal() {
    // The tray's menu still works while the popup (or a dialog it opened) is
    // up. Clearing then would leave the popup's lines pointing at other
    // entries, and an open edit dialog writing into a removed one.
    if (TheApp().m_bPopupActive) {
        ::MessageBeep(MB_OK);
        return;
    }
    TheApp().ClearNormalItems();
}

void CMainFrame::OnExit() {
    RemoveTrayIcon();
    DestroyWindow();
}

void CMainFrame::OnEndSession(bool ending) {
    // Windows ends the process after this message without a WM_DESTROY: save
    // what was added since the last save point.
    if (ending) {
        TheApp().SaveDataFileNow();
        RemoveTrayIcon();
    }
}

void CMainFrame::OnDataFileWritten(bool saved, unsigned long win32Error) {
    TheApp().OnDataFileWritten(saved, win32Error);
}

void CMainFrame::OnDestroy() {
    TheApp().SaveDataFileNow();
    // Also when the frame goes by another road than the menu (WM_CLOSE): a tray
    // icon left behind would belong to nobody.
    RemoveTrayIcon();
    LeaveClipboardChain();
    ::PostQuitMessage(0);
}
