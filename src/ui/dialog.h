// Dialog base: a template-based dialog run modally by our own loop, so that
// the application's filter sees its messages like any other.
#pragma once

#include <windows.h>

#include <string>

#include "ui/window.h"

namespace ui {

class DataExchange;

class Dialog : public Window {
  public:
    Dialog(UINT templateId, Window* parent);
    ~Dialog() override;

    INT_PTR DoModal();
    void EndDialog(INT_PTR result);
    bool IsModalRunning() const { return m_running; }

    // Moves values between controls and members; false when a value did not
    // validate (the user was told and the control has the focus).
    bool UpdateData(bool saveAndValidate);

    bool PreTranslateMessage(MSG* msg) override;
    bool RouteCommand(UINT id, UINT code, HWND control) override;

    HWND Item(int id) const { return ::GetDlgItem(m_hwnd, id); }
    Window* Parent() const { return m_parent; }

  protected:
    virtual bool OnInitDialog();
    virtual void DoDataExchange(DataExchange& dx);
    virtual void OnOK();
    virtual void OnCancel();
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    Window* m_parent;
    bool m_running = false;
    INT_PTR m_result = IDCANCEL;
};

}  // namespace ui
