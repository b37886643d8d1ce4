#include "ui/dpi.h"

#include "ui/handles.h"

namespace ui {

namespace {

// MDT_EFFECTIVE_DPI of shcore's GetDpiForMonitor.
constexpr int kEffectiveDpi = 0;

int SystemDpi() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) {
        ::ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : 96;
}

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
    // Through void*: FARPROC and the real signature are unrelated function types.
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
                  : nullptr;
}

}  // namespace

int DpiAtPoint(POINT p) {
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    // Loaded, not linked: shcore.dll is not there before Windows 8.1.
    UniqueModule shcore(::LoadLibraryA("shcore.dll"));
    const auto getDpiForMonitor = Lookup<GetDpiForMonitorFn>(shcore.Get(), "GetDpiForMonitor");
    HMONITOR monitor = ::MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST);
    UINT x = 0;
    UINT y = 0;
    if (getDpiForMonitor && monitor && getDpiForMonitor(monitor, kEffectiveDpi, &x, &y) == S_OK &&
        y > 0) {
        return static_cast<int>(y);
    }
    return SystemDpi();
}

int DpiOfWindow(HWND hwnd) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    const auto getDpiForWindow =
        Lookup<GetDpiForWindowFn>(::GetModuleHandleA("user32.dll"), "GetDpiForWindow");
    if (getDpiForWindow && hwnd) {
        const UINT dpi = getDpiForWindow(hwnd);
        if (dpi > 0) {
            return static_cast<int>(dpi);
        }
    }
    return SystemDpi();
}

}  // namespace ui
