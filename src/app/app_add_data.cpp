// New phrases typed in from the tray menu.
#include "app/popup_app.h"

void CPopupApp::OnAddData() {}
