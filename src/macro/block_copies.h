// Where the copies of a macro block lie in the text after it, so that they
// can take the block's expansion with it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pikora {

// A copy is an occurrence of the block's bytes on a character start.
// Searching the rest of the text for every block would read it again and
// again, so the opening tags are indexed by the block each one begins (up to
// the first closing tag after it, byte for byte; a copy begins the same
// one), and only the tags that begin a block like this one are compared. The
// index follows the text as the expander rewrites it.
class BlockCopies {
  public:
    explicit BlockCopies(const std::string& text);

    // The copies of block (which ends at blockEnd in text and has its
    // closing tag), left to right: character starts for a walk from blockEnd.
    std::vector<std::size_t> Find(const std::string& text, std::string_view block,
                                  std::size_t blockEnd);

    // Tells the index how text (of oldSize bytes) was rewritten: the block
    // ending at blockEnd and its copies (of blockSize bytes each, at the old
    // positions copies) became the expansion of expansionSize bytes, which
    // now starts at expansionStart.
    void Replaced(std::size_t oldSize, std::size_t blockEnd, const std::vector<std::size_t>& copies,
                  std::size_t blockSize, const std::string& text, std::size_t expansionStart,
                  std::size_t expansionSize);

  private:
    struct Tag {
        std::size_t fromEnd;  // stays as it is while the text before it is rewritten
        std::size_t length;   // of the block it begins, or up to the end of the text
        bool current;         // false once passed, or once its block changed
    };
    void Add(const std::string& text, const std::vector<std::size_t>& tags);

    std::vector<Tag> tags_;
    std::unordered_multimap<std::uint64_t, std::size_t> byBlock_;  // into tags_
};

}  // namespace pikora
