#include "popup/caret_search.h"

namespace pikora {

namespace {

// A caret is a line: some programs report it with no width, which still
// places it. No height, or a place on no monitor, is a caret that is not shown.
bool Shown(CaretSources& sources, const CaretAnswer& answer) {
    const ScreenRect& r = answer.rect;
    return answer.kind == CaretAnswer::kRect && r.bottom > r.top && r.right >= r.left &&
           sources.OnSomeMonitor(r);
}

}  // namespace

FoundCaret FindCaret(CaretSources& sources, int budgetMs) {
    if (const std::optional<ScreenPoint> caret = sources.SystemCaret()) {
        return {*caret, CaretSource::kSystemCaret};
    }
    const long long start = sources.NowMs();
    const CaretAnswer accessible = sources.AccessibleCaret(budgetMs);
    if (Shown(sources, accessible)) {
        return {{accessible.rect.left, accessible.rect.top}, CaretSource::kAccessible};
    }
    const long long left = budgetMs - (sources.NowMs() - start);
    if (accessible.kind != CaretAnswer::kNoResponse && left > 0) {
        const CaretAnswer automation = sources.AutomationCaret(static_cast<int>(left));
        if (Shown(sources, automation)) {
            return {{automation.rect.left, automation.rect.top}, CaretSource::kAutomation};
        }
    }
    return {sources.FocusWindowCorner(), CaretSource::kFocusWindow};
}

}  // namespace pikora
