// Text that the macro rules search from its start again after every
// replacement, rewritten without reading the same bytes again and again.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
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
class Rewriter {
  public:
    Rewriter(std::string text, std::size_t reach) : buffer_(std::move(text)), reach_(reach) {}

    // Positions are offsets into this buffer; it changes with every Replace.
    const std::string& Buffer() const { return buffer_; }

    // The first needle that starts a character, at or after from (a
    // character start of the text still to search), or npos.
    std::size_t Find(std::string_view needle) const { return Find(needle, restStart_); }
    std::size_t Find(std::string_view needle, std::size_t from) const;

    // Puts with (which must not lie in the buffer) in place of [pos, end),
    // where pos was found by Find, and in place of each copy of those bytes
    // that starts at one of copies (after end, in order). Returns where with
    // starts now.
    std::size_t Replace(std::size_t pos, std::size_t end, std::string_view with,
                        const std::vector<std::size_t>& copies = {});

    std::string Finish() &&;

  private:
    void SetAsideBefore(std::size_t pos);

    std::string buffer_;
    std::string spare_;
    std::size_t reach_;
    std::size_t doneEnd_ = 0;    // the set-aside text is [0, doneEnd_)
    std::size_t restStart_ = 0;  // the text still to search is [restStart_, size)
};

}  // namespace pikora
