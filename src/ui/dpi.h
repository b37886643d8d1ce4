// The DPI Windows draws a window or a monitor at. The functions that tell it
// per monitor came with Windows 8.1 and 10; older systems have one DPI for
// every monitor, which is what these give there.
#pragma once

#include <windows.h>

namespace ui {

// The DPI of the monitor that holds (or is nearest to) p.
int DpiAtPoint(POINT p);

// The DPI a window is drawn at.
int DpiOfWindow(HWND hwnd);

}  // namespace ui
