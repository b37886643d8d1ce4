// Where the caret of the foreground application is, asked of the places a
// program may keep it, in a fixed order. Programs that draw their own caret
// (browsers, Electron and WebView2 programs) keep no system caret and tell
// accessibility clients instead; WinUI, UWP and WPF tell only UI Automation.
#pragma once

#include <optional>

#include "popup/popup_run_rules.h"

namespace pikora {

enum class CaretSource { kSystemCaret, kAccessible, kAutomation, kFocusWindow };

// What an accessibility source said about the caret.
struct CaretAnswer {
    enum Kind { kNone, kRect, kNoResponse };
    Kind kind = kNone;
    ScreenRect rect;
};

// The places the caret may be read from; the Win32 side asks the target
// program, unit tests fake them.
class CaretSources {
  public:
    virtual ~CaretSources() = default;
    // The caret point when the foreground thread owns a system caret.
    virtual std::optional<ScreenPoint> SystemCaret() = 0;
    // Each may take at most budgetMs; kNoResponse means the target did not
    // answer in time, so asking it anything more would only wait again.
    virtual CaretAnswer AccessibleCaret(int budgetMs) = 0;
    virtual CaretAnswer AutomationCaret(int budgetMs) = 0;
    virtual bool OnSomeMonitor(const ScreenRect& rect) = 0;
    // Where the popup goes without a caret: the focus window's outer corner.
    virtual ScreenPoint FocusWindowCorner() = 0;
    virtual long long NowMs() = 0;
};

// A hung target must not hold up the popup for longer than this.
constexpr int kAccessibilityBudgetMs = 150;

struct FoundCaret {
    ScreenPoint point;
    CaretSource source = CaretSource::kFocusWindow;
};

// The first source that knows the caret wins: the system caret, then the
// accessible caret object, then UI Automation, then the focus window.
FoundCaret FindCaret(CaretSources& sources, int budgetMs = kAccessibilityBudgetMs);

}  // namespace pikora
