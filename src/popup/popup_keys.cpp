#include "popup/popup_keys.h"

namespace pikora {

int NextSpaceSelection(int selection, int count, bool shift) {
    if (count <= 0) {
        return -1;
    }
    int next;
    if (shift) {
        next = selection == 0 ? count - 1 : selection - 1;
    } else {
        next = selection < count - 1 ? selection + 1 : 0;
    }
    // Backward from "no selection" asks the list control for line -2, which
    // it refuses; it then has no selection either.
    return next < 0 ? -1 : next;
}

}  // namespace pikora
