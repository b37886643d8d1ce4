#include "popup/popup_run_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "macro_testing.h"
#include "popup/dpi_scale.h"
#include "popup/popup_menu.h"

namespace pikora {
namespace {

const ScreenRect kScreen{0, 0, 1024, 768};

TEST(PopupPlacement, CaretIsTakenRelativeToTheFocusWindowsOuterCorner) {
    const ScreenPoint caret = CaretScreenPoint({5, 10}, {100, 200, 400, 500});
    EXPECT_EQ(caret.x, 105);
    EXPECT_EQ(caret.y, 210);
    const ScreenPoint popup = PlacePopup(caret, true, -20, 20, kScreen);
    EXPECT_EQ(popup.x, 85);
    EXPECT_EQ(popup.y, 230);
}

TEST(PopupPlacement, ClampsAsADefaultSizedPopupAtTheLowerRight) {
    const ScreenPoint popup = PlacePopup({1000, 760}, true, -20, 20, kScreen);
    EXPECT_EQ(popup.x, 869);
    EXPECT_EQ(popup.y, 543);
    // Without offsets (a point from the tray hover) the same clamp applies.
    const ScreenPoint fromTray = PlacePopup({1020, 700}, false, -20, 20, kScreen);
    EXPECT_EQ(fromTray.x, 869);
    EXPECT_EQ(fromTray.y, 543);
}

TEST(PopupPlacement, NegativeCoordinatesBecomeZeroBeforeAndAfterTheOffsets) {
    // A caret left of the screen: 0 first, then the -20 offset, then 0 again.
    const ScreenPoint caret = CaretScreenPoint({-50, 3}, {10, -40, 100, 100});
    EXPECT_EQ(caret.x, 0);
    EXPECT_EQ(caret.y, 0);
    const ScreenPoint popup = PlacePopup(caret, true, -20, 20, kScreen);
    EXPECT_EQ(popup.x, 0);
    EXPECT_EQ(popup.y, 20);
}

TEST(PopupPlacement, StaysOnTheMonitorThatHoldsThePoint) {
    // A second monitor left of the primary one.
    const ScreenRect left{-1280, 0, 0, 1024};
    const ScreenPoint nearEdge = PlacePopup({-10, 1000}, true, -20, 20, left);
    EXPECT_EQ(nearEdge.x, -155);
    EXPECT_EQ(nearEdge.y, 1024 - 225);
    const ScreenPoint farLeft = PlacePopup({-1290, 10}, true, -20, 20, left);
    EXPECT_EQ(farLeft.x, -1280);
    EXPECT_EQ(farLeft.y, 30);
    // A caret on that monitor keeps its negative coordinate, so the popup
    // is placed there and not at the primary monitor's edge.
    const ScreenPoint caret = CaretScreenPoint({30, 40}, {-900, 100, -300, 600}, {-1280, 0});
    EXPECT_EQ(caret.x, -870);
    EXPECT_EQ(caret.y, 140);
    EXPECT_EQ(CaretScreenPoint({-500, 0}, {-900, 100, -300, 600}, {-1280, 0}).x, -1280);
}

TextItem Item(int kind, const std::string& text) {
    return TextItem{kind, 0, -1, text, text};
}

std::vector<std::string> Texts(const TextItemList& list) {
    std::vector<std::string> out;
    for (auto pos = list.GetHeadPosition(); pos;) {
        out.push_back(list.GetNext(pos).text.str());
    }
    return out;
}

TEST(PopupPlacement, At144DpiOffsetsLinesAndTheEdgeBoxScaleAndStoredSizesRoundTrip) {
    // Offsets (-20, 20) become (-30, 30); the edge box 155 x 225 becomes 233 x 338.
    EXPECT_EQ(PlacePopup({100, 100}, true, -20, 20, kScreen, 144).x, 70);
    EXPECT_EQ(PlacePopup({100, 100}, true, -20, 20, kScreen, 144).y, 130);
    const ScreenPoint corner = PlacePopup({1000, 760}, true, -20, 20, kScreen, 144);
    EXPECT_EQ(corner.x, 1024 - 233);
    EXPECT_EQ(corner.y, 768 - 338);
    // At 96 DPI, and for a DPI nobody could read, every number is as before.
    EXPECT_EQ(PlacePopup({1000, 760}, true, -20, 20, kScreen, 96).x, 869);
    EXPECT_EQ(PlacePopup({1000, 760}, true, -20, 20, kScreen, 0).y, 543);
    // The keyboard menu: offsets, inset and lines of 26 pixels.
    const MenuPoint menu = KeyboardMenuPos({100, 200}, -20, 20, 3, 144);
    EXPECT_EQ(menu.x, 100);
    EXPECT_EQ(menu.y, 200 + 60 + 3 * 26);

    // A popup resized at one DPI opens at the same apparent size at another.
    for (const int dpi : {96, 120, 144, 168, 192, 240, 288}) {
        for (int stored = kMinPopupWidth; stored <= 2000; stored += 7) {
            ASSERT_EQ(UnscaleForDpi(ScaleForDpi(stored, dpi), dpi), stored) << dpi;
        }
    }
    EXPECT_EQ(ScaleForDpi(-20, 144), -30);
    EXPECT_EQ(ScaleForDpi(17, 144), 26);  // 25.5: halves away from zero
    EXPECT_EQ(UnscaleForDpi(kMaxPopupSide * 3, 288), kMaxPopupSide);
}

TEST(ListAfterPaste, NormalDeleteRemovesNormalEntriesOnly) {
    TextItemList list;
    list.AddTail(Item(KIND_NORMAL, "n"));
    list.AddTail(Item(KIND_LOCKED, "l"));
    int selectId = 7;
    UpdateListAfterPaste(list, 1, false, true, selectId);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"n", "l"}));
    UpdateListAfterPaste(list, 0, false, true, selectId);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"l"}));
    EXPECT_EQ(selectId, 7);
}

TEST(ListAfterPaste, MoveTopKeepsTheEntryUnchangedAndSelectsTheTop) {
    TextItemList list;
    list.AddTail(Item(KIND_LOCKED, "a"));
    list.AddTail(Item(KIND_LOCKED, "<pikoraMACRO>$Y</pikoraMACRO>"));
    int selectId = 1;
    EXPECT_TRUE(UpdateListAfterPaste(list, 1, true, true, selectId));
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"<pikoraMACRO>$Y</pikoraMACRO>", "a"}));
    EXPECT_EQ(list.GetAt(list.FindIndex(0)).reserved2, -1);
    EXPECT_EQ(selectId, 0);
}

TEST(ListAfterPaste, MoveTopAndNormalDeleteTogetherRemoveANormalEntry) {
    TextItemList list;
    list.AddTail(Item(KIND_LOCKED, "a"));
    list.AddTail(Item(KIND_NORMAL, "b"));
    int selectId = 1;
    UpdateListAfterPaste(list, 1, true, true, selectId);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"a"}));
}

TEST(ListAfterPaste, AnIndexPastTheEndChangesNothing) {
    TextItemList list;
    list.AddTail(Item(KIND_NORMAL, "a"));
    int selectId = 3;
    EXPECT_FALSE(UpdateListAfterPaste(list, 1, true, true, selectId));
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"a"}));
    EXPECT_EQ(selectId, 3);
}

TEST(UsablePopup, OddStoredSizesAndOpacitiesStillGiveAVisiblePopup) {
    EXPECT_EQ(UsablePopupSize(155, 225).width, 155);
    EXPECT_EQ(UsablePopupSize(155, 225).height, 225);
    EXPECT_EQ(UsablePopupSize(0, -5).width, kMinPopupWidth);
    EXPECT_EQ(UsablePopupSize(0, -5).height, kMinPopupHeight);
    EXPECT_EQ(UsablePopupSize(1000000, 1000000).width, kMaxPopupSide);
    // 256 would reach the window as 0: fully transparent.
    EXPECT_EQ(UsablePopupOpacity(256), 255);
    EXPECT_EQ(UsablePopupOpacity(0), 25);
    EXPECT_EQ(UsablePopupOpacity(-1000), 25);
    EXPECT_EQ(UsablePopupOpacity(200), 200);
    EXPECT_EQ(UsablePopupOpacity(25), 25);
}

TEST(PasteExpansion, OnlyLockedEntriesLaunchAndEveryKindPastesTheSameText) {
    using macro_testing::Launch;
    const std::string text =
        "A<pikoraMACRO>$SHELL<cmd /c x $Y>$SHELL$RELATE<http://x/>$RELATE$M</pikoraMACRO>B";
    TextItem entry;
    entry.text = text;
    for (const int32_t kind : {KIND_NORMAL, KIND_LOCKED, 2, -1}) {
        SCOPED_TRACE("kind " + std::to_string(kind));
        entry.kind = kind;
        macro_testing::RecordingLauncher launcher;
        EXPECT_EQ(ExpandEntryForPaste(entry, macro_testing::ExampleInstant(), launcher), "A03B");
        const std::vector<Launch> expected =
            kind == KIND_LOCKED ? std::vector<Launch>{{'D', "http://x/"}, {'P', "cmd /c x 2001"}}
                                : std::vector<Launch>{};
        EXPECT_EQ(launcher.calls, expected);
    }
}

}  // namespace
}  // namespace pikora
