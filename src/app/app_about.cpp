// The version box and the read-me document.
#include "app/popup_app.h"

void CPopupApp::OnAppAbout() {}
void CPopupApp::OnHelpReadme() {}
