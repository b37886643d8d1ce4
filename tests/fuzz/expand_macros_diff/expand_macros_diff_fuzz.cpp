// The rewritten expander against the one before it: the same text and the
// same launches, in the same order, for any bytes. The first byte picks the
// hour and the day, so that both halves of the day are compared.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "macro/expand_macros.h"
#include "macro/expand_macros_old.h"
#include "macro_testing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pikora::LocalTime now = macro_testing::ExampleInstant();
    if (size > 0) {
        now.hour = data[0] % 24;
        now.wday = data[0] % 7;
    }
    const std::string_view text = fuzz::Bytes(data, size);
    macro_testing::RecordingLauncher newLaunches;
    macro_testing::RecordingLauncher oldLaunches;
    const std::string expanded = pikora::ExpandMacros(text, now, newLaunches);
    FUZZ_REQUIRE(expanded == pikora::OldExpandMacros(text, now, oldLaunches));
    FUZZ_REQUIRE(newLaunches.calls == oldLaunches.calls);
    return 0;
}
