// A hash of a long block that can be put together from the hashes of its
// parts, so that a block that holds most of the one before it costs only
// its new part to know.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace pikora {

// Two polynomial hashes of the bytes, with different bases, modulo the prime
// 2^61 - 1: about 122 bits, for a count of blocks that a text can hold.
class BlockPrint {
  public:
    static BlockPrint Of(std::string_view bytes);
    // Element d is the print of the last d bytes of bytes.
    static std::vector<BlockPrint> OfEachEnd(std::string_view bytes);

    // The print of these bytes followed by those of next.
    BlockPrint Then(const BlockPrint& next) const;

    bool operator==(const BlockPrint& other) const {
        return a_ == other.a_ && b_ == other.b_ && size_ == other.size_;
    }

  private:
    std::uint64_t a_ = 0;
    std::uint64_t b_ = 0;
    std::size_t size_ = 0;
};

}  // namespace pikora
