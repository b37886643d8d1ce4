// The blank client window of the hidden main frame.
#pragma once

#include "ui/window.h"

class CChildView : public ui::Window {
  public:
    bool Create(HWND parent, UINT id);

  protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    void OnPaint();
};
