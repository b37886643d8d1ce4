// The settings dialog run from the tray menu and from the popup list.
#include "app/popup_app.h"

void CPopupApp::OnSettings() {}
