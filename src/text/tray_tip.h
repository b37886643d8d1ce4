// The notification-area tooltip shows the head of the latest clipboard text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pikora {

// The tooltip field holds 63 bytes and a terminating zero.
constexpr std::size_t kTrayTipMaxBytes = 63;

// The head of text that fits the tooltip, never ending on half a double-byte
// character. With replaceTabs, tab bytes become 0xA5 (the half-width middle
// dot), since the tooltip cannot show a tab.
std::string MakeTrayTip(std::string_view text, bool replaceTabs);

}  // namespace pikora
