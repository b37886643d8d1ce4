// The rewritten expander against the one before it: the same text and the
// same launches, in the same order, for any bytes. Where they differ, the
// rules followed step by step in the plainest way (as the unit tests' model
// does) decide: the new one must give what they give, and an input that the
// old one gets wrong is written to $PIKORA_OLD_WRONG_DIR when that is set.
// The first byte picks the hour and the day, so that both halves of the day
// are compared.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "fuzz_check.h"
#include "macro/expand_macros.h"
#include "macro/expand_macros_old.h"
#include "macro_testing.h"
#include "text/cp932.h"

namespace {

using pikora::LocalTime;

const std::string kOpen = "<pikoraMACRO>";
const std::string kClose = "</pikoraMACRO>";

std::string Printf(const char* format, int value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::vector<std::pair<std::string, std::string>> ModelKeywords(const LocalTime& t) {
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    static const char* const longDays[] = {"SunDay",   "MonDay", "TuesDay", "WednesDay",
                                           "ThursDay", "FriDay", "SaturDay"};
    static const char* const shortDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const japaneseDays[] = {"日", "月", "火", "水", "木", "金", "土"};
    return {
        {"$Y", Printf("%04d", t.year)},
        {"$y", Printf("%02d", t.year - 2000)},
        {"$WH", Printf("%02d", t.year - 1988)},
        {"$MM", months[t.month0]},
        {"$M", Printf("%02d", t.month0 + 1)},
        {"$D", Printf("%02d", t.mday)},
        {"$ddd", longDays[t.wday]},
        {"$dd", shortDays[t.wday]},
        {"$d", japaneseDays[t.wday]},
        {"$H", Printf("%02d", t.hour)},
        {"$h", Printf("%02d", t.hour % 12)},
        {"$m", Printf("%02d", t.minute)},
        {"$s", Printf("%02d", t.second)},
        {"$ampm", t.hour < 12 ? "午前" : "午後"},
        {"$AMPM", t.hour < 12 ? "AM" : "PM"},
    };
}

std::string ModelExpand(std::string text, const LocalTime& now, pikora::Launcher& launcher) {
    using pikora::Find;
    using pikora::ReplaceAll;
    const auto keywords = ModelKeywords(now);
    while (true) {
        const std::size_t open = Find(text, kOpen);
        if (open == std::string::npos) {
            return text;
        }
        const std::size_t close = Find(text, kClose, open);
        const std::size_t end = close == std::string::npos ? text.size() : close + kClose.size();
        const std::string block = text.substr(open, end - open);
        std::string work = ReplaceAll(ReplaceAll(block, kOpen, ""), kClose, "");
        for (const auto& keyword : keywords) {
            work = ReplaceAll(work, keyword.first, keyword.second);
        }
        for (const char kind : {'D', 'P'}) {
            const std::string opener = kind == 'D' ? "$RELATE<" : "$SHELL<";
            const std::string closer = kind == 'D' ? ">$RELATE" : ">$SHELL";
            for (std::size_t macro = Find(work, opener); macro != std::string::npos;
                 macro = Find(work, opener)) {
                const std::size_t argument = macro + opener.size();
                const std::size_t closing = Find(work, closer, argument);
                const std::size_t argumentEnd =
                    closing == std::string::npos ? work.size() : closing;
                const std::string target = work.substr(argument, argumentEnd - argument);
                if (!target.empty()) {
                    if (kind == 'D') {
                        launcher.OpenDocument(target);
                    } else {
                        launcher.StartProgram(target);
                    }
                }
                work.erase(macro, closing == std::string::npos ? std::string::npos
                                                               : closing + closer.size() - macro);
            }
        }
        text = ReplaceAll(text, block, work);
    }
}

}  // namespace

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
    if (expanded == pikora::OldExpandMacros(text, now, oldLaunches) &&
        newLaunches.calls == oldLaunches.calls) {
        return 0;
    }
    macro_testing::RecordingLauncher modelLaunches;
    FUZZ_REQUIRE(expanded == ModelExpand(std::string(text), now, modelLaunches));
    FUZZ_REQUIRE(newLaunches.calls == modelLaunches.calls);
    static int count = 0;
    const char* dir = std::getenv("PIKORA_OLD_WRONG_DIR");
    if (dir != nullptr) {
        ++count;
        if (count <= 200) {
            const std::string path = std::string(dir) + "/old-wrong-" + std::to_string(count);
            if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
                std::fwrite(data, 1, size, file);
                std::fclose(file);
            }
        }
        if (std::FILE* file = std::fopen((std::string(dir) + "/count").c_str(), "w")) {
            std::fprintf(file, "%d\n", count);
            std::fclose(file);
        }
    }
    return 0;
}
