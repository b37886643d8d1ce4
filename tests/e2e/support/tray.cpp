#include "support/tray.h"

#include "support/common.h"
#include "support/input.h"

namespace e2e {

HWND FindStandaloneTray() {
    return FindWindowA("__winex11_standalone_tray", nullptr);
}

std::vector<HWND> TrayIcons() {
    std::vector<HWND> icons;
    HWND tray = FindStandaloneTray();
    if (tray == nullptr) {
        return icons;
    }
    for (HWND icon = FindWindowExA(tray, nullptr, "__winex11_tray_icon", nullptr); icon != nullptr;
         icon = FindWindowExA(tray, icon, "__winex11_tray_icon", nullptr)) {
        icons.push_back(icon);
    }
    return icons;
}

int TrayIconCount() {
    return static_cast<int>(TrayIcons().size());
}

void PostTrayMouse(HWND owner, UINT mouseMessage) {
    PostMessageA(owner, kWmTrayNotify, kTrayIconId, static_cast<LPARAM>(mouseMessage));
}

std::optional<Menu> OpenTrayMenu(ThreadSpy& spy, HWND frame) {
    return spy.CaptureMenu([&] { PostTrayMouse(frame, WM_RBUTTONDOWN); });
}

bool CloseMenuWithEscape(const ThreadSpy& spy) {
    PressKey(VK_ESCAPE);
    return spy.WaitMenuLoop(false);
}

std::unique_ptr<ThreadSpy> SpyOnTray() {
    HWND tray = nullptr;
    if (!WaitUntil([&] { return (tray = FindStandaloneTray()) != nullptr; }, 3000)) {
        return nullptr;
    }
    DWORD pid = 0;
    const DWORD thread = GetWindowThreadProcessId(tray, &pid);
    return std::make_unique<ThreadSpy>(pid, thread);
}

}  // namespace e2e
