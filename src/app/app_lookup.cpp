// The clipboard submenu: web search, dictionaries and quoting.
#include "app/popup_app.h"

void CPopupApp::OnLookup(UINT) {}
void CPopupApp::OnAddQuote() {}
void CPopupApp::OpenWebSearch(HWND, const std::string&) {}
void CPopupApp::OpenDictionary(HWND, const std::string&, const char*) {}
