#include "macro/block_copies.h"

#include <algorithm>

#include "macro/char_boundary.h"
#include "macro/macro_block.h"

namespace pikora {
namespace {

constexpr std::size_t npos = std::string::npos;

// The block that an opening tag begins: up to the first closing tag after
// it, byte for byte, or to the end of the text.
std::size_t BlockEndAfter(std::string_view text, std::size_t tag) {
    const std::size_t close = FindBytes(text, kCloseTag, tag + kOpenTag.size());
    return close == npos ? text.size() : close + kCloseTag.size();
}

// Its length and the bytes at its two ends tell blocks apart well enough;
// leaving out a long middle makes indexing a tag cost the same however far
// its closing tag is. Tags that share a key are compared byte for byte.
std::uint64_t KeyOf(std::string_view block) {
    const std::size_t part = std::min<std::size_t>(block.size(), 64);
    std::uint64_t hash = 0xCBF29CE484222325ULL ^ block.size();
    for (const std::string_view end : {block.substr(0, part), block.substr(block.size() - part)}) {
        for (const char c : end) {
            hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
        }
    }
    return hash;
}

// Appends where opening tags begin that overlap [start, start + size) of text.
void TagsIn(const std::string& text, std::size_t start, std::size_t size,
            std::vector<std::size_t>& tags) {
    const std::string_view around(text.data(),
                                  std::min(text.size(), start + size + kOpenTag.size() - 1));
    for (std::size_t tag =
             FindBytes(around, kOpenTag, start - std::min(start, kOpenTag.size() - 1));
         tag != npos && tag < start + size; tag = FindBytes(around, kOpenTag, tag + 1)) {
        tags.push_back(tag);
    }
}

}  // namespace

BlockCopies::BlockCopies(const std::string& text) {
    std::vector<std::size_t> tags;
    TagsIn(text, 0, text.size(), tags);
    Add(text, tags);
}

std::vector<std::size_t> BlockCopies::Find(const std::string& text, std::string_view block,
                                           std::size_t blockEnd) {
    std::vector<std::size_t> copies;
    const std::size_t tail = text.size() - blockEnd;
    if (block.size() > tail) {
        return copies;
    }
    // Tags the expander has passed count as current until the next copies
    // are replaced; the comparison rejects them, as it does tags that the
    // front of the text was written over.
    const auto [first, last] =
        byBlock_.equal_range(KeyOf(block.substr(0, BlockEndAfter(block, 0))));
    for (auto it = first; it != last; ++it) {
        const Tag& tag = tags_[it->second];
        const std::size_t copy = text.size() - tag.fromEnd;
        if (tag.current && tag.fromEnd <= tail && text.compare(copy, block.size(), block) == 0 &&
            IsCharBoundary(text, copy, blockEnd)) {
            copies.push_back(copy);
        }
    }
    std::sort(copies.begin(), copies.end());
    copies.erase(std::unique(copies.begin(), copies.end()), copies.end());
    return copies;
}

void BlockCopies::Replaced(std::size_t oldSize, std::size_t blockEnd,
                           const std::vector<std::size_t>& copies, std::size_t blockSize,
                           const std::string& text, std::size_t expansionStart,
                           std::size_t expansionSize) {
    std::vector<std::size_t> changed;
    TagsIn(text, expansionStart, expansionSize, changed);
    if (copies.empty()) {
        // Nothing after the block moved or changed.
        Add(text, changed);
        return;
    }
    const std::size_t unmovedFromEnd = oldSize - (copies.back() + blockSize);
    for (Tag& tag : tags_) {
        if (!tag.current || tag.fromEnd <= unmovedFromEnd) {
            continue;  // after the last copy, nothing moved or changed
        }
        if (tag.fromEnd > oldSize - blockEnd) {  // passed by the expander
            tag.current = false;
            continue;
        }
        const std::size_t oldPos = oldSize - tag.fromEnd;
        const auto next = std::partition_point(copies.begin(), copies.end(), [&](std::size_t copy) {
            return copy + blockSize <= oldPos;
        });
        const auto copiesAfter = static_cast<std::size_t>(copies.end() - next);
        tag.fromEnd += copiesAfter * expansionSize - copiesAfter * blockSize;
        if (next != copies.end() && *next < oldPos + tag.length) {
            // Inside a copy, or its block runs into one and so changed.
            tag.current = false;
            if (*next > oldPos) {
                changed.push_back(text.size() - tag.fromEnd);
            }
        }
    }
    for (std::size_t i = 0; i < copies.size(); ++i) {
        const std::size_t fromEnd = oldSize - copies[i] + (copies.size() - i) * expansionSize -
                                    (copies.size() - i) * blockSize;
        TagsIn(text, text.size() - fromEnd, expansionSize, changed);
    }
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    Add(text, changed);
}

// Indexes the opening tags at tags (in order of position). Nested tags end
// at the same closing tag, which is looked for once.
void BlockCopies::Add(const std::string& text, const std::vector<std::size_t>& tags) {
    std::size_t close = 0;
    for (const std::size_t tag : tags) {
        if (close != npos && close < tag) {
            close = FindBytes(text, kCloseTag, tag + kOpenTag.size());
        }
        const std::size_t end = close == npos ? text.size() : close + kCloseTag.size();
        byBlock_.insert({KeyOf(std::string_view(text).substr(tag, end - tag)), tags_.size()});
        tags_.push_back({text.size() - tag, end - tag, true});
    }
}

}  // namespace pikora
