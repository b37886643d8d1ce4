// The settings dialog "設定": check boxes, hotkeys, transparency and the texts
// of the application's settings.
#pragma once

#include <windows.h>

#include <string>

#include "ui/dialog.h"

class CSettingsDlg : public ui::Dialog {
  public:
    explicit CSettingsDlg(ui::Window* parent = nullptr);
    ~CSettingsDlg() override;

    // Filled by the caller before the run and read back after OK.
    std::string m_strCaretX;
    std::string m_strCaretY;
    std::string m_strWaveName;
    std::string m_strQuote;

  protected:
    void DoDataExchange(ui::DataExchange& dx) override;
    void OnOK() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

  private:
    void OnSettingsWhileOpen();
    void OnBrowseWave();
    void CaretOffsetText(ui::DataExchange& dx, int controlId, std::string& value);
    void ShowSettingsInControls();

    HWND m_hotkeyPopup = nullptr;
    HWND m_hotkeyHistory = nullptr;
    HWND m_sliderAlpha = nullptr;
};
