#include "macro/expand_macros.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "macro/block_hash.h"
#include "macro/char_boundary.h"
#include "macro/macro_block.h"
#include "macro/round_text.h"

namespace pikora {
namespace {

constexpr std::size_t npos = std::string::npos;

// The last expansion, held out of the text between the front and the live
// text while the blocks that begin with a tag joined in front of it follow
// one another. All its bytes were written by the last round.
struct Held {
    Held(std::string expansion, const KeywordValues& values)
        : bytes(std::move(expansion)),
          quiet(QuietLength(bytes, values)),
          hash(BlockHash::Of(bytes)) {
        MarkStarts(bytes, 0, starts);
    }

    std::string bytes;
    std::size_t quiet = 0;     // see QuietLength: bytes[taken..quiet) holds nothing
    BlockHash hash;            // of bytes[taken..]
    std::size_t taken = 0;     // by the tags: bytes[taken..] is in the text
    std::vector<char> starts;  // see MarkStarts
    bool likeFirst = false;    // the next block is met as a first block (see Peel)

    std::size_t StartAtOrBefore(std::size_t pos) const { return starts[pos] ? pos : pos - 1; }
};

// What FindCopy found: the copy's start and the round that expanded its
// block, or npos and the hash of the whole stretch.
struct Copy {
    std::size_t start = npos;
    Round round = 0;
    BlockHash hash;
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
            open = ExpandFirstBlock(open);
            while (held_ && Peel()) {
            }
            if (held_) {
                Unhold();
                open = text_.Find(kOpenTag, text_.Front());
            }
        }
        return std::move(text_).Finish();
    }

  private:
    // Puts in the expansion of the block at open, or of the round it is a
    // copy of. Returns the next opening tag, or npos when the expansion is
    // held.
    std::size_t ExpandFirstBlock(std::size_t open) {
        // No closing tag lies between the block's tag and the front.
        const std::size_t end = text_.BlockEnd(std::max(open + kOpenTag.size(), text_.Front()));
        const Copy copy = FindCopy(open, end);
        const std::size_t start = copy.start != npos ? copy.start : open;
        const std::string expansion = ExpandBlock(text_.Bytes(start, end), values_,
                                                  copy.start != npos ? nullptr : &launcher_);
        text_.MoveFront(start);
        if (copy.start == npos) {
            Remember(copy.hash, ++rounds_);
            if (expansion.size() >= kHoldable) {
                text_.DropFront(end);
                held_.emplace(expansion, values_);
                return npos;
            }
        }
        const Round round = copy.start != npos ? copy.round : rounds_;
        text_.ReplaceFront(end, expansion, round);
        if (expansion.empty()) {
            text_.MarkJoin(round);
        }
        text_.MoveFrontBefore(start);
        // A tag that a copy's expansion joined begins after this one.
        return start > open ? open : text_.Find(kOpenTag, text_.Front());
    }

    // The opening tags in [first, end) begin blocks that end at end. Each can
    // be a copy of a block that a round before expanded; the earliest of
    // those rounds comes first, as its copy changed the others.
    Copy FindCopy(std::size_t first, std::size_t end) const {
        Copy copy;
        std::size_t pos = end;
        Round newest = 0;
        const auto stepBackTo = [&](std::size_t to) {
            for (; pos > to; --pos) {
                copy.hash = copy.hash.Prepend(text_.At(pos - 1));
                newest = std::max(newest, text_.RoundAt(pos - 1));
            }
        };
        for (const auto& [size, blocks] : known_) {
            if (size > end - first) {
                break;
            }
            if (!OpensAt(end - size, first)) {
                continue;
            }
            stepBackTo(end - size);
            const auto rounds = blocks.find(copy.hash.Value());
            if (rounds != blocks.end()) {
                const auto after =
                    std::upper_bound(rounds->second.begin(), rounds->second.end(), newest);
                if (after != rounds->second.end() && (copy.round == 0 || *after < copy.round)) {
                    copy.round = *after;
                    copy.start = end - size;
                }
            }
        }
        if (copy.start == npos) {
            stepBackTo(first);
        }
        return copy;
    }

    // Whether an opening tag begins at pos, on a character start of a walk
    // from first.
    bool OpensAt(std::size_t pos, std::size_t first) const {
        if (text_.Bytes(pos, pos + kOpenTag.size()) != kOpenTag) {
            return false;
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
    // each tag. Returns false when the search is to go on in the text: when
    // no tag is joined in front of the expansion, or when it leaves a short
    // expansion (see the end).
    bool Peel() {
        Held& held = *held_;
        const std::size_t front = text_.Front();
        const std::size_t from = text_.StartAtOrBefore(front - std::min(front, kReach));
        const std::size_t tag = FindOnBoundary(
            text_.Bytes(from, front).append(held.bytes, held.taken, kOpenTag.size()), kOpenTag, 0);
        if (tag == npos || tag >= front - from) {
            return false;
        }
        const std::size_t fromSettled = front - from - tag;
        const std::size_t first = held.taken + kOpenTag.size() - fromSettled;
        // The block ends at the first closing tag after its opening tag; none
        // lies in the quiet start.
        const std::size_t quiet = std::max(held.quiet, first);
        const std::size_t search = held.StartAtOrBefore(quiet - std::min(quiet - first, kReach));
        const std::size_t inJoins = FindOnBoundary(
            held.bytes.substr(search) + text_.Bytes(front, std::min(text_.Size(), front + kReach)),
            kCloseTag, 0);
        const std::size_t heldPart = held.bytes.size() - search;
        // A block that ends inside the expansion leaves the rest of it to the
        // live text, as the last round wrote it.
        const bool inside = inJoins != npos && inJoins + kCloseTag.size() <= heldPart;
        if (inside) {
            const std::string_view rest =
                std::string_view(held.bytes).substr(search + inJoins + kCloseTag.size());
            text_.ReplaceFront(front, rest, rounds_);
            held.hash = held.hash.Before(BlockHash::Of(rest));
            held.bytes.resize(held.bytes.size() - rest.size());
            held.likeFirst = true;
        }
        const std::size_t end = inside            ? front
                                : inJoins != npos ? front + inJoins + kCloseTag.size() - heldPart
                                                  : text_.BlockEnd(front);
        const Copy copy = FindCopy(front, end);
        if (copy.start != npos) {
            // The copy takes its expansion where it stands, and the block
            // that began with the tag goes on further.
            const std::string expansion =
                ExpandBlock(text_.Bytes(copy.start, end), values_, nullptr);
            text_.MoveFront(copy.start);
            text_.ReplaceFront(end, expansion, copy.round);
            if (expansion.empty() && copy.start > front) {
                text_.MarkJoin(copy.round);  // the held bytes are newer still
            }
            text_.MoveFront(front);
            held.likeFirst = true;
            return true;
        }
        const std::string after = text_.Bytes(front, end);
        const std::size_t reach = kQuietReach + 3 * (held.bytes.size() - quiet + after.size());
        const std::size_t keep =
            held.StartAtOrBefore(std::max(first, quiet - std::min(quiet, reach)));
        const std::string expansion = ExpandBlock(
            std::string(kOpenTag).append(held.bytes, keep) + after, values_, &launcher_);
        ++rounds_;
        text_.MoveFront(from + tag);
        text_.DropFront(end);
        held.hash = held.hash.After(
            BlockHash::Of(std::string_view(held.bytes).substr(held.taken, first - held.taken)));
        held.taken = first;
        Remember(BlockHash::Of(kOpenTag).Then(held.hash).Then(copy.hash), rounds_);
        held.hash = held.hash.Before(BlockHash::Of(std::string_view(held.bytes).substr(keep)))
                        .Then(BlockHash::Of(expansion));
        held.bytes.replace(keep, npos, expansion);
        MarkStarts(held.bytes, keep, held.starts);
        // A tag or macro can run out of the kept bytes into the new ones.
        const std::size_t scan = held.StartAtOrBefore(keep - std::min(keep - first, kReach));
        held.quiet = scan + QuietLength(std::string_view(held.bytes).substr(scan), values_);
        // A block that ends inside the expansion or holds a copy is met as
        // a first block, whose expansion goes into the text when it is
        // short, an empty one with the round on the byte before it.
        if (held.likeFirst && held.bytes.size() - held.taken < kHoldable) {
            if (held.bytes.size() == held.taken) {
                text_.MarkJoin(rounds_);
            }
            return false;
        }
        held.likeFirst = false;
        return true;
    }

    // Puts the held expansion back in front of the live text, where the
    // search goes on from a little before it.
    void Unhold() {
        const std::size_t front = text_.Front();
        text_.ReplaceFront(front, std::string_view(held_->bytes).substr(held_->taken), rounds_);
        text_.MoveFrontBefore(front);
        held_.reset();
    }

    // An expansion this long is held for blocks that begin just before it.
    static constexpr std::size_t kHoldable = 64;
    // How far tags, keywords and the launch macros that take the bytes they
    // reach can reach into the quiet start: 25 + 60 + 7 * (85 / 3 + 2), with
    // room.
    static constexpr std::size_t kQuietReach = 320;

    const KeywordValues values_;
    Launcher& launcher_;
    RoundText text_;
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
