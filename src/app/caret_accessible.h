// The caret as a program publishes it to Active Accessibility clients: the
// object it gives for OBJID_CARET, whose location is the caret's rectangle.
// Chromium-based programs and Firefox draw their own caret and tell it so.
#pragma once

#include <windows.h>

#include "popup/caret_search.h"
#include "ui/handles.h"

class CAccessibleCaret {
  public:
    // The caret object of window, waiting at most timeoutMs for its answer.
    // Needs COM on the calling thread.
    pikora::CaretAnswer Ask(HWND window, int timeoutMs);

  private:
    using ObjectFromLresultFn = HRESULT(WINAPI*)(LRESULT, REFIID, WPARAM, void**);
    // Loaded, not linked: the exe imports only what every Windows has.
    ui::UniqueModule m_oleacc;
    ObjectFromLresultFn m_objectFromLresult = nullptr;
};
