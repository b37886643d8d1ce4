// Any bytes as an entry's text, expanded at the tests' fixed instant with a
// launcher that only records. A text without a block comes through untouched,
// and so does everything before its first '<' (an expansion may join the text
// around it into a new tag, but no tag starts before a '<'); every keyword
// costs a '$' of the text; nothing empty is launched; and the same text
// expands the same way twice.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "macro/expand_macros.h"
#include "macro_testing.h"
#include "text/cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::Bytes(data, size);
    const pikora::LocalTime now = macro_testing::ExampleInstant();

    macro_testing::RecordingLauncher launcher;
    const std::string expanded = pikora::ExpandMacros(text, now, launcher);

    if (pikora::Find(text, "<pikoraMACRO>") == std::string_view::npos) {
        FUZZ_REQUIRE(expanded == text);
        FUZZ_REQUIRE(launcher.calls.empty());
    }
    const std::size_t firstTag = std::min(text.find('<'), text.size());
    FUZZ_REQUIRE(expanded.compare(0, firstTag, text.substr(0, firstTag)) == 0);
    // No value holds a '$', and the longest ("WednesDay") has 9 bytes.
    const auto dollars = static_cast<std::size_t>(std::count(text.begin(), text.end(), '$'));
    FUZZ_REQUIRE(expanded.size() <= text.size() + 9 * dollars);
    for (const macro_testing::Launch& call : launcher.calls) {
        FUZZ_REQUIRE(call.kind == 'D' || call.kind == 'P');
        FUZZ_REQUIRE(!call.argument.empty());
    }

    macro_testing::RecordingLauncher again;
    FUZZ_REQUIRE(pikora::ExpandMacros(text, now, again) == expanded);
    FUZZ_REQUIRE(again.calls == launcher.calls);
    return 0;
}
