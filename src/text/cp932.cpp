#include "text/cp932.h"

namespace pikora {

std::size_t CharLength(std::string_view s, std::size_t pos) {
    if (pos + 1 < s.size() && IsLeadByte(static_cast<unsigned char>(s[pos]))) {
        return 2;
    }
    return 1;
}

std::size_t SafeCutLength(std::string_view s, std::size_t maxBytes) {
    if (s.size() <= maxBytes) {
        return s.size();
    }
    std::size_t pos = 0;
    while (pos < maxBytes) {
        const std::size_t len = CharLength(s, pos);
        if (pos + len > maxBytes) {
            break;
        }
        pos += len;
    }
    return pos;
}

std::size_t Find(std::string_view haystack, std::string_view needle, std::size_t from) {
    if (needle.empty()) {
        return from <= haystack.size() ? from : std::string_view::npos;
    }
    // Lead bytes are never ASCII, so a needle that starts with an ASCII byte can
    // use memchr-speed search for candidates; only a candidate has to be checked
    // for lying on a character boundary, which costs a walk from the last known
    // boundary.
    std::size_t boundary = from;
    std::size_t pos = from;
    while (pos < haystack.size()) {
        const std::size_t hit = haystack.find(needle, pos);
        if (hit == std::string_view::npos) {
            return hit;
        }
        while (boundary < hit) {
            boundary += CharLength(haystack, boundary);
        }
        if (boundary == hit) {
            return hit;
        }
        pos = boundary;  // the candidate began on a trail byte; resume at the next character
    }
    return std::string_view::npos;
}

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
    std::string out;
    if (from.empty()) {
        return std::string(s);
    }
    out.reserve(s.size());
    std::size_t pos = 0;
    while (true) {
        const std::size_t hit = Find(s, from, pos);
        if (hit == std::string_view::npos) {
            break;
        }
        out.append(s.substr(pos, hit - pos));
        out.append(to);
        pos = hit + from.size();
    }
    out.append(s.substr(pos));
    return out;
}

}  // namespace pikora
