#include "macro/block_copies.h"

#include <algorithm>

#include "macro/char_boundary.h"
#include "macro/macro_block.h"

namespace pikora {
namespace {

constexpr std::size_t npos = std::string::npos;

// Below this many bytes after a block its copies are searched for directly.
constexpr std::size_t kIndexFrom = 4096;

// A polynomial hash modulo 2^64, built from the end of the text towards its
// start, so that the nested tags that one closing tag ends share the work.
// Equal hashes are compared byte by byte: a collision costs a comparison,
// never a wrong copy.
class BlockHash {
  public:
    void Prepend(std::string_view s, std::size_t from, std::size_t to) {
        for (std::size_t i = to; i-- > from;) {
            value_ += (static_cast<unsigned char>(s[i]) + 1u) * power_;
            power_ *= 0x100000001B3ULL;
        }
    }
    std::uint64_t Value() const { return value_; }

  private:
    std::uint64_t value_ = 0;
    std::uint64_t power_ = 1;
};

std::uint64_t HashOfBlock(std::string_view block) {
    BlockHash hash;
    hash.Prepend(block, 0, FindBytes(block, kCloseTag, kOpenTag.size()) + kCloseTag.size());
    return hash.Value();
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

std::vector<std::size_t> BlockCopies::Find(const std::string& text, std::string_view block,
                                           std::size_t blockEnd) {
    std::vector<std::size_t> copies;
    const std::size_t tail = text.size() - blockEnd;
    if (block.size() > tail) {
        return copies;
    }
    if (!indexed_ && tail < kIndexFrom) {
        for (std::size_t copy = FindOnBoundary(text, block, blockEnd); copy != npos;
             copy = FindOnBoundary(text, block, copy + block.size())) {
            copies.push_back(copy);
        }
        return copies;
    }
    if (!indexed_) {
        indexed_ = true;
        std::vector<std::size_t> tags;
        TagsIn(text, blockEnd, tail, tags);
        Add(text, std::move(tags));
    }
    // Tags the expander has passed stay until the next copies are replaced;
    // so can tags whose block changed since, which the comparison rejects.
    const auto [first, last] = tags_.equal_range(HashOfBlock(block));
    for (auto it = first; it != last; ++it) {
        const std::size_t copy = text.size() - it->second.fromEnd;
        if (it->second.fromEnd <= tail && text.compare(copy, block.size(), block) == 0 &&
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
    if (!indexed_) {
        return;
    }
    std::vector<std::size_t> changed;
    TagsIn(text, expansionStart, expansionSize, changed);
    if (copies.empty()) {
        // Nothing after the block moved or changed.
        Add(text, std::move(changed));
        return;
    }
    for (auto it = tags_.begin(); it != tags_.end();) {
        Tag& tag = it->second;
        if (tag.fromEnd > oldSize - blockEnd) {  // passed by the expander
            it = tags_.erase(it);
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
            if (*next > oldPos) {
                changed.push_back(text.size() - tag.fromEnd);
            }
            it = tags_.erase(it);
        } else {
            ++it;
        }
    }
    for (std::size_t i = 0; i < copies.size(); ++i) {
        const std::size_t fromEnd = oldSize - copies[i] + (copies.size() - i) * expansionSize -
                                    (copies.size() - i) * blockSize;
        TagsIn(text, text.size() - fromEnd, expansionSize, changed);
    }
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    Add(text, std::move(changed));
}

// Indexes the opening tags at tags (in order), each by the bytes from it
// through the first closing tag after it. Walking from the last tag to the
// first hashes the bytes before one closing tag once for all its tags.
void BlockCopies::Add(const std::string& text, std::vector<std::size_t> tags) {
    if (tags.empty()) {
        return;
    }
    std::vector<std::size_t> closes;
    for (std::size_t close = FindBytes(text, kCloseTag, tags.front()); close != npos;
         close = FindBytes(text, kCloseTag, close + kCloseTag.size())) {
        closes.push_back(close);
        if (close > tags.back()) {
            break;
        }
    }
    BlockHash hash;
    std::size_t hashedEnd = npos;
    std::size_t hashedFrom = npos;
    for (auto tag = tags.rbegin(); tag != tags.rend(); ++tag) {
        const auto close = std::lower_bound(closes.begin(), closes.end(), *tag);
        const std::size_t end = close == closes.end() ? text.size() : *close + kCloseTag.size();
        if (end != hashedEnd) {
            hash = BlockHash();
            hashedEnd = end;
            hashedFrom = end;
        }
        hash.Prepend(text, *tag, hashedFrom);
        hashedFrom = *tag;
        tags_.insert({hash.Value(), {text.size() - *tag, end - *tag}});
    }
}

}  // namespace pikora
