#include "macro/expand_macros_old.h"

#include <vector>

#include "macro/block_copies.h"
#include "macro/char_boundary.h"
#include "macro/macro_block.h"
#include "macro/rewriter.h"

namespace pikora {
namespace {

constexpr std::size_t npos = std::string::npos;
// A tag that takes bytes from two sides of a point begins at most this far
// before it.
constexpr std::size_t kJoinReach = kCloseTag.size() - 1;
// The bytes at each end of a block that go into its key (see BlockCopies).
constexpr std::size_t kKeyEnd = 64;

// Whether with, put between before and after, would be part of a tag, or
// could be once what follows after changes (when more follows), or would
// leave the character walk out of step after it (values of the build's
// character set never do).
bool Joins(std::string_view before, std::string_view with, std::string_view after,
           bool moreFollows) {
    if (!IsCharBoundary(with, with.size(), 0)) {
        return true;
    }
    const std::string text = std::string(before).append(with).append(after);
    for (const std::string_view tag : {kOpenTag, kCloseTag}) {
        for (std::size_t hit = FindBytes(text, tag, 0); hit != npos;
             hit = FindBytes(text, tag, hit + 1)) {
            if (hit < before.size() + with.size() && hit + tag.size() > before.size()) {
                return true;
            }
        }
        for (std::size_t part = 1; moreFollows && part < tag.size(); ++part) {
            if (text.size() >= part && text.compare(text.size() - part, part, tag, 0, part) == 0) {
                return true;
            }
        }
    }
    return false;
}

// Each round takes the first block, searching from the start of the text,
// expands it, and puts the expansion in place of the block and of every
// copy of it further on, so that copies share one expansion and their
// launches run once. Then the search starts again, as an expansion can join
// with the text around it into a new tag. The rounds end: each replaces at
// least one block, and an expansion holds fewer '<' than its block (its tags
// are gone, and keyword values and the removal of launch macros bring none).
//
// Putting in a copy far ahead would move all the text before it, round after
// round, so such a copy waits as a pending region (see Rewriter) until a
// round could read it. It may wait only if its expansion joins no tag with
// the text around it: then the text holds the same tags outside pending
// regions whether it is put in or not. The blocks of the tags that reach
// into it change, so the index stops trusting those tags, and their copies
// are looked for in the text as it will be.
class Expander {
  public:
    Expander(std::string_view input, KeywordValues values, Launcher& launcher)
        : values_(std::move(values)),
          launcher_(launcher),
          text_(std::string(input), kOpenTag.size() - 1) {
        copies_.Add(text_.Buffer(), 0, input.size());
    }

    std::string Run() && {
        for (std::size_t open = text_.Find(kOpenTag); open != npos || text_.NextRegion(0) != npos;
             open = text_.Find(kOpenTag)) {
            if (open == npos) {
                PutInRegions(text_.NextRegion(0), npos);
            } else if (!PeelJoinedTag(open)) {
                ExpandFirstBlock(open);
            }
        }
        return std::move(text_).Finish();
    }

  private:
    void ExpandFirstBlock(std::size_t open) {
        const std::string& buffer = text_.Buffer();
        const std::size_t close = text_.Find(kCloseTag, open + kOpenTag.size());
        const std::size_t end = close == npos ? buffer.size() : close + kCloseTag.size();
        const std::string_view block(buffer.data() + open, end - open);
        // A block without closing tag runs to the end: nothing follows it.
        const std::vector<std::size_t> copies =
            close == npos ? std::vector<std::size_t>() : copies_.Find(text_, block, end);
        // Copies close behind the block are put in with it, the rest wait.
        std::size_t replaced = end;
        std::size_t near = 0;
        for (; near < copies.size() && copies[near] < replaced + kJoinReach; ++near) {
            replaced = copies[near] + block.size();
        }
        if (text_.NextRegion(0) < replaced + kJoinReach) {
            PutInRegions(open, replaced + kJoinReach);
            return;
        }
        for (const std::size_t tag : copies_.Distrusted(buffer, end)) {
            if (Holds(tag, block) && IsCharBoundary(buffer, tag, end)) {
                PutInRegions(text_.RestStart(), npos);
                return;
            }
        }
        const std::string expansion = ExpandBlock(block, values_, launcher_);
        std::string with = expansion;
        for (std::size_t i = 0; i < near; ++i) {
            const std::size_t from = i == 0 ? end : copies[i - 1] + block.size();
            with.append(buffer, from, copies[i] - from).append(expansion);
        }
        bool waiting = true;
        for (std::size_t i = near; i < copies.size(); ++i) {
            waiting = waiting && CanWait(copies[i], block.size(), expansion, replaced);
            text_.Defer(copies[i], {block.size(), expansion, Before(copies[i])});
        }
        const std::size_t start = text_.Replace(open, replaced, with);
        // A tag put in whose block reaches a pending region would be indexed
        // by a block that the region changes.
        if (copies_.Add(text_.Buffer(), start, with.size()) > text_.NextRegion(0) || !waiting) {
            PutInRegions(text_.RestStart(), npos);
            return;
        }
        inertFromEnd_ = text_.Buffer().size() - start;
        inertEndFromEnd_ = inertFromEnd_ - InertLength(with);
    }

    // Whether the text as it will be holds block at pos, which lies outside
    // the regions. The block's closing tag lies outside them too.
    bool Holds(std::size_t pos, std::string_view block) {
        const std::string& buffer = text_.Buffer();
        if (text_.RegionBefore(pos + 1).first > pos) {
            return false;
        }
        for (std::size_t matched = 0;;) {
            const std::size_t next = std::min(text_.NextRegion(pos), buffer.size());
            const std::size_t size = std::min(next - pos, block.size() - matched);
            if (buffer.compare(pos, size, block, matched, size) != 0) {
                return false;
            }
            matched += size;
            if (matched == block.size() || next == buffer.size()) {
                return matched == block.size();
            }
            const Rewriter::Region* region = text_.RegionAt(next);
            const std::size_t part = std::min(region->with.size(), block.size() - matched);
            if (region->with.compare(0, part, block, matched, part) != 0) {
                return false;
            }
            matched += part;
            pos = next + region->size;
        }
    }

    // The last bytes of the text, as it will be, before pos.
    std::string Before(std::size_t pos) const {
        const auto [regionEnd, region] = text_.RegionBefore(pos);
        const bool near = region != nullptr && regionEnd + kJoinReach > pos;
        const std::size_t lazy = near ? pos - regionEnd : std::min(pos, kJoinReach);
        std::string text = text_.Buffer().substr(pos - lazy, lazy);
        if (near) {
            const std::string& with = region->with;
            text.insert(0, with, with.size() - std::min(with.size(), kJoinReach), kJoinReach);
            text.insert(0, region->before);
        }
        return text.substr(text.size() - std::min(text.size(), kJoinReach));
    }

    // A copy may wait if the text as it will be around it holds no tag that
    // takes bytes from its expansion. The index no longer knows the blocks
    // of the opening tags since the closing tag before it (but those the
    // round puts in, which it indexes then).
    bool CanWait(std::size_t copy, std::size_t size, const std::string& with, std::size_t end) {
        const std::string& buffer = text_.Buffer();
        const std::size_t copyEnd = copy + size;
        const std::size_t next = text_.NextRegion(copyEnd);
        std::string after = buffer.substr(copyEnd, kJoinReach);
        if (next < copyEnd + kJoinReach) {
            after = buffer.substr(copyEnd, next - copyEnd) +
                    text_.RegionAt(next)->with.substr(0, kJoinReach);
        }
        if (copy < end + kJoinReach ||
            Joins(Before(copy), with, std::string_view(after).substr(0, kJoinReach),
                  after.size() < kJoinReach && next != npos)) {
            return false;
        }
        for (std::size_t tag = copy; tag > std::max(end, text_.RegionBefore(copy).first);) {
            --tag;
            if (buffer[tag] == '<' && IsCharBoundary(buffer, tag, text_.RestStart())) {
                if (buffer.compare(tag, kCloseTag.size(), kCloseTag) == 0) {
                    return true;
                }
                if (buffer.compare(tag, kOpenTag.size(), kOpenTag) == 0) {
                    copies_.Distrust(buffer.size() - tag);
                }
            }
        }
        return true;
    }

    // A removal that joins a new opening tag in front of an expansion makes a
    // block that holds the expansion again, up to a closing tag after it. Its
    // inert start comes through unchanged, so only the rest is expanded, and
    // that part waits as a region: a chain of such tags costs what its tags
    // and the text between its closing tags cost, not the expansion's length
    // for each tag. Returns false, before any launch, when the block is not
    // one of these.
    bool PeelJoinedTag(std::size_t open) {
        const std::string& buffer = text_.Buffer();
        const std::size_t inertEnd = buffer.size() - inertEndFromEnd_;
        if (open + kOpenTag.size() < buffer.size() - inertFromEnd_ ||
            open + kKeyEnd + kJoinReach > inertEnd) {
            return false;
        }
        // The rest of the last block peeled this way waits as a region.
        Rewriter::Region* region = text_.RegionAt(inertEnd);
        const std::string_view previous = region ? std::string_view(region->with) : "";
        const std::size_t kept = region ? regionInert_ : 0;
        const std::size_t from = inertEnd + (region ? region->size : 0);
        const std::size_t close = text_.Find(kCloseTag, from);
        const std::size_t end = close == npos ? buffer.size() : close + kCloseTag.size();
        if (text_.NextRegion(inertEnd + 1) < end + kJoinReach) {
            return false;
        }
        const std::string_view added(buffer.data() + from,
                                     (close == npos ? buffer.size() : close) - from);
        if (close != npos) {
            // A copy, or a closing tag in the middle of a character, which the
            // index would take for the end of the block.
            std::string tail =
                std::string(previous.substr(previous.size() - std::min(previous.size(), kKeyEnd)))
                    .append(added)
                    .append(kCloseTag);
            tail.insert(0, buffer, inertEnd - kKeyEnd, kKeyEnd);
            const std::size_t size =
                inertEnd - open + previous.size() + added.size() + kCloseTag.size();
            if (FindBytes(added, kCloseTag, 0) != npos ||
                copies_.MayFind(
                    BlockCopies::KeyOf(size, buffer.substr(open, kKeyEnd),
                                       std::string_view(tail).substr(tail.size() - kKeyEnd)),
                    buffer, end)) {
                return false;
            }
        }
        const std::string expansion = ExpandBlock(std::string(kOpenTag)
                                                      .append(previous.substr(kept))
                                                      .append(added)
                                                      .append(close == npos ? "" : kCloseTag),
                                                  values_, launcher_);
        std::string before = buffer.substr(inertEnd - kJoinReach, kJoinReach)
                                 .append(previous.substr(kept - std::min(kept, kJoinReach),
                                                         std::min(kept, kJoinReach)));
        const bool joins =
            Joins(std::string_view(before).substr(before.size() - kJoinReach), expansion,
                  std::string_view(buffer).substr(end, kJoinReach), false);
        regionInert_ = kept + InertLength(expansion);
        if (region) {
            region->size = end - inertEnd;
            region->with.resize(kept);
            region->with += expansion;
        } else {
            text_.Defer(inertEnd, {end - inertEnd, expansion, Before(inertEnd)});
        }
        const std::size_t interiorFromEnd = buffer.size() - (open + kOpenTag.size());
        text_.Replace(open, open + kOpenTag.size(), "");
        inertFromEnd_ = interiorFromEnd;
        if (joins) {
            PutInRegions(text_.RestStart(), npos);
        }
        return true;
    }

    // Indexes the tags anew that the regions moved (they make none).
    void PutInRegions(std::size_t pos, std::size_t limit) {
        std::vector<Rewriter::Moved> moved;
        const std::size_t written = text_.Apply(pos, limit, moved);
        if (limit == npos) {
            copies_.Shift(text_.Buffer(), text_.RestStart(), moved);
        } else {
            copies_.Add(text_.Buffer(), text_.RestStart(), written);
        }
        inertFromEnd_ = inertEndFromEnd_ = 0;
    }

    const KeywordValues values_;
    Launcher& launcher_;
    Rewriter text_;
    BlockCopies copies_;
    // The inert start (see InertLength) of the last expansion, as distances
    // from the end of the text: none when equal.
    std::size_t inertFromEnd_ = 0;
    std::size_t inertEndFromEnd_ = 0;
    // The inert start of the region that the last peeled block left there.
    std::size_t regionInert_ = 0;
};

}  // namespace

std::string OldExpandMacros(std::string_view input, const LocalTime& now, Launcher& launcher) {
    if (FindBytes(input, kOpenTag, 0) == npos) {
        return std::string(input);
    }
    return Expander(input, KeywordValuesAt(now), launcher).Run();
}

}  // namespace pikora
