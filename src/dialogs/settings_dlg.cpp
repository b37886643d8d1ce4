#include "dialogs/settings_dlg.h"

#include <commctrl.h>

#include "app/popup_app.h"
#include "res/resource.h"
#include "settings/settings_rules.h"
#include "ui/data_exchange.h"
#include "ui/file_dialog.h"
#include "ui/wide_text.h"

namespace {

// In the order the settings are exchanged.
struct CheckBinding {
    int controlId;
    int pikora::AppSettings::*field;
};

constexpr CheckBinding kCheckBoxes[] = {
    {IDC_TO_CLIP, &pikora::AppSettings::ToClip},
    {IDC_NO_KEY_CLEAR, &pikora::AppSettings::NoKeyClear},
    {IDC_NORMAL_DELETE, &pikora::AppSettings::NormalDelete},
    {IDC_SAKIIRE, &pikora::AppSettings::Sakiire},
    {IDC_STOP_RUN, &pikora::AppSettings::StopRun},
    {IDC_RIREKI_WAVE, &pikora::AppSettings::RirekiWave},
    {IDC_USE_ITEM_MOVE_TOP, &pikora::AppSettings::UseItemMoveTop},
    {IDC_COPY_POPUP, &pikora::AppSettings::CopyPopup},
    {IDC_SELECT_SW, &pikora::AppSettings::SelectSW},
    {IDC_WORD_BUG_SW, &pikora::AppSettings::WordBugSW},
};

pikora::Hotkey ReadHotkeyControl(HWND control) {
    const LRESULT word = ::SendMessageW(control, HKM_GETHOTKEY, 0, 0);
    return pikora::HotkeyFromControlWord(static_cast<std::uint32_t>(word));
}

}  // namespace

CSettingsDlg::CSettingsDlg(ui::Window* parent) : ui::Dialog(IDD_SETTINGS, parent) {
    // The template's hotkey and trackbar controls need their classes before
    // the dialog is created; the popup list may not have run yet.
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_HOTKEY_CLASS | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
}

CSettingsDlg::~CSettingsDlg() = default;

void CSettingsDlg::DoDataExchange(ui::DataExchange& dx) {
    m_hotkeyPopup = Item(IDC_POPUP_HOTKEY);
    m_hotkeyHistory = Item(IDC_RIREKI_HOTKEY);
    // The texts come before the check boxes: a refused text stops the
    // exchange before any setting has been changed.
    CaretOffsetText(dx, IDC_CARET_POS_X, m_strCaretX);
    CaretOffsetText(dx, IDC_CARET_POS_Y, m_strCaretY);
    dx.Text(IDC_WAVE_NAME, m_strWaveName);
    m_sliderAlpha = Item(IDC_TRANSPARENCY);
    dx.Text(IDC_INYOU_CHAR, m_strQuote);
    pikora::AppSettings& settings = TheApp().m_settings;
    for (const CheckBinding& check : kCheckBoxes) {
        dx.Check(check.controlId, settings.*check.field);
    }
    // On the way back OnOK has read the controls already.
    if (!dx.Saving()) {
        ShowSettingsInControls();
    }
}

void CSettingsDlg::CaretOffsetText(ui::DataExchange& dx, int controlId, std::string& value) {
    dx.Text(controlId, value);
    if (dx.Failed()) {
        return;
    }
    if (!dx.Saving()) {
        // Set after the text, so that a longer stored offset is shown in full;
        // only typing is held to the limit.
        ::SendMessageW(Item(controlId), EM_LIMITTEXT, pikora::kCaretOffsetMaxChars, 0);
        return;
    }
    if (pikora::CharCount(value) > pikora::kCaretOffsetMaxChars) {
        dx.Fail(controlId, pikora::TooManyCharsMessage(pikora::kCaretOffsetMaxChars));
    }
}

void CSettingsDlg::ShowSettingsInControls() {
    int popupKey = 0, popupMod = 0, historyKey = 0, historyMod = 0;
    TheApp().GetHotkeys(popupKey, popupMod, historyKey, historyMod);
    ::SendMessageW(m_hotkeyPopup, HKM_SETHOTKEY, pikora::HotkeyControlWord({popupKey, popupMod}),
                   0);
    ::SendMessageW(m_hotkeyHistory, HKM_SETHOTKEY,
                   pikora::HotkeyControlWord({historyKey, historyMod}), 0);
    ::SendMessageW(m_sliderAlpha, TBM_SETRANGEMIN, FALSE, pikora::kAlphaSliderMin);
    ::SendMessageW(m_sliderAlpha, TBM_SETRANGEMAX, FALSE, pikora::kAlphaSliderMax);
    ::SendMessageW(m_sliderAlpha, TBM_SETPOS, TRUE,
                   pikora::AlphaSliderPosition(TheApp().m_settings.SemitransparentWindow));
}

void CSettingsDlg::OnOK() {
    const pikora::Hotkey popup = ReadHotkeyControl(m_hotkeyPopup);
    const pikora::Hotkey history = ReadHotkeyControl(m_hotkeyHistory);
    const auto position = static_cast<int>(::SendMessageW(m_sliderAlpha, TBM_GETPOS, 0, 0));
    // Nothing is stored before every text has been accepted: a refused OK
    // followed by Cancel must leave the settings as they were.
    if (!UpdateData(true)) {
        return;
    }
    CPopupApp& app = TheApp();
    app.SetHotkeys(popup.key & 0xFFFF, popup.mod & 0xFFFF, history.key & 0xFFFF,
                   history.mod & 0xFFFF);
    app.m_settings.SemitransparentWindow = pikora::OpacityFromAlphaSlider(position);
    EndDialog(IDOK);
}

bool CSettingsDlg::OnCommand(UINT id, UINT code, HWND control) {
    if (control == nullptr && id == ID_SETTINGS) {
        OnSettingsWhileOpen();
        return true;
    }
    if (control != nullptr && id == IDC_WAVE_BROWSE && code == BN_CLICKED) {
        OnBrowseWave();
        return true;
    }
    return false;
}

void CSettingsDlg::OnSettingsWhileOpen() {
    // The dialog is open already; routed on, the command would open another.
}

void CSettingsDlg::OnBrowseWave() {
    ui::FileDialog dialog("wav", "WAVEファイル(*.wav)|*.wav||", OFN_FILEMUSTEXIST, m_hwnd,
                          TheApp().m_strProgramDir);
    if (!dialog.DoModal()) {
        return;
    }
    m_strWaveName = dialog.PathNameCp932();
    ui::SetWindowTextString(Item(IDC_WAVE_NAME), m_strWaveName);
}
