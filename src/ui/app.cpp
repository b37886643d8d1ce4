#include "ui/app.h"

#include <vector>

#include "ui/wide_text.h"
#include "ui/window.h"

namespace ui {
namespace {

App* g_app = nullptr;  // the one application object; set by its constructor

bool SameMessage(const MSG& a, const MSG& b) {
    return a.hwnd == b.hwnd && a.message == b.message && a.wParam == b.wParam &&
           a.lParam == b.lParam && a.time == b.time;
}

}  // namespace

App::App() {
    g_app = this;
}

App::~App() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

App* App::Current() {
    return g_app;
}

int App::Run(HINSTANCE instance) {
    m_hInstance = instance;
    m_hook.Reset(
        ::SetWindowsHookExW(WH_MSGFILTER, &App::MsgFilterHook, nullptr, ::GetCurrentThreadId()));
    int exitCode = 0;
    if (InitInstance()) {
        while (PumpMessage(&exitCode)) {
        }
    }
    const int exitInstance = ExitInstance();
    m_hook.Reset();
    return exitCode != 0 ? exitCode : exitInstance;
}

bool App::PumpMessage(int* exitCode) {
    MSG msg;
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
        if (exitCode) {
            *exitCode = got == 0 ? static_cast<int>(msg.wParam) : -1;
        }
        return false;
    }
    // A loop of our own nested inside a menu's loop filters normally.
    const bool wasInMenu = m_inMenuLoopFilter;
    m_inMenuLoopFilter = false;
    const bool consumed = FilterMessage(&msg);
    m_inMenuLoopFilter = wasInMenu;
    if (!consumed) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return true;
}

bool App::FilterMessage(MSG* msg) {
    m_filtering.push_back(*msg);
    const bool consumed = PreTranslateMessage(msg);
    m_filtering.pop_back();
    return consumed;
}

bool App::IsBeingFiltered(const MSG* msg) const {
    for (const MSG& m : m_filtering) {
        if (SameMessage(m, *msg)) {
            return true;
        }
    }
    return false;
}

bool App::PreTranslateMessage(MSG* msg) {
    // Inside a menu's own loop the keys belong to the menu: window filters
    // (dialog navigation, accelerators) must not see them.
    if (m_inMenuLoopFilter) {
        return false;
    }
    // Offer the message to the target window's object and then to the objects
    // of its parents, up to the top-level window.
    for (HWND hwnd = msg->hwnd; hwnd != nullptr;) {
        if (Window* w = Window::FromHandle(hwnd)) {
            if (w->PreTranslateMessage(msg)) {
                return true;
            }
        }
        if (!(::GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD)) {
            break;
        }
        hwnd = ::GetParent(hwnd);
    }
    return false;
}

bool App::OnCommand(UINT) {
    return false;
}

Window* App::FindWindowObject(HWND hwnd) const {
    const auto it = m_windows.find(hwnd);
    return it == m_windows.end() ? nullptr : it->second;
}

void App::MapWindowObject(HWND hwnd, Window* window) {
    m_windows[hwnd] = window;
}

void App::UnmapWindowObject(HWND hwnd) {
    m_windows.erase(hwnd);
}

LRESULT CALLBACK App::MsgFilterHook(int code, WPARAM wParam, LPARAM lParam) {
    App* app = g_app;
    if (code >= 0 && app != nullptr) {
        MSG* msg = reinterpret_cast<MSG*>(lParam);
        // IsDialogMessage, called from our own filter, calls the hook for the very
        // message being filtered; filtering it again would run every handler twice.
        if (!app->IsBeingFiltered(msg)) {
            const bool wasInMenu = app->m_inMenuLoopFilter;
            app->m_inMenuLoopFilter = code == MSGF_MENU;
            const bool consumed = app->FilterMessage(msg);
            app->m_inMenuLoopFilter = wasInMenu;
            if (consumed) {
                return 1;
            }
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

HINSTANCE ResourceInstance() {
    return App::Current() ? App::Current()->Instance() : ::GetModuleHandleW(nullptr);
}

std::string LoadResString(UINT id) {
    // With no buffer, LoadStringW points straight at the entry's UTF-16 text in
    // the resource, whatever its length.
    const wchar_t* text = nullptr;
    const int n = ::LoadStringW(ResourceInstance(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (n <= 0 || text == nullptr) {
        return std::string();
    }
    return Narrow(std::wstring_view(text, static_cast<size_t>(n)));
}

int AppMessageBox(const std::string& text, UINT flags, HWND owner) {
    return ::MessageBoxW(owner, Wide(text).c_str(), Wide(LoadResString(kAppTitleStringId)).c_str(),
                         flags);
}

}  // namespace ui
