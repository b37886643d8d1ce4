#include "support/thread_spy.h"

#include <cstring>

#include "support/common.h"

namespace e2e {

namespace {

// Rebuilds the tree from the depth-first records, starting at `pos`.
Menu BuildLevel(const ThreadSpyShared& shared, LONG depth, int& pos) {
    Menu menu;
    while (pos < shared.menuCount && shared.menu[pos].depth == depth) {
        const ThreadSpyMenuItem& record = shared.menu[pos++];
        MenuItem item;
        item.id = static_cast<UINT>(record.id);
        item.separator = (record.type & MFT_SEPARATOR) != 0;
        item.grayed = (record.state & (MFS_GRAYED | MFS_DISABLED)) != 0;
        item.checked = (record.state & MFS_CHECKED) != 0;
        item.text.assign(record.text, strnlen(record.text, sizeof record.text));
        if (record.hasSubmenu) {
            item.submenu = BuildLevel(shared, depth + 1, pos);
        }
        menu.push_back(std::move(item));
    }
    return menu;
}

}  // namespace

ThreadSpy::ThreadSpy(DWORD pid, DWORD threadId) {
    const std::string name = kThreadSpyMappingPrefix + std::to_string(pid);
    m_mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                   sizeof(ThreadSpyShared), name.c_str());
    if (m_mapping == nullptr) {
        m_error = "CreateFileMapping failed: " + ErrorText(GetLastError());
        return;
    }
    m_shared = static_cast<ThreadSpyShared*>(
        MapViewOfFile(m_mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(ThreadSpyShared)));
    if (m_shared == nullptr) {
        m_error = "MapViewOfFile failed: " + ErrorText(GetLastError());
        return;
    }
    std::memset(m_shared, 0, sizeof(ThreadSpyShared));
    const std::string dllPath = ThisExeDir() + "\\" + kThreadSpyDllName;
    m_dll = LoadLibraryA(dllPath.c_str());
    if (m_dll == nullptr) {
        m_error = "LoadLibrary(" + dllPath + ") failed: " + ErrorText(GetLastError());
        return;
    }
    // Through void*: FARPROC and HOOKPROC are unrelated function types to the compiler.
    auto proc = reinterpret_cast<HOOKPROC>(
        reinterpret_cast<void*>(GetProcAddress(m_dll, kThreadSpyHookProcName)));
    if (proc == nullptr) {
        m_error = std::string("the spy DLL does not export ") + kThreadSpyHookProcName;
        return;
    }
    // Wine loads the DLL into the hooked process by its path and calls the
    // procedure at the same offset there.
    m_hook = SetWindowsHookExA(WH_CALLWNDPROCRET, proc, m_dll, threadId);
    if (m_hook == nullptr) {
        m_error = "SetWindowsHookEx failed: " + ErrorText(GetLastError());
    }
}

ThreadSpy::~ThreadSpy() {
    if (m_hook != nullptr) {
        UnhookWindowsHookEx(m_hook);
    }
    if (m_dll != nullptr) {
        FreeLibrary(m_dll);
    }
    if (m_shared != nullptr) {
        UnmapViewOfFile(m_shared);
    }
    if (m_mapping != nullptr) {
        CloseHandle(m_mapping);
    }
}

std::optional<Menu> ThreadSpy::CaptureMenu(const std::function<void()>& open, DWORD timeoutMs) {
    if (!Ok()) {
        return std::nullopt;
    }
    const LONG before = m_shared->menuRecords;
    InterlockedExchange(&m_shared->menuArmed, 1);
    open();
    if (!WaitUntil([&] { return m_shared->menuRecords != before; }, timeoutMs)) {
        InterlockedExchange(&m_shared->menuArmed, 0);
        return std::nullopt;
    }
    MemoryBarrier();
    int pos = 0;
    return BuildLevel(*m_shared, 0, pos);
}

bool ThreadSpy::InMenuLoop() const {
    return m_shared != nullptr && m_shared->inMenuLoop != 0;
}

bool ThreadSpy::WaitMenuLoop(bool inLoop, DWORD timeoutMs) const {
    return WaitUntil([&] { return InMenuLoop() == inLoop; }, timeoutMs);
}

std::optional<int> ThreadSpy::TrayIconsWhenDestroyed(HWND window) const {
    if (m_shared == nullptr) {
        return std::nullopt;
    }
    const LONG count = m_shared->destroyedCount;
    MemoryBarrier();
    const auto wanted = static_cast<ULONGLONG>(reinterpret_cast<ULONG_PTR>(window));
    for (LONG i = 0; i < count; ++i) {
        if (m_shared->destroyedWindows[i] == wanted) {
            return static_cast<int>(m_shared->trayIconsAtDestroy[i]);
        }
    }
    return std::nullopt;
}

std::string ThreadSpy::DescribeDestroyed() const {
    std::string out;
    for (LONG i = 0; m_shared != nullptr && i < m_shared->destroyedCount; ++i) {
        out += "  window " + std::to_string(m_shared->destroyedWindows[i]) + " with " +
               std::to_string(m_shared->trayIconsAtDestroy[i]) + " tray icon(s)\n";
    }
    return out.empty() ? "  (no top-level window destroyed)\n" : out;
}

std::optional<std::string> ThreadSpy::TrayTip() const {
    if (m_shared == nullptr || m_shared->trayTipUpdates == 0) {
        return std::nullopt;
    }
    MemoryBarrier();
    return std::string(m_shared->trayTip, strnlen(m_shared->trayTip, sizeof m_shared->trayTip));
}

bool ThreadSpy::WaitTrayTip(const std::string& tip, DWORD timeoutMs) const {
    return WaitUntil([&] { return TrayTip() == tip; }, timeoutMs);
}

LONG ThreadSpy::TrayTipUpdates() const {
    return m_shared != nullptr ? m_shared->trayTipUpdates : 0;
}

bool ThreadSpy::WaitTrayTipUpdates(LONG moreThan, DWORD timeoutMs) const {
    return WaitUntil([&] { return TrayTipUpdates() > moreThan; }, timeoutMs);
}

}  // namespace e2e
