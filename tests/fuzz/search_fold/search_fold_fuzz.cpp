// Any text and query through the search's folding and matching. The folded
// form must be well-formed and folding it again must change nothing; a match
// must start on a character and agree with the character-stepping search.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "text/cp932.h"
#include "text/search_fold.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input = fuzz::Bytes(data, size);
    const std::string_view query = fuzz::TakePart(input);
    const std::string text = pikora::SearchFolded(input);
    const std::string needle = pikora::SearchFolded(query);
    FUZZ_REQUIRE(pikora::SearchFolded(text) == text);
    for (std::size_t i = 0; i < text.size(); i += pikora::CharLength(text, i)) {
        if (pikora::IsLeadByte(static_cast<unsigned char>(text[i]))) {
            FUZZ_REQUIRE(i + 1 < text.size());
        }
    }
    std::size_t from = 0;
    while (true) {
        const std::size_t hit = pikora::FindFolded(text, needle, from);
        FUZZ_REQUIRE(hit == pikora::Find(text, needle, from));
        if (hit == std::string_view::npos || hit >= text.size()) {
            break;
        }
        from = hit + pikora::CharLength(text, hit);
    }
    return 0;
}
