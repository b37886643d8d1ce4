// Where the copies of a macro block lie in the text after it, so that they
// can take the block's expansion with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "macro/rewriter.h"

namespace pikora {

// A copy is an occurrence of the block's bytes on a character start.
// Searching the rest of the text for every block would read it again and
// again, so the opening tags are indexed by the block each one begins (up to
// the first closing tag after it, byte for byte; a copy begins the same
// one), and only the tags that begin a block like this one are compared.
// Tags are kept by their distance from the end of the text, which stays as
// it is while the text before them is rewritten.
class BlockCopies {
  public:
    // Its length and the bytes at its two ends tell blocks apart well
    // enough; leaving out a long middle makes indexing a tag cost the same
    // however far its closing tag is. Tags that share a key are compared
    // byte for byte.
    static std::uint64_t KeyOf(std::size_t size, std::string_view head, std::string_view tail);

    // Indexes the opening tags that overlap [start, start + size) of text;
    // returns where the last of their blocks ends, or 0.
    std::size_t Add(const std::string& text, std::size_t start, std::size_t size);

    // The copies of block (which ends at blockEnd in text and has its closing
    // tag) outside the pending regions of text, left to right.
    std::vector<std::size_t> Find(const Rewriter& text, std::string_view block,
                                  std::size_t blockEnd) const;

    // A tag whose block, as indexed, a pending region changes: its copies
    // are for the caller to look for.
    void Distrust(std::size_t fromEnd) { distrusted_.insert(fromEnd); }
    std::vector<std::size_t> Distrusted(const std::string& text, std::size_t blockEnd) const;

    // Follows text (still to search from textStart) as the regions moved
    // were put in, and indexes the tags they changed.
    void Shift(const std::string& text, std::size_t textStart,
               const std::vector<Rewriter::Moved>& moved);

    // Whether a tag after blockEnd begins a block of that key.
    bool MayFind(std::uint64_t key, const std::string& text, std::size_t blockEnd) const;

  private:
    std::unordered_multimap<std::uint64_t, std::size_t> byBlock_;
    std::set<std::size_t> distrusted_;
};

}  // namespace pikora
