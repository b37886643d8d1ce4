#include "popup/item_drop.h"

namespace pikora {

DropPlan PlanDrop(int source, int target, bool on9x) {
    DropPlan plan;
    if (target < 0) {
        return plan;
    }
    if (target != source && source >= 0) {
        plan.moveEntry = true;
        if (source == 0 && !on9x) {
            // The lines are drawn from the text list by index, so repainting
            // shows the new order; the strings (used only by the type-ahead
            // search) stay behind until the next refill.
            plan.lines = DropPlan::Lines::Redraw;
            plan.select = target - 1;
            return plan;
        }
    }
    // Dropping a line onto itself or onto the line below it is no move.
    if (source < 0 || target == source || target == source + 1) {
        return plan;
    }
    plan.lines = DropPlan::Lines::MoveString;
    plan.stringTo = source < target ? target - 1 : target;
    plan.select = plan.stringTo;
    return plan;
}

}  // namespace pikora
