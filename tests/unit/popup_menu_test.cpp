#include "popup/popup_menu.h"

#include <gtest/gtest.h>

#include "store/text_item.h"

namespace pikora {
namespace {

TEST(PopupMenu, KeyboardMenuOpensBesideTheSelectedLine) {
    // Popup at (100, 200), default caret offsets (-20, 20).
    MenuPoint at = KeyboardMenuPos({100, 200}, -20, 20, 0);
    EXPECT_EQ(at.x, 100);
    EXPECT_EQ(at.y, 240);
    // Each line further down moves it by one line height (17 pixels).
    at = KeyboardMenuPos({100, 200}, -20, 20, 3);
    EXPECT_EQ(at.x, 100);
    EXPECT_EQ(at.y, 240 + 3 * 17);
    // The offsets count with their signs.
    at = KeyboardMenuPos({0, 0}, 5, -30, 1);
    EXPECT_EQ(at.x, 25);
    EXPECT_EQ(at.y, 7);
}

TEST(PopupMenu, KindCommandsFollowTheEntryKind) {
    const KindCommands normal = KindCommandsFor(KIND_NORMAL);
    EXPECT_TRUE(normal.lockEnabled);
    EXPECT_FALSE(normal.normalEnabled);

    const KindCommands locked = KindCommandsFor(KIND_LOCKED);
    EXPECT_FALSE(locked.lockEnabled);
    EXPECT_TRUE(locked.normalEnabled);

    // A kind from a foreign file is neither: both commands are grayed.
    for (int32_t kind : {2, -1, 100}) {
        const KindCommands other = KindCommandsFor(kind);
        EXPECT_FALSE(other.lockEnabled) << kind;
        EXPECT_FALSE(other.normalEnabled) << kind;
    }
}

}  // namespace
}  // namespace pikora
