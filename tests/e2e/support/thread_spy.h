// Watches another process's UI thread from inside, through a hook DLL
// injected into that thread (hook/thread_spy_hook.cpp): the popup menus it
// opens, its menu loop, and the destruction of its top-level windows.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "support/menu.h"
#include "support/thread_spy_shared.h"

namespace e2e {

class ThreadSpy {
  public:
    // Hooks the thread `threadId` of process `pid`.
    ThreadSpy(DWORD pid, DWORD threadId);
    ~ThreadSpy();
    ThreadSpy(const ThreadSpy&) = delete;
    ThreadSpy& operator=(const ThreadSpy&) = delete;

    bool Ok() const { return m_hook != nullptr && m_shared != nullptr; }
    const std::string& Error() const { return m_error; }

    // Arms the spy, runs `open` (which should make the program open a popup
    // menu) and returns the items of the first popup it opens, read inside the
    // program right after its owner handled WM_INITMENUPOPUP.
    std::optional<Menu> CaptureMenu(const std::function<void()>& open, DWORD timeoutMs = 3000);

    // Between WM_ENTERMENULOOP and WM_EXITMENULOOP of the hooked thread.
    bool InMenuLoop() const;
    bool WaitMenuLoop(bool inLoop, DWORD timeoutMs = 3000) const;

    // Number of notification-area icons at the moment `window` handled
    // WM_DESTROY; nothing when that has not been seen (yet).
    std::optional<int> TrayIconsWhenDestroyed(HWND window) const;
    // Every destruction seen, for failure messages.
    std::string DescribeDestroyed() const;

    // For the thread that shows the notification-area icons: the text last
    // given to an icon's tooltip since the spy was made (CP932); nothing when
    // none was given.
    std::optional<std::string> TrayTip() const;
    bool WaitTrayTip(const std::string& tip, DWORD timeoutMs = 3000) const;
    // How many times a tooltip text was set; the shell sets it on every
    // change the program reports, even to the same text.
    LONG TrayTipUpdates() const;
    bool WaitTrayTipUpdates(LONG moreThan, DWORD timeoutMs = 3000) const;

  private:
    HMODULE m_dll = nullptr;
    HHOOK m_hook = nullptr;
    HANDLE m_mapping = nullptr;
    ThreadSpyShared* m_shared = nullptr;
    std::string m_error;
};

}  // namespace e2e
