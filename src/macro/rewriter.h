// Text that the macro rules search from its start again after every
// replacement, rewritten without reading the same bytes again and again.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pikora {

// A match can begin at most reach bytes before the last replacement (with
// the rest of it joined from the replacement), so the text further back can
// no longer change: it is set aside, and searches start after it.
//
// The buffer holds the set-aside text at its front, then free room, then the
// text still to search. A replacement is written into the room just before
// the text that follows it, so it costs its own size rather than the text's,
// and the bytes after it keep their distance from the end of the buffer.
//
// A replacement far ahead would move all the text before it, so it waits as
// a pending region: the buffer keeps the old bytes until Apply puts the new
// ones in, which the caller does before it reads anything they could change.
class Rewriter {
  public:
    struct Region {
        std::size_t size;  // of the old bytes
        std::string with;
        std::string before;  // the last bytes of the new text before it
    };

    Rewriter(std::string text, std::size_t reach) : buffer_(std::move(text)), reach_(reach) {}

    // Positions are offsets into this buffer; it changes with every Replace.
    const std::string& Buffer() const { return buffer_; }
    std::size_t RestStart() const { return restStart_; }

    // The first needle that starts a character, at or after from (a
    // character start of the text still to search), or npos.
    std::size_t Find(std::string_view needle) const { return Find(needle, restStart_); }
    std::size_t Find(std::string_view needle, std::size_t from) const;

    // Puts with (which must not lie in the buffer) in place of [pos, end),
    // where pos was found by Find and no region starts before end. Returns
    // where with starts now.
    std::size_t Replace(std::size_t pos, std::size_t end, std::string_view with);

    // Puts region.with in place of [pos, pos + region.size) later. A region
    // at most reach bytes before or after it becomes one with it.
    void Defer(std::size_t pos, Region region);
    // A region put in, by the distance from its start to the end of the
    // buffer before.
    struct Moved {
        std::size_t fromEnd;
        std::size_t size;
        std::size_t withSize;
    };
    // Puts in every region that starts before limit, where the search found
    // nothing before pos, first one first. Returns how many bytes, from the
    // start of the text still to search, it wrote.
    std::size_t Apply(std::size_t pos, std::size_t limit, std::vector<Moved>& moved);
    // Where the first region at or after pos starts, or npos.
    std::size_t NextRegion(std::size_t pos) const;
    // The region that starts at pos, or nullptr.
    Region* RegionAt(std::size_t pos);
    // The last region that starts before pos, and where it ends (0 if none).
    std::pair<std::size_t, const Region*> RegionBefore(std::size_t pos) const;

    std::string Finish() &&;

  private:
    void SetAsideBefore(std::size_t pos);
    std::size_t Splice(std::size_t pos, std::size_t end, std::string_view with);

    std::string buffer_;
    std::string spare_;
    std::size_t reach_;
    std::size_t doneEnd_ = 0;    // the set-aside text is [0, doneEnd_)
    std::size_t restStart_ = 0;  // the text still to search is [restStart_, size)
    // By the distance from their start to the end of the buffer, which only
    // changes when the text after them does: first region first.
    std::map<std::size_t, Region, std::greater<>> regions_;
};

}  // namespace pikora
