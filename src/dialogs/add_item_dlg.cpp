#include "dialogs/add_item_dlg.h"

#include "app/popup_app.h"
#include "res/resource.h"
#include "store/list_ops.h"
#include "ui/app.h"
#include "ui/data_exchange.h"
#include "ui/wide_text.h"

CAddItemDlg::CAddItemDlg(ui::Window* parent, int insertIndex)
    : CItemTextDlg(IDD_ADD_ITEM, parent, IDC_ADD_TEXT, IDC_ADD_TEMPLATES),
      m_nInsertIndex(insertIndex) {}

bool CAddItemDlg::OnInitDialog() {
    CItemTextDlg::OnInitDialog();
    // Enter in the name box adds, as the button's place suggests; without
    // this the dialog manager would pick another of the template's buttons.
    ::SendMessageW(m_hwnd, DM_SETDEFID, IDC_ADD_BUTTON, 0);
    return true;
}

void CAddItemDlg::DoDataExchange(ui::DataExchange& dx) {
    dx.Text(IDC_ADD_NAME, m_strTitle, kMaxTitleBytes);
    dx.Text(IDC_ADD_TEXT, m_strText);
}

bool CAddItemDlg::OnCommand(UINT id, UINT code, HWND control) {
    if (control != nullptr && code != BN_CLICKED) {
        return false;
    }
    switch (id) {
        case IDC_ADD_BUTTON:
            OnAdd();
            return true;
        case IDC_CLOSE_BUTTON:
            OnClose();
            return true;
        case IDC_ADD_TEMPLATE_INSERT:
            OnPasteTemplate();
            return true;
        case IDC_ADD_FILE_NAME_INSERT:
            OnPasteFileName();
            return true;
        default:
            return false;
    }
}

// The dialog has no OK button: Enter that reaches it here adds rather than
// closing the dialog with the typed text in it.
void CAddItemDlg::OnOK() {
    OnAdd();
}

void CAddItemDlg::OnAdd() {
    HWND textBox = Item(IDC_ADD_TEXT);
    HWND nameBox = Item(IDC_ADD_NAME);
    const std::string text = ui::GetWindowTextString(textBox);
    const std::string title = ui::GetWindowTextString(nameBox);
    if (title.empty() || text.empty()) {
        ui::AppMessageBox("タイトルか文章が空白です。", MB_OK | MB_ICONEXCLAMATION, m_hwnd);
        return;
    }
    pikora::AddLockedItem(TheApp().m_items, m_nInsertIndex, title, text);
    ui::AppMessageBox(title + "を追加しました。", MB_OK | MB_ICONEXCLAMATION, m_hwnd);
    ::SetWindowTextW(textBox, L"");
    ::SetWindowTextW(nameBox, L"");
}

void CAddItemDlg::OnClose() {
    EndDialog(IDCANCEL);
}
