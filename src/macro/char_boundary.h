// Character-boundary tests and searches over CP932 bytes that cost no walk
// from the start of the text.
//
// A walk through CP932 text takes two bytes at a lead byte and one byte
// otherwise. Two walks that disagree come together right after any byte that
// is not a lead byte, so whether a position starts a character depends only
// on the run of lead bytes just before it: an even run means a boundary.
// That makes a check proportional to that run instead of to the distance
// from the last known boundary, and lets searches run at memchr speed.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#include "text/cp932.h"

namespace pikora {

// True when pos (<= s.size()) starts a character, or ends the last one, for a
// walk through s that started on a character at walkStart (<= pos).
inline bool IsCharBoundary(std::string_view s, std::size_t pos, std::size_t walkStart) {
    std::size_t runStart = pos;
    while (runStart > walkStart && IsLeadByte(static_cast<unsigned char>(s[runStart - 1]))) {
        --runStart;
    }
    return (pos - runStart) % 2 == 0;
}

// First occurrence of needle (non-empty) at or after from, byte by byte, or
// npos. The same result as std::string_view::find, which calls memcmp for
// every byte that matches needle's first: in text with many '<' or '$' the
// calls cost more than the search. The needles here are a few bytes long and
// end with a byte rarer than their first ('>' for a tag, a letter for a
// keyword), so memchr looks for that one and a plain loop compares the rest.
inline std::size_t FindBytes(std::string_view s, std::string_view needle, std::size_t from) {
    if (needle.size() > s.size() || from > s.size() - needle.size()) {
        return std::string_view::npos;
    }
    const std::size_t last = needle.size() - 1;
    const char* const begin = s.data();
    const char* const end = begin + s.size();
    for (const char* p = begin + from + last; p < end; ++p) {
        p = static_cast<const char*>(
            std::memchr(p, needle[last], static_cast<std::size_t>(end - p)));
        if (p == nullptr) {
            break;
        }
        const char* const start = p - last;
        std::size_t matched = 0;
        while (matched < last && start[matched] == needle[matched]) {
            ++matched;
        }
        if (matched == last) {
            return static_cast<std::size_t>(start - begin);
        }
    }
    return std::string_view::npos;
}

// The last character start at or before pos (< s.size()), for a walk that
// started on a character at walkStart (<= pos).
std::size_t BoundaryAtOrBefore(std::string_view s, std::size_t pos, std::size_t walkStart);

// First occurrence of needle (non-empty) at or after from that starts a
// character, for a walk that starts at from; npos when there is none.
std::size_t FindOnBoundary(std::string_view s, std::string_view needle, std::size_t from);

}  // namespace pikora
