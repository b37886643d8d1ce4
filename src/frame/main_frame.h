// The hidden main window: notification-area icon with its tooltip and menu,
// clipboard-change notifications, the history-mode switch and the end of the
// program. It is a hidden top-level window rather than a message-only one,
// because message-only windows do not receive the shell's "TaskbarCreated".
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <optional>
#include <string>

#include "frame/child_view.h"
#include "store/history_capture.h"
#include "ui/handles.h"
#include "ui/window.h"

class CMainFrame : public ui::Window {
  public:
    static constexpr const wchar_t* kClassName = L"Pikora_MainFrame";

    CMainFrame();
    ~CMainFrame() override;

    // Creates the frame off-screen and hidden, with the icon in the tray.
    bool LoadFrame();
    // Starts the clipboard-change notifications.
    void JoinClipboardChain();

    bool PreTranslateMessage(MSG* msg) override;
    bool IsCursorOverTrayArea() const;
    // A copy the clipboard pass could not read yet (another program held the
    // clipboard) is read now, before the clipboard is written over; waits up
    // to waitMs for it.
    void ReadPendingCopy(DWORD waitMs);

  protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

  private:
    int OnCreate();
    void OnDestroy();
    void OnSetFocus();
    void OnExit();
    void OnHistoryMode();
    void OnClearNormal();
    void OnEndSession(bool ending);
    void OnDataFileWritten(bool saved, unsigned long win32Error);
    LRESULT OnTrayNotify(LPARAM mouseMessage);
    void OnTrayRightButton();
    void OnTrayHover();
    void OnClipboardChanged();
    void OnChangeClipboardChain(HWND removed, HWND next);
    void OnTaskbarCreated();
    void ClipboardPass();
    void StopClipboardRetries();
    void SetTrayTip(const std::string& tip);
    void ShowClipboardInTip(const std::string& text);
    void AddTrayIcon();
    void RemoveTrayIcon();
    void LeaveClipboardChain();

    CChildView m_wndView;
    ui::UniqueIcon m_hIconHistoryOn;
    ui::UniqueIcon m_hIconHistoryOff;
    NOTIFYICONDATAW m_nid{};
    ui::UniqueMenu m_menuTray;
    HACCEL m_hAccel = nullptr;
    bool m_bTrayPopup = false;
    HWND m_hwndLastForeground = nullptr;

    bool m_bTrayIconAdded = false;
    int m_nClipboardRetries = 0;  // failed attempts to read the latest change
    // The capture state when that change was announced.
    std::optional<pikora::CaptureGate> m_pendingGate;
    UINT m_uTaskbarCreated = 0;
    // Clipboard notifications: the format listener where user32 has it,
    // otherwise the classic viewer chain.
    bool m_bFormatListener = false;
    bool m_bInViewerChain = false;
    BOOL(WINAPI* m_pfnRemoveClipboardFormatListener)(HWND) = nullptr;
};
