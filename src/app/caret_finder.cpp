#include "app/caret_finder.h"

class CCaretFinder::Sources : public pikora::CaretSources {
  public:
    Sources(CCaretFinder& finder, const Target& target) : m_finder(finder), m_target(target) {}

    std::optional<pikora::ScreenPoint> SystemCaret() override { return m_target.systemCaret; }

    pikora::CaretAnswer AccessibleCaret(int budgetMs) override {
        const long long start = NowMs();
        pikora::CaretAnswer answer = m_finder.m_accessible.Ask(m_target.focus, budgetMs);
        const long long left = budgetMs - (NowMs() - start);
        // A focus window that publishes no caret may sit in a top-level
        // window that does.
        if (answer.kind == pikora::CaretAnswer::kNone && m_target.foreground != m_target.focus &&
            left > 0) {
            answer = m_finder.m_accessible.Ask(m_target.foreground, static_cast<int>(left));
        }
        return answer;
    }

    pikora::CaretAnswer AutomationCaret(int budgetMs) override {
        return m_finder.m_automation.Ask(budgetMs);
    }

    bool OnSomeMonitor(const pikora::ScreenRect& r) override {
        // A caret may have no width; a monitor holds it all the same.
        const RECT rect{r.left, r.top, r.right > r.left ? r.right : r.left + 1, r.bottom};
        return ::MonitorFromRect(&rect, MONITOR_DEFAULTTONULL) != nullptr;
    }

    pikora::ScreenPoint FocusWindowCorner() override { return m_target.focusCorner; }

    long long NowMs() override {
        LARGE_INTEGER frequency;
        LARGE_INTEGER counter;
        ::QueryPerformanceFrequency(&frequency);
        ::QueryPerformanceCounter(&counter);
        return counter.QuadPart * 1000 / frequency.QuadPart;
    }

  private:
    CCaretFinder& m_finder;
    const Target& m_target;
};

pikora::FoundCaret CCaretFinder::Find(const Target& target) {
    if (!target.systemCaret && !m_com) {
        m_com.emplace();
    }
    Sources sources(*this, target);
    return pikora::FindCaret(sources);
}
