#include "macro/expand_macros_old.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <tuple>
#include <vector>

#include "macro/char_boundary.h"
#include "text/cp932.h"

namespace pikora {
namespace {

constexpr std::string_view kOpenTag = "<pikoraMACRO>";
constexpr std::string_view kCloseTag = "</pikoraMACRO>";
constexpr std::string_view kDocumentOpener = "$RELATE<";
constexpr std::string_view kDocumentCloser = ">$RELATE";
constexpr std::string_view kProgramOpener = "$SHELL<";
constexpr std::string_view kProgramCloser = ">$SHELL";
constexpr std::size_t npos = std::string::npos;

// Replaced in this order, so a longer keyword wins over a shorter one that
// starts the same way ("$MM" before "$M", "$ddd" before "$dd" before "$d").
constexpr std::array<std::string_view, 15> kKeywords = {"$Y", "$y",   "$WH", "$MM",   "$M",
                                                        "$D", "$ddd", "$dd", "$d",    "$H",
                                                        "$h", "$m",   "$s",  "$ampm", "$AMPM"};
enum Keyword : std::size_t {
    kYear,
    kYearOf2000s,
    kYearOfHeisei,
    kMonthName,
    kMonth,
    kDay,
    kLongWeekday,
    kShortWeekday,
    kJapaneseWeekday,
    kHour,
    kHour12,
    kMinute,
    kSecond,
    kJapaneseHalfDay,
    kHalfDay,
};

constexpr std::array<std::string_view, 12> kMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr std::array<std::string_view, 7> kLongWeekdays = {
    "SunDay", "MonDay", "TuesDay", "WednesDay", "ThursDay", "FriDay", "SaturDay"};
constexpr std::array<std::string_view, 7> kShortWeekdays = {"Sun", "Mon", "Tue", "Wed",
                                                            "Thu", "Fri", "Sat"};
constexpr std::array<std::string_view, 7> kJapaneseWeekdays = {"日", "月", "火", "水",
                                                               "木", "金", "土"};

template <std::size_t N>
std::string_view Entry(const std::array<std::string_view, N>& table, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < N ? table[index] : std::string_view();
}

// The longest keyword value is "WednesDay" or a year far off.
constexpr std::size_t kMaxValueSize = 16;

std::size_t Text(std::string_view s, char* out) {
    const std::size_t size = std::min(s.size(), kMaxValueSize);
    std::memcpy(out, s.data(), size);
    return size;
}

// "00" to "99": most values are two digits.
constexpr std::array<char, 200> kTwoDigits = [] {
    std::array<char, 200> table{};
    for (int i = 0; i < 100; ++i) {
        table[2 * i] = static_cast<char>('0' + i / 10);
        table[2 * i + 1] = static_cast<char>('0' + i % 10);
    }
    return table;
}();

// Same text as printf's "%0<width>d": the sign counts towards the width.
std::size_t ZeroPadded(int number, int width, char* out) {
    if (number >= 0 && number < 100 && width == 2) {
        out[0] = kTwoDigits[2 * number];
        out[1] = kTwoDigits[2 * number + 1];
        return 2;
    }
    const bool negative = number < 0;
    unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(number)
                                            : static_cast<unsigned long long>(number);
    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    std::size_t size = 0;
    if (negative) {
        out[size++] = '-';
    }
    for (int pad = width - count - (negative ? 1 : 0); pad > 0; --pad) {
        out[size++] = '0';
    }
    while (count > 0 && size < kMaxValueSize) {
        out[size++] = digits[--count];
    }
    return size;
}

// The keyword values of one instant. Each is written where it goes when it
// is needed: a value is a table entry or two digits, cheaper to make again
// than to keep (copying a value just written byte by byte as one piece would
// wait for those writes to land).
class KeywordValues {
  public:
    explicit KeywordValues(const LocalTime& now) : now_(now) {}

    // Writes the value of keyword at out, which has room for kMaxValueSize
    // bytes, and returns its size.
    std::size_t Write(std::size_t keyword, char* out) const {
        const bool morning = now_.hour < 12;
        switch (keyword) {
            case kYear:
                return ZeroPadded(now_.year, 4, out);
            case kYearOf2000s:
                return ZeroPadded(now_.year - 2000, 2, out);
            case kYearOfHeisei:
                return ZeroPadded(now_.year - 1988, 2, out);
            case kMonthName:
                return Text(Entry(kMonthNames, now_.month0), out);
            case kMonth:
                return ZeroPadded(now_.month0 + 1, 2, out);
            case kDay:
                return ZeroPadded(now_.mday, 2, out);
            case kLongWeekday:
                return Text(Entry(kLongWeekdays, now_.wday), out);
            case kShortWeekday:
                return Text(Entry(kShortWeekdays, now_.wday), out);
            case kJapaneseWeekday:
                return Text(Entry(kJapaneseWeekdays, now_.wday), out);
            case kHour:
                return ZeroPadded(now_.hour, 2, out);
            case kHour12:
                return ZeroPadded(morning ? now_.hour : now_.hour - 12, 2, out);
            case kMinute:
                return ZeroPadded(now_.minute, 2, out);
            case kSecond:
                return ZeroPadded(now_.second, 2, out);
            case kJapaneseHalfDay:
                return Text(morning ? "午前" : "午後", out);
            default:
                return Text(morning ? "AM" : "PM", out);
        }
    }

    std::string Get(std::size_t keyword) const {
        char value[kMaxValueSize];
        return std::string(value, Write(keyword, value));
    }

  private:
    LocalTime now_;
};

// The first keyword in table order that s starts with: the keyword that
// wins at a '$'. A table walk costs a mispredicted branch per candidate, and
// this runs at every '$' of every block.
constexpr std::size_t KeywordAt(std::string_view s) {
    if (s.size() < 2) {
        return npos;
    }
    const auto at = [s](std::size_t i, char c) { return i < s.size() && s[i] == c; };
    switch (s[1]) {
        case 'Y':
            return kYear;
        case 'y':
            return kYearOf2000s;
        case 'W':
            return at(2, 'H') ? kYearOfHeisei : npos;
        case 'M':
            return at(2, 'M') ? kMonthName : kMonth;
        case 'D':
            return kDay;
        case 'd':
            return !at(2, 'd') ? kJapaneseWeekday : at(3, 'd') ? kLongWeekday : kShortWeekday;
        case 'H':
            return kHour;
        case 'h':
            return kHour12;
        case 'm':
            return kMinute;
        case 's':
            return kSecond;
        case 'a':
            return at(2, 'm') && at(3, 'p') && at(4, 'm') ? kJapaneseHalfDay : npos;
        case 'A':
            return at(2, 'M') && at(3, 'P') && at(4, 'M') ? kHalfDay : npos;
        default:
            return npos;
    }
}

// What the table picks at the start of s: the first keyword s starts with.
constexpr std::size_t TableWinner(std::string_view s) {
    for (std::size_t k = 0; k < kKeywords.size(); ++k) {
        if (s.substr(0, kKeywords[k].size()) == kKeywords[k]) {
            return k;
        }
    }
    return npos;
}

// KeywordAt agrees with the table for every keyword, every cut of one, and
// every keyword followed by a letter or by another keyword.
constexpr bool KeywordAtMatchesTheTable() {
    for (const std::string_view keyword : kKeywords) {
        for (std::size_t cut = 1; cut <= keyword.size(); ++cut) {
            if (KeywordAt(keyword.substr(0, cut)) != TableWinner(keyword.substr(0, cut))) {
                return false;
            }
        }
        char joined[16] = {};
        for (std::size_t i = 0; i < keyword.size(); ++i) {
            joined[i] = keyword[i];
        }
        for (const std::string_view next :
             {std::string_view("d"), std::string_view("M"), std::string_view("m"),
              std::string_view("x"), kKeywords[3], kKeywords[6], kKeywords[13]}) {
            for (std::size_t i = 0; i < next.size(); ++i) {
                joined[keyword.size() + i] = next[i];
            }
            const std::string_view s(joined, keyword.size() + next.size());
            if (KeywordAt(s) != TableWinner(s)) {
                return false;
            }
        }
    }
    return true;
}
static_assert(KeywordAtMatchesTheTable(), "KeywordAt must pick what the keyword table picks");

// Appends work with its keywords replaced to out.
void ReplaceKeywords(std::string_view work, const KeywordValues& values, std::string& out) {
    const std::size_t outStart = out.size();
    const auto dollars = static_cast<std::size_t>(std::count(work.begin(), work.end(), '$'));
    if (dollars == 0) {
        out.append(work);
        return;
    }
    // Bytes are written through a pointer into room made up front, as one
    // std::string::append per piece costs more than the whole walk: a
    // keyword has two bytes or more and its value kMaxValueSize at most.
    out.resize(outStart + work.size() + dollars * (kMaxValueSize - 2));
    char* const written = &out[outStart];
    std::size_t size = 0;
    // Without "$$" the text after a '$' stays as written until that '$' is
    // replaced itself (values hold no '$' and end on a character boundary),
    // so trying the keywords in order at each '$' equals one pass per keyword.
    for (std::size_t pos = 0; pos < work.size();) {
        if (work[pos] == '$') {
            if ((pos + 1 < work.size() && work[pos + 1] == '$') ||
                work.compare(pos, 4, "$AMP") == 0) {
                // A '$' right before a keyword can join the keyword's value
                // into a later keyword ("$$MM" turns into "$Mar", then into
                // "03ar"); only one pass per keyword gives that text.
                std::string passes(work);
                for (std::size_t k = 0; k < kKeywords.size(); ++k) {
                    passes = ReplaceAll(passes, kKeywords[k], values.Get(k));
                }
                out.resize(outStart);
                out += passes;
                return;
            }
            const std::size_t k = IsCharBoundary(work, pos, 0) ? KeywordAt(work.substr(pos)) : npos;
            if (k != npos) {
                // The room left holds the longest value: this keyword's bytes
                // and its share of the extra room are still unused.
                size += values.Write(k, written + size);
                pos += kKeywords[k].size();
                continue;
            }
        }
        written[size++] = work[pos++];
    }
    out.resize(outStart + size);
}

// Text rewritten from left to right in one buffer: buffer[0, doneEnd) is done,
// buffer[front, end) is still to be searched, and the bytes between them are
// free room for replacements. Searching goes on from just before a replaced
// stretch, because a replacement may join the bytes before it with what
// follows into a new tag; a chain of such joins can reach back into the done
// text, and those bytes then come back.
struct SplitText {
    std::string buffer;
    std::size_t doneEnd = 0;
    std::size_t front = 0;

    // Makes sure that the span bytes before pos (a character start at or after
    // front) are not done yet, as far as there is text before it.
    void PullBack(std::size_t pos, std::size_t span) {
        if (pos - front >= span || doneEnd == 0) {
            return;
        }
        const std::size_t need = span - (pos - front);
        const std::size_t from =
            need >= doneEnd
                ? 0
                : BoundaryAtOrBefore(std::string_view(buffer.data(), doneEnd), doneEnd - need, 0);
        const std::size_t count = doneEnd - from;
        std::memmove(buffer.data() + front - count, buffer.data() + from, count);
        front -= count;
        doneEnd = from;
    }

    // Marks as done the text up to the last character start at or before
    // pos - span.
    void Settle(std::size_t pos, std::size_t span) {
        const std::size_t keep =
            pos - front >= span ? BoundaryAtOrBefore(buffer, pos - span, front) : front;
        if (doneEnd != front) {
            std::memmove(buffer.data() + doneEnd, buffer.data() + front, keep - front);
        }
        doneEnd += keep - front;
        front = keep;
    }

    // Replaces buffer[pos, end) (pos >= front) by inserted, which must not
    // point into buffer; the bytes from front to pos stay just before it. The
    // text from end on keeps its distance from the end of buffer.
    void Replace(std::size_t pos, std::size_t end, std::string_view inserted) {
        const std::size_t carried = pos - front;
        if (doneEnd + carried + inserted.size() <= end) {
            const std::size_t newFront = end - inserted.size() - carried;
            std::memmove(buffer.data() + newFront, buffer.data() + front, carried);
            if (!inserted.empty()) {
                std::memcpy(buffer.data() + newFront + carried, inserted.data(), inserted.size());
            }
            front = newFront;
            return;
        }
        // Leave room for later growth too, so that a row of growing
        // replacements does not copy the tail every time.
        const std::size_t tail = buffer.size() - end;
        const std::size_t room = tail + carried + inserted.size();
        std::string grown;
        grown.reserve(doneEnd + room + carried + inserted.size() + tail);
        grown.append(buffer, 0, doneEnd);
        grown.append(room, '\0');
        grown.append(buffer, front, carried);
        grown.append(inserted);
        grown.append(buffer, end, npos);
        front = doneEnd + room;
        buffer = std::move(grown);
    }

    std::string Finish() {
        buffer.erase(doneEnd, front - doneEnd);
        return std::move(buffer);
    }
};

// Runs and removes every opener...closer macro of work, first to last. A
// removal may join the text on its two sides into a new opener, which is run
// next; searching on from just before the removed macro instead of from the
// start keeps a block with many macros linear.
template <typename Launch>
std::string RunLaunchMacros(std::string work, std::string_view opener, std::string_view closer,
                            Launch launch) {
    std::size_t macro = FindOnBoundary(work, opener, 0);
    if (macro == npos) {
        return work;
    }
    SplitText text;
    text.buffer = std::move(work);
    const std::string& buffer = text.buffer;
    const std::size_t joinSpan = opener.size() - 1;
    while (macro != npos) {
        text.PullBack(macro, joinSpan);
        const std::size_t argument = macro + opener.size();
        const std::size_t closing = FindOnBoundary(buffer, closer, argument);
        const std::size_t argumentEnd = closing == npos ? buffer.size() : closing;
        const std::size_t macroEnd = closing == npos ? buffer.size() : closing + closer.size();
        if (argumentEnd > argument) {
            launch(buffer.substr(argument, argumentEnd - argument));
        }
        text.Settle(macro, joinSpan);
        text.Replace(macro, macroEnd, std::string_view());
        macro = FindOnBoundary(buffer, opener, text.front);
    }
    return text.Finish();
}

// Puts the expansion of block into expansion, whose buffer is reused from
// block to block.
void ExpandBlock(std::string_view block, bool closed, const KeywordValues& values,
                 Launcher& launcher, std::string& expansion) {
    const std::string_view content = block.substr(
        kOpenTag.size(), block.size() - kOpenTag.size() - (closed ? kCloseTag.size() : 0));
    expansion.clear();
    // Inner tags and launch macros all hold a '<'; without one the keywords
    // of the content between the block's own tags are all there is to do.
    if (content.find('<') == npos) {
        ReplaceKeywords(content, values, expansion);
        return;
    }
    std::string work;
    ReplaceKeywords(ReplaceAll(ReplaceAll(block, kOpenTag, ""), kCloseTag, ""), values, work);
    // Documents open before programs start, whatever their order in the block.
    work =
        RunLaunchMacros(std::move(work), kDocumentOpener, kDocumentCloser,
                        [&launcher](const std::string& target) { launcher.OpenDocument(target); });
    expansion = RunLaunchMacros(
        std::move(work), kProgramOpener, kProgramCloser,
        [&launcher](const std::string& commandLine) { launcher.StartProgram(commandLine); });
}

// A polynomial hash modulo 2^64. Bytes are added at the front, so the nested
// blocks that end at one closing tag share the work. Equal hashes are checked
// byte by byte: a collision costs a comparison, never a wrong result.
class BlockHash {
  public:
    void Prepend(std::string_view s, std::size_t from, std::size_t to) {
        for (std::size_t i = to; i-- > from;) {
            value_ += (static_cast<unsigned char>(s[i]) + 1u) * power_;
            power_ *= kBase;
        }
    }
    std::uint64_t Result() const { return value_; }

  private:
    static constexpr std::uint64_t kBase = 0x100000001B3ULL;
    std::uint64_t value_ = 0;
    std::uint64_t power_ = 1;
};

std::uint64_t HashOf(std::string_view s) {
    BlockHash hash;
    hash.Prepend(s, 0, s.size());
    return hash.Result();
}

// With fewer opening tags than this left, each is compared with the block
// instead of hashing them all.
constexpr std::size_t kDirectCompareLimit = 16;

// Where the opening tags are, found in one pass over the text, so that
// neither the next block nor the copies of a block (which are replaced with
// it) need a search through the rest of the text for every block.
//
// Tags are noted by their distance from the end of the text: the expander
// rewrites the text in front of them, so that distance only changes when
// copies of a block are replaced. The last cleanFromEnd_ bytes are as they
// were when indexed, apart from the expansions put in for copies, whose tags
// are kept in looseFromEnd_.
class TagIndex {
  public:
    // Notes every opening tag of text, character boundary or not: whether a
    // tag starts a character can change when the text before it is
    // rewritten, its bytes cannot.
    explicit TagIndex(const std::string& text) {
        tags_.reserve(8);
        for (std::size_t pos = FindBytes(text, kOpenTag, 0); pos != npos;
             pos = FindBytes(text, kOpenTag, pos + kOpenTag.size())) {
            tags_.push_back({text.size() - pos, true, 0});
        }
        cleanFromEnd_ = text.size();
    }

    bool empty() const { return tags_.empty(); }

    // The first opening tag at or after front that starts a character, for a
    // walk that starts at front.
    std::size_t NextOpen(const std::string& text, std::size_t front) {
        const std::size_t size = text.size();
        const std::size_t cleanStart = size - cleanFromEnd_;
        if (front < cleanStart) {
            // Rewritten: search it for tags that begin there.
            const std::string_view rewritten(text.data(),
                                             std::min(size, cleanStart + kOpenTag.size() - 1));
            const std::size_t hit = FindOnBoundary(rewritten, kOpenTag, front);
            if (hit != npos) {
                return hit;
            }
        }
        SkipRewrittenTags(size, cleanStart);
        std::size_t first = npos;
        for (std::size_t i = firstLive_; i < tags_.size(); ++i) {
            const std::size_t pos = size - tags_[i].fromEnd;
            if (tags_[i].alive && pos >= front && IsCharBoundary(text, pos, front)) {
                first = pos;
                break;
            }
        }
        for (const std::size_t fromEnd : looseFromEnd_) {
            const std::size_t pos = size - fromEnd;
            if (pos >= cleanStart && pos >= front && pos < first &&
                IsCharBoundary(text, pos, front)) {
                first = pos;
            }
        }
        return first;
    }

    // Appends to repeats, left to right and without overlap, the character
    // boundaries after blockEnd where block (which ends at blockEnd) occurs.
    void FindRepeats(const std::string& text, std::string_view block, std::size_t blockEnd,
                     std::vector<std::size_t>& repeats) {
        const std::size_t size = text.size();
        const std::size_t cleanStart = size - cleanFromEnd_;
        std::size_t searchFrom = blockEnd;
        if (blockEnd < cleanStart) {
            const std::string_view rewritten(text.data(),
                                             std::min(size, cleanStart - 1 + block.size()));
            for (std::size_t hit = FindOnBoundary(rewritten, block, searchFrom); hit != npos;
                 hit = FindOnBoundary(rewritten, block, searchFrom)) {
                repeats.push_back(hit);
                searchFrom = hit + block.size();
            }
        }
        SkipRewrittenTags(size, cleanStart);

        const auto consider = [&](std::size_t pos) {
            // Every candidate begins with the opening tag, like the block.
            if (pos < searchFrom || block.size() > size - pos ||
                text.compare(pos + kOpenTag.size(), block.size() - kOpenTag.size(),
                             block.substr(kOpenTag.size())) != 0 ||
                !IsCharBoundary(text, pos, blockEnd)) {
                return;
            }
            repeats.push_back(pos);
            searchFrom = pos + block.size();
        };
        std::size_t kept = 0;
        for (const std::size_t fromEnd : looseFromEnd_) {
            if (size - fromEnd >= cleanStart) {
                looseFromEnd_[kept++] = fromEnd;
            }
        }
        looseFromEnd_.resize(kept);
        const bool direct = tags_.size() - firstLive_ <= kDirectCompareLimit;
        if (direct && looseFromEnd_.empty()) {
            for (std::size_t i = firstLive_; i < tags_.size(); ++i) {
                if (tags_[i].alive) {
                    consider(size - tags_[i].fromEnd);
                }
            }
            return;
        }
        candidates_.clear();
        for (const std::size_t fromEnd : looseFromEnd_) {
            candidates_.push_back(size - fromEnd);
        }
        if (direct) {
            for (std::size_t i = firstLive_; i < tags_.size(); ++i) {
                if (tags_[i].alive) {
                    candidates_.push_back(size - tags_[i].fromEnd);
                }
            }
        } else {
            if (!hashed_) {
                HashBlocks(text);
            }
            const Key key{HashOf(block), block.size(), 0};
            const auto range = std::equal_range(keys_.begin(), keys_.end(), key, SameBlock);
            for (auto it = range.first; it != range.second; ++it) {
                if (it->tag >= firstLive_ && tags_[it->tag].alive) {
                    candidates_.push_back(size - tags_[it->tag].fromEnd);
                }
            }
        }
        std::sort(candidates_.begin(), candidates_.end());
        for (const std::size_t pos : candidates_) {
            consider(pos);
        }
    }

    // The text before a block ending tailSize bytes before the end was rewritten.
    void FrontRewritten(std::size_t tailSize) { cleanFromEnd_ = std::min(cleanFromEnd_, tailSize); }

    // The text (of oldSize bytes) was rebuilt: what was before blockEnd now
    // ends at frontEnd, and the old text from blockEnd on follows with every
    // repeat (of blockSize bytes) replaced by the expansion.
    void RepeatsReplaced(std::size_t oldSize, std::size_t blockEnd,
                         const std::vector<std::size_t>& repeats, std::size_t blockSize,
                         std::size_t expansionSize, const std::string& text, std::size_t frontEnd) {
        const std::size_t count = repeats.size();
        // Each replaced repeat moves what lies before it by this much (wraps
        // around when the expansion is the shorter).
        const std::size_t shift = expansionSize - blockSize;
        const auto repeatsBefore = [&](std::size_t oldPos) {
            return static_cast<std::size_t>(
                std::partition_point(repeats.begin(), repeats.end(),
                                     [&](std::size_t r) { return r + blockSize <= oldPos; }) -
                repeats.begin());
        };

        std::vector<std::size_t> looseOld;
        for (const std::size_t fromEnd : looseFromEnd_) {
            looseOld.push_back(oldSize - fromEnd);
        }
        if (hashed_) {
            // A tag that began a block running over a repeat (the tags right
            // before it that end at its closing tag) now begins another block,
            // so its key is stale: compare it directly from now on. A tag
            // before a dead one ends at or before the dead one's block.
            for (const std::size_t r : repeats) {
                const auto after =
                    std::partition_point(tags_.begin() + firstLive_, tags_.end(),
                                         [&](const Tag& t) { return oldSize - t.fromEnd < r; });
                for (auto k = static_cast<std::size_t>(after - tags_.begin()); k-- > firstLive_;) {
                    Tag& t = tags_[k];
                    if (!t.alive || oldSize - t.fromEnd + t.length != r + blockSize) {
                        break;
                    }
                    t.alive = false;
                    looseOld.push_back(oldSize - t.fromEnd);
                }
            }
        }
        // Every tag from firstLive_ on keeps a place that fits the order of
        // tags_ (searches rely on it): a tag inside a repeat goes where the
        // expansion now starts.
        std::size_t before = 0;
        for (std::size_t i = firstLive_; i < tags_.size(); ++i) {
            Tag& t = tags_[i];
            const std::size_t oldPos = oldSize - t.fromEnd;
            if (oldPos < blockEnd) {
                t.alive = false;
                firstLive_ = i + 1;
                continue;
            }
            while (before < count && repeats[before] + blockSize <= oldPos) {
                ++before;
            }
            if (before == count) {
                break;  // after the last repeat nothing moved
            }
            if (repeats[before] <= oldPos) {
                t.alive = false;
                t.fromEnd = oldSize - repeats[before] + (count - before) * shift;
                continue;
            }
            t.fromEnd += (count - before) * shift;
        }
        looseFromEnd_.clear();
        for (const std::size_t oldPos : looseOld) {
            const std::size_t b = repeatsBefore(oldPos);
            if (oldPos >= blockEnd && (b == count || repeats[b] > oldPos)) {
                looseFromEnd_.push_back(oldSize - oldPos + (count - b) * shift);
            }
        }
        // Tags that overlap an inserted expansion are new.
        for (std::size_t j = 0; j < count; ++j) {
            const std::size_t start = frontEnd + (repeats[j] - blockEnd) + j * shift;
            const std::size_t end = start + expansionSize;
            const std::string_view around(text.data(),
                                          std::min(text.size(), end + kOpenTag.size() - 1));
            const std::size_t from =
                std::max(frontEnd, start - std::min(start, kOpenTag.size() - 1));
            for (std::size_t pos = FindBytes(around, kOpenTag, from); pos != npos && pos < end;
                 pos = FindBytes(around, kOpenTag, pos + 1)) {
                looseFromEnd_.push_back(text.size() - pos);
            }
        }
        // What was rewritten before stays so, wherever it moved to.
        std::size_t cleanFromEnd = text.size() - frontEnd;
        const std::size_t oldCleanStart = oldSize - cleanFromEnd_;
        if (oldCleanStart > blockEnd) {
            const std::size_t b = repeatsBefore(oldCleanStart);
            cleanFromEnd = std::min(
                cleanFromEnd, b < count && repeats[b] < oldCleanStart
                                  ? oldSize - (repeats[b] + blockSize) + (count - b - 1) * shift
                                  : oldSize - oldCleanStart + (count - b) * shift);
        }
        cleanFromEnd_ = cleanFromEnd;
    }

  private:
    struct Tag {
        std::size_t fromEnd;
        bool alive;
        std::size_t length;  // of the block it begins; known once hashed
    };
    struct Key {
        std::uint64_t hash;
        std::size_t length;
        std::size_t tag;  // index in tags_
    };
    static bool SameBlock(const Key& a, const Key& b) {
        return std::tie(a.hash, a.length) < std::tie(b.hash, b.length);
    }

    void SkipRewrittenTags(std::size_t size, std::size_t cleanStart) {
        while (firstLive_ < tags_.size() &&
               (!tags_[firstLive_].alive || size - tags_[firstLive_].fromEnd < cleanStart)) {
            ++firstLive_;
        }
    }

    // A copy of a block can only begin at a tag whose own block (up to the
    // first closing tag after it) has the same bytes: key each tag by the
    // hash and length of that block.
    void HashBlocks(const std::string& text) {
        hashed_ = true;
        const std::size_t size = text.size();
        std::size_t first = firstLive_;
        while (first < tags_.size() && !tags_[first].alive) {
            ++first;
        }
        if (first == tags_.size()) {
            return;
        }
        // Walks agree after the '<' of a tag, so one walk from the first tag
        // finds the closing tags that each later tag's own walk would.
        std::vector<std::size_t> closes;
        for (std::size_t c = FindOnBoundary(text, kCloseTag, size - tags_[first].fromEnd);
             c != npos; c = FindOnBoundary(text, kCloseTag, c + kCloseTag.size())) {
            closes.push_back(c);
        }
        BlockHash hash;
        std::size_t groupClose = npos;
        std::size_t hashedFrom = 0;
        for (std::size_t i = tags_.size(); i-- > first;) {
            if (!tags_[i].alive) {
                continue;
            }
            const std::size_t tag = size - tags_[i].fromEnd;
            const auto close = std::upper_bound(closes.begin(), closes.end(), tag);
            if (close == closes.end()) {
                continue;  // runs to the end of the text: never a copy of a closed block
            }
            const std::size_t end = *close + kCloseTag.size();
            if (*close != groupClose) {
                groupClose = *close;
                hash = BlockHash();
                hashedFrom = end;
            }
            hash.Prepend(text, tag, hashedFrom);
            hashedFrom = tag;
            tags_[i].length = end - tag;
            keys_.push_back({hash.Result(), end - tag, i});
        }
        std::sort(keys_.begin(), keys_.end(), [](const Key& a, const Key& b) {
            return std::tie(a.hash, a.length, a.tag) < std::tie(b.hash, b.length, b.tag);
        });
    }

    bool hashed_ = false;
    std::size_t cleanFromEnd_ = 0;
    std::vector<Tag> tags_;  // by position
    std::size_t firstLive_ = 0;
    std::vector<Key> keys_;
    std::vector<std::size_t> looseFromEnd_;
    std::vector<std::size_t> candidates_;
};

// One call of ExpandMacros.
//
// Each round takes the first block, expands it, puts the expansion in place of
// that block and of every copy of it further on, and searches again from the
// start. Nothing before the block changes in a round, so searching on from
// just before the block is the same (see SplitText for why "just before"). The
// expansion is written in place over the end of the block, so the tail of the
// text does not move.
//
// The rounds end: each one replaces at least one block, and every expansion
// holds fewer '<' bytes than its block (the block's own opening tag is gone,
// and neither keyword values nor the removal of launch macros add a '<'), so
// the number of '<' in the text falls with every round.
std::string Expand(std::string input, const LocalTime& now, Launcher& launcher) {
    TagIndex tags(input);
    if (tags.empty()) {
        return input;
    }
    SplitText text;
    text.buffer = std::move(input);
    const std::string& buffer = text.buffer;
    std::size_t open = tags.NextOpen(buffer, 0);
    if (open == npos) {
        return text.Finish();
    }
    KeywordValues values(now);
    std::vector<std::size_t> repeats;
    std::string expansion;  // one buffer for every block
    const std::size_t joinSpan = kOpenTag.size() - 1;
    while (open != npos) {
        text.PullBack(open, joinSpan);
        const std::size_t close = FindOnBoundary(buffer, kCloseTag, open + kOpenTag.size());
        const bool closed = close != npos;
        const std::size_t blockEnd = closed ? close + kCloseTag.size() : buffer.size();
        const std::string_view block(buffer.data() + open, blockEnd - open);
        ExpandBlock(block, closed, values, launcher, expansion);
        repeats.clear();
        if (closed) {  // a block without closing tag runs to the end: no copy can follow
            tags.FindRepeats(buffer, block, blockEnd, repeats);
        }

        text.Settle(open, joinSpan);
        const std::size_t tail = buffer.size() - blockEnd;
        if (repeats.empty()) {
            text.Replace(open, blockEnd, expansion);
            tags.FrontRewritten(tail);
        } else {
            std::string replaced;
            replaced.reserve(buffer.size());
            replaced.append(buffer, 0, text.doneEnd);
            replaced.append(buffer, text.front, open - text.front);
            replaced.append(expansion);
            const std::size_t frontEnd = replaced.size();
            std::size_t copied = blockEnd;
            for (const std::size_t pos : repeats) {
                replaced.append(buffer, copied, pos - copied);
                replaced.append(expansion);
                copied = pos + block.size();
            }
            replaced.append(buffer, copied, npos);
            const std::size_t oldSize = buffer.size();
            const std::size_t blockSize = block.size();
            text.buffer = std::move(replaced);
            text.front = text.doneEnd;
            tags.RepeatsReplaced(oldSize, blockEnd, repeats, blockSize, expansion.size(), buffer,
                                 frontEnd);
        }
        open = tags.NextOpen(buffer, text.front);
    }
    return text.Finish();
}

// For the few bytes of a tag a plain loop costs less than a call to memcmp.
bool SameBytes(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i]) {
            return false;
        }
    }
    return true;
}

// Where text ends with the first bytes of an opening tag ("<", "<p", ... up
// to all but its last byte), which text put after it could complete; npos
// when it does not. As the tag holds one '<', there is one such place at most.
std::size_t TagStartAtEnd(std::string_view text) {
    const std::size_t span = std::min(text.size(), kOpenTag.size() - 1);
    for (std::size_t start = text.size() - span; start < text.size(); ++start) {
        if (text[start] == '<' &&
            SameBytes(kOpenTag.substr(0, text.size() - start), text.substr(start))) {
            return start;
        }
    }
    return npos;
}

// True when the bytes of done from start on, followed by rest, begin with an
// opening tag.
bool JoinsIntoTag(std::string_view done, std::size_t start, std::string_view rest) {
    const std::string_view head = done.substr(start, kOpenTag.size());
    return SameBytes(kOpenTag.substr(0, head.size()), head) &&
           SameBytes(rest.substr(0, kOpenTag.size() - head.size()), kOpenTag.substr(head.size()));
}

// The usual text: every block is closed and holds no '<' between its tags
// (so no inner tag and no launch macro), and no expansion completes an
// opening tag begun by the text before it. Then a block's expansion holds no
// '<' either and cannot join with the text around it into a new tag, every block expands on its
// own, and identical blocks expand identically without being looked for:
// one walk from left to right gives what Expand gives. Walks through the text
// agree after the '>' that ends a block, so boundaries can be checked in the
// input from there. Returns false, leaving out unspecified, for any other
// text.
bool ExpandSimpleBlocks(std::string_view input, std::size_t firstTag, const KeywordValues& values,
                        std::string& out) {
    std::size_t copied = 0;
    std::size_t open = IsCharBoundary(input, firstTag, 0)
                           ? firstTag
                           : FindOnBoundary(input, kOpenTag, firstTag + 1);
    while (open != npos) {
        const std::size_t contentStart = open + kOpenTag.size();
        const std::size_t close = FindOnBoundary(input, kCloseTag, contentStart);
        if (close == npos) {
            return false;
        }
        const std::string_view content = input.substr(contentStart, close - contentStart);
        if (content.find('<') != npos) {
            return false;
        }
        out.append(input, copied, open - copied);
        const std::size_t tagStart = TagStartAtEnd(out);
        ReplaceKeywords(content, values, out);
        copied = close + kCloseTag.size();
        if (tagStart != npos && JoinsIntoTag(out, tagStart, input.substr(copied))) {
            return false;
        }
        open = FindOnBoundary(input, kOpenTag, copied);
    }
    out.append(input, copied, npos);
    return true;
}

}  // namespace

std::string OldExpandMacros(std::string_view text, const LocalTime& now, Launcher& launcher) {
    const std::size_t firstTag = FindBytes(text, kOpenTag, 0);
    if (firstTag == npos) {
        return std::string(text);
    }
    KeywordValues values(now);
    std::string out;
    out.reserve(text.size() + 64);
    if (ExpandSimpleBlocks(text, firstTag, values, out)) {
        return out;
    }
    return Expand(std::string(text), now, launcher);
}

}  // namespace pikora
