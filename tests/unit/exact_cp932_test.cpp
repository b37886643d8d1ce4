#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <optional>
#include <string>

#include "text/cp932.h"
#include "text/exact_cp932.h"

namespace pikora {
namespace {

// The C library's CP932 table, one character at a time, standing in for
// Windows' conversion; '?' where a character has no mapping. It also maps
// some characters one way only (U+301C and U+00A5 among them), as a best-fit
// table would: the check must not take its word for them.
class IconvCp932 : public Cp932Codec {
  public:
    std::string Encode(std::u16string_view text) const override {
        std::string out;
        for (size_t i = 0; i < text.size();) {
            const bool pair = i + 1 < text.size() && text[i] >= 0xD800 && text[i] < 0xDC00;
            const size_t units = pair ? 2 : 1;
            const std::string in(reinterpret_cast<const char*>(text.data() + i), units * 2);
            out += Convert("CP932", "UTF-16LE", in).value_or("?");
            i += units;
        }
        return out;
    }
    std::u16string Decode(std::string_view bytes) const override {
        std::u16string out;
        for (size_t i = 0; i < bytes.size();) {
            const size_t n = CharLength(bytes, i);
            const auto wide = Convert("UTF-16LE", "CP932", std::string(bytes.substr(i, n)));
            out += wide ? std::u16string(reinterpret_cast<const char16_t*>(wide->data()),
                                         wide->size() / 2)
                        : u"?";
            i += n;
        }
        return out;
    }

  private:
    static std::optional<std::string> Convert(const char* to, const char* from,
                                              const std::string& in) {
        iconv_t cd = iconv_open(to, from);
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            ADD_FAILURE() << "no iconv conversion " << from << " to " << to;
            return std::nullopt;
        }
        std::string source = in;
        char out[16];
        char* inPtr = source.data();
        size_t inLeft = source.size();
        char* outPtr = out;
        size_t outLeft = sizeof out;
        const size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        iconv_close(cd);
        if (r == static_cast<size_t>(-1) || inLeft != 0) {
            return std::nullopt;
        }
        return std::string(out, sizeof out - outLeft);
    }
};

std::string Hex(const std::optional<std::string>& bytes) {
    if (!bytes) {
        return "(lossy)";
    }
    std::string out;
    for (unsigned char c : *bytes) {
        static const char digits[] = "0123456789ABCDEF";
        out += out.empty() ? "" : " ";
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

TEST(ExactCp932, KeepsWhatCodePage932HoldsWithItsLookAlikesAndTheOfferedBytesRefusesTheRest) {
    const IconvCp932 codec;
    // "?" as the clipboard's own CF_TEXT: the system's conversion lost it all.
    auto exact = [&](std::u16string_view unicode) { return Hex(ExactCp932(unicode, "?", codec)); };

    EXPECT_EQ(exact(u"abc"), "61 62 63");
    EXPECT_EQ(exact(u"日本"), "93 FA 96 7B");
    EXPECT_EQ(exact(u"ｱｲ"), "B1 B2");  // half-width katakana
    EXPECT_EQ(exact(u"①"), "87 40");   // NEC row 13
    EXPECT_EQ(exact(u"ⅰ"), "FA 40");   // IBM extension
    EXPECT_EQ(exact(u"髙"), "FB FC");  // IBM extension kanji
    EXPECT_EQ(exact(u"a\\b"), "61 5C 62");
    EXPECT_EQ(exact(u""), "");

    // JIS forms and their CP932 forms: the same bytes, whichever came.
    EXPECT_EQ(exact(u"\u301C"), "81 60");  // WAVE DASH
    EXPECT_EQ(exact(u"\uFF5E"), "81 60");  // FULLWIDTH TILDE
    EXPECT_EQ(exact(u"\u2212"), "81 7C");  // MINUS SIGN
    EXPECT_EQ(exact(u"\u2016"), "81 61");  // DOUBLE VERTICAL LINE
    EXPECT_EQ(exact(u"\u2014"), "81 5C");  // EM DASH
    EXPECT_EQ(exact(u"\u00A2\u00A3\u00AC"), "81 91 81 92 81 CA");
    EXPECT_EQ(exact(u"1\u301C3"), "31 81 60 33");

    // Lost: a Latin letter with a diacritic (best fit would give "u"), signs
    // and scripts CP932 lacks, a character beyond the BMP. The yen sign too:
    // 5C reads back as a backslash, drawn as a yen sign by Japanese fonts
    // only, and the full-width ￥ (81 8F) is a character of its own.
    for (std::u16string_view lossy :
         {u"Müller", u"€100", u"\U00020BB7野家", u"😀", u"한국", u"\u00A5100", u"a\U00020BB7"}) {
        EXPECT_EQ(exact(lossy), "(lossy)")
            << "UTF-16 length " << lossy.size() << ", first unit " << std::hex
            << static_cast<int>(lossy.empty() ? 0 : lossy[0]);
    }

    // NEC's copy of an IBM extension character: converted afresh it would be
    // FA 40, but the bytes the program offered are the ones to keep.
    EXPECT_EQ(Hex(ExactCp932(u"ⅰ", "\xEE\xEF", codec)), "EE EF");
    EXPECT_EQ(Hex(ExactCp932(u"日本", "日本", codec)), "93 FA 96 7B");
    // A best-fit CF_TEXT is not taken for the text.
    EXPECT_EQ(Hex(ExactCp932(u"M\u00FCller", "Muller", codec)), "(lossy)");
    // Wine offers '?' for a WAVE DASH; the look-alike is still found.
    EXPECT_EQ(Hex(ExactCp932(u"\u301C", "?", codec)), "81 60");
}

}  // namespace
}  // namespace pikora
