// The platform's floor for "hotkey pressed to window visible": a bare Win32
// program that shows a window when its thread hotkey fires. Alt+X shows it,
// Escape (a second hotkey) hides it again; WM_CLOSE to it ends the program.
#include <windows.h>

namespace {

constexpr int kShowHotkey = 1;
constexpr int kHideHotkey = 2;

LRESULT CALLBACK FloorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = FloorProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "LatencyFloor";
    ::RegisterClassA(&wc);
    HWND hwnd = ::CreateWindowExA(WS_EX_TOPMOST, "LatencyFloor", "floor", WS_POPUP | WS_THICKFRAME,
                                  100, 100, 155, 225, nullptr, nullptr, instance, nullptr);
    ::RegisterHotKey(nullptr, kShowHotkey, MOD_ALT, 'X');
    ::RegisterHotKey(nullptr, kHideHotkey, 0, VK_ESCAPE);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_HOTKEY && msg.hwnd == nullptr) {
            ::ShowWindow(hwnd, msg.wParam == kShowHotkey ? SW_SHOW : SW_HIDE);
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}
