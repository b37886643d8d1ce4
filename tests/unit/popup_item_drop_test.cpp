#include "popup/item_drop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/list_ops.h"
#include "store/text_list.h"

namespace pikora {
namespace {

using Strings = std::vector<std::string>;

// The text list and the list control's strings, with the control's selection,
// as a drop leaves them when the plan is carried out the way the popup does.
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

    void Drop(int source, int target, bool on9x) {
        selection = source;
        const DropPlan plan = PlanDrop(source, target, on9x);
        if (plan.moveEntry) {
            MoveItem(entries, source, target);
        }
        switch (plan.lines) {
            case DropPlan::Lines::Redraw:
                selection = plan.select;
                repainted = true;
                break;
            case DropPlan::Lines::MoveString: {
                const std::string moved = lines[static_cast<size_t>(source)];
                lines.erase(lines.begin() + source);
                lines.insert(lines.begin() + plan.stringTo, moved);
                selection = plan.select;
                break;
            }
            case DropPlan::Lines::Unchanged:
                break;
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

TEST(PopupItemDrop, DraggingDownLandsAboveTheTargetLine) {
    for (bool on9x : {false, true}) {
        DropScene scene(kABCD);
        scene.Drop(1, 3, on9x);  // B onto D
        EXPECT_EQ(scene.EntryTitles(), (Strings{"A", "C", "B", "D"})) << on9x;
        EXPECT_EQ(scene.lines, (Strings{"A", "C", "B", "D"})) << on9x;
        EXPECT_EQ(scene.selection, 2) << on9x;
    }
}

TEST(PopupItemDrop, DraggingUpLandsAboveTheTargetLine) {
    for (bool on9x : {false, true}) {
        DropScene scene(kABCD);
        scene.Drop(3, 1, on9x);  // D onto B
        EXPECT_EQ(scene.EntryTitles(), (Strings{"A", "D", "B", "C"})) << on9x;
        EXPECT_EQ(scene.lines, (Strings{"A", "D", "B", "C"})) << on9x;
        EXPECT_EQ(scene.selection, 1) << on9x;
    }
}

TEST(PopupItemDrop, TheTopLineRepaintsInsteadOfMovingItsString) {
    // Elsewhere the strings stay where they were; the lines are drawn from the
    // text list, so a repaint shows the new order.
    DropScene scene(kABCD);
    scene.Drop(0, 2, false);  // A onto C
    EXPECT_EQ(scene.EntryTitles(), (Strings{"B", "A", "C", "D"}));
    EXPECT_EQ(scene.lines, kABCD);
    EXPECT_EQ(scene.selection, 1);
    EXPECT_TRUE(scene.repainted);

    // On the 9x family the string moves like any other.
    DropScene old(kABCD);
    old.Drop(0, 2, true);
    EXPECT_EQ(old.EntryTitles(), (Strings{"B", "A", "C", "D"}));
    EXPECT_EQ(old.lines, (Strings{"B", "A", "C", "D"}));
    EXPECT_EQ(old.selection, 1);
    EXPECT_FALSE(old.repainted);

    // Onto the line just below it: nothing moves, the top line is selected.
    DropScene below(kABCD);
    below.Drop(0, 1, false);
    EXPECT_EQ(below.EntryTitles(), kABCD);
    EXPECT_EQ(below.lines, kABCD);
    EXPECT_EQ(below.selection, 0);
}

TEST(PopupItemDrop, DropsThatChangeNothing) {
    for (bool on9x : {false, true}) {
        // Onto the dragged line itself, or onto the line just below it.
        for (int source : {0, 1, 3}) {
            for (int target : {source, source + 1}) {
                if (target > 3) {
                    continue;
                }
                DropScene scene(kABCD);
                scene.Drop(source, target, on9x);
                EXPECT_EQ(scene.EntryTitles(), kABCD) << source << "->" << target;
                EXPECT_EQ(scene.lines, kABCD) << source << "->" << target;
                EXPECT_EQ(scene.selection, source) << source << "->" << target;
            }
        }
        // Released outside every line.
        for (int source : {0, 2}) {
            const DropPlan plan = PlanDrop(source, -1, on9x);
            EXPECT_FALSE(plan.moveEntry);
            EXPECT_EQ(plan.lines, DropPlan::Lines::Unchanged);
        }
        // Nothing was being dragged.
        const DropPlan none = PlanDrop(-1, 2, on9x);
        EXPECT_FALSE(none.moveEntry);
        EXPECT_EQ(none.lines, DropPlan::Lines::Unchanged);
    }
}

TEST(PopupItemDrop, ToTheLastLineAndFromIt) {
    // The target is always an existing line: dropping on the bottom line puts
    // the entry just above it.
    DropScene down(Strings{"A", "B", "C"});
    down.Drop(1, 2, false);
    EXPECT_EQ(down.EntryTitles(), (Strings{"A", "B", "C"}));
    DropScene toTop(Strings{"A", "B", "C"});
    toTop.Drop(2, 0, false);
    EXPECT_EQ(toTop.EntryTitles(), (Strings{"C", "A", "B"}));
    EXPECT_EQ(toTop.lines, (Strings{"C", "A", "B"}));
    EXPECT_EQ(toTop.selection, 0);
}

}  // namespace
}  // namespace pikora
