// What a drop at the end of a drag in the popup list changes: the text list
// and the lines of the list control are decided separately, because the
// control does not always follow the text list.
#pragma once

namespace pikora {

struct DropPlan {
    // MoveItem(source, target) on the text list: the entry lands just above
    // the entry that was at target.
    bool moveEntry = false;

    enum class Lines {
        Unchanged,   // the control keeps its strings and selection
        Redraw,      // strings stay put; select `select`, repaint every line
        MoveString,  // the string at source moves to `stringTo`, which is selected
    };
    Lines lines = Lines::Unchanged;
    int stringTo = -1;
    int select = -1;
};

// source: the line being dragged (the control's selection, -1 for none);
// target: the line under the pointer at the drop, -1 when over no line.
// on9x: the Windows 95/98 family, where the control's strings always move
// with the entry.
DropPlan PlanDrop(int source, int target, bool on9x);

}  // namespace pikora
