// Application object: owns the message loop and the one message filter.
//
// Every queued message of the thread passes PreTranslateMessage before it is
// dispatched: in our own loop, in our modal dialog loops and, through a
// WH_MSGFILTER hook, in the loops the system runs for message boxes, menus and
// common dialogs. Thread messages (WM_HOTKEY of a hotkey registered without a
// window, WM_TIMER) are therefore seen wherever the thread happens to wait.
#pragma once

#include <windows.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "ui/handles.h"

namespace ui {

class Window;

class App {
  public:
    App();
    virtual ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // The application object of this process (there is exactly one).
    static App* Current();

    // InitInstance, then the message loop until WM_QUIT; returns the exit code.
    int Run(HINSTANCE instance);
    HINSTANCE Instance() const { return m_hInstance; }

    virtual bool InitInstance() = 0;
    virtual int ExitInstance() { return 0; }

    // The filter; the base walks the target window and its parents. True
    // consumes the message.
    virtual bool PreTranslateMessage(MSG* msg);
    // The last stop of command routing.
    virtual bool OnCommand(UINT id);

    // Gets, filters and dispatches one message. False on WM_QUIT (whose exit
    // code is in *exitCode).
    bool PumpMessage(int* exitCode);

    Window* m_pMainWnd = nullptr;

    // Which object belongs to which window handle.
    Window* FindWindowObject(HWND hwnd) const;
    void MapWindowObject(HWND hwnd, Window* window);
    void UnmapWindowObject(HWND hwnd);

  private:
    bool FilterMessage(MSG* msg);
    bool IsBeingFiltered(const MSG* msg) const;
    static LRESULT CALLBACK MsgFilterHook(int code, WPARAM wParam, LPARAM lParam);

    HINSTANCE m_hInstance = nullptr;
    UniqueHook m_hook;
    std::unordered_map<HWND, Window*> m_windows;
    std::vector<MSG> m_filtering;     // messages whose filtering is under way (nested loops)
    bool m_inMenuLoopFilter = false;  // the hook is filtering for a menu's loop
};

// The framework's standard string id of the application title, used as the
// caption of the program's message boxes.
constexpr UINT kAppTitleStringId = 57344;

// Resource helpers.
// The module the program's resources come from (the running exe when no
// application object exists, as in the framework's own tests).
HINSTANCE ResourceInstance();
std::string LoadResString(UINT id);
// A message box with the application title as caption.
int AppMessageBox(const std::string& text, UINT flags, HWND owner = nullptr);

}  // namespace ui
