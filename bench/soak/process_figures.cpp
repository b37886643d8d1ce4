#include "process_figures.h"

#include <psapi.h>
#include <winternl.h>

#include <cstring>
#include <vector>

namespace soak {

namespace {

// Offset of PEB::GdiSharedHandleTable in a 64-bit process, and the table's
// layout there: 0x10000 cells of {object, owner pid (16 bits), count,
// unique (16 bits), type, ...}. A 32-bit process's cells differ between
// Windows and Wine, so a 32-bit build does not count them.
constexpr size_t kPebGdiTable = 0xF8;
constexpr size_t kGdiCellSize = 24;
constexpr size_t kCellOwner = 8;
constexpr size_t kCellType = 14;
constexpr size_t kGdiCells = 0x10000;

long CountGdiHandles(HANDLE process, DWORD pid) {
    if (sizeof(void*) != 8) {
        return -1;
    }
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic,
                                  &length) != 0 ||
        basic.PebBaseAddress == nullptr) {
        return -1;
    }
    ULONG_PTR table = 0;
    SIZE_T got = 0;
    if (!ReadProcessMemory(process,
                           reinterpret_cast<const char*>(basic.PebBaseAddress) + kPebGdiTable,
                           &table, sizeof table, &got) ||
        table == 0) {
        return -1;
    }
    std::vector<unsigned char> cells(kGdiCells * kGdiCellSize);
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), cells.data(),
                           cells.size(), &got)) {
        return -1;
    }
    // Windows keeps one table for the whole session, marked with each cell's
    // owner; Wine keeps one per process and leaves the owner 0.
    const auto ownPid = static_cast<USHORT>(pid & 0xFFFF);
    long count = 0;
    for (size_t i = 0; i < kGdiCells; ++i) {
        const unsigned char* cell = &cells[i * kGdiCellSize];
        USHORT owner = 0;
        std::memcpy(&owner, cell + kCellOwner, sizeof owner);
        if (cell[kCellType] != 0 && (owner == 0 || owner == ownPid)) {
            ++count;
        }
    }
    return count;
}

struct WindowCount {
    DWORD pid;
    long count;
};

BOOL CALLBACK CountChild(HWND, LPARAM param) {
    ++reinterpret_cast<WindowCount*>(param)->count;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM param) {
    auto* counting = reinterpret_cast<WindowCount*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == counting->pid) {
        ++counting->count;
        // Every descendant, not only the direct children.
        EnumChildWindows(hwnd, CountChild, param);
    }
    return TRUE;
}

long CountWindows(DWORD pid) {
    WindowCount counting{pid, 0};
    EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&counting));
    return counting.count;
}

}  // namespace

ProcessFigures TakeFigures(HANDLE process, DWORD pid) {
    ProcessFigures f;
    f.guiGdi = static_cast<long>(GetGuiResources(process, GR_GDIOBJECTS));
    f.guiUser = static_cast<long>(GetGuiResources(process, GR_USEROBJECTS));
    f.gdiHandles = CountGdiHandles(process, pid);
    f.windows = CountWindows(pid);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory)) {
        f.privateUsage = memory.PrivateUsage;
        f.pagefileUsage = memory.PagefileUsage;
        f.workingSet = memory.WorkingSetSize;
    }
    return f;
}

}  // namespace soak
