#include "popup/popup_keys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TextItemList ListOfTitles(const std::vector<std::string>& titles) {
    TextItemList items;
    for (const std::string& t : titles) {
        TextItem item;
        item.title = t;
        items.AddTail(item);
    }
    return items;
}

TEST(PopupTypedCharacter, JumpsToTheNextTitleBeginningWithItAndWraps) {
    const TextItemList items = ListOfTitles({"apple", "Banana", "avocado", "berry", "ant"});
    EXPECT_EQ(NextLineStartingWith(items, -1, "a"), 0);
    EXPECT_EQ(NextLineStartingWith(items, 0, "a"), 2);
    EXPECT_EQ(NextLineStartingWith(items, 2, "a"), 4);
    EXPECT_EQ(NextLineStartingWith(items, 4, "a"), 0);  // round to the top
    // Either case, both ways.
    EXPECT_EQ(NextLineStartingWith(items, 0, "b"), 1);
    EXPECT_EQ(NextLineStartingWith(items, 1, "B"), 3);
    // The caret's own line is the last one tried.
    EXPECT_EQ(NextLineStartingWith(ListOfTitles({"x", "only"}), 1, "o"), 1);
    EXPECT_EQ(NextLineStartingWith(items, 0, "z"), -1);
    EXPECT_EQ(NextLineStartingWith(TextItemList(), -1, "a"), -1);
}

TEST(PopupTypedCharacter, ComparesWholeDoubleByteCharacters) {
    // あ is 82 A0; ア 83 41 ends in the byte of "A"; Ａ (82 60) and ａ (82 81)
    // are one letter in two cases.
    const TextItemList items = ListOfTitles({"\x83\x41x", "A", "\x82\xA0", "\x82\x60", "a"});
    EXPECT_EQ(NextLineStartingWith(items, -1, "A"), 1);
    EXPECT_EQ(NextLineStartingWith(items, 1, "a"), 4);
    EXPECT_EQ(NextLineStartingWith(items, -1, "\x82\xA0"), 2);
    EXPECT_EQ(NextLineStartingWith(items, -1, "\x82\x81"), 3);
}

}  // namespace
}  // namespace pikora
