#include "macro/block_copies.h"

#include <algorithm>

#include "macro/char_boundary.h"
#include "macro/macro_block.h"

namespace pikora {
namespace {

constexpr std::size_t npos = std::string::npos;
constexpr std::size_t kKeyEnd = 64;  // the expander's peeling knows it too

std::uint64_t KeyOf(std::string_view block) {
    const std::size_t part = std::min(block.size(), kKeyEnd);
    return BlockCopies::KeyOf(block.size(), block.substr(0, part),
                              block.substr(block.size() - part));
}

}  // namespace

std::uint64_t BlockCopies::KeyOf(std::size_t size, std::string_view head, std::string_view tail) {
    std::uint64_t hash = 0xCBF29CE484222325ULL ^ size;
    for (const std::string_view end : {head, tail}) {
        for (const char c : end) {
            hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
        }
    }
    return hash;
}

// Nested tags end at the same closing tag, which is looked for once.
std::size_t BlockCopies::Add(const std::string& text, std::size_t start, std::size_t size) {
    const std::string_view around(text.data(),
                                  std::min(text.size(), start + size + kOpenTag.size() - 1));
    std::size_t close = 0;
    std::size_t end = 0;
    for (std::size_t tag =
             FindBytes(around, kOpenTag, start - std::min(start, kOpenTag.size() - 1));
         tag != npos && tag < start + size; tag = FindBytes(around, kOpenTag, tag + 1)) {
        if (close != npos && close < tag) {
            close = FindBytes(text, kCloseTag, tag + kOpenTag.size());
        }
        end = close == npos ? text.size() : close + kCloseTag.size();
        byBlock_.insert(
            {pikora::KeyOf(std::string_view(text).substr(tag, end - tag)), text.size() - tag});
    }
    return end;
}

std::vector<std::size_t> BlockCopies::Find(const Rewriter& text, std::string_view block,
                                           std::size_t blockEnd) const {
    const std::string& buffer = text.Buffer();
    std::vector<std::size_t> copies;
    const std::size_t close = FindBytes(block, kCloseTag, kOpenTag.size());
    const auto [first, last] =
        byBlock_.equal_range(pikora::KeyOf(block.substr(0, close + kCloseTag.size())));
    // Tags the expander has passed, or whose bytes it rewrote, are left in
    // the index: the comparison rejects them.
    for (auto it = first; it != last; ++it) {
        const std::size_t copy = buffer.size() - it->second;
        if (it->second <= buffer.size() - blockEnd && block.size() <= it->second &&
            distrusted_.count(it->second) == 0 && buffer.compare(copy, block.size(), block) == 0 &&
            IsCharBoundary(buffer, copy, blockEnd) && text.RegionBefore(copy + 1).first <= copy) {
            copies.push_back(copy);
        }
    }
    std::sort(copies.begin(), copies.end());
    copies.erase(std::unique(copies.begin(), copies.end()), copies.end());
    return copies;
}

std::vector<std::size_t> BlockCopies::Distrusted(const std::string& text,
                                                 std::size_t blockEnd) const {
    std::vector<std::size_t> tags;
    for (auto it = distrusted_.begin(); it != distrusted_.end() && *it <= text.size() - blockEnd;
         ++it) {
        tags.push_back(text.size() - *it);
    }
    return tags;
}

void BlockCopies::Shift(const std::string& text, std::size_t textStart,
                        const std::vector<Rewriter::Moved>& moved) {
    // A tag moves by what the regions after it changed in length; the
    // unsigned sums wrap round and back.
    std::vector<std::pair<std::size_t, std::size_t>> grown;  // last region first
    for (auto region = moved.rbegin(); region != moved.rend(); ++region) {
        grown.push_back({region->fromEnd, (grown.empty() ? 0 : grown.back().second) +
                                              region->withSize - region->size});
    }
    for (auto& tag : byBlock_) {
        const std::size_t fromEnd = tag.second;
        const auto next =
            std::partition_point(grown.begin(), grown.end(),
                                 [fromEnd](const auto& region) { return region.first < fromEnd; });
        if (next != grown.begin()) {
            tag.second += std::prev(next)->second;
        }
    }
    // The blocks of the tags since the last closing tag before a region ran
    // into it, and changed: they are indexed anew.
    distrusted_.clear();
    for (std::size_t i = 0; i < grown.size(); ++i) {
        const Rewriter::Moved& region = moved[moved.size() - 1 - i];
        const std::size_t end =
            text.size() - (region.fromEnd - region.size + (i == 0 ? 0 : grown[i - 1].second));
        const std::size_t start = end - region.withSize;
        const std::size_t close = start == 0 ? npos : text.rfind(kCloseTag, start - 1);
        const std::size_t from = close == npos || close < textStart ? textStart : close;
        Add(text, from, end - from);
    }
}

bool BlockCopies::MayFind(std::uint64_t key, const std::string& text, std::size_t blockEnd) const {
    const auto [first, last] = byBlock_.equal_range(key);
    return std::any_of(first, last,
                       [&](const auto& tag) { return tag.second <= text.size() - blockEnd; });
}

}  // namespace pikora
