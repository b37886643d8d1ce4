#include "popup/item_draw.h"

#include <gtest/gtest.h>

#include "store/text_item.h"

namespace pikora {
namespace {

constexpr unsigned kEntire = kDrawActionEntire;
constexpr unsigned kSelect = kDrawActionSelect;
constexpr unsigned kFocus = kDrawActionFocus;
constexpr unsigned kSelected = kDrawStateSelected;
constexpr unsigned kHasFocus = kDrawStateFocus;

TEST(PopupItemDraw, IconByKindAndAction) {
    // Full redraws and selection changes show the upright icons.
    for (unsigned action : {kEntire, kSelect}) {
        EXPECT_EQ(PlanItemDraw(KIND_LOCKED, action, 0).icon, ItemIcon::Locked);
        EXPECT_EQ(PlanItemDraw(KIND_NORMAL, action, kSelected).icon, ItemIcon::Normal);
    }
    // A focus change alone shows the slanted ones.
    EXPECT_EQ(PlanItemDraw(KIND_LOCKED, kFocus, kSelected | kHasFocus).icon, ItemIcon::LockedFocus);
    EXPECT_EQ(PlanItemDraw(KIND_NORMAL, kFocus, 0).icon, ItemIcon::NormalFocus);
    // Any other kind leaves the icon column alone.
    for (unsigned action : {kEntire, kSelect, kFocus}) {
        EXPECT_EQ(PlanItemDraw(2, action, kSelected).icon, ItemIcon::None);
        EXPECT_EQ(PlanItemDraw(-1, action, 0).icon, ItemIcon::None);
    }
}

TEST(PopupItemDraw, TheSelectedLineGetsTheBlueFrameAndTheTip) {
    EXPECT_TRUE(PlanItemDraw(KIND_NORMAL, kEntire, kSelected | kHasFocus).selectionFrame);
    EXPECT_TRUE(PlanItemDraw(KIND_NORMAL, kSelect, kSelected | kHasFocus).selectionFrame);
    EXPECT_TRUE(PlanItemDraw(KIND_NORMAL, kEntire, kSelected).selectionFrame);
    // A focus change does not draw the frame again (nor touch the tooltip).
    EXPECT_FALSE(PlanItemDraw(KIND_NORMAL, kFocus, kSelected | kHasFocus).selectionFrame);
    EXPECT_FALSE(PlanItemDraw(KIND_NORMAL, kEntire, 0).selectionFrame);
    EXPECT_FALSE(PlanItemDraw(KIND_NORMAL, kSelect, kHasFocus).selectionFrame);
}

TEST(PopupItemDraw, Background) {
    // Losing the selection erases only the frame.
    ItemDrawPlan lost = PlanItemDraw(KIND_NORMAL, kSelect, 0);
    EXPECT_TRUE(lost.eraseFrame);
    EXPECT_FALSE(lost.fillInterior);
    lost = PlanItemDraw(KIND_NORMAL, kSelect, kHasFocus);
    EXPECT_TRUE(lost.eraseFrame);
    EXPECT_FALSE(lost.fillInterior);

    // Selected without the focus: the interior is left as it is.
    const ItemDrawPlan keep = PlanItemDraw(KIND_NORMAL, kEntire, kSelected);
    EXPECT_FALSE(keep.eraseFrame);
    EXPECT_FALSE(keep.fillInterior);

    // Everything else fills the interior inside the frame line.
    const unsigned fillCases[][2] = {{kEntire, 0},
                                     {kEntire, kSelected | kHasFocus},
                                     {kSelect, kSelected | kHasFocus},
                                     {kFocus, 0},
                                     {kFocus, kHasFocus},
                                     {kFocus, kSelected | kHasFocus}};
    for (const auto& c : fillCases) {
        const ItemDrawPlan plan = PlanItemDraw(KIND_LOCKED, c[0], c[1]);
        EXPECT_TRUE(plan.fillInterior) << c[0] << "/" << c[1];
        EXPECT_FALSE(plan.eraseFrame) << c[0] << "/" << c[1];
    }
}

TEST(PopupItemDraw, LineTextIsTheTitleCutWholeCharactersAtTheLimit) {
    EXPECT_EQ(LineTextOfTitle("title"), "title");
    const std::string full(kLineTextMax, 'a');
    EXPECT_EQ(LineTextOfTitle(full + "b"), full);
    // A double-byte character across the limit goes whole; one that ends on
    // it stays.
    const std::string before(kLineTextMax - 1, 'a');
    EXPECT_EQ(LineTextOfTitle(before + "\x82\xA0z"), before);
    EXPECT_EQ(LineTextOfTitle(before.substr(1) + "\x82\xA0z"), before.substr(1) + "\x82\xA0");
}

}  // namespace
}  // namespace pikora
