// The popup run: caret location, the popup list, and the paste into the
// application the user was typing in.
#include "app/popup_app.h"

void CPopupApp::RunPopup(int) {}

void CPopupApp::LocateCaret(POINT& p) { p = POINT{0, 0}; }

void CPopupApp::PopupPosFromCursor() {}

void CPopupApp::ActivateTarget() {}

std::string CPopupApp::ExpandMacros(std::string text) { return text; }
