// The text of an expansion as its rounds rewrite it, each byte with the
// round that wrote it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "macro/char_boundary.h"
#include "macro/macro_block.h"

namespace pikora {

// The round that wrote a byte (0: the input).
using Round = std::uint32_t;

// Bytes, each with the round that wrote it.
struct Stamped {
    std::string bytes;
    std::vector<Round> rounds;
};

// The text as the rounds rewrite it. A block can begin before the front only
// with a tag that a round joins across it, so the settled text before the
// front comes back a few bytes at a time. The live text after the front lies
// at the end of its buffer, and a round writes its expansion into the room
// before it: a round costs what its block costs, not what the text does.
class RoundText {
  public:
    explicit RoundText(std::string_view input)
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
        return hit == std::string::npos ? std::string::npos : hit - start_ + Front();
    }

    // The end of a block whose closing tag is the first at or after from, or
    // of the text when there is none.
    std::size_t BlockEnd(std::size_t from) const {
        const std::size_t close = Find(kCloseTag, from);
        return close == std::string::npos ? Size() : close + kCloseTag.size();
    }

    std::string Bytes(std::size_t pos, std::size_t end) const {
        if (pos >= Front()) {
            return live_.bytes.substr(Live(pos), end - pos);
        }
        std::string bytes = settled_.bytes.substr(pos, end - pos);
        return end > Front() ? bytes.append(live_.bytes, start_, end - Front()) : bytes;
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

}  // namespace pikora
