#include "app/popup_app.h"

#include <algorithm>

#include "app/clipboard.h"
#include "frame/main_frame.h"
#include "res/resource.h"
#include "settings/settings_rules.h"
#include "store/list_ops.h"

namespace {

constexpr const char kMutexName[] = "Pikora";

}  // namespace

CPopupApp& TheApp() {
    return *static_cast<CPopupApp*>(ui::App::Current());
}

CPopupApp::CPopupApp() {
    // The text already on the clipboard at start is not history.
    app::GetClipboardText(m_lastClipText);
}

CPopupApp::~CPopupApp() = default;

CMainFrame* CPopupApp::MainFrame() const {
    return m_frame.get();
}

bool CPopupApp::InitInstance() {
    // One instance only. Creating (not just opening) the mutex makes the test
    // atomic: of two copies started at the same moment, exactly one creates it.
    m_hMutex.Reset(::CreateMutexA(nullptr, FALSE, kMutexName));
    if (m_hMutex && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        m_hMutex.Reset();
        return false;
    }

    m_frame = std::make_unique<CMainFrame>();
    m_pMainWnd = m_frame.get();
    m_frame->LoadFrame();
    HWND frame = m_frame->Handle();
    ::ShowWindow(frame, SW_MINIMIZE);
    ::ShowWindow(frame, SW_HIDE);
    ::UpdateWindow(frame);

    m_dataFileWriter = std::make_unique<pikora::DataFileWriter>(pikora::kDataFileNameW, frame,
                                                                WM_DATA_FILE_WRITTEN);
    m_strDataPath = m_dataFileWriter->Path();
    m_frame->JoinClipboardChain();
    LoadSettings();
    RegisterStartupHotkeys();
    if (m_settings.StopRun != 0) {
        ::PostMessageW(frame, WM_COMMAND, ID_HISTORY_MODE, 0);
    }
    m_osVersion = OSVERSIONINFOW{};
    m_osVersion.dwOSVersionInfoSize = sizeof(OSVERSIONINFOW);
    ::GetVersionExW(&m_osVersion);
    ::SetTimer(frame, TIMER_POLL, 100, nullptr);
    LoadDataFile();
    return true;
}

void CPopupApp::RegisterStartupHotkeys() {
    RegisterPopupHotkey();
    RegisterHistoryHotkey();
    if (!::RegisterHotKey(nullptr, HOTKEY_PASTE, MOD_CONTROL, 'V')) {
        ui::AppMessageBox("ホットキーの設定に失敗しました。Ctrl+V", MB_OK | MB_ICONEXCLAMATION);
    }
}

bool CPopupApp::RegisterPopupHotkey() {
    // Registering again under the same id would fail while the old one is held.
    ::UnregisterHotKey(nullptr, HOTKEY_POPUP);
    // RegisterHotKey accepts a hotkey without a key, which can never be
    // pressed: the user would be left without a popup hotkey and not know it.
    if (!pikora::HotkeyHasKey(m_settings.PouupKey) ||
        !::RegisterHotKey(nullptr, HOTKEY_POPUP, static_cast<UINT>(m_settings.PouupMod),
                          static_cast<UINT>(m_settings.PouupKey))) {
        ui::AppMessageBox("ホットキーの設定に失敗 ポップアップキー", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

bool CPopupApp::RegisterHistoryHotkey() {
    ::UnregisterHotKey(nullptr, HOTKEY_HISTORY_TOGGLE);
    if (!::RegisterHotKey(nullptr, HOTKEY_HISTORY_TOGGLE, static_cast<UINT>(m_settings.RirekiMod),
                          static_cast<UINT>(m_settings.RirekiKey))) {
        ui::AppMessageBox("履歴動作切り替え用キーの設定に失敗しました。設定を変えてください。",
                          MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

void CPopupApp::TakeCaretCapture() {
    LocateCaret(m_ptPopup);
    PopupPosFromCursor();
    m_bCaretCapturePending = false;
}

bool CPopupApp::PreTranslateMessage(MSG* msg) {
    // The poll tick is the last message a queue hands out: a click on the
    // icon that follows the hover closely comes first, and would open the
    // popup where the previous capture left it instead of at the pointer.
    if (!m_bPopupActive && m_bCaretCapturePending && msg->message == WM_TRAYNOTIFY &&
        msg->lParam == WM_LBUTTONDOWN) {
        TakeCaretCapture();
    }
    if (msg->message == WM_TIMER && msg->wParam == TIMER_POLL) {
        SaveIfListChanged();
    }
    if (!m_bPopupActive && msg->message == WM_TIMER && msg->wParam == TIMER_POLL) {
        // One job per tick, the caret capture first.
        if (m_bCaretCapturePending) {
            TakeCaretCapture();
            return false;
        }
        if (m_bCopyPopupPending) {
            m_ptPopup = POINT{0, 0};
            RunPopup(POPUP_MODE_AUTO);
            m_bCopyPopupPending = false;
            return false;
        }
    }
    if (msg->message == WM_HOTKEY) {
        switch (msg->wParam) {
            case HOTKEY_POPUP:
                m_ptPopup = POINT{0, 0};
                RunPopup(POPUP_MODE_USER);
                return false;
            case HOTKEY_PASTE:
                InterceptCtrlV();
                break;
            case HOTKEY_HISTORY_TOGGLE:
                if (m_pMainWnd) {
                    ::PostMessageW(m_pMainWnd->Handle(), WM_COMMAND, ID_HISTORY_MODE, 0);
                }
                break;
            default:
                break;
        }
    }
    return ui::App::PreTranslateMessage(msg);
}

void CPopupApp::InterceptCtrlV() {
    // The V we synthesise below must reach the application, not this hotkey.
    ::UnregisterHotKey(nullptr, HOTKEY_PASTE);
    bool busySetHere = false;
    if (m_bHistoryMode && !m_bPopupActive) {
        m_bPopupActive = true;
        busySetHere = true;
        // A copy still waiting to be read joins the list before the clipboard
        // is written over.
        const DWORD start = ::GetTickCount();
        if (m_settings.Sakiire != 0) {
            MainFrame()->ReadPendingCopy(app::kPasteClipboardWaitMs);
        }
        if (m_items.GetCount() > 0 && m_settings.Sakiire != 0) {
            // The entry leaves the list only once it is on the clipboard. A
            // clipboard another program keeps open is waited for up to 3 s;
            // after that the keystroke is not sent, as it would paste
            // something else, and the entry stays for the next Ctrl+V.
            const std::string text = pikora::OldestNormalText(m_items);
            const int waited = static_cast<int>((::GetTickCount() - start) / 50);
            const int attempts = std::max(1, app::kPasteClipboardAttempts - waited);
            if (!app::SetClipboardTextRetrying(text, true, false, attempts)) {
                ::RegisterHotKey(nullptr, HOTKEY_PASTE, MOD_CONTROL, 'V');
                m_bPopupActive = false;
                app::TellClipboardBusyForPaste();
                return;
            }
            NoteOwnClipboardText(text);
            TakeOldestNormalText();
            m_lastClipText = text;
        }
    }
    // The hotkey swallowed the user's own V key-down; these make the
    // application paste. The user's release of the keys gives the key-ups,
    // unless the user let go while the clipboard was waited for.
    const bool ctrlHeld = ::GetAsyncKeyState(VK_CONTROL) < 0;
    const bool vHeld = ::GetAsyncKeyState('V') < 0;
    ::keybd_event(VK_CONTROL, 0, 0, 0);
    ::keybd_event('V', 0, 0, 0);
    if (!vHeld) {
        ::keybd_event('V', 0, KEYEVENTF_KEYUP, 0);
    }
    if (!ctrlHeld) {
        ::keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
    }
    ::Sleep(50);
    ::RegisterHotKey(nullptr, HOTKEY_PASTE, MOD_CONTROL, 'V');
    if (busySetHere) {
        m_bPopupActive = false;
    }
}

bool CPopupApp::OnCommand(UINT id) {
    switch (id) {
        case ID_SETTINGS:
            OnSettings();
            return true;
        case ID_VERSION:
        case ID_APP_ABOUT:
            OnAppAbout();
            return true;
        case ID_WEB_SEARCH:
        case ID_DIC_JAPANESE:
        case ID_DIC_EN_JA:
        case ID_DIC_JA_EN:
            OnLookup(id);
            return true;
        case ID_HELP_README:
            OnHelpReadme();
            return true;
        case ID_ADD_DATA:
            OnAddData();
            return true;
        case ID_ADD_QUOTE:
            OnAddQuote();
            return true;
        default:
            return false;
    }
}
