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
inline constexpr std::string_view kDocumentOpener = "$RELATE<";
inline constexpr std::string_view kProgramOpener = "$SHELL<";
// A tag made of bytes from both sides of a point begins at most this far
// before it.
inline constexpr std::size_t kReach = kCloseTag.size() - 1;

// Every keyword with its value, in the order in which they are replaced.
using KeywordValues = std::array<std::pair<std::string_view, std::string>, 15>;
KeywordValues KeywordValuesAt(const LocalTime& now);

// block runs from its opening tag through its closing tag, or to the end of
// the text when it has none. Without a launcher nothing is launched: the
// block is a copy of one that launched already.
std::string ExpandBlock(std::string_view block, const KeywordValues& values, Launcher* launcher);

// Where the first tag, keyword or launch macro of text begins (a character
// start from its start), or its end. Expanding a block that holds the text
// before it leaves that text as it is but for a stretch at its end, which
// what comes after can reach into.
std::size_t QuietLength(std::string_view text, const KeywordValues& values);

}  // namespace pikora
