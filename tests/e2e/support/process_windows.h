// Looking at another process's windows from the outside.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// Every top-level window of the process, visible or not, in Z order.
std::vector<HWND> TopLevelWindowsOf(DWORD pid);

// Visible top-level windows of the process that carry WS_EX_TOPMOST.
std::vector<HWND> VisibleTopmostWindowsOf(DWORD pid);

// First top-level window of the process whose class and/or title match
// (nullptr matches anything); nullptr when there is none.
HWND FindTopLevel(DWORD pid, const char* className, const char* title);

// First direct child with that class and/or title.
HWND FindChild(HWND parent, const char* className, const char* title = nullptr);

std::string ClassNameOf(HWND hwnd);

// Window text through WM_GETTEXT (works for another process's controls,
// where GetWindowText returns nothing). CP932 bytes.
std::string TextOf(HWND hwnd);
std::wstring WideTextOf(HWND hwnd);

// The texts of a dialog's "Static" children joined in child order: what a
// message box says.
std::string StaticTextsOf(HWND dialog);

// Lines of a list box with LBS_HASSTRINGS, read cross-process.
std::vector<std::string> ListBoxLines(HWND listBox);
int ListBoxSelection(HWND listBox);

// "class 'title' visible (l,t)-(r,b)" for each window of the process, for
// failure messages.
std::string DescribeWindowsOf(DWORD pid);
std::string DescribeWindow(HWND hwnd);

// A visible popup menu window ("#32768") of the process, nullptr if none.
HWND FindVisibleMenuWindow(DWORD pid);

}  // namespace e2e
