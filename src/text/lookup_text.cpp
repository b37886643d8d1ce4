#include "text/lookup_text.h"

#include "text/cp932.h"

namespace pikora {

namespace {

bool NeedsEscape(unsigned char c) {
    // A line break would be dropped by the browser and join the lines, '&' and
    // '#' would cut the value short, '%' and '+' would be decoded by the
    // service, and '"' would end the quoted %1 of the browser's command line.
    return c <= 0x20 || c == 0x7F || c == '"' || c == '#' || c == '%' || c == '&' || c == '+';
}

// The small letter of a double-byte capital (lead byte << 8 | trail byte),
// or 0 for every other character.
unsigned LowerDoubleByte(unsigned code) {
    if (code >= 0x8260 && code <= 0x8279) {  // full-width Ａ-Ｚ
        return code + 0x21;
    }
    if (code >= 0x839F && code <= 0x83B6) {  // Greek Α-Ω
        return code + 0x20;
    }
    // Cyrillic А-Я: the lower case row skips 0x847F, which is no character.
    if (code >= 0x8440 && code <= 0x844E) {
        return code + 0x30;
    }
    if (code >= 0x844F && code <= 0x8460) {
        return code + 0x31;
    }
    return 0;
}

}  // namespace

std::string QueryValue(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    // None of the escaped bytes can be the second byte of a double-byte
    // character, so every one of them is escaped wherever it stands: a lead
    // byte followed by one of them (not a character at all) cannot smuggle a
    // '"' or a line break into the address.
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (NeedsEscape(c)) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        } else {
            out += ch;
        }
    }
    return out;
}

std::string WebSearchUrl(std::string_view text) {
    return std::string(kWebSearchBase) + "?MT=" + QueryValue(text) + kWebSearchTail;
}

std::string DictionaryUrl(std::string_view dicCgi, std::string_view text,
                          std::string_view selector) {
    std::string url(dicCgi);
    url += "?MT=";
    url += QueryValue(text);
    url += "&sw=";
    url += selector;
    return url;
}

std::string AddQuote(std::string_view text, std::string_view quote) {
    // A line feed byte is never the trail byte of a double-byte character, so
    // the bytes can be scanned one by one.
    std::string out(quote);
    out.reserve(text.size() + quote.size() * 4);
    for (char c : text) {
        out += c;
        if (c == '\n') {
            out += quote;
        }
    }
    return out;
}

std::string ToLowerCp932(std::string_view text) {
    std::string out(text);
    for (std::size_t pos = 0; pos < out.size();) {
        const std::size_t len = CharLength(out, pos);
        const auto c = static_cast<unsigned char>(out[pos]);
        if (len == 2) {
            const unsigned code = (c << 8) | static_cast<unsigned char>(out[pos + 1]);
            const unsigned lower = LowerDoubleByte(code);
            if (lower != 0) {
                out[pos] = static_cast<char>(lower >> 8);
                out[pos + 1] = static_cast<char>(lower & 0xFF);
            }
        } else if (c >= 'A' && c <= 'Z') {
            out[pos] = static_cast<char>(c - 'A' + 'a');
        }
        pos += len;
    }
    return out;
}

}  // namespace pikora
