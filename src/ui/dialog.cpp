#include "ui/dialog.h"

#include "ui/app.h"
#include "ui/data_exchange.h"

namespace ui {

Dialog::Dialog(UINT templateId, Window* parent) : m_templateId(templateId), m_parent(parent) {}

Dialog::~Dialog() = default;

INT_PTR Dialog::DoModal() {
    App* app = App::Current();
    HINSTANCE instance = ResourceInstance();
    // A dialog without a parent is owned by the main window: an unowned one
    // would get a taskbar button of its own and could open behind a topmost
    // window of the program.
    Window* ownerWindow = m_parent ? m_parent : (app ? app->m_pMainWnd : nullptr);
    HWND owner = ownerWindow ? ownerWindow->Handle() : nullptr;
    m_result = IDCANCEL;
    m_running = true;
    HWND hwnd = ::CreateDialogParamW(instance, MAKEINTRESOURCEW(m_templateId), owner,
                                     &Dialog::StaticDialogProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd) {
        m_running = false;
        return -1;
    }
    const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
    if (ownerWasEnabled) {
        ::EnableWindow(owner, FALSE);
    }
    if (m_running && !::IsWindowVisible(hwnd)) {
        ::ShowWindow(hwnd, SW_SHOWNORMAL);
    }
    int quitCode = 0;
    bool quit = false;
    while (m_running) {
        if (!app || !app->PumpMessage(&quitCode)) {
            quit = true;
            break;
        }
    }
    m_running = false;
    // Hide first, give the owner back its input, and only then destroy: the
    // other order hands activation to whatever program is next in Z order.
    if (m_hwnd) {
        ::SetWindowPos(m_hwnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    if (ownerWasEnabled) {
        ::EnableWindow(owner, TRUE);
    }
    DestroyWindow();
    if (quit) {
        ::PostQuitMessage(quitCode);
    }
    return m_result;
}

void Dialog::EndDialog(INT_PTR result) {
    m_result = result;
    m_running = false;
    // Wakes our loop in case no other message is on its way.
    if (m_hwnd) {
        ::PostMessageW(m_hwnd, WM_NULL, 0, 0);
    }
}

bool Dialog::UpdateData(bool saveAndValidate) {
    DataExchange dx(*this, saveAndValidate);
    DoDataExchange(dx);
    return !dx.Failed();
}

bool Dialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void Dialog::DoDataExchange(DataExchange&) {}

void Dialog::OnOK() {
    if (UpdateData(true)) {
        EndDialog(IDOK);
    }
}

void Dialog::OnCancel() {
    EndDialog(IDCANCEL);
}

bool Dialog::PreTranslateMessage(MSG* msg) {
    return m_hwnd != nullptr && ::IsDialogMessageW(m_hwnd, msg) != FALSE;
}

bool Dialog::RouteCommand(UINT id, UINT code, HWND control) {
    if (OnCommand(id, code, control)) {
        return true;
    }
    if (control == nullptr || code == BN_CLICKED) {
        if (id == IDOK) {
            OnOK();
            return true;
        }
        if (id == IDCANCEL) {
            OnCancel();
            return true;
        }
    }
    if (control != nullptr) {
        return false;
    }
    // A menu command the dialog does not handle goes to its owner frame and
    // from there to the application object.
    if (m_parent) {
        return m_parent->RouteCommand(id, code, control);
    }
    App* app = App::Current();
    return app != nullptr && app->OnCommand(id);
}

LRESULT Dialog::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) {
        OnCancel();
        return 0;
    }
    return Window::WindowProc(msg, wParam, lParam);
}

INT_PTR CALLBACK Dialog::StaticDialogProc(HWND hwnd, UINT msg, WPARAM, LPARAM lParam) {
    if (msg != WM_INITDIALOG) {
        return FALSE;
    }
    // From here on every message goes through Window::StaticWindowProc and the
    // object's WindowProc; the dialog manager's procedure becomes the default.
    auto* self = reinterpret_cast<Dialog*>(lParam);
    self->Subclass(hwnd);
    return self->OnInitDialog() ? TRUE : FALSE;
}

}  // namespace ui
