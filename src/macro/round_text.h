// The text of an expansion as its rounds rewrite it, each byte with the
// round that wrote it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "macro/char_boundary.h"
#include "macro/macro_block.h"

namespace pikora {

// The round that wrote a byte (0: the input).
using Round = std::uint32_t;

// Sets starts[i], for i from from (a character start) through bytes.size(),
// to whether a character of bytes begins at i.
inline void MarkStarts(std::string_view bytes, std::size_t from, std::vector<char>& starts) {
    starts.resize(bytes.size() + 1);
    for (std::size_t i = from; i <= bytes.size(); ++i) {
        starts[i] = 1;
        if (i < bytes.size() && IsLeadByte(static_cast<unsigned char>(bytes[i]))) {
            starts[++i] = 0;
        }
    }
}

// The text as the rounds rewrite it, in a gap buffer: the settled text
// before the front, room, then the live text. A block can begin before the
// front only with a tag that a round joins across it, so the settled text
// comes back a few bytes at a time, and a round writes its expansion into
// the room: a round costs what its block costs, not what the text does.
class RoundText {
  public:
    explicit RoundText(std::string_view input) : bytes_(input), rounds_(input.size()) {}

    std::size_t Front() const { return front_; }
    std::size_t Size() const { return bytes_.size() - (live_ - front_); }
    char At(std::size_t pos) const { return bytes_[Index(pos)]; }
    Round RoundAt(std::size_t pos) const { return rounds_[Index(pos)]; }

    // The first needle on a character start at or after from, a character
    // start no earlier than the front; npos when there is none.
    std::size_t Find(std::string_view needle, std::size_t from) const {
        const std::size_t hit = FindOnBoundary(bytes_, needle, Index(from));
        return hit == std::string::npos ? hit : hit - (live_ - front_);
    }

    // The end of a block whose closing tag is the first at or after from, or
    // of the text when there is none.
    std::size_t BlockEnd(std::size_t from) const {
        const std::size_t close = Find(kCloseTag, from);
        return close == std::string::npos ? Size() : close + kCloseTag.size();
    }

    std::string Bytes(std::size_t pos, std::size_t end) const {
        if (pos >= front_) {
            return bytes_.substr(Index(pos), end - pos);
        }
        const std::size_t split = std::min(end, front_);
        return bytes_.substr(pos, split - pos).append(bytes_, live_, end - split);
    }

    // The last character start at or before pos, which is at most the front.
    std::size_t StartAtOrBefore(std::size_t pos) const { return starts_[pos] ? pos : pos - 1; }

    // Moves the front to pos, a character start.
    void MoveFront(std::size_t pos) {
        if (pos >= front_) {
            Shift(live_, front_, pos - front_);
            live_ += pos - front_;
        } else {
            live_ -= front_ - pos;
            Shift(pos, live_, front_ - pos);
        }
        MarkStarts(std::string_view(bytes_).substr(0, pos), std::min(front_, pos), starts_);
        front_ = pos;
    }

    // Where a tag joined at pos could begin.
    void MoveFrontBefore(std::size_t pos) {
        MoveFront(StartAtOrBefore(pos - std::min(pos, kReach)));
    }

    void DropFront(std::size_t end) { live_ = Index(end); }

    // Puts with in place of [front, end), as round wrote it.
    void ReplaceFront(std::size_t end, std::string_view with, Round round) {
        DropFront(end);
        if (live_ - front_ < with.size()) {
            // As much room again as there is live text: a row of growing
            // expansions then moves the text a few times, not once per block.
            const std::size_t room = with.size() + bytes_.size() - live_;
            bytes_.insert(live_, room, '\0');
            rounds_.insert(rounds_.begin() + live_, room, 0);
            live_ += room;
        }
        live_ -= with.size();
        std::copy(with.begin(), with.end(), bytes_.begin() + live_);
        std::fill_n(rounds_.begin() + live_, with.size(), round);
    }

    // Bytes that a removal brings together did not stand so before it: the
    // byte before the front takes the round too, so that no block that
    // holds the two passes for a copy from before that round.
    void MarkJoin(Round round) {
        if (front_ > 0) {
            rounds_[front_ - 1] = std::max(rounds_[front_ - 1], round);
        }
    }

    std::string Finish() && { return std::move(bytes_.erase(front_, live_ - front_)); }

  private:
    std::size_t Index(std::size_t pos) const { return pos < front_ ? pos : pos + live_ - front_; }

    void Shift(std::size_t from, std::size_t to, std::size_t count) {
        std::memmove(bytes_.data() + to, bytes_.data() + from, count);
        std::memmove(rounds_.data() + to, rounds_.data() + from, count * sizeof(Round));
    }

    std::string bytes_;
    std::vector<Round> rounds_;
    // For each position up to the front, whether a character begins there
    // (see MarkStarts): a long run of lead bytes before the front would
    // otherwise be walked again for each block that ends after it.
    std::vector<char> starts_ = {1};
    std::size_t front_ = 0;  // the room lies in [front_, live_)
    std::size_t live_ = 0;
};

}  // namespace pikora
