#include "macro/expanded_blocks.h"

#include <algorithm>

#include "macro/char_boundary.h"

namespace pikora {
namespace {

constexpr std::size_t npos = std::string::npos;
constexpr std::size_t kEnd = ExpandedBlocks::kEnd;

std::uint64_t TailKey(std::string_view block) {
    std::uint64_t hash = 0xCBF29CE484222325ULL;
    for (const char c : block.substr(block.size() - std::min(block.size(), kEnd))) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
    }
    return hash;
}

// By the block's size and its first and last kEnd bytes.
std::uint64_t KeyOf(std::size_t size, std::string_view head, std::string_view tail) {
    std::uint64_t hash = 0xCBF29CE484222325ULL ^ size;
    for (const std::string_view part : {head, tail}) {
        for (const char c : part) {
            hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
        }
    }
    return hash;
}

std::uint64_t KeyOf(std::string_view block) {
    const std::size_t part = std::min(block.size(), kEnd);
    return KeyOf(block.size(), block.substr(0, part), block.substr(block.size() - part));
}

// A copy's launches ran with the round that expanded its block.
class NoLaunch : public Launcher {
  public:
    void OpenDocument(const std::string&) override {}
    void StartProgram(const std::string&) override {}
};

}  // namespace

void ExpandedBlocks::Add(std::string_view block, const std::string& expansion, Round round) {
    if (block.size() > kShort) {
        Add(block.size(),
            std::string(block.substr(0, kEnd)).append(block.substr(block.size() - kEnd)),
            BlockPrint::Of(block), round);
        return;
    }
    const std::size_t known = Find(block.size(), {}, nullptr, block);
    if (known != npos) {
        entries_[known].rounds.push_back(round);
        return;
    }
    Insert({block.size(), std::string(block), {}, expansion, {round}});
}

void ExpandedBlocks::Add(std::size_t size, std::string_view ends, const BlockPrint& print,
                         Round round) {
    const std::size_t known = Find(size, ends, &print, {});
    if (known != npos) {
        entries_[known].rounds.push_back(round);
        return;
    }
    Insert({size, std::string(ends), print, {}, {round}});
}

void ExpandedBlocks::Insert(Entry entry) {
    const std::string_view bytes = entry.bytes;
    const std::size_t part = std::min(bytes.size(), kEnd);
    const std::string_view tail = bytes.substr(bytes.size() - part);
    byKey_.insert({KeyOf(entry.size, bytes.substr(0, part), tail), entries_.size()});
    if (entry.size >= kEnd) {
        byTail_[TailKey(tail)].insert({entry.size, entries_.size()});
    }
    entries_.push_back(std::move(entry));
}

bool ExpandedBlocks::Knows(std::size_t size, std::string_view head, std::string_view tail) const {
    return byKey_.count(KeyOf(size, head, tail)) > 0;
}

bool ExpandedBlocks::Holds(const Entry& entry, std::string_view block) const {
    if (block.size() != entry.size || block.size() <= kShort) {
        return block.size() == entry.size && block == entry.bytes;
    }
    const std::string_view ends = entry.bytes;
    return block.substr(0, kEnd) == ends.substr(0, kEnd) &&
           block.substr(block.size() - kEnd) == ends.substr(kEnd) &&
           BlockPrint::Of(block) == entry.print;
}

// The entry of a short block, or of a long one by its ends and print.
std::size_t ExpandedBlocks::Find(std::size_t size, std::string_view ends, const BlockPrint* print,
                                 std::string_view block) const {
    const auto [first, last] = byKey_.equal_range(
        print ? KeyOf(size, ends.substr(0, kEnd), ends.substr(kEnd)) : KeyOf(block));
    for (auto it = first; it != last; ++it) {
        const Entry& entry = entries_[it->second];
        if (print ? entry.size == size && entry.bytes == ends && entry.print == *print
                  : Holds(entry, block)) {
            return it->second;
        }
    }
    return npos;
}

std::vector<ExpandedBlocks::Copy> ExpandedBlocks::EndingAt(const RoundText& text, std::size_t first,
                                                           std::size_t end) const {
    std::vector<Copy> copies;
    std::string scratch;
    const std::string last(text.Bytes(end - std::min(end - first, kEnd), end, scratch));
    const auto tryAt = [&](std::size_t pos, std::size_t index) {
        if (text.OpensAt(pos, first) && Holds(entries_[index], text.Bytes(pos, end, scratch))) {
            copies.push_back({pos, &entries_[index].rounds, index});
        }
    };
    std::string head;
    const auto tryTag = [&](std::size_t pos) {
        const std::size_t size = end - pos;
        const std::size_t part = std::min(size, last.size());
        head = text.Bytes(pos, pos + part, scratch);
        const auto [from, to] = byKey_.equal_range(
            KeyOf(size, head, std::string_view(last).substr(last.size() - part)));
        for (auto it = from; it != to; ++it) {
            tryAt(pos, it->second);
        }
    };
    // Each tag of the block is looked up by its own key, or each block
    // remembered that ends with the same kEnd bytes is tried where it would
    // begin: whichever is fewer. Shorter blocks are keyed by all their bytes.
    const auto sizes = byTail_.find(TailKey(last));
    if (sizes == byTail_.end() || sizes->second.size() < (end - first) / kOpenTag.size()) {
        if (sizes != byTail_.end() && last.size() == kEnd) {
            for (auto it = sizes->second.begin();
                 it != sizes->second.end() && it->first <= end - first; ++it) {
                tryAt(end - it->first, it->second);
            }
        }
        // A block of kEnd bytes was among those tried.
        for (std::size_t tag = FindBytes(last, kOpenTag, last.size() == kEnd ? 1 : 0); tag != npos;
             tag = FindBytes(last, kOpenTag, tag + 1)) {
            tryTag(end - last.size() + tag);
        }
    } else {
        const std::string block(text.Bytes(first, end, scratch));
        for (std::size_t tag = FindBytes(block, kOpenTag, 0); tag != npos;
             tag = FindBytes(block, kOpenTag, tag + 1)) {
            tryTag(first + tag);
        }
    }
    return copies;
}

std::string ExpandedBlocks::ExpansionOf(const Copy& copy, std::string_view block,
                                        const KeywordValues& values) const {
    const Entry& entry = entries_[copy.entry];
    if (entry.size <= kShort) {
        return entry.expansion;
    }
    NoLaunch noLaunch;
    return ExpandBlock(block, values, noLaunch);
}

}  // namespace pikora
