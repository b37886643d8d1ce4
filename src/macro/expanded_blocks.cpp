#include "macro/expanded_blocks.h"

#include <algorithm>
#include <cstring>

#include "macro/char_boundary.h"

namespace pikora {
namespace {

constexpr std::size_t npos = std::string::npos;
// Longer blocks are kept by their ends and fingerprint only.
constexpr std::size_t kShort = 4096;
// The last bytes of a block that key it, and the two ends kept of a long one.
constexpr std::size_t kEnd = 64;

std::uint64_t TailKey(std::string_view block) {
    std::uint64_t hash = 0xCBF29CE484222325ULL;
    for (const char c : block.substr(block.size() - std::min(block.size(), kEnd))) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
    }
    return hash;
}

std::uint64_t KeyOf(std::string_view block) {
    return TailKey(block) ^ (block.size() * 0x9E3779B97F4A7C15ULL);
}

// Two 64-bit hashes of different kinds over every word of s.
std::pair<std::uint64_t, std::uint64_t> Fingerprint(std::string_view s) {
    std::uint64_t a = 0x9E3779B97F4A7C15ULL ^ s.size();
    std::uint64_t b = 0xC2B2AE3D27D4EB4FULL + s.size();
    for (std::size_t i = 0; i < s.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, s.data() + i, std::min<std::size_t>(8, s.size() - i));
        a = (a ^ word) * 0xFF51AFD7ED558CCDULL;
        a ^= a >> 32;
        b = (b + word) * 0xC4CEB9FE1A85EC53ULL;
        b = (b << 31) | (b >> 33);
    }
    return {a, b};
}

// A copy's launches ran with the round that expanded its block.
class NoLaunch : public Launcher {
  public:
    void OpenDocument(const std::string&) override {}
    void StartProgram(const std::string&) override {}
};

}  // namespace

void ExpandedBlocks::Add(std::string_view block, const std::string& expansion, Round round) {
    const std::size_t known = Find(block);
    if (known != npos) {
        entries_[known].rounds.push_back(round);
        return;
    }
    Entry entry{block.size(), {}, {}, {}, {round}};
    if (block.size() <= kShort) {
        entry.bytes = block;
        entry.expansion = expansion;
    } else {
        entry.bytes = std::string(block.substr(0, kEnd)).append(block.substr(block.size() - kEnd));
        entry.fingerprint = Fingerprint(block);
    }
    byKey_.insert({KeyOf(block), entries_.size()});
    if (block.size() >= kEnd) {
        byTail_[TailKey(block)].insert({block.size(), entries_.size()});
    }
    entries_.push_back(std::move(entry));
}

bool ExpandedBlocks::Holds(const Entry& entry, std::string_view block) const {
    if (block.size() != entry.size || block.size() <= kShort) {
        return block.size() == entry.size && block == entry.bytes;
    }
    const std::string_view ends = entry.bytes;
    return block.substr(0, kEnd) == ends.substr(0, kEnd) &&
           block.substr(block.size() - kEnd) == ends.substr(kEnd) &&
           Fingerprint(block) == entry.fingerprint;
}

std::size_t ExpandedBlocks::Find(std::string_view block) const {
    const auto [first, last] = byKey_.equal_range(KeyOf(block));
    for (auto it = first; it != last; ++it) {
        if (Holds(entries_[it->second], block)) {
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
