// New phrases typed in from the tray menu.
#include "app/popup_app.h"
#include "dialogs/add_item_dlg.h"
#include "frame/main_frame.h"

void CPopupApp::OnAddData() {
    // A popup run, a FIFO paste or another add dialog is under way. The busy
    // flag also keeps the history from recording while the dialog is open.
    if (m_bPopupActive) {
        return;
    }
    m_bPopupActive = true;
    CAddItemDlg dialog(MainFrame(), -1);
    dialog.DoModal();
    m_bPopupActive = false;
}
