// The caret as a program publishes it through UI Automation (WinUI, UWP, WPF,
// Windows Terminal): the focused element's caret range, or its first
// selection range.
#pragma once

#include <windows.h>

#include "app/uia_client.h"
#include "popup/caret_search.h"
#include "ui/com.h"
#include "ui/handles.h"

class CAutomationCaret {
  public:
    // Needs COM on the calling thread. Gives nothing where UI Automation
    // cannot be held to budgetMs (before Windows 8).
    pikora::CaretAnswer Ask(int budgetMs);

  private:
    bool Connect();
    bool RangeRect(uia::ITextRange* range, pikora::ScreenRect& rect);
    bool FirstRect(uia::ITextRange* range, pikora::ScreenRect& rect);

    using SafeArrayDestroyFn = HRESULT(WINAPI*)(SAFEARRAY*);
    bool m_tried = false;
    ui::ComPtr<uia::IAutomation2> m_automation;
    // Loaded, not linked: the exe imports only what every Windows has.
    ui::UniqueModule m_oleaut;
    SafeArrayDestroyFn m_safeArrayDestroy = nullptr;
};
