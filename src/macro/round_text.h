// The text of an entry as the rounds of its macro expansion rewrite it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pikora {

using Round = std::uint32_t;

// A replacement can only make a tag that begins at most kJoinReach bytes
// before it, and the text further back changes only through a block that
// begins there already. That text is set aside at the front of the buffer;
// the text still to search follows after free room, and a replacement is
// written into the room just before the text after it, so that it costs its
// own size rather than the text's. A copy put in far inside a block sets the
// block's start aside too, so that the next one further in does not move it
// again.
//
// Every byte knows the round that wrote it (0: the input) and the round that
// last removed text just before it: a block made of bytes that all stood
// there when a round ran was one of the copies that round replaced.
//
// Positions count the bytes of the whole text as it is now.
class RoundText {
  public:
    explicit RoundText(std::string_view text)
        : bytes_(text), written_(text.size()), joined_(text.size()) {}

    std::size_t Size() const { return bytes_.size() - (start_ - doneEnd_); }
    // Where the text still to search begins, on a character start.
    std::size_t RestStart() const { return doneEnd_; }

    // The first needle on a character start at or after from (a character
    // start no earlier than RestStart()), or npos.
    std::size_t Find(std::string_view needle, std::size_t from) const;

    // [pos, end) in one piece: a view of the text, or scratch holding it.
    std::string_view Bytes(std::size_t pos, std::size_t end, std::string& scratch) const;

    // Whether an opening tag begins at pos, on a character start of a walk
    // from first.
    bool OpensAt(std::size_t pos, std::size_t first) const;

    // The newest round that wrote a byte of [pos, end) or removed text
    // between two of them.
    Round Newest(std::size_t pos, std::size_t end) const;

    // Marks [pos, end) of the text still to search as written by round.
    void Stamp(std::size_t pos, std::size_t end, Round round);

    // Puts with in place of [pos, end), as round wrote it.
    void Replace(std::size_t pos, std::size_t end, std::string_view with, Round round);

    std::string Finish() &&;

  private:
    std::size_t Physical(std::size_t pos) const {
        return pos < doneEnd_ ? pos : pos + (start_ - doneEnd_);
    }
    void SetAsideBefore(std::size_t pos);
    void Move(std::size_t to, std::size_t from, std::size_t count);
    void Regrow(std::size_t room);

    std::string bytes_;
    std::vector<Round> written_;
    std::vector<Round> joined_;
    std::size_t doneEnd_ = 0;  // the set-aside text is [0, doneEnd_) of the buffer
    std::size_t start_ = 0;    // the text still to search is [start_, size)
};

}  // namespace pikora
