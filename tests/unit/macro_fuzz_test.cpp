// Randomized checks of ExpandMacros against a model that follows the
// expansion rules step by step in the plainest way (and slowly): search from
// the start, copy, replace everything, repeat.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "macro/expand_macros.h"
#include "macro_testing.h"
#include "text/cp932.h"

namespace {

using macro_testing::Launch;
using macro_testing::RecordingLauncher;
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

LocalTime RandomInstant(std::mt19937& rng) {
    LocalTime t;
    t.year = std::uniform_int_distribution<int>(1980, 2100)(rng);
    t.month0 = std::uniform_int_distribution<int>(0, 11)(rng);
    t.mday = std::uniform_int_distribution<int>(1, 31)(rng);
    t.wday = std::uniform_int_distribution<int>(0, 6)(rng);
    t.hour = std::uniform_int_distribution<int>(0, 23)(rng);
    t.minute = std::uniform_int_distribution<int>(0, 59)(rng);
    t.second = std::uniform_int_distribution<int>(0, 59)(rng);
    return t;
}

std::string RandomBytes(std::mt19937& rng, std::size_t maxLength) {
    std::string s(std::uniform_int_distribution<std::size_t>(0, maxLength)(rng), '\0');
    for (char& c : s) {
        c = static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng));
    }
    return s;
}

// Pieces that make the rules meet: tags and their fragments, launch macros,
// keywords and what joins into them, lead bytes, and characters whose second
// byte is '$', '<', '>' or '\'.
const std::vector<std::string> kPieces = {
    kOpen, kOpen, kOpen, kClose, kClose, kClose, "<pikora", "MACRO>", "</pikora", "<", ">",
    "$RELATE<", ">$RELATE", "$SHELL<", ">$SHELL", "$REL", "ATE<", "$RELATE<doc>$RELATE",
    "$SHELL<prog $s>$SHELL", "$RELATE<>$RELATE", "$Y", "$y", "$WH", "$MM", "$M", "$D", "$ddd",
    "$dd", "$d", "$H", "$h", "$m", "$s", "$ampm", "$AMPM", "$", "$$", "M", "d", "a", " ", "x", "漢",
    "ソ", "ァ", "\x81", "\x81$", "\x81<", "\x81>", "\xE0", "\xFC\xFC",
    // Removing the launch macro leaves a tag.
    "<pikora$RELATE<>$RELATEMACRO>", "</pikora$RELATE<>$RELATEMACRO>"};

std::string RandomSoup(std::mt19937& rng, const std::vector<std::string>& pieces,
                       std::size_t maxPieces) {
    std::string s;
    const std::size_t count = std::uniform_int_distribution<std::size_t>(0, maxPieces)(rng);
    for (std::size_t i = 0; i < count; ++i) {
        s += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(rng)];
    }
    return s;
}

struct Outcome {
    std::string text;
    std::vector<Launch> calls;
};

Outcome RunExpand(const std::string& input, const LocalTime& now) {
    RecordingLauncher launcher;
    std::string out = pikora::ExpandMacros(input, now, launcher);
    return {std::move(out), std::move(launcher.calls)};
}

Outcome RunModel(const std::string& input, const LocalTime& now) {
    RecordingLauncher launcher;
    std::string out = ModelExpand(input, now, launcher);
    return {std::move(out), std::move(launcher.calls)};
}

void ExpectSameAsModel(const std::string& input, const LocalTime& now) {
    const Outcome got = RunExpand(input, now);
    const Outcome want = RunModel(input, now);
    ASSERT_EQ(got.text, want.text) << "input: " << ::testing::PrintToString(input);
    ASSERT_EQ(got.calls, want.calls) << "input: " << ::testing::PrintToString(input);
}

TEST(ExpandMacrosFuzz, RandomBytesChangeNothingWithoutAnOpeningTag) {
    std::mt19937 rng(20010306);
    for (int i = 0; i < 2000; ++i) {
        std::string input = RandomBytes(rng, 300);
        if (i % 2 == 0) {  // sprinkle pieces of the syntax in
            input += RandomSoup(rng, kPieces, 4) + RandomBytes(rng, 40);
        }
        const LocalTime now = RandomInstant(rng);
        const Outcome got = RunExpand(input, now);
        if (input.find(kOpen) == std::string::npos) {
            ASSERT_EQ(got.text, input);
            ASSERT_TRUE(got.calls.empty());
        }
        ASSERT_NO_FATAL_FAILURE(ExpectSameAsModel(input, now));
    }
}

TEST(ExpandMacrosFuzz, TagSoupsExpandLikeTheModel) {
    std::mt19937 rng(14050906);
    for (int i = 0; i < 3000; ++i) {
        const std::string input = RandomSoup(rng, kPieces, i % 10 == 0 ? 120 : 30);
        const LocalTime now = RandomInstant(rng);
        ASSERT_NO_FATAL_FAILURE(ExpectSameAsModel(input, now));

        // With no opening tag nothing changes and nothing is launched.
        if (pikora::Find(input, kOpen) == std::string::npos) {
            const Outcome got = RunExpand(input, now);
            ASSERT_EQ(got.text, input);
            ASSERT_TRUE(got.calls.empty());
        }
    }
}

TEST(ExpandMacrosFuzz, ManyRepeatedAndNestedBlocksExpandLikeTheModel) {
    // Few distinct blocks used many times, with stray tags between them, so
    // that copies, nesting and joins meet in texts with dozens of tags.
    std::mt19937 rng(6032001);
    for (int i = 0; i < 300; ++i) {
        std::vector<std::string> pieces;
        const int distinct = std::uniform_int_distribution<int>(1, 6)(rng);
        for (int b = 0; b < distinct; ++b) {
            pieces.push_back(kOpen + RandomSoup(rng, kPieces, 5) + kClose);
        }
        for (const char* extra : {"<pikora", "MACRO>", "x", "\x81", "$RELATE<>$RELATE"}) {
            pieces.push_back(extra);
        }
        pieces.push_back(kOpen);
        pieces.push_back(kClose);
        const std::string input = RandomSoup(rng, pieces, 150);
        ASSERT_NO_FATAL_FAILURE(ExpectSameAsModel(input, RandomInstant(rng)));
        // Every block again further on, next to each other or apart.
        if (i % 3 == 0) {
            ASSERT_NO_FATAL_FAILURE(ExpectSameAsModel(input + input, RandomInstant(rng)));
        }
    }
}

TEST(ExpandMacrosFuzz, JoinedTagsAndGrowingBlocksExpandLikeTheModel) {
    std::mt19937 rng(20010307);
    const std::string manyDays = "$ddd$ddd$ddd$ddd$ddd$ddd$ddd$ddd$ddd$ddd$ddd";
    for (int i = 0; i < 600; ++i) {
        std::vector<std::string> pieces;
        if (i % 2 == 0) {
            // Expansions longer than their blocks, some of them repeated.
            pieces = {kOpen,    kClose, manyDays,          "$ddd", "x", "<pikora",
                      "MACRO>", "\x81", "$RELATE<>$RELATE"};
            for (int b = 0; b < 3; ++b) {
                pieces.push_back(kOpen + RandomSoup(rng, pieces, 6) + kClose);
            }
        } else {
            // Fragments that removals join into tags and openers, in chains.
            pieces = {"<pikora",
                      "<pikora",
                      "MACRO>",
                      "MACRO>",
                      kOpen,
                      kClose,
                      "$RELATE<>$RELATE",
                      "</pikora",
                      "$REL",
                      "ATE<>$RELATE",
                      "$RELATE<",
                      "<pikora$RELATE<>$RELATEMACRO>",
                      "</pikora$RELATE<>$RELATEMACRO>",
                      "\x81",
                      "x"};
        }
        std::string input = RandomSoup(rng, pieces, 80);
        if (i % 3 == 0) {
            // Each removal joins the next opening tag in front of a long
            // expansion, whose block runs to one of the closing tags after it.
            std::string chain = kOpen + RandomSoup(rng, pieces, 2) + kClose;
            for (int link = std::uniform_int_distribution<int>(1, 6)(rng); link > 0; --link) {
                chain = "<pikora" + chain + "MACRO>";
            }
            input = chain + std::string(100, 'w') + input;
        }
        ASSERT_NO_FATAL_FAILURE(ExpectSameAsModel(input, RandomInstant(rng)));
    }
}

// Blocks with plain keyword text between their tags, the usual entry, with
// fragments of tags around them and inside them that an expansion could
// complete into a new tag ("<pi" + a block giving "koraMACRO>"), and lead
// bytes that move the character boundaries.
TEST(ExpandMacrosFuzz, PlainBlocksAndTheTextAroundThemExpandLikeTheModel) {
    std::mt19937 rng(20261207);
    const std::vector<std::string> inside = {
        "$Y",    "$M",   "$D", "$ddd", "$d",   "$AMPM",  "$ampm",      "$MM",
        "$",     "x",    " ",  "漢",   "\x81", "MACRO>", "koraMACRO>", "pikoraMACRO>",
        "ikora", "ACRO", ">",  "/",    "$$M"};
    const std::vector<std::string> around = {
        "<", "<p",     "<pi",  "<pikora",  "<pikoraMACRO", "</pikoraMACRO",
        "x", " ",      "\x81", "\x81\x81", "漢",           "ソ",
        ">", "MACRO>", "$M",   "\r\n",     "<item>"};
    for (int i = 0; i < 3000; ++i) {
        std::string input;
        const int pieces = std::uniform_int_distribution<int>(1, 12)(rng);
        for (int p = 0; p < pieces; ++p) {
            if (std::uniform_int_distribution<int>(0, 2)(rng) == 0) {
                input += kOpen + RandomSoup(rng, inside, 4) + kClose;
            } else {
                input += RandomSoup(rng, around, 3);
            }
        }
        if (i % 10 == 0) {
            input += kOpen + RandomSoup(rng, inside, 3);  // runs to the end
        }
        ASSERT_NO_FATAL_FAILURE(ExpectSameAsModel(input, RandomInstant(rng)));
    }
}

// Chains of joined tags in front of a long expansion, with pieces of tags,
// keywords and launch macros at its end and in the text between the closing
// tags: what follows the expansion reaches back into it.
TEST(ExpandMacrosFuzz, ChainsThatReachBackIntoTheExpansionExpandLikeTheModel) {
    std::mt19937 rng(20261208);
    const std::vector<std::string> pieces = {
        kOpen, kClose, "<", "<pikora", "</pikora", "MACRO>", "ikoraMACRO>", "$M", "MM", "x", "\x81",
        // Dollar signs and launch macros, which removals join into new ones.
        "$", "$$", "$REL", "ATE<", "RELATE<", ">$RELATE", "$RELATE<a>$RELATE", "$SHELL<b>$SHELL"};
    for (int i = 0; i < 300; ++i) {
        const int links = std::uniform_int_distribution<int>(1, 30)(rng);
        std::string input;
        for (int link = 0; link < links; ++link) {
            input += "<pikora";
        }
        input += kOpen + kClose;
        for (int link = 0; link < links; ++link) {
            input += "MACRO>";
        }
        input += std::string(std::uniform_int_distribution<std::size_t>(0, 1200)(rng), 'w') +
                 RandomSoup(rng, pieces, 40);
        for (int link = 0; link < links; ++link) {
            input += RandomSoup(rng, pieces, 8) + kClose;
        }
        ASSERT_NO_FATAL_FAILURE(ExpectSameAsModel(input, RandomInstant(rng)));
    }
}

}  // namespace
