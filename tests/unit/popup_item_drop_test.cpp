#include "popup/item_drop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/list_ops.h"
#include "store/text_list.h"

namespace pikora {
namespace {

using Strings = std::vector<std::string>;

// The text list and the lines the list control shows, with the control's
// selection, as a drop leaves them when the plan is carried out the way the
// popup does. The control draws its lines from the text list when it repaints.
struct DropScene {
    TextItemList entries;
    Strings lines;
    int selection = -1;
    bool repainted = false;

    explicit DropScene(const Strings& titles) : lines(titles) {
        for (const std::string& t : titles) {
            TextItem item;
            item.title = t;
            entries.AddTail(item);
        }
    }

    void Drop(int source, int target) {
        selection = source;
        const DropPlan plan = PlanDrop(source, target);
        if (plan.moveEntry) {
            MoveItem(entries, source, target);
        }
        if (plan.lines == DropPlan::Lines::Redraw) {
            selection = plan.select;
            lines = EntryTitles();
            repainted = true;
        }
    }

    Strings EntryTitles() const {
        Strings out;
        for (TextItemList::POSITION pos = entries.GetHeadPosition(); pos != nullptr;) {
            out.push_back(entries.GetNext(pos).title.str());
        }
        return out;
    }
};

const Strings kABCD{"A", "B", "C", "D"};

TEST(PopupItemDrop, DraggingEitherWayLandsAboveTheTargetLine) {
    DropScene down(kABCD);
    down.Drop(1, 3);  // B onto D
    EXPECT_EQ(down.EntryTitles(), (Strings{"A", "C", "B", "D"}));
    EXPECT_EQ(down.lines, (Strings{"A", "C", "B", "D"}));
    EXPECT_EQ(down.selection, 2);

    DropScene up(kABCD);
    up.Drop(3, 1);  // D onto B
    EXPECT_EQ(up.EntryTitles(), (Strings{"A", "D", "B", "C"}));
    EXPECT_EQ(up.lines, (Strings{"A", "D", "B", "C"}));
    EXPECT_EQ(up.selection, 1);
}

TEST(PopupItemDrop, TheTopLineMovesLikeAnyOther) {
    DropScene scene(kABCD);
    scene.Drop(0, 2);  // A onto C
    EXPECT_EQ(scene.EntryTitles(), (Strings{"B", "A", "C", "D"}));
    EXPECT_EQ(scene.lines, (Strings{"B", "A", "C", "D"}));
    EXPECT_EQ(scene.selection, 1);
    EXPECT_TRUE(scene.repainted);

    // Onto the line just below it: nothing moves, the top line is selected.
    DropScene below(kABCD);
    below.Drop(0, 1);
    EXPECT_EQ(below.EntryTitles(), kABCD);
    EXPECT_EQ(below.lines, kABCD);
    EXPECT_EQ(below.selection, 0);
}

TEST(PopupItemDrop, DropsThatChangeNothing) {
    // Onto the dragged line itself, or onto the line just below it.
    for (int source : {0, 1, 3}) {
        for (int target : {source, source + 1}) {
            if (target > 3) {
                continue;
            }
            DropScene scene(kABCD);
            scene.Drop(source, target);
            EXPECT_EQ(scene.EntryTitles(), kABCD) << source << "->" << target;
            EXPECT_EQ(scene.lines, kABCD) << source << "->" << target;
            EXPECT_EQ(scene.selection, source) << source << "->" << target;
            EXPECT_FALSE(scene.repainted) << source << "->" << target;
        }
    }
    // Released outside every line.
    for (int source : {0, 2}) {
        const DropPlan plan = PlanDrop(source, -1);
        EXPECT_FALSE(plan.moveEntry);
        EXPECT_EQ(plan.lines, DropPlan::Lines::Unchanged);
    }
    // Nothing was being dragged.
    const DropPlan none = PlanDrop(-1, 2);
    EXPECT_FALSE(none.moveEntry);
    EXPECT_EQ(none.lines, DropPlan::Lines::Unchanged);
}

TEST(PopupItemDrop, ToTheLastLineAndFromIt) {
    // The target is always an existing line: dropping on the bottom line puts
    // the entry just above it.
    DropScene down(Strings{"A", "B", "C"});
    down.Drop(1, 2);
    EXPECT_EQ(down.EntryTitles(), (Strings{"A", "B", "C"}));
    DropScene toTop(Strings{"A", "B", "C"});
    toTop.Drop(2, 0);
    EXPECT_EQ(toTop.EntryTitles(), (Strings{"C", "A", "B"}));
    EXPECT_EQ(toTop.lines, (Strings{"C", "A", "B"}));
    EXPECT_EQ(toTop.selection, 0);
}

}  // namespace
}  // namespace pikora
