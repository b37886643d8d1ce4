#include "dialogs/about_dlg.h"

#include <shellapi.h>

#include "res/resource.h"
#include "ui/app.h"
#include "ui/wide_text.h"

namespace {

constexpr char kAuthorSiteUrl[] = "http://www.pikora.example/";

ui::Window* MainWindow() {
    ui::App* app = ui::App::Current();
    return app != nullptr ? app->m_pMainWnd : nullptr;
}

}  // namespace

CAboutDlg::CAboutDlg() : ui::Dialog(IDD_ABOUTBOX, MainWindow()) {}

void CAboutDlg::OnCancel() {
    // The author's button carries the cancel id, so it, the Escape key and the
    // close box all end up here.
    OnOpenAuthorSite();
}

void CAboutDlg::OnOpenAuthorSite() {
    ::ShellExecuteW(nullptr, nullptr, ui::Wide(kAuthorSiteUrl).c_str(), nullptr, nullptr,
                    SW_SHOWNORMAL);
    EndDialog(IDOK);
}
