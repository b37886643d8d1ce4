// The popup list line of a recorded clipboard text.
#pragma once

#include <string>
#include <string_view>

namespace pikora {

constexpr std::size_t kHistoryTitleBytes = 23;

// The first 23 bytes of text with CR, LF and TAB turned into blanks. When the
// cut would split a double-byte character, the title ends before it.
std::string MakeTitle(std::string_view text);

}  // namespace pikora
