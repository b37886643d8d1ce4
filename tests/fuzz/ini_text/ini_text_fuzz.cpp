// Any file, any names and value. Whatever was in the file, the value written
// is the value read back, and no other key changes.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz_check.h"
#include "settings/ini_text.h"

namespace {

std::string_view Trim(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t\n\v\f\r");
    return first == std::string_view::npos
               ? std::string_view()
               : s.substr(first, s.find_last_not_of(" \t\n\v\f\r") - first + 1);
}

// Coarser than the core's comparison: names this calls different are.
std::string Folded(std::string_view s) {
    std::string out(Trim(s));
    for (char& c : out) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input = fuzz::Bytes(data, size);
    const std::string_view file = fuzz::TakePart(input), section = fuzz::TakePart(input),
                           key = fuzz::TakePart(input), value = fuzz::TakePart(input),
                           otherSection = fuzz::TakePart(input), otherKey = input;
    const std::string after = pikora::IniWithValue(file, section, key, value);

    // A name or value that spans lines writes lines of its own making; a lead
    // byte at a section name's end takes the ']'; a key written first in the
    // file can make it start with a UTF-8 mark.
    const bool oneLine =
        (std::string(section) + std::string(key) + std::string(value)).find_first_of("\r\n") ==
        std::string::npos;
    if (!oneLine || key.find('=') != std::string_view::npos || Trim(key).empty() ||
        Trim(key)[0] == '[' || (!Trim(section).empty() && Trim(section).back() & 0x80) ||
        pikora::IsUtf8Ini(after) != pikora::IsUtf8Ini(file)) {
        return 0;
    }
    std::string_view expected = Trim(value);
    if (expected.size() >= 2 && (expected[0] == '"' || expected[0] == '\'') &&
        expected.back() == expected[0]) {
        expected = expected.substr(1, expected.size() - 2);
    }
    FUZZ_REQUIRE(pikora::IniValue(after, section, key) == std::string(expected));
    if (Folded(otherSection) != Folded(section) || Folded(otherKey) != Folded(key)) {
        FUZZ_REQUIRE(pikora::IniValue(after, otherSection, otherKey) ==
                     pikora::IniValue(file, otherSection, otherKey));
    }
    return 0;
}
