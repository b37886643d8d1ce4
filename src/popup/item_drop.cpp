#include "popup/item_drop.h"

namespace pikora {

DropPlan PlanDrop(int source, int target) {
    DropPlan plan;
    if (target < 0 || source < 0 || target == source) {
        return plan;
    }
    plan.moveEntry = true;
    // Dropping a line onto the line below it puts it back where it was.
    if (target == source + 1) {
        return plan;
    }
    plan.lines = DropPlan::Lines::Redraw;
    plan.select = source < target ? target - 1 : target;
    return plan;
}

}  // namespace pikora
