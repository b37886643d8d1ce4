// The rules behind the add and edit dialogs: where typed-in phrases go, and
// the kind drop-down's items read from the template's init data.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/dialog_init.h"
#include "store/list_ops.h"
#include "store_testing.h"

namespace pikora {
namespace {

using testing::ListOf;
using testing::Locked;
using testing::Normal;
using testing::Titles;
using Strings = std::vector<std::string>;

TEST(AddLockedItem, StacksTheLatestNearestToWhereTheDialogWasOpened) {
    // From the tray: the top.
    TextItemList list = ListOf({Normal("old")});
    AddLockedItem(list, -1, "A", "a");
    AddLockedItem(list, -1, "B", "b");
    EXPECT_EQ(Titles(list), (Strings{"B", "A", "old"}));

    // From the popup with line 2 selected: just below it.
    TextItemList popup = ListOf({Normal("0"), Normal("1"), Normal("2"), Normal("3")});
    AddLockedItem(popup, 2, "A", "a");
    AddLockedItem(popup, 2, "B", "b");
    EXPECT_EQ(Titles(popup), (Strings{"0", "1", "2", "B", "A", "3"}));

    // An index past the end puts it at the bottom, and so does any other
    // negative index; into an empty list it simply goes in.
    AddLockedItem(popup, 99, "end", "e");
    AddLockedItem(popup, -5, "end2", "e");
    EXPECT_EQ(Titles(popup).back(), "end2");
    EXPECT_EQ(Titles(popup)[6], "end");
    TextItemList empty;
    AddLockedItem(empty, 0, "only", "o");
    EXPECT_EQ(Titles(empty), (Strings{"only"}));
}

TEST(AddLockedItem, MakesALockedEntryWithTheUsualReservedFields) {
    TextItemList list;
    AddLockedItem(list, -1, " ", "line 1\r\nline 2");
    const TextItem item = list.GetAt(list.GetHeadPosition());
    EXPECT_EQ(item.kind, KIND_LOCKED);
    EXPECT_EQ(item.reserved1, 0);
    EXPECT_EQ(item.reserved2, -1);
    EXPECT_EQ(item.title, " ");
    EXPECT_EQ(item.text, "line 1\r\nline 2");
}

std::string Le(unsigned value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
    return out;
}

std::string InitItem(unsigned control, unsigned message, const std::string& bytes) {
    return Le(control, 2) + Le(message, 2) + Le(static_cast<unsigned>(bytes.size()), 4) + bytes;
}

TEST(ParseDialogInit, ReadsTheKindItemsAndStopsSafely) {
    // The edit dialog's data: "ノーマル" and "ロック" for the kind drop-down.
    const std::string normal("\x83\x6d\x81\x5b\x83\x7d\x83\x8b\0", 9);
    const std::string locked("\x83\x8d\x83\x62\x83\x4e\0", 7);
    const std::string data =
        InitItem(1019, kInitComboAddString, normal) + InitItem(1019, 0x0403, locked) + Le(0, 2);
    const std::vector<DialogInitItem> items = ParseDialogInit(data);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].controlId, 1019);
    EXPECT_EQ(items[0].message, kInitComboAddString);
    EXPECT_EQ(items[0].text, normal.substr(0, 8));
    EXPECT_EQ(items[1].text, locked.substr(0, 6));

    // Cut anywhere, the data gives the complete items before the cut only.
    for (std::size_t cut = 0; cut < data.size(); ++cut) {
        const std::size_t complete = cut >= 8 + normal.size() + 8 + locked.size() ? 2
                                     : cut >= 8 + normal.size()                   ? 1
                                                                                  : 0;
        EXPECT_EQ(ParseDialogInit(data.substr(0, cut)).size(), complete) << cut;
    }
    // A length far beyond the data ends the walk.
    EXPECT_TRUE(ParseDialogInit(Le(1019, 2) + Le(0x0403, 2) + Le(0xFFFFFFFFu, 4) + "x").empty());
}

}  // namespace
}  // namespace pikora
