#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "store/list_ops.h"
#include "store/text_list.h"
#include "store_testing.h"

namespace pikora {
namespace {

using testing::Items;
using testing::ListOf;
using testing::Locked;
using testing::Normal;
using testing::OfKind;
using testing::Titles;
using Strings = std::vector<std::string>;

TEST(TextItemList, FindIndexAnswersNoneOutsideTheList) {
    TextItemList list = ListOf({Normal("A"), Normal("B"), Normal("C"), Normal("D"), Normal("E")});
    EXPECT_EQ(list.FindIndex(-1), nullptr);
    EXPECT_EQ(list.FindIndex(5), nullptr);
    EXPECT_EQ(list.FindIndex(1000), nullptr);
    for (int i = 0; i < 5; ++i) {
        ASSERT_NE(list.FindIndex(i), nullptr) << i;
        EXPECT_EQ(list.GetAt(list.FindIndex(i)).title, std::string(1, static_cast<char>('A' + i)));
    }
    EXPECT_EQ(TextItemList().FindIndex(0), nullptr);
}

TEST(TextItemList, InsertWithNoneGoesToTheEnds) {
    TextItemList after = ListOf({Normal("A"), Normal("B")});
    after.InsertAfter(nullptr, Normal("x"));
    EXPECT_EQ(Titles(after), (Strings{"A", "B", "x"}));

    TextItemList before = ListOf({Normal("A"), Normal("B")});
    before.InsertBefore(nullptr, Normal("x"));
    EXPECT_EQ(Titles(before), (Strings{"x", "A", "B"}));

    TextItemList middle = ListOf({Normal("A"), Normal("B")});
    middle.InsertAfter(middle.GetHeadPosition(), Normal("after A"));
    middle.InsertBefore(middle.GetTailPosition(), Normal("before B"));
    middle.InsertAfter(middle.GetTailPosition(), Normal("after B"));
    middle.InsertBefore(middle.GetHeadPosition(), Normal("before A"));
    EXPECT_EQ(Titles(middle), (Strings{"before A", "A", "after A", "before B", "B", "after B"}));
}

// The add dialog: p = -1 adds at the top, otherwise just below element p (or
// at the bottom when p is past the end); the dialog stays open, so repeated
// adds with one p stack up in reverse order.
TEST(TextItemList, AddDialogInsertRuleStacksBelowTheGivenLine) {
    auto add = [](TextItemList& list, int p, const char* name) {
        if (p == -1) {
            list.AddHead(Locked(name));
        } else {
            list.InsertAfter(list.FindIndex(p), Locked(name));
        }
    };
    for (auto [p, expected] : std::vector<std::pair<int, Strings>>{{-1, {"X", "A", "B"}},
                                                                   {0, {"A", "X", "B"}},
                                                                   {1, {"A", "B", "X"}},
                                                                   {5, {"A", "B", "X"}}}) {
        TextItemList list = ListOf({Normal("A"), Normal("B")});
        add(list, p, "X");
        EXPECT_EQ(Titles(list), expected) << "p = " << p;
    }

    TextItemList twice = ListOf({Normal("A"), Normal("B")});
    add(twice, 0, "X1");
    add(twice, 0, "X2");
    EXPECT_EQ(Titles(twice), (Strings{"A", "X2", "X1", "B"}));

    TextItemList topTwice = ListOf({Normal("A"), Normal("B")});
    add(topTwice, -1, "X1");
    add(topTwice, -1, "X2");
    EXPECT_EQ(Titles(topTwice), (Strings{"X2", "X1", "A", "B"}));
}

TEST(TextItemList, RemoveAtRelinksNeighboursAndCounts) {
    TextItemList list = ListOf({Normal("A"), Normal("B"), Normal("C"), Normal("D")});
    list.RemoveAt(list.FindIndex(1));
    EXPECT_EQ(Titles(list), (Strings{"A", "C", "D"}));
    list.RemoveAt(list.GetHeadPosition());
    EXPECT_EQ(Titles(list), (Strings{"C", "D"}));
    list.RemoveAt(list.GetTailPosition());
    EXPECT_EQ(Titles(list), (Strings{"C"}));
    EXPECT_EQ(list.GetCount(), 1);

    list.RemoveAt(list.GetHeadPosition());
    EXPECT_TRUE(list.IsEmpty());
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetHeadPosition(), nullptr);
    EXPECT_EQ(list.GetTailPosition(), nullptr);

    list.AddHead(Normal("again"));
    EXPECT_EQ(Titles(list), (Strings{"again"}));

    list.RemoveAll();
    EXPECT_TRUE(list.IsEmpty());
    list.AddTail(Normal("after RemoveAll"));
    EXPECT_EQ(Titles(list), (Strings{"after RemoveAll"}));
}

// Removed nodes are recycled: positions of the survivors must stay valid and
// recycled nodes must not carry the old entry's data.
TEST(TextItemList, PositionsSurviveRemovalsAndReuseOfNodes) {
    TextItemList list;
    std::vector<TextItemList::POSITION> positions;
    for (int i = 0; i < 35; ++i) {
        positions.push_back(list.AddTail(Normal("e" + std::to_string(i))));
    }
    for (int i = 0; i < 35; i += 2) {
        list.RemoveAt(positions[i]);
    }
    for (int i = 0; i < 40; ++i) {
        TextItem fresh;
        fresh.title = "n" + std::to_string(i);
        list.AddHead(fresh);
    }
    for (int i = 1; i < 35; i += 2) {
        EXPECT_EQ(list.GetAt(positions[i]).title, "e" + std::to_string(i));
    }
    EXPECT_EQ(list.GetCount(), 17 + 40);
    EXPECT_EQ(list.GetAt(list.GetHeadPosition()).text, "");
    EXPECT_EQ(list.GetAt(list.GetHeadPosition()).kind, KIND_NORMAL);
    EXPECT_EQ(list.GetAt(list.GetHeadPosition()).reserved2, -1);
    EXPECT_NE(Titles(list), (Strings{"<links or count broken>"}));
}

TEST(TextItemList, GetAtCopiesAndSetAtReplacesInPlace) {
    TextItemList list = ListOf({Normal("A"), Normal("B"), Normal("C")});
    TextItemList::POSITION b = list.FindIndex(1);
    TextItem copy = list.GetAt(b);
    copy.title = "changed copy";
    EXPECT_EQ(list.GetAt(b).title, "B");

    TextItem replacement{KIND_LOCKED, 7, 9, "B2", "new text"};
    list.SetAt(b, replacement);
    EXPECT_EQ(Titles(list), (Strings{"A", "B2", "C"}));
    EXPECT_EQ(list.GetAt(list.FindIndex(1)), replacement);
}

TEST(TextItemList, EveryChangeRaisesTheRevisionAndReadsDoNot) {
    TextItemList list = ListOf({Normal("A"), Normal("B"), Normal("C")});
    auto changes = [&](auto&& step) {
        const auto before = list.Revision();
        step();
        return list.Revision() > before;
    };
    EXPECT_FALSE(changes([&] {
        TextItemList::POSITION p = list.GetHeadPosition();
        list.GetNext(p);
    }));
    EXPECT_FALSE(changes([&] { (void)list.GetAt(list.FindIndex(1)); }));
    EXPECT_TRUE(changes([&] { list.SetAt(list.FindIndex(1), Normal("B2")); }));
    EXPECT_TRUE(changes([&] { list.AddHead(Normal("0")); }));
    EXPECT_TRUE(changes([&] { list.AddTail(Normal("Z")); }));
    EXPECT_TRUE(changes([&] { list.InsertAfter(list.FindIndex(0), Normal("i")); }));
    EXPECT_TRUE(changes([&] { list.InsertBefore(list.FindIndex(0), Normal("j")); }));
    EXPECT_TRUE(changes([&] { list.EmplaceTail(KIND_NORMAL, 0, -1, "e", "e"); }));
    EXPECT_TRUE(changes([&] { list.RemoveAt(list.FindIndex(2)); }));
    EXPECT_TRUE(changes([&] { MoveItem(list, 3, 0); }));
    EXPECT_TRUE(changes([&] {
        TextItemList other = ListOf({Normal("X")});
        list.swap(other);
    }));
    EXPECT_TRUE(changes([&] { list.RemoveAll(); }));
}

TEST(TextItemList, GetNextAndGetPrevWalkAndStopAtTheEnds) {
    TextItemList list = ListOf({Normal("A"), Normal("B")});
    TextItemList::POSITION pos = list.GetHeadPosition();
    EXPECT_EQ(list.GetNext(pos).title, "A");
    EXPECT_EQ(pos, list.GetTailPosition());
    EXPECT_EQ(list.GetNext(pos).title, "B");
    EXPECT_EQ(pos, nullptr);

    pos = list.GetTailPosition();
    EXPECT_EQ(list.GetPrev(pos).title, "B");
    list.GetPrev(pos).title = "A edited";
    EXPECT_EQ(pos, nullptr);
    EXPECT_EQ(Titles(list), (Strings{"A edited", "B"}));
}

TEST(TextItemList, CopiesAreIndependentAndMovesLeaveTheSourceEmpty) {
    TextItemList original = ListOf({Normal("A"), Locked("B")});
    TextItemList copy = original;
    copy.RemoveAt(copy.GetHeadPosition());
    copy.AddTail(Normal("C"));
    EXPECT_EQ(Titles(original), (Strings{"A", "B"}));
    EXPECT_EQ(Titles(copy), (Strings{"B", "C"}));

    TextItemList::POSITION b = original.GetTailPosition();
    TextItemList moved = std::move(original);
    EXPECT_EQ(Titles(moved), (Strings{"A", "B"}));
    EXPECT_EQ(moved.GetAt(b).title, "B");  // positions follow the elements
    EXPECT_TRUE(original.IsEmpty());       // NOLINT(bugprone-use-after-move)

    copy = moved;
    EXPECT_EQ(Titles(copy), (Strings{"A", "B"}));
}

// Nodes come from blocks of several sizes, a reserved run and a free list;
// a long mixed run of adds and removes must keep order, links and contents.
TEST(TextItemList, StorageSurvivesLongMixedUse) {
    TextItemList list;
    list.Reserve(3);
    std::vector<std::string> model;
    for (int i = 0; i < 700; ++i) {
        const std::string name = "e" + std::to_string(i);
        if (i % 3 == 0) {
            list.AddHead(Normal(name));
            model.insert(model.begin(), name);
        } else {
            list.AddTail(Normal(name));
            model.push_back(name);
        }
        if (i % 5 == 4) {
            list.RemoveAt(list.FindIndex(static_cast<int>(model.size()) / 2));
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(model.size()) / 2);
        }
        if (i == 400) {
            list.Reserve(50);  // the rest of the current block is simply not used
        }
    }
    EXPECT_EQ(Titles(list), model);
    for (auto pos = list.GetHeadPosition(); pos != nullptr;) {
        const TextItem& item = list.GetNext(pos);
        EXPECT_EQ(item.text, item.title.str() + " text");
    }
    while (!list.IsEmpty()) {
        list.RemoveAt(list.GetHeadPosition());
    }
    list.AddTail(Locked("after empty"));
    EXPECT_EQ(Titles(list), (Strings{"after empty"}));
}

TEST(TakeOldestNormalText, HandsOutNormalEntriesOldestFirstAndSkipsTheRest) {
    TextItemList list = ListOf({Normal("N1"), Locked("L"), Normal("N2")});
    EXPECT_EQ(OldestNormalText(list), "N2 text");  // a look leaves the list as it is
    EXPECT_EQ(Titles(list), (Strings{"N1", "L", "N2"}));
    EXPECT_EQ(TakeOldestNormalText(list), "N2 text");
    EXPECT_EQ(Titles(list), (Strings{"N1", "L"}));
    EXPECT_EQ(TakeOldestNormalText(list), "N1 text");
    EXPECT_EQ(Titles(list), (Strings{"L"}));
    EXPECT_EQ(OldestNormalText(list), "");
    EXPECT_EQ(TakeOldestNormalText(list), "");
    EXPECT_EQ(Titles(list), (Strings{"L"}));

    // Any kind other than 0 counts as locked.
    TextItemList odd = ListOf({OfKind(2, "K2"), Normal("N"), OfKind(2, "K2 oldest")});
    EXPECT_EQ(TakeOldestNormalText(odd), "N text");
    EXPECT_EQ(TakeOldestNormalText(odd), "");
    EXPECT_EQ(Titles(odd), (Strings{"K2", "K2 oldest"}));

    TextItemList empty;
    EXPECT_EQ(TakeOldestNormalText(empty), "");
}

TEST(ClearNormalItems, RemovesNormalEntriesOnly) {
    TextItemList list = ListOf({Normal("N1"), Normal("N2"), Locked("L"), Normal("N3")});
    ClearNormalItems(list);
    EXPECT_EQ(Titles(list), (Strings{"L"}));

    TextItemList locked = ListOf({Locked("L1"), OfKind(2, "K2"), Locked("L2")});
    ClearNormalItems(locked);
    EXPECT_EQ(Titles(locked), (Strings{"L1", "K2", "L2"}));

    TextItemList allNormal = ListOf({Normal("N1"), Normal("N2")});
    ClearNormalItems(allNormal);
    EXPECT_TRUE(allNormal.IsEmpty());
    allNormal.AddHead(Normal("fresh"));
    EXPECT_EQ(Titles(allNormal), (Strings{"fresh"}));

    TextItemList empty;
    ClearNormalItems(empty);
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(MoveItem, LandsAboveTheElementThatWasAtTheDestination) {
    auto moved = [](int source, int destination) {
        TextItemList list = ListOf({Normal("A"), Normal("B"), Normal("C"), Normal("D")});
        MoveItem(list, source, destination);
        return Titles(list);
    };
    EXPECT_EQ(moved(1, 3), (Strings{"A", "C", "B", "D"}));
    EXPECT_EQ(moved(3, 1), (Strings{"A", "D", "B", "C"}));
    EXPECT_EQ(moved(2, -1), (Strings{"C", "A", "B", "D"}));
    EXPECT_EQ(moved(2, 4), (Strings{"C", "A", "B", "D"}));  // past the end: top as well
    EXPECT_EQ(moved(0, 3), (Strings{"B", "C", "A", "D"}));
    EXPECT_EQ(moved(3, 0), (Strings{"D", "A", "B", "C"}));
    EXPECT_EQ(moved(1, 2), (Strings{"A", "B", "C", "D"}));  // just above its own successor
    EXPECT_EQ(moved(2, 2), (Strings{"A", "B", "C", "D"}));
    EXPECT_EQ(moved(4, 0), (Strings{"A", "B", "C", "D"}));  // no such source
    EXPECT_EQ(moved(-1, 0), (Strings{"A", "B", "C", "D"}));

    TextItemList single = ListOf({Normal("only")});
    MoveItem(single, 0, 1);
    EXPECT_EQ(Titles(single), (Strings{"only"}));
}

TEST(MoveItem, CarriesAllFiveFields) {
    TextItem special{KIND_LOCKED, 5, -7, "title", "line1\r\nline2"};
    TextItemList list = ListOf({Normal("A"), Normal("B"), special});
    MoveItem(list, 2, 0);
    EXPECT_EQ(Items(list).front(), special);
}

}  // namespace
}  // namespace pikora
