// Whether a Unicode text survives the trip to code page 932, and the bytes
// that hold it when it does. The program's data is CP932; a Unicode copy that
// CP932 cannot hold ("Müller", "€", an emoji, Hangul) would otherwise be kept
// with '?' or a look-alike Latin letter in its place.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pikora {

// The platform's CP932 conversion, both ways.
class Cp932Codec {
  public:
    virtual ~Cp932Codec() = default;
    // Without best-fit guesses: a character CP932 lacks becomes the default
    // character, never a similar-looking one ("ü" must not become "u").
    virtual std::string Encode(std::u16string_view text) const = 0;
    virtual std::u16string Decode(std::string_view bytes) const = 0;
};

// The characters that JIS and Microsoft's CP932 table map to different code
// points (WAVE DASH U+301C and FULLWIDTH TILDE U+FF5E are both 81 60 to a
// Japanese reader), replaced by the code point CP932 has for them. Texts from
// Mac, Java or the web carry the JIS forms.
std::u16string WithCp932LookAlikes(std::u16string_view text);

// The CP932 bytes that stand for `unicode` with nothing lost: `offered` (the
// clipboard's own CF_TEXT) when it reads back as exactly `unicode`, otherwise
// the codec's conversion of WithCp932LookAlikes(unicode) when that reads back
// unchanged. Nothing when CP932 cannot hold the text.
std::optional<std::string> ExactCp932(std::u16string_view unicode, std::string_view offered,
                                      const Cp932Codec& codec);

}  // namespace pikora
