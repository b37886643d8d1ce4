#include "popup/item_draw.h"

#include "macro/char_boundary.h"
#include "store/text_item.h"

namespace pikora {

ItemDrawPlan PlanItemDraw(int32_t kind, unsigned action, unsigned state) {
    ItemDrawPlan plan;
    const bool selected = (state & kDrawStateSelected) != 0;
    const bool entireOrSelect = (action & (kDrawActionEntire | kDrawActionSelect)) != 0;

    plan.selectionFrame = selected && entireOrSelect;
    if (!selected && (action & kDrawActionSelect) != 0) {
        plan.eraseFrame = true;
    } else if (state != kDrawStateSelected) {
        // A line that is selected without the focus keeps what it shows.
        plan.fillInterior = true;
    }

    // A change of focus alone shows the slanted variant of the icon.
    const bool focusOnly = action == kDrawActionFocus;
    if (kind == KIND_LOCKED) {
        plan.icon = entireOrSelect ? ItemIcon::Locked
                                   : (focusOnly ? ItemIcon::LockedFocus : ItemIcon::None);
    } else if (kind == KIND_NORMAL) {
        plan.icon = entireOrSelect ? ItemIcon::Normal
                                   : (focusOnly ? ItemIcon::NormalFocus : ItemIcon::None);
    }
    return plan;
}

std::string LineTextOfTitle(std::string_view title) {
    if (title.size() <= kLineTextMax) {
        return std::string(title);
    }
    // The character that would straddle the limit is left out whole.
    return std::string(title.substr(0, BoundaryAtOrBefore(title, kLineTextMax, 0)));
}

}  // namespace pikora
