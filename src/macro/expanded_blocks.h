// The blocks that rounds expanded, so that a copy of one that the search
// meets later takes the same expansion without launching again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "macro/macro_block.h"
#include "macro/round_text.h"

namespace pikora {

class ExpandedBlocks {
  public:
    struct Copy {
        std::size_t pos;
        const std::vector<Round>* rounds;  // that expanded the block, first first
        std::size_t entry;
    };

    // Remembers that round expanded block into expansion.
    void Add(std::string_view block, const std::string& expansion, Round round);

    // The remembered blocks that text holds at an opening tag at or after
    // first (a character start) and that end at end.
    std::vector<Copy> EndingAt(const RoundText& text, std::size_t first, std::size_t end) const;

    // The expansion of a copy of an entry, found at block.
    std::string ExpansionOf(const Copy& copy, std::string_view block,
                            const KeywordValues& values) const;

  private:
    // A long block is known by its length, its two ends and a 128-bit
    // fingerprint: a chain of blocks that each hold the expansion of the
    // one before would take the square of its length to keep whole. Its
    // expansion is made again when a copy turns up, from the copy.
    struct Entry {
        std::size_t size;
        std::string bytes;  // all of a short block, the two ends of a long one
        std::pair<std::uint64_t, std::uint64_t> fingerprint;
        std::string expansion;  // of a short block
        std::vector<Round> rounds;
    };

    bool Holds(const Entry& entry, std::string_view block) const;
    std::size_t Find(std::string_view block) const;

    std::vector<Entry> entries_;
    // By a hash of their last bytes and their length.
    std::unordered_multimap<std::uint64_t, std::size_t> byKey_;
    // Those of kEnd bytes or more by a hash of their last bytes, then by
    // length, for a block that ends with the same bytes: its copy can begin
    // anywhere in it.
    std::unordered_map<std::uint64_t, std::multimap<std::size_t, std::size_t>> byTail_;
};

}  // namespace pikora
