#include "popup/caret_search.h"

#include <gtest/gtest.h>

#include <string>

namespace pikora {
namespace {

// Answers as configured, notes which sources were asked with which budget,
// and lets each accessibility answer take `costMs` of the clock.
class FakeSources : public CaretSources {
  public:
    std::optional<ScreenPoint> system;
    CaretAnswer accessible, automation;
    int costMs = 0;
    std::string asked;

    std::optional<ScreenPoint> SystemCaret() override { return system; }
    CaretAnswer AccessibleCaret(int budgetMs) override { return Ask("msaa", budgetMs, accessible); }
    CaretAnswer AutomationCaret(int budgetMs) override { return Ask("uia", budgetMs, automation); }
    bool OnSomeMonitor(const ScreenRect& r) override { return r.left >= 0 && r.left < 1024; }
    ScreenPoint FocusWindowCorner() override { return {7, 8}; }
    long long NowMs() override { return m_now; }

  private:
    CaretAnswer Ask(const char* name, int budgetMs, CaretAnswer answer) {
        asked += std::string(name) + "(" + std::to_string(budgetMs) + ") ";
        m_now += costMs;
        return answer;
    }
    long long m_now = 1000;
};

CaretAnswer Rect(int left, int top, int right, int bottom) {
    return {CaretAnswer::kRect, {left, top, right, bottom}};
}

TEST(CaretSearch, TheFirstSourceThatShowsACaretWinsAndLaterOnesAreNotAsked) {
    FakeSources sources;
    sources.system = ScreenPoint{300, 200};
    sources.accessible = Rect(10, 20, 11, 40);
    EXPECT_EQ(FindCaret(sources).source, CaretSource::kSystemCaret);
    EXPECT_EQ(sources.asked, "");

    sources.system.reset();
    sources.automation = Rect(50, 60, 51, 80);
    // A caret with no width still places the popup.
    sources.accessible = Rect(10, 20, 10, 40);
    const FoundCaret found = FindCaret(sources);
    EXPECT_EQ(found.source, CaretSource::kAccessible);
    EXPECT_EQ(found.point.y, 20);
    EXPECT_EQ(sources.asked, "msaa(150) ");
}

TEST(CaretSearch, AnEmptyOrOffScreenCaretFallsThroughWithWhatIsLeftOfTheBudget) {
    for (const CaretAnswer& useless : {Rect(0, 0, 0, 0), Rect(-500, 20, -499, 40), CaretAnswer{}}) {
        FakeSources sources;
        sources.costMs = 40;
        sources.accessible = useless;
        sources.automation = Rect(50, 60, 51, 80);
        const FoundCaret found = FindCaret(sources);
        EXPECT_EQ(found.source, CaretSource::kAutomation);
        EXPECT_EQ(found.point.y, 60);
        EXPECT_EQ(sources.asked, "msaa(150) uia(110) ");
    }
}

TEST(CaretSearch, AHungOrSlowTargetIsNotAskedAgainAndThePopupGoesToTheFocusWindow) {
    FakeSources hung;
    hung.accessible.kind = CaretAnswer::kNoResponse;
    hung.automation = Rect(50, 60, 51, 80);
    EXPECT_EQ(FindCaret(hung).point.x, 7);
    EXPECT_EQ(hung.asked, "msaa(150) ");

    FakeSources slow;
    slow.costMs = 150;
    slow.automation = Rect(50, 60, 51, 80);
    EXPECT_EQ(FindCaret(slow).source, CaretSource::kFocusWindow);
    EXPECT_EQ(slow.asked, "msaa(150) ");
}

}  // namespace
}  // namespace pikora
