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

#include "macro/block_print.h"
#include "macro/macro_block.h"
#include "macro/round_text.h"

namespace pikora {

class ExpandedBlocks {
  public:
    // Longer blocks are known by their two ends, kEnd bytes each, and their
    // print. Every block is keyed by its size and its two ends.
    static constexpr std::size_t kShort = 4096;
    static constexpr std::size_t kEnd = 64;

    struct Copy {
        std::size_t pos;
        const std::vector<Round>* rounds;  // that expanded the block, first first
        std::size_t entry;
    };

    // Remembers that round expanded block into expansion.
    void Add(std::string_view block, const std::string& expansion, Round round);
    // The same for a long block, known by its size, ends and print.
    void Add(std::size_t size, std::string_view ends, const BlockPrint& print, Round round);

    // How many blocks are known: it grows with every block not known yet.
    std::size_t Count() const { return entries_.size(); }

    // Whether a block of that size whose first and last kEnd bytes (or all,
    // when shorter) are head and tail may be known.
    bool Knows(std::size_t size, std::string_view head, std::string_view tail) const;

    // The remembered blocks that text holds at an opening tag at or after
    // first (a character start) and that end at end.
    std::vector<Copy> EndingAt(const RoundText& text, std::size_t first, std::size_t end) const;

    // The expansion of a copy of an entry, found at block.
    std::string ExpansionOf(const Copy& copy, std::string_view block,
                            const KeywordValues& values) const;

  private:
    // A chain of blocks that each hold the expansion of the one before
    // would take the square of its length to keep whole, so a long block's
    // expansion is made again when a copy turns up, from the copy.
    struct Entry {
        std::size_t size;
        std::string bytes;  // all of a short block, the two ends of a long one
        BlockPrint print;
        std::string expansion;  // of a short block
        std::vector<Round> rounds;
    };

    bool Holds(const Entry& entry, std::string_view block) const;
    std::size_t Find(std::size_t size, std::string_view ends, const BlockPrint* print,
                     std::string_view block) const;
    void Insert(Entry entry);

    std::vector<Entry> entries_;
    // By a hash of their length and their first and last bytes.
    std::unordered_multimap<std::uint64_t, std::size_t> byKey_;
    // Those of kEnd bytes or more by a hash of their last bytes, then by
    // length, for a block that ends with the same bytes: its copy can begin
    // anywhere in it.
    std::unordered_map<std::uint64_t, std::multimap<std::size_t, std::size_t>> byTail_;
};

}  // namespace pikora
