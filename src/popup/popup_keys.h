// Keyboard rules of the popup list that need no window.
#pragma once

namespace pikora {

// The line Space selects: the next one, wrapping from the bottom to the top.
// With shift, the previous one, wrapping from the top to the bottom. Given no
// selection (-1), Space goes to the top line and Shift+Space leaves the list
// without a selection. Returns -1 for no line.
int NextSpaceSelection(int selection, int count, bool shift);

}  // namespace pikora
