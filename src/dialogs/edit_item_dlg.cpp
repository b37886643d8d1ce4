#include "dialogs/edit_item_dlg.h"

#include "dialogs/dialog_init.h"
#include "res/resource.h"
#include "store/text_item.h"
#include "ui/app.h"
#include "ui/data_exchange.h"
#include "ui/wide_text.h"

namespace {

// The resource type of a dialog template's initial list items.
constexpr WORD kDialogInitResource = 240;

}  // namespace

CEditItemDlg::CEditItemDlg(ui::Window* parent, int32_t* pKind)
    : CItemTextDlg(IDD_EDIT_ITEM, parent, IDC_EDIT_TEXT, IDC_EDIT_TEMPLATES), m_pKind(pKind) {}

bool CEditItemDlg::OnInitDialog() {
    m_comboKind = Item(IDC_EDIT_KIND);
    FillKindItems();
    CItemTextDlg::OnInitDialog();
    ::SendMessageW(m_hwnd, DM_SETDEFID, IDOK, 0);
    return true;
}

// "ノーマル" and "ロック" come with the dialog template, in its init data.
void CEditItemDlg::FillKindItems() {
    HINSTANCE instance = ui::ResourceInstance();
    HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(IDD_EDIT_ITEM),
                                  MAKEINTRESOURCEW(kDialogInitResource));
    HGLOBAL loaded = found != nullptr ? ::LoadResource(instance, found) : nullptr;
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return;
    }
    const std::string_view data(static_cast<const char*>(bytes), ::SizeofResource(instance, found));
    for (const pikora::DialogInitItem& item : pikora::ParseDialogInit(data)) {
        const UINT message = item.message == pikora::kInitComboAddString  ? CB_ADDSTRING
                             : item.message == pikora::kInitListAddString ? LB_ADDSTRING
                                                                          : 0;
        if (message != 0) {
            ::SendDlgItemMessageW(m_hwnd, item.controlId, message, 0,
                                  reinterpret_cast<LPARAM>(ui::Wide(item.text).c_str()));
        }
    }
}

void CEditItemDlg::DoDataExchange(ui::DataExchange& dx) {
    dx.Text(IDC_EDIT_TEXT, m_strText);
    dx.Text(IDC_EDIT_NAME, m_strTitle, kMaxTitleBytes);
    if (!dx.Saving()) {
        // The field shows the kind's label while no item is picked, so that OK
        // without a pick keeps the kind. A kind from a foreign file (neither
        // 0 nor 1) behaves as locked, so it shows as locked.
        const int32_t kind = *m_pKind;
        const WPARAM index = kind == pikora::KIND_NORMAL ? 0 : 1;
        const LRESULT length = ::SendMessageW(m_comboKind, CB_GETLBTEXTLEN, index, 0);
        if (length != CB_ERR) {
            std::wstring label(static_cast<size_t>(length) + 1, L'\0');
            ::SendMessageW(m_comboKind, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&label[0]));
            label.resize(static_cast<size_t>(length));
            ::SetWindowTextW(m_comboKind, label.c_str());
        }
    }
}

bool CEditItemDlg::OnCommand(UINT id, UINT code, HWND control) {
    if (control != nullptr && code != BN_CLICKED) {
        return false;
    }
    switch (id) {
        case IDC_EDIT_TEMPLATE_INSERT:
            OnPasteTemplate();
            return true;
        case IDC_EDIT_FILE_NAME_INSERT:
            OnPasteFileName();
            return true;
        default:
            return false;
    }
}

void CEditItemDlg::OnOK() {
    const LRESULT picked = ::SendMessageW(m_comboKind, CB_GETCURSEL, 0, 0);
    if (picked != CB_ERR) {
        *m_pKind = static_cast<int32_t>(picked);
    }
    ui::Dialog::OnOK();
}
