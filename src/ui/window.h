// Window base: owns its HWND and turns window messages into virtual calls.
#pragma once

#include <windows.h>

#include <string>

namespace ui {

class Window {
  public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return m_hwnd; }
    static Window* FromHandle(HWND hwnd);

    // Registers a window class whose procedure routes to Window objects.
    static bool RegisterWindowClass(const wchar_t* className, UINT classStyle, HCURSOR cursor,
                                    HBRUSH background, HICON icon);
    bool CreateEx(DWORD exStyle, const wchar_t* className, const std::string& title, DWORD style,
                  int x, int y, int width, int height, HWND parent, HMENU menuOrId);
    // Takes over an existing window (a control from a dialog template).
    bool Subclass(HWND hwnd);
    void DestroyWindow();

    // Filter for queued messages bound for this window or its children, before
    // they are dispatched. True consumes the message.
    virtual bool PreTranslateMessage(MSG* msg);

    // Command routing: this object's handlers first, then whoever comes next
    // (the owner frame, then the application object).
    virtual bool RouteCommand(UINT id, UINT code, HWND control);

  protected:
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // The processing the window would get without this object.
    LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam);
    // Handlers of this class's own commands; true when handled.
    virtual bool OnCommand(UINT id, UINT code, HWND control);
    // The window is gone; the object stays.
    virtual void OnFinalDestroy() {}

    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Attach(HWND hwnd);
    void Detach();

    HWND m_hwnd = nullptr;
    WNDPROC m_superProc = nullptr;  // the procedure replaced by Subclass, if any
};

}  // namespace ui
