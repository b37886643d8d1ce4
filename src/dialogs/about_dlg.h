// The version box, which also sends the user to the author's web page.
#pragma once

#include <windows.h>

#include "ui/dialog.h"

class CAboutDlg : public ui::Dialog {
  public:
    // Owned by the application's main window, like every box without a parent.
    CAboutDlg();

  protected:
    void OnCancel() override;

  private:
    void OnOpenAuthorSite();
};
