// Injected into the program under test by SetWindowsHookEx on its UI thread.
// Wine 8 does not let another process read a menu handle, so the items are
// read here, in the owning process, and copied into the test's shared memory.
// It also notes what the shell shows at the moment a top-level window is
// destroyed, which the test cannot see afterwards: Wine drops the icons of a
// dead window by itself. Hooked into the thread that shows the icons (Wine's
// explorer), it reads an icon's tooltip text as it is set: Wine does not
// carry a tooltip's text to another process.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "support/thread_spy_shared.h"

namespace {

using e2e::ThreadSpyMenuItem;
using e2e::ThreadSpyShared;

// Maps the test's shared memory for the duration of one message; nothing is
// kept between calls.
class SharedView {
  public:
    SharedView() {
        char name[64];
        std::snprintf(name, sizeof name, "%s%lu", e2e::kThreadSpyMappingPrefix,
                      GetCurrentProcessId());
        m_mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name);
        if (m_mapping != nullptr) {
            m_view = static_cast<ThreadSpyShared*>(
                MapViewOfFile(m_mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(ThreadSpyShared)));
        }
    }
    ~SharedView() {
        if (m_view != nullptr) {
            UnmapViewOfFile(m_view);
        }
        if (m_mapping != nullptr) {
            CloseHandle(m_mapping);
        }
    }
    SharedView(const SharedView&) = delete;
    SharedView& operator=(const SharedView&) = delete;
    ThreadSpyShared* get() const { return m_view; }

  private:
    HANDLE m_mapping = nullptr;
    ThreadSpyShared* m_view = nullptr;
};

void CopyMenu(HMENU menu, LONG depth, ThreadSpyShared* shared) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count && shared->menuCount < e2e::kThreadSpyMaxItems; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        ThreadSpyMenuItem& item = shared->menu[shared->menuCount++];
        std::memset(&item, 0, sizeof item);
        item.depth = depth;
        item.type = static_cast<LONG>(info.fType);
        item.state = static_cast<LONG>(info.fState);
        item.hasSubmenu = info.hSubMenu != nullptr;
        item.id = (info.hSubMenu != nullptr || (info.fType & MFT_SEPARATOR) != 0)
                      ? 0
                      : static_cast<LONG>(info.wID);
        if ((info.fType & MFT_SEPARATOR) == 0) {
            // Read as UTF-16 and put into CP932 here: the A function would use
            // the session's code page, which is not 932 in every test.
            wchar_t text[sizeof item.text] = {};
            const int n =
                GetMenuStringW(menu, static_cast<UINT>(i), text, sizeof item.text, MF_BYPOSITION);
            WideCharToMultiByte(932, 0, text, n, item.text, sizeof item.text - 1, nullptr, nullptr);
        }
        if (info.hSubMenu != nullptr) {
            CopyMenu(info.hSubMenu, depth + 1, shared);
        }
    }
}

LONG CountTrayIcons() {
    HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
    if (tray == nullptr) {
        return -1;
    }
    LONG count = 0;
    for (HWND icon = FindWindowExA(tray, nullptr, "__winex11_tray_icon", nullptr); icon != nullptr;
         icon = FindWindowExA(tray, icon, "__winex11_tray_icon", nullptr)) {
        ++count;
    }
    return count;
}

bool IsTopLevel(HWND hwnd) {
    return GetAncestor(hwnd, GA_PARENT) == GetDesktopWindow();
}

bool HasClassPrefix(HWND hwnd, const char* prefix) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return std::strncmp(name, prefix, std::strlen(prefix)) == 0;
}

// A tool of the tooltip that Wine's notification area gives its icons.
bool IsTrayIconTool(const CWPRETSTRUCT& message) {
    const auto* tool = reinterpret_cast<const TTTOOLINFOW*>(message.lParam);
    if (tool == nullptr || tool->lpszText == nullptr || tool->lpszText == LPSTR_TEXTCALLBACKW) {
        return false;
    }
    return HasClassPrefix(tool->hwnd, "__winex11_") ||
           HasClassPrefix(GetWindow(message.hwnd, GW_OWNER), "__winex11_");
}

void OnMessageHandled(const CWPRETSTRUCT& message) {
    switch (message.message) {
        case WM_ENTERMENULOOP:
        case WM_EXITMENULOOP:
        case WM_INITMENUPOPUP:
            break;
        case WM_DESTROY:
            if (IsTopLevel(message.hwnd)) {
                break;
            }
            return;
        case TTM_ADDTOOLW:
        case TTM_SETTOOLINFOW:
        case TTM_UPDATETIPTEXTW:
            if (IsTrayIconTool(message)) {
                break;
            }
            return;
        default:
            return;
    }
    SharedView view;
    ThreadSpyShared* shared = view.get();
    if (shared == nullptr) {
        return;
    }
    switch (message.message) {
        case WM_ENTERMENULOOP:
            InterlockedExchange(&shared->inMenuLoop, 1);
            break;
        case WM_EXITMENULOOP:
            InterlockedExchange(&shared->inMenuLoop, 0);
            break;
        case WM_INITMENUPOPUP:
            InterlockedIncrement(&shared->popupsOpened);
            // Read after the owner has handled the message, so labels it
            // changes on opening are seen as the user sees them.
            if (InterlockedCompareExchange(&shared->menuArmed, 0, 1) == 1) {
                shared->menuCount = 0;
                CopyMenu(reinterpret_cast<HMENU>(message.wParam), 0, shared);
                InterlockedIncrement(&shared->menuRecords);
            }
            break;
        case WM_DESTROY: {
            const LONG slot = shared->destroyedCount;
            if (slot < e2e::kThreadSpyMaxDestroyed) {
                shared->destroyedWindows[slot] =
                    static_cast<ULONGLONG>(reinterpret_cast<ULONG_PTR>(message.hwnd));
                shared->trayIconsAtDestroy[slot] = CountTrayIcons();
                InterlockedIncrement(&shared->destroyedCount);
            }
            break;
        }
        case TTM_ADDTOOLW:
        case TTM_SETTOOLINFOW:
        case TTM_UPDATETIPTEXTW: {
            const auto* tool = reinterpret_cast<const TTTOOLINFOW*>(message.lParam);
            char text[e2e::kThreadSpyMaxText] = {};
            WideCharToMultiByte(932, 0, tool->lpszText, -1, text, sizeof text - 1, nullptr,
                                nullptr);
            std::memcpy(shared->trayTip, text, sizeof text);
            InterlockedIncrement(&shared->trayTipUpdates);
            break;
        }
    }
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    ThreadSpyHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        OnMessageHandled(*reinterpret_cast<const CWPRETSTRUCT*>(lParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
