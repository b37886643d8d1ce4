// Finds the caret of the foreground program: its system caret, or what it
// tells accessibility clients, or else its focus window's corner.
#pragma once

#include <windows.h>

#include <optional>

#include "app/caret_accessible.h"
#include "app/caret_automation.h"
#include "popup/caret_search.h"
#include "ui/com.h"

class CCaretFinder {
  public:
    // What the foreground thread's input state told.
    struct Target {
        HWND foreground = nullptr;
        HWND focus = nullptr;
        // The system caret's point, when the thread owns a caret.
        std::optional<pikora::ScreenPoint> systemCaret;
        pikora::ScreenPoint focusCorner;
    };

    pikora::FoundCaret Find(const Target& target);

  private:
    class Sources;

    // Started the first time a program without a system caret is met, and
    // kept: COM on the UI thread, apartment-threaded, once.
    std::optional<ui::ComApartment> m_com;
    CAccessibleCaret m_accessible;
    CAutomationCaret m_automation;
};
