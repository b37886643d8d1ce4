// Wine's notepad as a paste target: start it, focus it, read what arrived.
#pragma once

#include <windows.h>

#include <string>

#include "support/child_process.h"

namespace e2e {

class Notepad {
  public:
    // Starts notepad.exe and waits for its "Notepad" window and "Edit" child.
    Notepad();
    // Closes it (answering the save prompt with "No"), or terminates it.
    ~Notepad();
    Notepad(const Notepad&) = delete;
    Notepad& operator=(const Notepad&) = delete;

    bool Started() const { return m_edit != nullptr; }
    const std::string& Error() const { return m_error; }
    DWORD Pid() const { return m_process.Pid(); }
    HWND Frame() const { return m_frame; }
    HWND Edit() const { return m_edit; }

    // Brings notepad to the front (the top-level window: Wine does not raise
    // the parent of a child passed to SetForegroundWindow) and waits for it.
    bool Focus() const;

    // The Edit control's text, CP932 bytes.
    std::string Text() const;
    // A paste waits up to 3 s for notepad to take the focus back before it
    // types Ctrl+V, so the text may come later than that on a busy machine.
    bool WaitForText(const std::string& expected, DWORD timeoutMs = 10000) const;

    // Screen point just inside character `index` of the Edit control.
    POINT CharPoint(int index) const;

    // WM_CLOSE, "No" to the save prompt, and wait for the process to end.
    bool Close(DWORD timeoutMs = 5000);

  private:
    ChildProcess m_process;
    HWND m_frame = nullptr;
    HWND m_edit = nullptr;
    std::string m_error;
};

}  // namespace e2e
