// Where the popup list's context menu opens and which entry commands it offers.
#pragma once

#include <cstdint>

namespace pikora {

struct MenuPoint {
    int x = 0;
    int y = 0;
};

// The menu opened from the keyboard: below and right of the selected line,
// reckoned from where the popup was placed and the caret offsets. The list's
// scroll position is not known here and not taken into account. The offsets,
// the line height and the inset are 96-DPI numbers, scaled to dpi.
MenuPoint KeyboardMenuPos(MenuPoint popup, int caretPosX, int caretPosY, int selection,
                          int dpi = 96);

// Lock is offered for a normal entry, make-normal for a locked one; an entry of
// any other kind gets neither.
struct KindCommands {
    bool lockEnabled = false;
    bool normalEnabled = false;
};
KindCommands KindCommandsFor(int32_t kind);

}  // namespace pikora
