// Keyboard rules of the popup list that need no window.
#pragma once

#include <string_view>

#include "store/text_list.h"

namespace pikora {

// The line Space selects: the next one, wrapping from the bottom to the top.
// With shift, the previous one, wrapping from the top to the bottom. Given no
// selection (-1), Space goes to the top line and Shift+Space leaves the list
// without a selection. Returns -1 for no line.
int NextSpaceSelection(int selection, int count, bool shift);

// The line a typed character jumps to: the first one after `caret` (-1 for
// none), wrapping round to the top and ending at `caret` itself, whose title
// begins with `character` (one CP932 character, one or two bytes). Latin
// letters match either case, half-width and full-width alike within their own
// width. Returns -1 when no title begins with it.
int NextLineStartingWith(const TextItemList& items, int caret, std::string_view character);

}  // namespace pikora
