// The caret probe (tests/e2e/caret_probe) as a paste target: a program that
// keeps its caret where only accessibility clients (or, in "system" mode, the
// system caret) can see it.
#pragma once

#include <windows.h>

#include <string>

#include "support/child_process.h"

namespace e2e {

class CaretProbe {
  public:
    // mode: "accessible", "system", "hung" or "none"; the caret at client point caret.
    CaretProbe(const std::string& mode, POINT caret);
    bool Started() const { return m_hwnd != nullptr; }
    const std::string& Error() const { return m_error; }
    HWND Window() const { return m_hwnd; }

    // The caret's screen point.
    POINT CaretOnScreen() const;
    // Brings the probe to the front and waits until its window has the focus.
    bool Focus() const;
    // What Ctrl+V has brought in so far, as CP932.
    std::string Pasted() const;

  private:
    ChildProcess m_process;
    POINT m_caret;
    HWND m_hwnd = nullptr;
    std::string m_error;
};

}  // namespace e2e
