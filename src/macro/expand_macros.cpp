#include "macro/expand_macros.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "macro/block_print.h"
#include "macro/char_boundary.h"
#include "macro/expanded_blocks.h"
#include "macro/macro_block.h"
#include "macro/round_text.h"

namespace pikora {
namespace {

constexpr std::size_t npos = std::string::npos;
// A tag that takes bytes from two sides of a point begins at most this far
// before it.
constexpr std::size_t kJoinReach = kCloseTag.size() - 1;

// The last expansion, from its start to the end of its inert start as
// distances from the end of the text, and what waits to be put in after
// it: tail in place of the next size bytes.
struct Peeled {
    std::size_t startFromEnd = 0;
    std::size_t inertEndFromEnd = 0;
    std::size_t size = 0;
    std::string tail;
    std::size_t inert = 0;  // of tail, which goes on the inert start
    Round round = 0;        // of the last block peeled
    // Prints of the inert bytes of the text from each distance to their
    // end, and of those of tail.
    std::vector<BlockPrint> prints;
    BlockPrint inertPrint;
    // Of the text after the tail, once needed.
    std::optional<std::size_t> dollarsAfter;
    // The rest of the last block peeled, its expansion and the inert start
    // of that.
    std::optional<std::string> lastRest;
    std::string lastExpansion;
    std::size_t lastInert = 0;
    // Whether the last expansion gave back the part of its rest that the
    // tail held, all of it short of inert, and the block ended in the text
    // after the tail, which took taken; and how many blocks were known then.
    bool steady = false;
    std::string taken;
    std::size_t known = 0;
};

// Passes launches on and counts them.
class CountedLauncher : public Launcher {
  public:
    explicit CountedLauncher(Launcher& launcher) : launcher_(launcher) {}
    void OpenDocument(const std::string& target) override {
        ++count;
        launcher_.OpenDocument(target);
    }
    void StartProgram(const std::string& commandLine) override {
        ++count;
        launcher_.StartProgram(commandLine);
    }
    int count = 0;

  private:
    Launcher& launcher_;
};

// Each round takes the first block, searching from the start of the text,
// expands it, and puts the expansion in place of the block and of every copy
// of it. Then the search starts again, as an expansion can join with the text
// around it into a new tag.
//
// Copies are not looked for ahead: the text after the search's start that no
// round rewrote yet is the input as it came, and a copy is recognized when
// the search reaches it. It is one when all its bytes stood there when a
// round that expanded the same bytes ran (see RoundText); then that round's
// expansion goes in without a launch, as the round launched already.
class Expander {
  public:
    Expander(std::string_view input, KeywordValues values, Launcher& launcher)
        : values_(std::move(values)), launcher_(launcher), text_(input) {}

    std::string Run() && {
        for (std::size_t open = text_.Find(kOpenTag, 0); open != npos;) {
            if (Peel(open)) {
                open = NextPeelTag();
                if (open != npos) {
                    continue;
                }
                PutInPeeledTail();
                open = text_.Find(kOpenTag, text_.RestStart());
                continue;
            }
            PutInPeeledTail();
            open = ExpandFirstBlock(open);
            if (open == npos) {
                open = text_.Find(kOpenTag, text_.RestStart());
            }
        }
        PutInPeeledTail();
        return std::move(text_).Finish();
    }

  private:
    // The opening tags inside the block begin blocks that end where it ends.
    // Each can be a copy that a round before put its expansion in place of;
    // the earliest of those rounds comes first, as it changed the others.
    // Returns the first opening tag when it is known to stay first.
    std::size_t ExpandFirstBlock(std::size_t open) {
        // A copy put in inside the block left the closing tags before it
        // as they were: none.
        const std::size_t close =
            text_.Find(kCloseTag, std::max(open + kOpenTag.size(), text_.RestStart()));
        const std::size_t end = close == npos ? text_.Size() : close + kCloseTag.size();
        std::optional<ExpandedBlocks::Copy> earliest;
        Round round = 0;
        for (const ExpandedBlocks::Copy& copy : expanded_.EndingAt(text_, open, end)) {
            const auto first = std::upper_bound(copy.rounds->begin(), copy.rounds->end(),
                                                text_.Newest(copy.pos, end));
            if (first != copy.rounds->end() && (!earliest || *first < round)) {
                earliest = copy;
                round = *first;
            }
        }
        std::string scratch;
        if (earliest) {
            const std::string expansion =
                expanded_.ExpansionOf(*earliest, text_.Bytes(earliest->pos, end, scratch), values_);
            text_.Replace(earliest->pos, end, expansion, round);
            // A tag joined by the copy's expansion begins after this one.
            return earliest->pos > open ? open : npos;
        }
        const std::string_view block = text_.Bytes(open, end, scratch);
        const std::string expansion = ExpandBlock(block, values_, launcher_);
        expanded_.Add(block, expansion, ++rounds_);
        text_.Replace(open, end, expansion, rounds_);
        const std::size_t inert = InertLength(expansion);
        if (inert > kPeelMargin) {
            peeled_.emplace();
            peeled_->startFromEnd = text_.Size() - open;
            peeled_->inertEndFromEnd = text_.Size() - open - inert;
        }
        return npos;
    }

    // A removal that joins a new opening tag in front of an expansion makes
    // a block that holds the expansion again, up to a closing tag after it.
    // Its inert start (see InertLength) comes through unchanged, so only the
    // rest is expanded, and put in later, after the inert bytes: a chain of
    // such tags costs what its tags and the text between its closing tags
    // cost, not the expansion's length for each tag. Returns false, before
    // any launch, when the block is not one of these.
    bool Peel(std::size_t open) {
        if (!peeled_) {
            return false;
        }
        Peeled& peeled = *peeled_;
        const std::size_t inertEnd = text_.Size() - peeled.inertEndFromEnd;
        const std::size_t tagEnd = open + kOpenTag.size();
        if (tagEnd < text_.Size() - peeled.startFromEnd || tagEnd + kPeelMargin > inertEnd) {
            return false;
        }
        if (peeled.steady && PeelSteady(open, inertEnd)) {
            return true;
        }
        // The rest: what the tail holds after its inert start, then the text
        // after it, up to the first closing tag.
        const std::size_t after = inertEnd + peeled.size;
        std::string rest = peeled.tail.substr(peeled.inert);
        std::string scratch;
        const std::string joins =
            rest +
            std::string(text_.Bytes(after, std::min(text_.Size(), after + kJoinReach), scratch));
        std::size_t close = FindOnBoundary(joins, kCloseTag, 0);
        std::size_t taken = 0;  // of the text after the tail
        std::string left;       // of the tail after the block
        if (close != npos && close + kCloseTag.size() <= rest.size()) {
            left = rest.substr(close + kCloseTag.size());
            rest.resize(close + kCloseTag.size());
        } else {
            close = close != npos ? after + close - rest.size() : text_.Find(kCloseTag, after);
            taken = (close == npos ? text_.Size() : close + kCloseTag.size()) - after;
            const std::string_view added = text_.Bytes(after, after + taken, scratch);
            rest += added;
            if (peeled.dollarsAfter) {
                *peeled.dollarsAfter -= std::count(added.begin(), added.end(), '$');
            }
        }
        const std::size_t size = kOpenTag.size() + (inertEnd - tagEnd) + peeled.inert + rest.size();
        std::string ends(text_.Bytes(open, open + ExpandedBlocks::kEnd, scratch));
        std::string tail =
            std::string(text_.Bytes(inertEnd - ExpandedBlocks::kEnd, inertEnd, scratch))
                .append(peeled.tail, 0, peeled.inert)
                .append(rest);
        tail.erase(0, tail.size() - ExpandedBlocks::kEnd);
        // The tags in the rest begin blocks that end where this one does. A
        // copy of a block known among them is for the round that weighs
        // every copy; otherwise the expansion removes them.
        if (expanded_.Knows(size, ends, tail)) {
            return false;
        }
        for (std::size_t tag = FindBytes(rest, kOpenTag, 0); tag != npos;
             tag = FindBytes(rest, kOpenTag, tag + 1)) {
            const std::string_view inner = std::string_view(rest).substr(tag);
            const std::size_t part = std::min(inner.size(), ExpandedBlocks::kEnd);
            if (expanded_.Knows(inner.size(), inner.substr(0, part),
                                inner.substr(inner.size() - part))) {
                return false;
            }
        }
        const std::string expansion = ExpandRest(rest);
        ++rounds_;
        if (CanHaveCopies(size, after + taken, left)) {
            Remember(tagEnd, inertEnd, rest, expansion, ends + tail);
        }
        const std::size_t newInert = peeled.lastInert;
        peeled.steady = left.empty() && newInert == 0 && peeled.lastRest == rest &&
                        expansion == std::string_view(rest).substr(0, rest.size() - taken);
        peeled.taken = rest.substr(rest.size() - taken);
        peeled.known = expanded_.Count();
        peeled.inertPrint =
            peeled.inertPrint.Then(BlockPrint::Of(std::string_view(expansion).substr(0, newInert)));
        peeled.tail.resize(peeled.inert);
        peeled.tail += expansion + left;
        peeled.inert += newInert;
        peeled.size += taken;
        peeled.round = rounds_;
        text_.Replace(open, tagEnd, "", rounds_);
        peeled.startFromEnd = text_.Size() - open;
        return true;
    }

    // The tail that the last block gave back comes first in this block's
    // rest again, and its closing tag can only begin near its end or after
    // it. When the text after the tail up to that tag is what the last
    // block took, the rest, its expansion and the tags in it are those of
    // the last block, and the tail stays as it is. Returns false, before
    // any change, when that is not so, or when the block must be kept.
    bool PeelSteady(std::size_t open, std::size_t inertEnd) {
        Peeled& peeled = *peeled_;
        const std::string_view part = std::string_view(peeled.tail).substr(peeled.inert);
        const std::size_t after = inertEnd + peeled.size;
        std::string scratch;
        const std::size_t from =
            BoundaryAtOrBefore(part, part.size() - std::min(part.size(), kJoinReach), 0);
        const std::string joins =
            std::string(part.substr(from))
                .append(text_.Bytes(after, std::min(text_.Size(), after + kJoinReach), scratch));
        const std::size_t inJoins = FindOnBoundary(joins, kCloseTag, 0);
        const std::size_t close =
            inJoins != npos ? after + inJoins - (part.size() - from) : text_.Find(kCloseTag, after);
        const std::size_t end = close == npos ? text_.Size() : close + kCloseTag.size();
        if (close != npos && close < after) {
            return false;
        }
        const std::string_view taken = text_.Bytes(after, end, scratch);
        if (taken != peeled.taken || expanded_.Count() != peeled.known) {
            return false;
        }
        const std::size_t tagEnd = open + kOpenTag.size();
        const std::size_t size =
            kOpenTag.size() + (inertEnd - tagEnd) + peeled.inert + part.size() + taken.size();
        std::string ends(text_.Bytes(open, open + ExpandedBlocks::kEnd, scratch));
        std::string tail =
            std::string(text_.Bytes(inertEnd - ExpandedBlocks::kEnd, inertEnd, scratch))
                .append(peeled.tail.substr(peeled.tail.size() -
                                           std::min(peeled.tail.size(), ExpandedBlocks::kEnd)))
                .append(peeled.taken);
        tail.erase(0, tail.size() - ExpandedBlocks::kEnd);
        if (expanded_.Knows(size, ends, tail)) {
            return false;
        }
        // As CanHaveCopies, but the count of '$' from the tail on is only
        // taken by the other way.
        const std::size_t later = text_.Size() - end;
        const std::size_t dollars = std::count(peeled.taken.begin(), peeled.taken.end(), '$');
        if (size <= 10 * later &&
            (!peeled.dollarsAfter || size <= later + 9 * (*peeled.dollarsAfter - dollars))) {
            return false;
        }
        if (peeled.dollarsAfter) {
            *peeled.dollarsAfter -= dollars;
        }
        ++rounds_;
        peeled.size += peeled.taken.size();
        peeled.round = rounds_;
        text_.Replace(open, tagEnd, "", rounds_);
        peeled.startFromEnd = text_.Size() - open;
        return true;
    }

    // A rest that no expansion leaves as it is, and that nothing follows or
    // the same closing tag does, comes back the same block after block: its
    // expansion is kept while it launches nothing.
    std::string ExpandRest(const std::string& rest) {
        Peeled& peeled = *peeled_;
        if (peeled.lastRest != rest) {
            CountedLauncher counted(launcher_);
            peeled.lastExpansion = ExpandBlock(std::string(kOpenTag) + rest, values_, counted);
            peeled.lastInert = InertLength(peeled.lastExpansion);
            peeled.lastRest = rest;
            if (counted.count > 0) {
                peeled.lastRest.reset();
            }
        }
        return peeled.lastExpansion;
    }

    // A copy of a block lies in the text after it, which only keywords make
    // longer: by at most 9 bytes for each '$'. A peeled block mostly spans
    // a long expansion and nothing long enough follows it.
    bool CanHaveCopies(std::size_t size, std::size_t after, const std::string& left) {
        const std::size_t later = text_.Size() - after + left.size();
        if (size > 10 * later) {
            return false;
        }
        std::string scratch;
        if (!peeled_->dollarsAfter) {
            const std::string_view rest = text_.Bytes(after, text_.Size(), scratch);
            peeled_->dollarsAfter = std::count(rest.begin(), rest.end(), '$');
        }
        return size <=
               later + 9 * (*peeled_->dollarsAfter + std::count(left.begin(), left.end(), '$'));
    }

    void Remember(std::size_t tagEnd, std::size_t inertEnd, const std::string& rest,
                  const std::string& expansion, const std::string& ends) {
        Peeled& peeled = *peeled_;
        std::string scratch;
        const std::size_t size = kOpenTag.size() + (inertEnd - tagEnd) + peeled.inert + rest.size();
        if (size <= ExpandedBlocks::kShort) {
            const std::string inert = std::string(text_.Bytes(tagEnd, inertEnd, scratch))
                                          .append(peeled.tail, 0, peeled.inert);
            expanded_.Add(std::string(kOpenTag).append(inert).append(rest), inert + expansion,
                          rounds_);
            return;
        }
        if (peeled.prints.empty()) {
            peeled.prints = BlockPrint::OfEachEnd(text_.Bytes(tagEnd, inertEnd, scratch));
        }
        expanded_.Add(size, ends,
                      BlockPrint::Of(kOpenTag)
                          .Then(peeled.prints[inertEnd - tagEnd])
                          .Then(peeled.inertPrint)
                          .Then(BlockPrint::Of(rest)),
                      rounds_);
    }

    // The next opening tag, when it ends in the inert start of the last
    // peeled block; npos otherwise.
    std::size_t NextPeelTag() const {
        std::string scratch;
        const std::size_t from = text_.RestStart();
        const std::size_t to = text_.Size() - peeled_->startFromEnd + kOpenTag.size();
        const std::size_t tag = FindOnBoundary(text_.Bytes(from, to, scratch), kOpenTag, 0);
        return tag == npos ? npos : from + tag;
    }

    // Puts in the tail that the peeled blocks left to wait.
    void PutInPeeledTail() {
        if (peeled_ && peeled_->round != 0) {
            const std::size_t inertEnd = text_.Size() - peeled_->inertEndFromEnd;
            text_.Stamp(text_.Size() - peeled_->startFromEnd, inertEnd, peeled_->round);
            text_.Replace(inertEnd, inertEnd + peeled_->size, peeled_->tail, peeled_->round);
        }
        peeled_.reset();
    }

    // An opening tag that ends this far before the end of the inert start
    // of the last expansion, or further, begins a block worth peeling.
    static constexpr std::size_t kPeelMargin = ExpandedBlocks::kEnd;

    const KeywordValues values_;
    Launcher& launcher_;
    RoundText text_;
    Round rounds_ = 0;
    ExpandedBlocks expanded_;
    std::optional<Peeled> peeled_;
};

}  // namespace

std::string ExpandMacros(std::string_view input, const LocalTime& now, Launcher& launcher) {
    if (FindBytes(input, kOpenTag, 0) == npos) {
        return std::string(input);
    }
    return Expander(input, KeywordValuesAt(now), launcher).Run();
}

}  // namespace pikora
