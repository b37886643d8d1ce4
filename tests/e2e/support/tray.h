// The notification area as Wine provides it without a window manager: a
// fallback window "__winex11_standalone_tray" with one "__winex11_tray_icon"
// child per icon (there is no "TrayNotifyWnd").
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

#include "support/menu.h"
#include "support/thread_spy.h"

namespace e2e {

// Callback message of Pikora's notification-area icon.
constexpr UINT kWmTrayNotify = 0x8064;
// Icon id Pikora gives its icon; the shell passes it as wParam.
constexpr WPARAM kTrayIconId = 4;

HWND FindStandaloneTray();
// The icon windows of every process, in child order.
std::vector<HWND> TrayIcons();
int TrayIconCount();

// What the shell does when the mouse acts on the icon: posts the callback
// message with the mouse message in lParam to the icon's owner.
void PostTrayMouse(HWND owner, UINT mouseMessage);

// Posts the right-button callback to the frame and returns the tray menu as
// read inside the program; the menu stays open.
std::optional<Menu> OpenTrayMenu(ThreadSpy& spy, HWND frame);

// The tray menu as designed, with the history switch labelled historyLabel.
constexpr char kHistoryOnLabel[] = "履歴モードON（&R)";
constexpr char kHistoryOffLabel[] = "履歴モードOFF（&R)";
Menu ExpectedTrayMenu(const std::string& historyLabel);

// Escape, then waits until the program's menu loop has ended.
bool CloseMenuWithEscape(const ThreadSpy& spy);

// A spy on the thread that shows the icons (Wine's explorer), where the
// icons' tooltips live: its TrayTip() is what the shell shows on hover.
// nullptr when no tray window comes within 3 s.
std::unique_ptr<ThreadSpy> SpyOnTray();

}  // namespace e2e
