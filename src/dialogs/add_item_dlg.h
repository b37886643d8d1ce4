// "テキスト項目追加": every press of "追加(&A)" puts one new locked entry into
// the list at once; the dialog stays open for the next one.
#pragma once

#include <string>

#include "dialogs/item_text_dlg.h"

class CAddItemDlg : public CItemTextDlg {
  public:
    // insertIndex: -1 puts new entries at the top, otherwise just below the
    // entry at that index.
    CAddItemDlg(ui::Window* parent, int insertIndex);

    std::string m_strTitle;
    std::string m_strText;

  protected:
    bool OnInitDialog() override;
    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnOK() override;

  private:
    void OnAdd();
    void OnClose();

    int m_nInsertIndex;
};
