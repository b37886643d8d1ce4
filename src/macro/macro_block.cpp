#include "macro/macro_block.h"

#include <algorithm>
#include <cstdio>

#include "macro/char_boundary.h"

namespace pikora {
namespace {

constexpr std::size_t npos = std::string::npos;

// What follows the '$' of a keyword or launch macro.
bool IsMacroLetter(char c) {
    return std::string_view("YyWMDdHhmsaARS").find(c) != npos;
}

std::string Printf(const char* format, int number) {
    char text[16];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

// The C runtime's fields are always in range; an empty value keeps a wrong
// one from reading past a table.
template <std::size_t N>
std::string Pick(const std::array<const char*, N>& table, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < N ? table[index] : "";
}

std::string ReplaceEach(std::string_view s, std::string_view from, std::string_view to) {
    std::string out;
    std::size_t copied = 0;
    for (std::size_t hit = FindOnBoundary(s, from, 0); hit != npos;
         hit = FindOnBoundary(s, from, copied)) {
        out.append(s, copied, hit - copied).append(to);
        copied = hit + from.size();
    }
    return out.append(s, copied);
}

// Runs (through launcher, if any) and removes every opener...closer macro
// of rest, first to last; an argument without its closer runs to the end.
// A removal can join the text on its two sides into a new opener, which
// runs in its turn: the bytes that can begin one go back in front of the
// text still to search. The rest is settled in out, so that many removals
// cost what their text costs.
std::string RunLaunchMacros(std::string rest, std::string_view opener, std::string_view closer,
                            Launcher* launcher, void (Launcher::*launch)(const std::string&)) {
    std::string out;
    std::size_t settledBoundary = 0;  // a character start in out
    std::size_t from = 0;
    for (std::size_t macro = FindOnBoundary(rest, opener, 0); macro != npos;
         macro = FindOnBoundary(rest, opener, from)) {
        const std::size_t argument = macro + opener.size();
        const std::size_t closing = FindOnBoundary(rest, closer, argument);
        const std::size_t end = closing == npos ? rest.size() : closing + closer.size();
        const std::size_t argumentEnd = closing == npos ? rest.size() : closing;
        if (argumentEnd > argument && launcher != nullptr) {
            (launcher->*launch)(rest.substr(argument, argumentEnd - argument));
        }
        out.append(rest, from, macro - from);
        const std::size_t reach = out.size() - std::min(out.size(), opener.size() - 1);
        const std::size_t keep =
            BoundaryAtOrBefore(out, reach, reach < settledBoundary ? 0 : settledBoundary);
        from = end - (out.size() - keep);
        rest.replace(from, out.size() - keep, out, keep);
        out.resize(keep);
        settledBoundary = keep;
    }
    return out.append(rest, from);
}

}  // namespace

KeywordValues KeywordValuesAt(const LocalTime& now) {
    constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    constexpr std::array<const char*, 7> kLongDays = {"SunDay",   "MonDay", "TuesDay", "WednesDay",
                                                      "ThursDay", "FriDay", "SaturDay"};
    constexpr std::array<const char*, 7> kShortDays = {"Sun", "Mon", "Tue", "Wed",
                                                       "Thu", "Fri", "Sat"};
    constexpr std::array<const char*, 7> kJapaneseDays = {"日", "月", "火", "水", "木", "金", "土"};
    const bool morning = now.hour < 12;
    // A longer keyword comes before a shorter one that begins the same way
    // ("$MM" before "$M", "$ddd" before "$dd" before "$d"), so that it wins.
    // "$WH" is the year of the Heisei era, as the ready-made template writes it.
    return {{
        {"$Y", Printf("%04d", now.year)},
        {"$y", Printf("%02d", now.year - 2000)},
        {"$WH", Printf("%02d", now.year - 1988)},
        {"$MM", Pick(kMonths, now.month0)},
        {"$M", Printf("%02d", now.month0 + 1)},
        {"$D", Printf("%02d", now.mday)},
        {"$ddd", Pick(kLongDays, now.wday)},
        {"$dd", Pick(kShortDays, now.wday)},
        {"$d", Pick(kJapaneseDays, now.wday)},
        {"$H", Printf("%02d", now.hour)},
        {"$h", Printf("%02d", morning ? now.hour : now.hour - 12)},
        {"$m", Printf("%02d", now.minute)},
        {"$s", Printf("%02d", now.second)},
        {"$ampm", morning ? "午前" : "午後"},
        {"$AMPM", morning ? "AM" : "PM"},
    }};
}

std::string ExpandBlock(std::string_view block, const KeywordValues& values, Launcher* launcher) {
    // Every tag goes, not only the block's own: an opening tag inside a block
    // opens nothing, as the block already ends at the first closing tag.
    std::string work = ReplaceEach(ReplaceEach(block, kOpenTag, ""), kCloseTag, "");
    if (QuietLength(work, values) == work.size()) {
        return work;  // most blocks hold plain text only
    }
    // One pass per keyword, each over the result of the one before: a value
    // can complete a later keyword ("$" then "$MM" gives "$Mar", then "03ar").
    for (const auto& [keyword, value] : values) {
        if (FindBytes(work, keyword, 0) != npos) {
            work = ReplaceEach(work, keyword, value);
        }
    }
    // Keywords first, so that arguments can name today's file. Documents
    // open before programs start, whatever their order in the block.
    work = RunLaunchMacros(std::move(work), kDocumentOpener, ">$RELATE", launcher,
                           &Launcher::OpenDocument);
    return RunLaunchMacros(std::move(work), kProgramOpener, ">$SHELL", launcher,
                           &Launcher::StartProgram);
}

std::size_t QuietLength(std::string_view text, const KeywordValues& values) {
    const auto at = [text](std::size_t pos, std::string_view what) {
        return text.compare(pos, what.size(), what) == 0;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(text[i]))) {
            ++i;  // the second byte of a character begins nothing
        } else if (text[i] == '<' && (at(i, kOpenTag) || at(i, kCloseTag))) {
            return i;
        } else if (text[i] == '$' && i + 1 < text.size() && IsMacroLetter(text[i + 1]) &&
                   (at(i, kDocumentOpener) || at(i, kProgramOpener) ||
                    std::any_of(values.begin(), values.end(),
                                [&](const auto& value) { return at(i, value.first); }))) {
            return i;
        }
    }
    return text.size();
}

}  // namespace pikora
