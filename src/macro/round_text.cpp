#include "macro/round_text.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

#include "macro/char_boundary.h"
#include "macro/macro_block.h"

namespace pikora {
namespace {

constexpr std::size_t npos = std::string::npos;
constexpr std::size_t kJoinReach = kCloseTag.size() - 1;

}  // namespace

std::size_t RoundText::Find(std::string_view needle, std::size_t from) const {
    const std::size_t hit = FindOnBoundary(bytes_, needle, Physical(from));
    return hit == npos ? npos : hit - (start_ - doneEnd_);
}

std::string_view RoundText::Bytes(std::size_t pos, std::size_t end, std::string& scratch) const {
    if (pos >= doneEnd_ || end <= doneEnd_) {
        return std::string_view(bytes_).substr(Physical(pos), end - pos);
    }
    scratch.assign(bytes_, pos, doneEnd_ - pos).append(bytes_, start_, end - doneEnd_);
    return scratch;
}

bool RoundText::OpensAt(std::size_t pos, std::size_t first) const {
    std::string scratch;
    if (pos + kOpenTag.size() > Size() || Bytes(pos, pos + kOpenTag.size(), scratch) != kOpenTag) {
        return false;
    }
    // The text still to search starts on a character.
    return pos < doneEnd_
               ? IsCharBoundary(bytes_, pos, first)
               : IsCharBoundary(bytes_, Physical(pos), Physical(std::max(first, doneEnd_)));
}

Round RoundText::Newest(std::size_t pos, std::size_t end) const {
    Round newest = 0;
    for (std::size_t i = pos; i < end; ++i) {
        const std::size_t at = Physical(i);
        newest = std::max({newest, written_[at], i > pos ? joined_[at] : Round{0}});
    }
    return newest;
}

void RoundText::Replace(std::size_t pos, std::size_t end, std::string_view with, Round round) {
    const std::size_t endFromEnd = Size() - end;
    std::size_t at = Physical(pos);
    if (pos < doneEnd_) {
        // The block began in set-aside text, which goes with it.
        doneEnd_ = pos;
        at = start_;
    }
    SetAsideBefore(at);
    const std::size_t carried = at - start_;
    if (doneEnd_ + carried + with.size() > bytes_.size() - endFromEnd) {
        // As much room again as the text still to search: a row of growing
        // expansions then copies the text a few times, not once per block.
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
}

void RoundText::Stamp(std::size_t pos, std::size_t end, Round round) {
    std::fill(written_.begin() + Physical(pos), written_.begin() + Physical(end), round);
}

std::string RoundText::Finish() && {
    bytes_.erase(doneEnd_, start_ - doneEnd_);
    return std::move(bytes_);
}

// Leaves the text still to search starting on the last character start at
// least kJoinReach bytes before pos (in the buffer).
void RoundText::SetAsideBefore(std::size_t pos) {
    if (pos - start_ >= kJoinReach) {
        const std::size_t start = BoundaryAtOrBefore(bytes_, pos - kJoinReach, start_);
        Move(doneEnd_, start_, start - start_);
        doneEnd_ += start - start_;
        start_ = start;
        return;
    }
    // A chain of joins can reach back past what was set aside.
    const std::size_t missing = kJoinReach - (pos - start_);
    const std::size_t from = missing >= doneEnd_
                                 ? 0
                                 : BoundaryAtOrBefore(std::string_view(bytes_).substr(0, doneEnd_),
                                                      doneEnd_ - missing, 0);
    const std::size_t count = doneEnd_ - from;
    Move(start_ - count, from, count);
    start_ -= count;
    doneEnd_ = from;
}

void RoundText::Move(std::size_t to, std::size_t from, std::size_t count) {
    std::memmove(&bytes_[to], &bytes_[from], count);
    std::memmove(&written_[to], &written_[from], count * sizeof(Round));
    std::memmove(&joined_[to], &joined_[from], count * sizeof(Round));
}

void RoundText::Regrow(std::size_t room) {
    const auto regrow = [this, room](auto& buffer) {
        std::remove_reference_t<decltype(buffer)> grown(doneEnd_ + room + buffer.size() - start_,
                                                        {});
        std::copy(buffer.begin(), buffer.begin() + doneEnd_, grown.begin());
        std::copy(buffer.begin() + start_, buffer.end(), grown.begin() + doneEnd_ + room);
        buffer.swap(grown);
    };
    regrow(bytes_);
    regrow(written_);
    regrow(joined_);
    start_ = doneEnd_ + room;
}

}  // namespace pikora
