// The popup list's side of its search box: the keys typed into the box and
// the box losing the focus.
#include "popup/popup_list_dlg.h"

#include "res/resource.h"

void CPopupListDlg::OnSearchKillFocus() {
    if (::GetFocus() != m_list.Handle()) {
        OnListKillFocus();
    }
}

// Keys typed into the search box: the text takes what it can use; the list
// takes the keys that move in it, Enter, Escape and the menu key.
bool CPopupListDlg::PreTranslateSearchMessage(MSG* msg) {
    if (msg->message == WM_SYSKEYDOWN && m_list.GetCount() > 0) {
        OpenKeyboardMenu();
        return true;
    }
    if (msg->message == WM_KEYDOWN) {
        if (CSearchBox::IsListKey(msg->wParam)) {
            ::SendMessageW(m_list.Handle(), WM_KEYDOWN, msg->wParam, msg->lParam);
            return true;
        }
        if (msg->wParam == VK_RETURN) {
            m_bClosing = true;
            EndDialog(IDOK);
            return true;
        }
        if (msg->wParam == VK_ESCAPE) {
            // Escape first empties the box; in an empty box it closes the popup.
            if (m_search.HasText()) {
                m_search.ClearText();
            } else {
                m_bEscaped = true;
                EndDialog(IDCANCEL);
            }
            return true;
        }
    }
    return ui::Dialog::PreTranslateMessage(msg);
}
