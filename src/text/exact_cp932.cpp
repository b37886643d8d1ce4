#include "text/exact_cp932.h"

namespace pikora {

namespace {

// JIS X 0208 row 1 as Unicode's JIS mapping has it, and as Microsoft's.
struct LookAlike {
    char16_t jis;
    char16_t cp932;
};
constexpr LookAlike kLookAlikes[] = {
    {u'\u301C', u'\uFF5E'},  // WAVE DASH, 81 60
    {u'\u2212', u'\uFF0D'},  // MINUS SIGN, 81 7C
    {u'\u2016', u'\u2225'},  // DOUBLE VERTICAL LINE, 81 61
    {u'\u2014', u'\u2015'},  // EM DASH, 81 5C
    {u'\u00A2', u'\uFFE0'},  // CENT SIGN, 81 91
    {u'\u00A3', u'\uFFE1'},  // POUND SIGN, 81 92
    {u'\u00AC', u'\uFFE2'},  // NOT SIGN, 81 CA
};

}  // namespace

std::u16string WithCp932LookAlikes(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) {
        for (const LookAlike& pair : kLookAlikes) {
            if (c == pair.jis) {
                c = pair.cp932;
                break;
            }
        }
    }
    return out;
}

std::optional<std::string> ExactCp932(std::u16string_view unicode, std::string_view offered,
                                      const Cp932Codec& codec) {
    // The offered bytes first: CP932 has duplicates (NEC and IBM rows) that a
    // fresh conversion would not give back byte for byte.
    if (codec.Decode(offered) == unicode) {
        return std::string(offered);
    }
    const std::u16string wanted = WithCp932LookAlikes(unicode);
    std::string bytes = codec.Encode(wanted);
    if (codec.Decode(bytes) != wanted) {
        return std::nullopt;
    }
    return bytes;
}

}  // namespace pikora
