// The version box and the read-me document.
#include "app/popup_app.h"

#include <shellapi.h>

#include "dialogs/about_dlg.h"

namespace {

constexpr wchar_t kReadmeFileName[] = L"まず読んでね!.html";

}  // namespace

void CPopupApp::OnAppAbout() {
    CAboutDlg dialog;
    dialog.DoModal();
}

void CPopupApp::OnHelpReadme() {
    // From the program's folder, not the working directory: Pikora is often
    // started from a shortcut whose working folder holds only the data file.
    const std::wstring path = m_strProgramDir + kReadmeFileName;
    ::ShellExecuteW(nullptr, nullptr, path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
