#include "dialogs/item_text_dlg.h"

#include "app/popup_app.h"
#include "macro/macro_template.h"
#include "settings/ini_profile_win32.h"
#include "ui/file_dialog.h"
#include "ui/wide_text.h"

CItemTextDlg::CItemTextDlg(UINT templateId, ui::Window* parent, int textBoxId, int templateComboId)
    : ui::Dialog(templateId, parent), m_textBoxId(textBoxId), m_templateComboId(templateComboId) {}

bool CItemTextDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    // An edit control takes about 32,000 characters from the user unless told
    // otherwise, and a longer paste is cut without a word; entries (a copied
    // log, a long letter) can be far longer.
    ::SendMessageW(Item(m_textBoxId), EM_LIMITTEXT, 0, 0);
    LoadTemplates();
    return true;
}

void CItemTextDlg::LoadTemplates() {
    m_comboTemplate = Item(m_templateComboId);
    m_templateBodies.clear();
    ::SendMessageW(m_comboTemplate, CB_RESETCONTENT, 0, 0);
    pikora::IniProfile profile(TheApp().IniPath());
    for (const pikora::MacroTemplate& t : pikora::LoadMacroTemplates(profile)) {
        m_templateBodies.push_back(t.body);
        ::SendMessageW(m_comboTemplate, CB_ADDSTRING, 0,
                       reinterpret_cast<LPARAM>(ui::Wide(t.label).c_str()));
    }
    if (!m_templateBodies.empty()) {
        ::SendMessageW(m_comboTemplate, CB_SETCURSEL, 0, 0);
    }
}

void CItemTextDlg::OnPasteTemplate() {
    const LRESULT index = ::SendMessageW(m_comboTemplate, CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<size_t>(index) >= m_templateBodies.size()) {
        return;
    }
    InsertIntoTextBox(m_templateBodies[static_cast<size_t>(index)]);
}

void CItemTextDlg::OnPasteFileName() {
    ui::FileDialog dialog("*.*", "全てのファイル(*.*)|*.*||", 0);
    if (dialog.DoModal()) {
        InsertIntoTextBox(dialog.PathNameCp932());
    }
}

void CItemTextDlg::InsertIntoTextBox(const std::string& s) {
    // Straight into the box, like a paste would put it, but without going
    // through the clipboard: that way whatever the user had copied (a picture
    // as well as a text) is still there afterwards, and clipboard monitors see
    // no change.
    HWND box = Item(m_textBoxId);
    ::SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(ui::Wide(s).c_str()));
    ::SetFocus(box);
}
