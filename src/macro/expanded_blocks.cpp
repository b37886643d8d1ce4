#include "macro/expanded_blocks.h"

#include <algorithm>
#include <cstring>

#include "macro/char_boundary.h"

namespace pikora {
namespace {

constexpr std::size_t npos = std::string::npos;
constexpr std::size_t kShort = ExpandedBlocks::kShort;
constexpr std::size_t kEnd = ExpandedBlocks::kEnd;

std::uint64_t TailKey(std::string_view block) {
    std::uint64_t hash = 0xCBF29CE484222325ULL;
    for (const char c : block.substr(block.size() - std::min(block.size(), kEnd))) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
    }
    return hash;
}

std::uint64_t KeyOf(std::size_t size, std::string_view tail) {
    return TailKey(tail) ^ (size * 0x9E3779B97F4A7C15ULL);
}

std::uint64_t KeyOf(std::string_view block) {
    return KeyOf(block.size(), block);
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
    const std::string_view tail =
        std::string_view(entry.bytes)
            .substr(entry.bytes.size() - std::min(entry.bytes.size(), kEnd));
    byKey_.insert({KeyOf(entry.size, tail), entries_.size()});
    if (entry.size >= kEnd) {
        byTail_[TailKey(tail)].insert({entry.size, entries_.size()});
    }
    entries_.push_back(std::move(entry));
}

bool ExpandedBlocks::Knows(std::size_t size, std::string_view tail) const {
    return byKey_.count(KeyOf(size, tail)) > 0;
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
    const std::string_view tail = print ? ends.substr(kEnd) : block;
    const auto [first, last] = byKey_.equal_range(KeyOf(size, tail));
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
    const auto check = [&](std::size_t size, std::size_t index) {
        const std::size_t pos = end - size;
        if (text.OpensAt(pos, first) && Holds(entries_[index], text.Bytes(pos, end, scratch))) {
            copies.push_back({pos, &entries_[index].rounds, index});
        }
    };
    // The blocks of kEnd bytes or more all have the key of the text's last
    // kEnd bytes; each shorter one has its own, and few of them fit.
    if (end - first >= kEnd) {
        const auto sizes = byTail_.find(TailKey(text.Bytes(end - kEnd, end, scratch)));
        if (sizes != byTail_.end()) {
            for (auto it = sizes->second.lower_bound(kEnd);
                 it != sizes->second.end() && it->first <= end - first; ++it) {
                check(it->first, it->second);
            }
        }
    }
    const std::size_t near = end - std::min(end - first, kEnd - 1);
    const std::string_view last = text.Bytes(near, end, scratch);
    for (std::size_t tag = FindBytes(last, kOpenTag, 0); tag != npos;
         tag = FindBytes(last, kOpenTag, tag + 1)) {
        const std::string_view block = last.substr(tag);
        const auto [from, to] = byKey_.equal_range(KeyOf(block));
        for (auto it = from; it != to; ++it) {
            if (Holds(entries_[it->second], block) && text.OpensAt(near + tag, first)) {
                copies.push_back({near + tag, &entries_[it->second].rounds, it->second});
            }
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
