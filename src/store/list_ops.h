// The three list rules of the application object: FIFO paste, clearing the
// history and the drag move.
#pragma once

#include <string>

#include "store/text_list.h"

namespace pikora {

// Takes the oldest normal entry (the one nearest the bottom) out of the list
// and returns its text; the empty string when there is no normal entry.
std::string TakeOldestNormalText(TextItemList& list);

// Removes every normal entry; every other kind stays in place.
void ClearNormalItems(TextItemList& list);

// Moves the element at source so that it lands just above the element that
// was at destination (at the top when destination is out of range). An
// invalid source, or source == destination, changes nothing.
void MoveItem(TextItemList& list, int source, int destination);

}  // namespace pikora
