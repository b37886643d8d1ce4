// Byte-string helpers for code page 932 (Shift_JIS as Windows has it).
// All program text is std::string holding CP932 bytes; lengths are byte counts
// and every search steps over double-byte characters, so a match never starts
// on the trail byte of a character (whose value may well be '$', '@' or '\\').
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pikora {

// True for the first byte of a double-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Length in bytes of the character that starts at s[pos] (1 or 2); a lead
// byte at the very end of the string counts as one byte.
std::size_t CharLength(std::string_view s, std::size_t pos);

// The largest length <= maxBytes that does not split a double-byte character.
std::size_t SafeCutLength(std::string_view s, std::size_t maxBytes);

// Position of the first occurrence of needle at or after from, stepping by
// characters; npos when there is none. An empty needle matches at from.
std::size_t Find(std::string_view haystack, std::string_view needle, std::size_t from = 0);

// Replaces every non-overlapping occurrence, scanning left to right by characters.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);

}  // namespace pikora
