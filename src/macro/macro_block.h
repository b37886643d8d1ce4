// The expansion of one macro block: its keywords replaced by the values of
// one instant, its launch macros run and removed.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <utility>

#include "macro/launcher.h"
#include "macro/local_time.h"

namespace pikora {

inline constexpr std::string_view kOpenTag = "<pikoraMACRO>";
inline constexpr std::string_view kCloseTag = "</pikoraMACRO>";

// Every keyword with its value, in the order in which they are replaced.
using KeywordValues = std::array<std::pair<std::string_view, std::string>, 15>;
KeywordValues KeywordValuesAt(const LocalTime& now);

// block runs from its opening tag through its closing tag, or to the end of
// the text when it has none.
std::string ExpandBlock(std::string_view block, const KeywordValues& values, Launcher& launcher);

// Where the first tag, keyword or launch macro of text (a character start
// from its start) begins, or its end.
std::size_t QuietLength(std::string_view text);

// Whether a block that holds before and then after, before right after its
// opening tag, expands to before followed by what a block that holds only
// after expands to, with the same launches: no tag, keyword or launch macro
// reaches from after into before. before holds none (see QuietLength) and
// ends a character; after is known by its first 13 bytes (head), the count
// of '$' it begins with and its size.
bool KeepsApart(std::string_view before, std::string_view head, std::size_t dollars,
                std::size_t size);

// How much of the start of an expansion a block that holds it right after
// its opening tag keeps apart, as far as the expansion tells: the text after
// it can still reach in.
std::size_t KeptLength(std::string_view expansion);

}  // namespace pikora
