// The settings dialog run from the tray menu and from the popup list.
#include "app/popup_app.h"
#include "dialogs/settings_dlg.h"
#include "res/resource.h"
#include "settings/ini_profile_win32.h"
#include "settings/settings_rules.h"

void CPopupApp::OnSettings(ui::Window* owner) {
    if (m_pSettingsDlg != nullptr) {
        // A second dialog would edit the same settings, and whichever closed
        // last would undo the other's changes: show the open one instead.
        if (HWND open = m_pSettingsDlg->Handle()) {
            ::SetForegroundWindow(open);
        }
        return;
    }

    CSettingsDlg dialog(owner);
    const pikora::SettingsTexts texts = pikora::TextsFromSettings(m_settings);
    dialog.m_strCaretX = texts.caretX;
    dialog.m_strCaretY = texts.caretY;
    dialog.m_strWaveName = texts.waveName;
    dialog.m_strQuote = texts.quote;

    // With the hotkeys released, pressing them while the dialog is open types
    // them into its hotkey controls. A popup run has released the history
    // hotkey itself and takes it back when it ends.
    const bool busy = m_bPopupActive;
    ::UnregisterHotKey(nullptr, HOTKEY_POPUP);
    if (!busy) {
        ::UnregisterHotKey(nullptr, HOTKEY_HISTORY_TOGGLE);
    }

    m_pSettingsDlg = &dialog;
    const INT_PTR result = dialog.DoModal();
    m_pSettingsDlg = nullptr;

    if (result == IDOK) {
        pikora::ApplySettingsTexts(
            {dialog.m_strCaretX, dialog.m_strCaretY, dialog.m_strWaveName, dialog.m_strQuote},
            m_settings);
        pikora::IniProfile profile(IniPath());
        pikora::WriteDialogSettings(profile, m_settings);
    }

    RegisterPopupHotkey();
    if (!busy) {
        RegisterHistoryHotkey();
    }
}
