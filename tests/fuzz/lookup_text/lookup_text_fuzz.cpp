// Any clipboard text (and quote string) through the lookup texts. A query
// value must hold nothing that ends the address or the browser's quoted
// argument early, and must decode to the very bytes of the text; quoting and
// lower-casing must keep every character where it was.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "text/cp932.h"
#include "text/lookup_text.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool Unsafe(unsigned char c) {
    return c <= 0x20 || c == 0x7F || c == '"' || c == '#' || c == '&' || c == '+';
}

void CheckQueryValue(std::string_view text) {
    const std::string value = pikora::QueryValue(text);
    std::string decoded;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto c = static_cast<unsigned char>(value[i]);
        FUZZ_REQUIRE(!Unsafe(c));
        if (c == '%') {
            FUZZ_REQUIRE(i + 2 < value.size());
            const int hi = HexValue(value[i + 1]);
            const int lo = HexValue(value[i + 2]);
            FUZZ_REQUIRE(hi >= 0 && lo >= 0);
            decoded += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else {
            decoded += value[i];
        }
    }
    FUZZ_REQUIRE(decoded == text);
    FUZZ_REQUIRE(pikora::WebSearchUrl(text) ==
                 std::string(pikora::kWebSearchBase) + "?MT=" + value + pikora::kWebSearchTail);
}

void CheckAddQuote(std::string_view text, std::string_view quote) {
    std::string model(quote);
    for (const char c : text) {
        model += c;
        if (c == '\n') {
            model += quote;
        }
    }
    FUZZ_REQUIRE(pikora::AddQuote(text, quote) == model);
}

// The small letter of a double-byte capital, or 0: full-width Latin, Greek
// and Cyrillic, whose lower case row steps over 0x847F.
unsigned SmallLetter(unsigned code) {
    if (0x8260 <= code && code <= 0x8279) {
        return code + (0x8281 - 0x8260);
    }
    if (0x839F <= code && code <= 0x83B6) {
        return code + (0x83BF - 0x839F);
    }
    if (0x8440 <= code && code <= 0x8460) {
        const unsigned small = code + (0x8470 - 0x8440);
        return small >= 0x847F ? small + 1 : small;
    }
    return 0;
}

void CheckToLower(std::string_view text) {
    const std::string lower = pikora::ToLowerCp932(text);
    FUZZ_REQUIRE(lower.size() == text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t len = pikora::CharLength(text, pos);
        FUZZ_REQUIRE(pikora::CharLength(lower, pos) == len);
        const auto c = static_cast<unsigned char>(text[pos]);
        if (len == 2) {
            const unsigned code = (c << 8) | static_cast<unsigned char>(text[pos + 1]);
            const unsigned small = SmallLetter(code);
            const unsigned got = (static_cast<unsigned char>(lower[pos]) << 8) |
                                 static_cast<unsigned char>(lower[pos + 1]);
            FUZZ_REQUIRE(got == (small != 0 ? small : code));
        } else {
            const char want = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : text[pos];
            FUZZ_REQUIRE(lower[pos] == want);
        }
        pos += len;
    }
    FUZZ_REQUIRE(pikora::ToLowerCp932(lower) == lower);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input = fuzz::Bytes(data, size);
    const std::string_view quote = fuzz::TakePart(input);
    const std::string_view text = input.empty() ? quote : input;
    CheckQueryValue(text);
    CheckAddQuote(text, quote);
    CheckToLower(text);
    const std::string url = pikora::DictionaryUrl(quote, text, pikora::kDicEnJa);
    FUZZ_REQUIRE(url == std::string(quote) + "?MT=" + pikora::QueryValue(text) + "&sw=0");
    return 0;
}
