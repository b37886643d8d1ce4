#include "text/search_fold.h"

#include <cstring>

#include "text/cp932.h"

namespace pikora {

namespace {

constexpr unsigned kHalfKanaFirst = 0xA6;   // ｦ
constexpr unsigned kVoicedMark = 0xDE;      // ﾞ
constexpr unsigned kSemiVoicedMark = 0xDF;  // ﾟ

// The full-width forms of ｦ (A6) to ﾝ (DD), in that order.
constexpr std::string_view kFullKana =
    "ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤ"
    "ユヨラリルレロワン";
// The kana that take a voiced mark; the voiced form is the next code.
constexpr std::string_view kVoiceable = "カキクケコサシスセソタチツテトハヒフヘホ";
// The kana that take a semi-voiced mark; its form is the code after next.
constexpr std::string_view kSemiVoiceable = "ハヒフヘホ";

// Full-width signs of row 1 and the ASCII sign each stands for. " and ' have
// their full-width forms only in the IBM rows, which stay untouched.
struct SignPair {
    unsigned char trail;  // after lead byte 0x81
    char ascii;
};
constexpr SignPair kSigns[] = {
    {0x40, ' '}, {0x43, ','}, {0x44, '.'}, {0x46, ':'}, {0x47, ';'},  {0x48, '?'}, {0x49, '!'},
    {0x4D, '`'}, {0x4F, '^'}, {0x51, '_'}, {0x5E, '/'}, {0x5F, '\\'}, {0x60, '~'}, {0x62, '|'},
    {0x69, '('}, {0x6A, ')'}, {0x6D, '['}, {0x6E, ']'}, {0x6F, '{'},  {0x70, '}'}, {0x7B, '+'},
    {0x7C, '-'}, {0x81, '='}, {0x83, '<'}, {0x84, '>'}, {0x8F, '\\'}, {0x90, '$'}, {0x93, '%'},
    {0x94, '#'}, {0x95, '&'}, {0x96, '*'}, {0x97, '@'},
};

// Half-width punctuation ｡｢｣､･ (A1-A5) as full-width trail bytes after 0x81.
constexpr unsigned char kHalfPunctTrail[] = {0x42, 0x75, 0x76, 0x41, 0x45};

bool IsTrailByte(unsigned char c) {
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

void PutDouble(std::string& out, unsigned lead, unsigned trail) {
    out.push_back(static_cast<char>(lead));
    out.push_back(static_cast<char>(trail));
}

// Position of a two-byte character inside a run of them, or npos.
std::size_t KanaIndex(std::string_view run, unsigned lead, unsigned trail) {
    for (std::size_t i = 0; i + 1 < run.size(); i += 2) {
        if (static_cast<unsigned char>(run[i]) == lead &&
            static_cast<unsigned char>(run[i + 1]) == trail) {
            return i / 2;
        }
    }
    return std::string_view::npos;
}

void FoldDouble(unsigned lead, unsigned trail, std::string& out) {
    if (lead == 0x81) {
        for (const SignPair& sign : kSigns) {
            if (sign.trail == trail) {
                out.push_back(sign.ascii);
                return;
            }
        }
        if (trail == 0x54 || trail == 0x55) {  // ゝゞ as ヽヾ
            PutDouble(out, 0x81, trail - 2);
            return;
        }
    } else if (lead == 0x82) {
        if (trail >= 0x4F && trail <= 0x58) {
            out.push_back(static_cast<char>('0' + (trail - 0x4F)));
            return;
        }
        if (trail >= 0x60 && trail <= 0x79) {
            out.push_back(static_cast<char>('a' + (trail - 0x60)));
            return;
        }
        if (trail >= 0x81 && trail <= 0x9A) {
            out.push_back(static_cast<char>('a' + (trail - 0x81)));
            return;
        }
        if (trail >= 0x9F && trail <= 0xF1) {
            // ぁ-ん line up with ァ-ン, except that katakana skip trail 0x7F.
            const unsigned k = trail - 0x9F;
            PutDouble(out, 0x83, k < 0x3F ? 0x40 + k : 0x41 + k);
            return;
        }
    }
    PutDouble(out, lead, trail);
}

// A half-width character at text[i] (A1-DF); returns the bytes it used.
std::size_t FoldHalfWidth(std::string_view text, std::size_t i, std::string& out) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < kHalfKanaFirst) {
        PutDouble(out, 0x81, kHalfPunctTrail[c - 0xA1]);
        return 1;
    }
    if (c == kVoicedMark || c == kSemiVoicedMark) {  // a mark on its own: ゛ ゜
        PutDouble(out, 0x81, c == kVoicedMark ? 0x4A : 0x4B);
        return 1;
    }
    const std::size_t k = (c - kHalfKanaFirst) * 2;
    const auto lead = static_cast<unsigned char>(kFullKana[k]);
    const auto trail = static_cast<unsigned char>(kFullKana[k + 1]);
    const unsigned mark = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (mark == kVoicedMark && c == 0xB3) {  // ｳﾞ
        PutDouble(out, 0x83, 0x94);
        return 2;
    }
    if (mark == kVoicedMark && KanaIndex(kVoiceable, lead, trail) != std::string_view::npos) {
        PutDouble(out, lead, trail + 1);
        return 2;
    }
    if (mark == kSemiVoicedMark &&
        KanaIndex(kSemiVoiceable, lead, trail) != std::string_view::npos) {
        PutDouble(out, lead, trail + 2);
        return 2;
    }
    PutDouble(out, lead, trail);
    return 1;
}

// True when pos starts a character of well-formed text: the bytes before it
// that could be lead bytes pair up, back to one that can only end a
// character.
bool OnBoundary(std::string_view s, std::size_t pos) {
    std::size_t run = 0;
    while (run < pos && IsLeadByte(static_cast<unsigned char>(s[pos - run - 1]))) {
        ++run;
    }
    return run % 2 == 0;
}

}  // namespace

void AppendSearchFolded(std::string_view text, std::string& out) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            out.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a')
                                               : static_cast<char>(c));
            ++i;
        } else if (IsLeadByte(c)) {
            if (i + 1 < text.size() && IsTrailByte(static_cast<unsigned char>(text[i + 1]))) {
                FoldDouble(c, static_cast<unsigned char>(text[i + 1]), out);
                i += 2;
            } else {
                out.push_back('?');
                ++i;
            }
        } else if (c >= 0xA1 && c <= 0xDF) {
            i += FoldHalfWidth(text, i, out);
        } else {
            out.push_back(static_cast<char>(c));
            ++i;
        }
    }
}

std::string SearchFolded(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    AppendSearchFolded(text, out);
    return out;
}

std::size_t FindFolded(std::string_view haystack, std::string_view needle, std::size_t from) {
    // Without counts of the haystack's bytes: the last byte, which in
    // Japanese text is a trail byte, far rarer than the few lead bytes that
    // kana share.
    return FindFolded(haystack, needle, from, needle.empty() ? 0 : needle.size() - 1);
}

std::size_t FindFolded(std::string_view haystack, std::string_view needle, std::size_t from,
                       std::size_t anchor) {
    if (needle.empty()) {
        return from <= haystack.size() ? from : std::string_view::npos;
    }
    if (needle.size() > haystack.size() || from > haystack.size() - needle.size()) {
        return std::string_view::npos;
    }
    const char key = needle[anchor];
    const char* const base = haystack.data();
    // Candidates for the anchor byte lie between these two positions.
    std::size_t at = from + anchor;
    const std::size_t end = haystack.size() - (needle.size() - anchor) + 1;
    while (at < end) {
        const void* hit = std::memchr(base + at, key, end - at);
        if (hit == nullptr) {
            break;
        }
        const std::size_t found = static_cast<std::size_t>(static_cast<const char*>(hit) - base);
        const std::size_t start = found - anchor;
        if (std::memcmp(base + start, needle.data(), needle.size()) == 0 &&
            OnBoundary(haystack, start)) {
            return start;
        }
        at = found + 1;
    }
    return std::string_view::npos;
}

}  // namespace pikora
