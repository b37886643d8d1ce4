// What one process holds, looked at from outside: its GUI objects and its
// memory, for a soak run's before-and-after comparison.
#pragma once

#include <windows.h>

namespace soak {

struct ProcessFigures {
    // GetGuiResources. Wine 8 answers 0 for both (a stub), hence the counts below.
    long guiGdi = -1;
    long guiUser = -1;
    // Live entries of the process's GDI handle table (PEB->GdiSharedHandleTable,
    // read from outside as GDI leak checkers do on Windows); -1 if unreadable.
    long gdiHandles = -1;
    // Windows of the process, top-level (hidden ones too) and all their children.
    long windows = -1;
    // GetProcessMemoryInfo. Wine 8 reports PrivateUsage as 0; PagefileUsage is
    // the committed private memory there.
    SIZE_T privateUsage = 0;
    SIZE_T pagefileUsage = 0;
    SIZE_T workingSet = 0;
};

// The process handle needs PROCESS_QUERY_INFORMATION and PROCESS_VM_READ (a
// handle from CreateProcess has them).
ProcessFigures TakeFigures(HANDLE process, DWORD pid);

}  // namespace soak
