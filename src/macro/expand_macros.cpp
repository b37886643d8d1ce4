#include "macro/expand_macros.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "macro/block_hash.h"
#include "macro/char_boundary.h"
#include "macro/macro_block.h"

namespace pikora {
namespace {

constexpr std::size_t npos = std::string::npos;
// A tag made of bytes from both sides of a point begins at most this far
// before it.
constexpr std::size_t kReach = kCloseTag.size() - 1;

using Round = std::uint32_t;

// Bytes, each with the round that wrote it (0: the input).
struct Stamped {
    std::string bytes;
    std::vector<Round> rounds;
};

// The text as the rounds rewrite it. A block can begin before the front only
// with a tag that a round joins across it, so the settled text before the
// front comes back a few bytes at a time. The live text after the front lies
// at the end of its buffer, and a round writes its expansion into the room
// before it: a round costs what its block costs, not what the text does.
class Text {
  public:
    explicit Text(std::string_view input)
        : live_{std::string(input), std::vector<Round>(input.size())} {}

    std::size_t Front() const { return settled_.bytes.size(); }
    std::size_t Size() const { return Front() + live_.bytes.size() - start_; }
    char At(std::size_t pos) const {
        return pos < Front() ? settled_.bytes[pos] : live_.bytes[Live(pos)];
    }
    Round RoundAt(std::size_t pos) const {
        return pos < Front() ? settled_.rounds[pos] : live_.rounds[Live(pos)];
    }

    // The first needle on a character start at or after from, a character
    // start no earlier than the front; npos when there is none.
    std::size_t Find(std::string_view needle, std::size_t from) const {
        const std::size_t hit = FindOnBoundary(live_.bytes, needle, Live(from));
        return hit == npos ? npos : hit - start_ + Front();
    }

    std::string_view Bytes(std::size_t pos, std::size_t end, std::string& scratch) const {
        if (pos >= Front()) {
            return std::string_view(live_.bytes).substr(Live(pos), end - pos);
        }
        if (end <= Front()) {
            return std::string_view(settled_.bytes).substr(pos, end - pos);
        }
        return scratch.assign(settled_.bytes, pos).append(live_.bytes, start_, end - Front());
    }

    std::size_t StartAtOrBefore(std::size_t pos) const {
        const bool starts = pos >= Front() ? IsCharBoundary(live_.bytes, Live(pos), start_)
                                           : IsCharBoundary(settled_.bytes, pos, 0);
        return starts ? pos : pos - 1;
    }

    // Moves the front to pos, a character start.
    void MoveFront(std::size_t pos) {
        if (pos >= Front()) {
            const std::size_t count = pos - Front();
            settled_.bytes.append(live_.bytes, start_, count);
            settled_.rounds.insert(settled_.rounds.end(), live_.rounds.begin() + start_,
                                   live_.rounds.begin() + start_ + count);
            start_ += count;
            return;
        }
        const std::size_t count = Front() - pos;
        MakeRoom(count);
        start_ -= count;
        std::copy(settled_.bytes.begin() + pos, settled_.bytes.end(), live_.bytes.begin() + start_);
        std::copy(settled_.rounds.begin() + pos, settled_.rounds.end(),
                  live_.rounds.begin() + start_);
        DropSettled(count);
    }

    // Where a tag joined at pos could begin.
    void MoveFrontBefore(std::size_t pos) {
        MoveFront(StartAtOrBefore(pos - std::min(pos, kReach)));
    }

    void DropFront(std::size_t end) { start_ = Live(end); }

    // Puts with in place of [front, end), as round wrote it. Bytes that a
    // removal brings together did not stand so before it: the byte before
    // takes the round too, so that no block that holds the two passes for a
    // copy from before that round.
    void ReplaceFront(std::size_t end, std::string_view with, Round round) {
        if (with.empty() && end > Front() && Front() > 0) {
            settled_.rounds.back() = std::max(settled_.rounds.back(), round);
        }
        DropFront(end);
        MakeRoom(with.size());
        start_ -= with.size();
        std::copy(with.begin(), with.end(), live_.bytes.begin() + start_);
        std::fill_n(live_.rounds.begin() + start_, with.size(), round);
    }

    void DropSettled(std::size_t count) {
        settled_.bytes.resize(Front() - count);
        settled_.rounds.resize(Front());
    }

    std::string Finish() && { return std::move(settled_.bytes.append(live_.bytes, start_)); }

  private:
    std::size_t Live(std::size_t pos) const { return pos - Front() + start_; }

    void MakeRoom(std::size_t count) {
        if (start_ >= count) {
            return;
        }
        // As much room again as there is live text: a row of growing
        // expansions then copies the text a few times, not once per block.
        const std::size_t room = count + live_.bytes.size() - start_;
        Stamped grown{std::string(room, '\0'), std::vector<Round>(room)};
        grown.bytes.append(live_.bytes, start_);
        grown.rounds.insert(grown.rounds.end(), live_.rounds.begin() + start_, live_.rounds.end());
        live_ = std::move(grown);
        start_ = room;
    }

    Stamped settled_;
    Stamped live_;
    std::size_t start_ = 0;  // of the live text in its buffer
};

// A copy's launches ran with the round that expanded its block.
class NoLaunch : public Launcher {
  public:
    void OpenDocument(const std::string&) override {}
    void StartProgram(const std::string&) override {}
};

// The last expansion, held out of the text between the front and the live
// text while the blocks that begin with a tag joined in front of it follow
// one another. All its bytes were written by the last round.
struct Held {
    std::string bytes;
    std::size_t taken = 0;  // by the tags: bytes[taken..] is in the text
    std::size_t quiet = 0;  // see QuietLength: bytes[taken..quiet) holds nothing
    BlockHash hash;         // of bytes[taken..]
    Round round = 0;

    std::size_t StartAtOrBefore(std::size_t pos) const {
        return IsCharBoundary(bytes, pos, taken) ? pos : pos - 1;
    }
};

// Each round takes the first block, searching from the start of the text,
// expands it, and puts the expansion in place of the block and of every copy
// of it. Then the search starts again, as an expansion can join with the text
// around it into a new tag.
//
// Copies are not looked for ahead: the text that no round reached yet is the
// input as it came, and a copy is recognized when the search reaches it. It
// is one when its bytes are those of a round's block and all of them stood
// there when that round ran; then it takes the same expansion without a
// launch, as the round launched already.
class Expander {
  public:
    Expander(std::string_view input, const LocalTime& now, Launcher& launcher)
        : values_(KeywordValuesAt(now)), launcher_(launcher), text_(input) {}

    std::string Run() && {
        for (std::size_t open = text_.Find(kOpenTag, 0); open != npos;) {
            open = held_ ? Peel() : ExpandFirstBlock(open);
        }
        Unhold();
        return std::move(text_).Finish();
    }

  private:
    // Returns the next opening tag, or 0 when the expansion is held.
    std::size_t ExpandFirstBlock(std::size_t open) {
        // No closing tag lies between the block's tag and the front.
        const std::size_t close =
            text_.Find(kCloseTag, std::max(open + kOpenTag.size(), text_.Front()));
        const std::size_t end = close == npos ? text_.Size() : close + kCloseTag.size();
        BlockHash hash;
        std::string scratch;
        const auto [copy, round] = FindCopy(open, end, hash);
        if (copy != npos) {
            NoLaunch none;
            const std::string expansion =
                ExpandBlock(text_.Bytes(copy, end, scratch), values_, none);
            text_.MoveFront(copy);
            text_.ReplaceFront(end, expansion, round);
            text_.MoveFrontBefore(copy);
            // A tag that the copy's expansion joined begins after this one.
            return copy > open ? open : text_.Find(kOpenTag, text_.Front());
        }
        const std::string expansion =
            ExpandBlock(text_.Bytes(open, end, scratch), values_, launcher_);
        Remember(hash, ++rounds_);
        text_.MoveFront(open);
        if (expansion.size() >= kHoldable) {
            text_.DropFront(end);
            held_.emplace();
            held_->bytes = expansion;
            held_->hash = BlockHash::Of(expansion);
            held_->quiet = QuietLength(expansion, values_);
            held_->round = rounds_;
            return 0;
        }
        text_.ReplaceFront(end, expansion, rounds_);
        text_.MoveFrontBefore(open);
        return text_.Find(kOpenTag, text_.Front());
    }

    // The opening tags in [first, end) begin blocks that end at end. Each can
    // be a copy of a block that a round before expanded; the earliest of
    // those rounds comes first, as its copy changed the others. Returns where
    // that copy begins and the round, or npos; without a copy, hash is that
    // of [first, end).
    std::pair<std::size_t, Round> FindCopy(std::size_t first, std::size_t end, BlockHash& hash) {
        std::size_t pos = end;
        std::size_t copy = npos;
        Round newest = 0;
        Round earliest = 0;
        const auto stepBackTo = [&](std::size_t to) {
            for (; pos > to; --pos) {
                hash = hash.Prepend(text_.At(pos - 1));
                newest = std::max(newest, text_.RoundAt(pos - 1));
            }
        };
        for (auto size = known_.begin(); size != known_.end() && size->first <= end - first;
             ++size) {
            const std::size_t start = end - size->first;
            if (!OpensAt(start, first)) {
                continue;
            }
            stepBackTo(start);
            const auto rounds = size->second.find(hash.Value());
            if (rounds != size->second.end()) {
                const auto after =
                    std::upper_bound(rounds->second.begin(), rounds->second.end(), newest);
                if (after != rounds->second.end() && (earliest == 0 || *after < earliest)) {
                    earliest = *after;
                    copy = start;
                }
            }
        }
        if (copy == npos) {
            stepBackTo(first);
        }
        return {copy, earliest};
    }

    // Whether an opening tag begins at pos, on a character start of a walk
    // from first.
    bool OpensAt(std::size_t pos, std::size_t first) const {
        for (std::size_t i = 0; i < kOpenTag.size(); ++i) {
            if (text_.At(pos + i) != kOpenTag[i]) {
                return false;
            }
        }
        std::size_t run = pos;
        while (run > first && IsLeadByte(static_cast<unsigned char>(text_.At(run - 1)))) {
            --run;
        }
        return (pos - run) % 2 == 0;
    }

    void Remember(const BlockHash& block, Round round) {
        known_[block.Size()][block.Value()].push_back(round);
    }

    // A removal that joins a new opening tag in front of the held expansion
    // makes a block that holds the expansion again, up to a closing tag
    // after it. A quiet start (see QuietLength) comes through such a block
    // unchanged but for its last bytes, which what follows can reach into: a
    // tag across its end takes up to 12 bytes, a closing tag that its
    // removal joins 13 more, a keyword 4 in each of the 15 passes, and each
    // launch macro 7, for 3 bytes that it takes from what follows or from
    // the bytes reached before (its '<', and the '>' and '$' of its closer,
    // which no value brings). Only that stretch and what follows are
    // expanded, so that a chain of such tags costs what its tags and the
    // text between its closing tags cost, not the expansion's length for
    // each tag. Puts the expansion back and returns the next opening tag
    // when the block is not one of these; returns 0 when it holds the new
    // expansion.
    std::size_t Peel() {
        Held& held = *held_;
        std::string scratch;
        const std::size_t front = text_.Front();
        const std::size_t from = text_.StartAtOrBefore(front - std::min(front, kReach));
        const std::size_t tag = FindOnBoundary(std::string(text_.Bytes(from, front, scratch))
                                                   .append(held.bytes, held.taken, kOpenTag.size()),
                                               kOpenTag, 0);
        if (tag == npos || tag >= front - from) {
            Unhold();
            return text_.Find(kOpenTag, text_.Front());
        }
        const std::size_t fromSettled = front - from - tag;
        const std::size_t first = held.taken + kOpenTag.size() - fromSettled;
        // The block ends at the first closing tag after its opening tag; none
        // lies in the quiet start.
        const std::size_t quiet = std::max(held.quiet, first);
        const std::size_t search = held.StartAtOrBefore(quiet - std::min(quiet - first, kReach));
        const std::string joins =
            held.bytes.substr(search) +
            std::string(text_.Bytes(front, std::min(text_.Size(), front + kReach), scratch));
        const std::size_t inJoins = FindOnBoundary(joins, kCloseTag, 0);
        const std::size_t heldPart = held.bytes.size() - search;
        if (inJoins != npos && inJoins + kCloseTag.size() <= heldPart) {
            Unhold();  // the block ends inside the expansion
            return from + tag;
        }
        const std::size_t close = inJoins != npos ? npos : text_.Find(kCloseTag, front);
        const std::size_t end = inJoins != npos ? front + inJoins + kCloseTag.size() - heldPart
                                : close != npos ? close + kCloseTag.size()
                                                : text_.Size();
        BlockHash afterHash;
        if (FindCopy(front, end, afterHash).first != npos) {
            Unhold();
            return from + tag;
        }
        const std::string after(text_.Bytes(front, end, scratch));
        const std::size_t reach = kQuietReach + 3 * (held.bytes.size() - quiet + after.size());
        const std::size_t keep =
            held.StartAtOrBefore(std::max(first, quiet - std::min(quiet, reach)));
        const std::string expansion =
            ExpandBlock(std::string(kOpenTag).append(held.bytes, keep) + after, values_, launcher_);
        ++rounds_;
        text_.DropFront(end);
        text_.DropSettled(fromSettled);
        held.hash = held.hash.DropFront(
            std::string_view(held.bytes).substr(held.taken, first - held.taken));
        held.taken = first;
        Remember(BlockHash::Of(kOpenTag).Then(held.hash).Then(afterHash), rounds_);
        held.hash = held.hash.Before(BlockHash::Of(std::string_view(held.bytes).substr(keep)))
                        .Then(BlockHash::Of(expansion));
        held.bytes.replace(keep, npos, expansion);
        // A tag or macro can run out of the kept bytes into the new ones.
        const std::size_t scan = held.StartAtOrBefore(keep - std::min(keep - first, kReach));
        held.quiet = scan + QuietLength(std::string_view(held.bytes).substr(scan), values_);
        held.round = rounds_;
        return 0;
    }

    // Puts the held expansion back in front of the live text, where the
    // search goes on from a little before it.
    void Unhold() {
        if (held_) {
            const std::size_t front = text_.Front();
            text_.ReplaceFront(front, std::string_view(held_->bytes).substr(held_->taken),
                               held_->round);
            text_.MoveFrontBefore(front);
            held_.reset();
        }
    }

    // An expansion this long is held for blocks that begin just before it.
    static constexpr std::size_t kHoldable = 64;
    // How far tags, keywords and the launch macros that take the bytes they
    // reach can reach into the quiet start: 25 + 60 + 7 * (85 / 3 + 2), with
    // room.
    static constexpr std::size_t kQuietReach = 320;

    const KeywordValues values_;
    Launcher& launcher_;
    Text text_;
    Round rounds_ = 0;
    // The rounds that expanded each block, by the block's size and hash.
    std::map<std::size_t, std::map<std::pair<std::uint64_t, std::uint64_t>, std::vector<Round>>>
        known_;
    std::optional<Held> held_;
};

}  // namespace

std::string ExpandMacros(std::string_view input, const LocalTime& now, Launcher& launcher) {
    if (FindBytes(input, kOpenTag, 0) == npos) {
        return std::string(input);
    }
    return Expander(input, now, launcher).Run();
}

}  // namespace pikora
