// What a drop at the end of a drag in the popup list changes: the text list,
// and which line the list control selects and whether it repaints. The lines
// are drawn from the text list, so a repaint shows the new order.
#pragma once

namespace pikora {

struct DropPlan {
    // MoveItem(source, target) on the text list: the entry lands just above
    // the entry that was at target.
    bool moveEntry = false;

    enum class Lines {
        Unchanged,  // nothing to show: the control keeps its selection
        Redraw,     // select `select` (the moved entry) and repaint every line
    };
    Lines lines = Lines::Unchanged;
    int select = -1;
};

// source: the line being dragged (the control's selection, -1 for none);
// target: the line under the pointer at the drop, -1 when over no line.
DropPlan PlanDrop(int source, int target);

}  // namespace pikora
