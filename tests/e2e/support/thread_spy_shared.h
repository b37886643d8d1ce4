// Layout of the named shared memory through which the spy hook, running
// inside the program under test, reports to the test. Plain C types only:
// the hook DLL and the test both include this.
#pragma once

#include <windows.h>

namespace e2e {

// Followed by the decimal id of the process whose thread is hooked.
constexpr char kThreadSpyMappingPrefix[] = "PikoraE2EThreadSpy.";
constexpr char kThreadSpyHookProcName[] = "ThreadSpyHookProc";
constexpr char kThreadSpyDllName[] = "e2e_threadspy.dll";
constexpr int kThreadSpyMaxItems = 96;
constexpr int kThreadSpyMaxText = 256;
constexpr int kThreadSpyMaxDestroyed = 64;

// One menu item, in depth-first order: a submenu's items follow their parent item.
struct ThreadSpyMenuItem {
    LONG depth;  // 0 for the items of the popup that was opened
    LONG id;     // command id; 0 for separators and submenu items
    LONG type;   // MFT_* bits
    LONG state;  // MFS_* bits
    LONG hasSubmenu;
    char text[kThreadSpyMaxText];  // GetMenuStringA: CP932 bytes, NUL-terminated
};

struct ThreadSpyShared {
    // The test sets 1; the hook records the next WM_INITMENUPOPUP when it
    // finds 1 and resets it, so a submenu opened later does not overwrite it.
    volatile LONG menuArmed;
    // Incremented after each completed menu record.
    volatile LONG menuRecords;
    // 1 between WM_ENTERMENULOOP and WM_EXITMENULOOP.
    volatile LONG inMenuLoop;
    // Incremented on every WM_INITMENUPOPUP, recorded or not.
    volatile LONG popupsOpened;
    LONG menuCount;
    ThreadSpyMenuItem menu[kThreadSpyMaxItems];

    // Top-level windows of the thread that handled WM_DESTROY, in order, each
    // with the number of notification-area icons at that moment (-1: no tray
    // window).
    volatile LONG destroyedCount;
    // Window handles, widened so that a 64-bit build keeps them whole.
    ULONGLONG destroyedWindows[kThreadSpyMaxDestroyed];
    LONG trayIconsAtDestroy[kThreadSpyMaxDestroyed];

    // The text last given to the tooltip of a notification-area icon of the
    // thread (CP932, NUL-terminated), and how many times one was given. The
    // hook writes the text first.
    volatile LONG trayTipUpdates;
    char trayTip[kThreadSpyMaxText];
};

}  // namespace e2e
