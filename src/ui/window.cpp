#include "ui/window.h"

#include "ui/app.h"
#include "ui/wide_text.h"

namespace ui {

Window::~Window() {
    DestroyWindow();
}

Window* Window::FromHandle(HWND hwnd) {
    // The application keeps the map: a window property would cost a round trip
    // to the window server under Wine on every message.
    App* app = App::Current();
    return app ? app->FindWindowObject(hwnd) : nullptr;
}

bool Window::RegisterWindowClass(const wchar_t* className, UINT classStyle, HCURSOR cursor,
                                 HBRUSH background, HICON icon) {
    WNDCLASSW wc{};
    HINSTANCE instance = ResourceInstance();
    if (::GetClassInfoW(instance, className, &wc)) {
        return true;
    }
    wc.style = classStyle;
    wc.lpfnWndProc = &Window::StaticWindowProc;
    wc.hInstance = instance;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = className;
    return ::RegisterClassW(&wc) != 0;
}

bool Window::CreateEx(DWORD exStyle, const wchar_t* className, const std::string& title,
                      DWORD style, int x, int y, int width, int height, HWND parent,
                      HMENU menuOrId) {
    HINSTANCE instance = ResourceInstance();
    HWND hwnd = ::CreateWindowExW(exStyle, className, Wide(title).c_str(), style, x, y, width,
                                  height, parent, menuOrId, instance, this);
    return hwnd != nullptr && hwnd == m_hwnd;
}

void Window::Attach(HWND hwnd) {
    m_hwnd = hwnd;
    if (App* app = App::Current()) {
        app->MapWindowObject(hwnd, this);
    }
}

void Window::Detach() {
    if (m_hwnd) {
        if (App* app = App::Current()) {
            app->UnmapWindowObject(m_hwnd);
        }
        if (m_superProc) {
            ::SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superProc));
        }
    }
    m_hwnd = nullptr;
    m_superProc = nullptr;
}

bool Window::Subclass(HWND hwnd) {
    if (!hwnd || m_hwnd) {
        return false;
    }
    Attach(hwnd);
    m_superProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::StaticWindowProc)));
    return true;
}

void Window::DestroyWindow() {
    if (m_hwnd && ::IsWindow(m_hwnd)) {
        ::DestroyWindow(m_hwnd);
    }
    // A subclassed control whose parent is already gone still needs letting go.
    if (m_hwnd) {
        Detach();
    }
}

bool Window::PreTranslateMessage(MSG*) {
    return false;
}

bool Window::OnCommand(UINT, UINT, HWND) {
    return false;
}

bool Window::RouteCommand(UINT id, UINT code, HWND control) {
    if (OnCommand(id, code, control)) {
        return true;
    }
    App* app = App::Current();
    return app != nullptr && control == nullptr && app->OnCommand(id);
}

LRESULT Window::Default(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (m_superProc) {
        return ::CallWindowProcW(m_superProc, m_hwnd, msg, wParam, lParam);
    }
    return ::DefWindowProcW(m_hwnd, msg, wParam, lParam);
}

LRESULT Window::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND) {
        if (RouteCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) {
            return 0;
        }
    }
    return Default(msg, wParam, lParam);
}

LRESULT CALLBACK Window::StaticWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Window* self = FromHandle(hwnd);
    if (!self && msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        self = static_cast<Window*>(cs->lpCreateParams);
        if (self) {
            self->Attach(hwnd);
        }
    }
    if (!self) {
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    if (msg == WM_NCDESTROY) {
        const LRESULT result = self->WindowProc(msg, wParam, lParam);
        self->Detach();
        self->OnFinalDestroy();
        return result;
    }
    return self->WindowProc(msg, wParam, lParam);
}

}  // namespace ui
