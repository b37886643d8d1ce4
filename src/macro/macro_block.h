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

// How much of the start of an expansion stays as it is in any block that
// holds it right after the opening tag, whatever follows it: no tag, keyword
// or launch macro can begin there or reach into it from what follows.
std::size_t InertLength(std::string_view expansion);

}  // namespace pikora
