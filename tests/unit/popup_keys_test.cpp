#include "popup/popup_keys.h"

#include <gtest/gtest.h>

namespace pikora {
namespace {

TEST(PopupSpaceKey, SpaceStepsDownAndWrapsToTheTop) {
    EXPECT_EQ(NextSpaceSelection(0, 5, false), 1);
    EXPECT_EQ(NextSpaceSelection(3, 5, false), 4);
    EXPECT_EQ(NextSpaceSelection(4, 5, false), 0);
    // A single line stays selected.
    EXPECT_EQ(NextSpaceSelection(0, 1, false), 0);
}

TEST(PopupSpaceKey, ShiftSpaceStepsUpAndWrapsToTheBottom) {
    EXPECT_EQ(NextSpaceSelection(4, 5, true), 3);
    EXPECT_EQ(NextSpaceSelection(1, 5, true), 0);
    EXPECT_EQ(NextSpaceSelection(0, 5, true), 4);
    EXPECT_EQ(NextSpaceSelection(0, 1, true), 0);
}

TEST(PopupSpaceKey, WithoutASelection) {
    // Space picks the top line; Shift+Space leaves the list without a selection.
    EXPECT_EQ(NextSpaceSelection(-1, 5, false), 0);
    EXPECT_EQ(NextSpaceSelection(-1, 5, true), -1);
    // An empty list has no line to select either way.
    EXPECT_EQ(NextSpaceSelection(-1, 0, false), -1);
    EXPECT_EQ(NextSpaceSelection(-1, 0, true), -1);
}

}  // namespace
}  // namespace pikora
