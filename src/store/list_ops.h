// The list rules of the application object: FIFO paste, clearing the
// history, the drag move and adding a typed-in phrase.
#pragma once

#include <string>
#include <string_view>

#include "store/text_list.h"

namespace pikora {

// Takes the oldest normal entry (the one nearest the bottom) out of the list
// and returns its text; the empty string when there is no normal entry.
std::string TakeOldestNormalText(TextItemList& list);
// The text TakeOldestNormalText would take, with the list left as it is.
std::string OldestNormalText(const TextItemList& list);

// Removes every normal entry; every other kind stays in place.
void ClearNormalItems(TextItemList& list);

// Moves the element at source so that it lands just above the element that
// was at destination (at the top when destination is out of range). An
// invalid source, or source == destination, changes nothing.
void MoveItem(TextItemList& list, int source, int destination);

// A phrase typed in by the user: a locked entry just below the entry at
// insertIndex, or at the top when insertIndex is -1 (at the bottom when the
// index is past the end). Several added from one place thus stack up with the
// latest nearest to that place.
TextItemList::POSITION AddLockedItem(TextItemList& list, int insertIndex, std::string_view title,
                                     std::string_view text);

}  // namespace pikora
