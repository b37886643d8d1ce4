#include "macro/expand_macros.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <optional>
#include <vector>

#include "macro/char_boundary.h"
#include "macro/expanded_blocks.h"
#include "macro/macro_block.h"

namespace pikora {
namespace {

constexpr std::size_t npos = std::string::npos;
// A tag that takes bytes from two sides of a point begins at most this far
// before it.
constexpr std::size_t kJoinReach = kCloseTag.size() - 1;

// The text as the rounds rewrite it. A round can only make a tag that begins
// at most kJoinReach bytes before its block, so the text further back is set
// aside at the front of the buffer, and the text still to search follows
// after free room: a replacement is written into the room just before the
// text after it, and costs its own size rather than the text's.
//
// Every byte knows the round that wrote it (0: the input), and the round
// that last removed text just before it: a block made of bytes that all stood
// there when a round ran was one of the copies that round replaced.
class RoundText {
  public:
    explicit RoundText(std::string_view text)
        : bytes_(text), written_(text.size()), joined_(text.size()) {}

    std::string_view View() const { return bytes_; }
    std::size_t Start() const { return start_; }

    // The newest round that wrote a byte of [pos, end) or removed text
    // between two of them.
    Round Newest(std::size_t pos, std::size_t end) const {
        Round newest = 0;
        for (std::size_t i = pos; i < end; ++i) {
            newest = std::max({newest, written_[i], i > pos ? joined_[i] : Round{0}});
        }
        return newest;
    }

    // Puts with in place of [pos, end), as round wrote it. No tag can begin
    // before first - kJoinReach any more.
    // Returns where with begins now.
    std::size_t Replace(std::size_t first, std::size_t pos, std::size_t end, std::string_view with,
                        Round round) {
        SetAsideBefore(first);
        const std::size_t endFromEnd = bytes_.size() - end;
        const std::size_t carried = pos - start_;
        if (doneEnd_ + carried + with.size() > end) {
            // As much room again as the text still to search: a row of
            // growing expansions then copies the text a few times, not once
            // per block.
            Regrow(2 * (bytes_.size() - start_ + with.size()));
        }
        const std::size_t to = bytes_.size() - endFromEnd - with.size();
        Move(to - carried, start_, carried);
        start_ = to - carried;
        with.copy(&bytes_[to], with.size());
        std::fill_n(&written_[to], with.size(), round);
        std::fill_n(&joined_[to], with.size(), 0);
        if (with.empty() && endFromEnd > 0) {
            joined_[to] = round;
        }
        return to;
    }

    std::string Finish() && {
        bytes_.erase(doneEnd_, start_ - doneEnd_);
        return std::move(bytes_);
    }

  private:
    // Leaves the text still to search starting on the last character start
    // at least kJoinReach bytes before pos.
    void SetAsideBefore(std::size_t pos) {
        if (pos - start_ >= kJoinReach) {
            const std::size_t start = BoundaryAtOrBefore(bytes_, pos - kJoinReach, start_);
            Move(doneEnd_, start_, start - start_);
            doneEnd_ += start - start_;
            start_ = start;
            return;
        }
        // A chain of joins can reach back past what was set aside.
        const std::size_t missing = kJoinReach - (pos - start_);
        const std::size_t from =
            missing >= doneEnd_ ? 0
                                : BoundaryAtOrBefore(std::string_view(bytes_).substr(0, doneEnd_),
                                                     doneEnd_ - missing, 0);
        const std::size_t count = doneEnd_ - from;
        Move(start_ - count, from, count);
        start_ -= count;
        doneEnd_ = from;
    }

    void Move(std::size_t to, std::size_t from, std::size_t count) {
        std::memmove(&bytes_[to], &bytes_[from], count);
        std::memmove(&written_[to], &written_[from], count * sizeof(Round));
        std::memmove(&joined_[to], &joined_[from], count * sizeof(Round));
    }

    void Regrow(std::size_t room) {
        const auto regrow = [this, room](auto& buffer) {
            std::remove_reference_t<decltype(buffer)> grown(
                doneEnd_ + room + buffer.size() - start_, {});
            std::copy(buffer.begin(), buffer.begin() + doneEnd_, grown.begin());
            std::copy(buffer.begin() + start_, buffer.end(), grown.begin() + doneEnd_ + room);
            buffer.swap(grown);
        };
        regrow(bytes_);
        regrow(written_);
        regrow(joined_);
        start_ = doneEnd_ + room;
    }

    std::string bytes_;
    std::vector<Round> written_;
    std::vector<Round> joined_;
    std::size_t doneEnd_ = 0;  // the set-aside text is [0, doneEnd_)
    std::size_t start_ = 0;    // the text still to search is [start_, size)
};

// Each round takes the first block, searching from the start of the text,
// expands it, and puts the expansion in place of the block and of every copy
// of it. Then the search starts again, as an expansion can join with the text
// around it into a new tag.
//
// Copies are not looked for ahead: the text after the search's start that no
// round rewrote yet is the input as it came, and a copy is recognized when
// the search reaches it. Then its expansion goes in without a launch, as the
// round that expanded its block launched already.
class Expander {
  public:
    Expander(std::string_view input, KeywordValues values, Launcher& launcher)
        : values_(std::move(values)), launcher_(launcher), text_(input) {}

    std::string Run() && {
        for (std::size_t open = FindOnBoundary(text_.View(), kOpenTag, text_.Start()); open != npos;
             open = FindOnBoundary(text_.View(), kOpenTag, text_.Start())) {
            ExpandFirstBlock(open);
        }
        return std::move(text_).Finish();
    }

  private:
    // The opening tags inside the block begin blocks that end where it ends.
    // Each can be a copy that a round before put its expansion in place of;
    // the earliest of those rounds comes first, as it changed the others.
    void ExpandFirstBlock(std::size_t open) {
        const std::string_view text = text_.View();
        // A copy put in inside the block left no closing tag before it.
        const std::size_t from = open == resumeOpen_ ? BoundaryAtOrBefore(text, resumeFrom_, open)
                                                     : open + kOpenTag.size();
        const std::size_t close = FindOnBoundary(text, kCloseTag, from);
        const std::size_t end = close == npos ? text.size() : close + kCloseTag.size();
        std::optional<ExpandedBlocks::Copy> earliest;
        Round round = 0;
        for (const ExpandedBlocks::Copy& copy : expanded_.EndingAt(text, open, end)) {
            const auto first = std::upper_bound(copy.rounds->begin(), copy.rounds->end(),
                                                text_.Newest(copy.pos, end));
            if (first != copy.rounds->end() && (!earliest || *first < round)) {
                earliest = copy;
                round = *first;
            }
        }
        if (earliest) {
            const std::string expansion = expanded_.ExpansionOf(
                *earliest, text.substr(earliest->pos, end - earliest->pos), values_);
            const std::size_t inside = earliest->pos - open;
            const std::size_t pos = text_.Replace(open, earliest->pos, end, expansion, round);
            resumeOpen_ = inside > 0 ? pos - inside : npos;
            resumeFrom_ = pos - std::min(inside, kJoinReach);
            return;
        }
        const std::string_view block = text.substr(open, end - open);
        const std::string expansion = ExpandBlock(block, values_, launcher_);
        expanded_.Add(block, expansion, ++rounds_);
        text_.Replace(open, open, end, expansion, rounds_);
        resumeOpen_ = npos;
    }

    const KeywordValues values_;
    Launcher& launcher_;
    RoundText text_;
    Round rounds_ = 0;
    ExpandedBlocks expanded_;
    // Where the first block, after a copy inside it was put in, begins, and
    // where a closing tag can begin first.
    std::size_t resumeOpen_ = npos;
    std::size_t resumeFrom_ = 0;
};

}  // namespace

std::string ExpandMacros(std::string_view input, const LocalTime& now, Launcher& launcher) {
    if (FindBytes(input, kOpenTag, 0) == npos) {
        return std::string(input);
    }
    return Expander(input, KeywordValuesAt(now), launcher).Run();
}

}  // namespace pikora
