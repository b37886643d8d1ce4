// "編集": the name, text and kind of one entry. The caller fills m_strText and
// m_strTitle and points m_pKind at its kind; after IDOK it takes them back.
#pragma once

#include <cstdint>
#include <string>

#include "dialogs/item_text_dlg.h"

class CEditItemDlg : public CItemTextDlg {
  public:
    CEditItemDlg(ui::Window* parent, int32_t* pKind);

    std::string m_strText;
    std::string m_strTitle;

  protected:
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnOK() override;

  private:
    void FillKindItems();

    HWND m_comboKind = nullptr;
    int32_t* m_pKind;
};
