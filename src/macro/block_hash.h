// A hash of a block that can be put together from the hashes of its parts,
// so that a block which holds the expansion of the round before it costs
// only its new bytes to know.
#pragma once

#include <cstdint>
#include <string_view>
#include <utility>

namespace pikora {

// The bytes as the coefficients of a polynomial, the first at the lowest
// power, in two bases modulo the prime 2^61 - 1: about 122 bits, for a count
// of blocks that a text can hold.
class BlockHash {
  public:
    static BlockHash Of(std::string_view bytes) {
        BlockHash hash;
        for (auto c = bytes.rbegin(); c != bytes.rend(); ++c) {
            hash = hash.Prepend(*c);
        }
        return hash;
    }

    BlockHash Prepend(char c) const {
        BlockHash hash;
        for (int i = 0; i < 2; ++i) {
            hash.value_[i] = Reduce(Digit(c) + MulMod(value_[i], kBases[i]));
        }
        hash.size_ = size_ + 1;
        return hash;
    }

    // These bytes followed by next's.
    BlockHash Then(const BlockHash& next) const {
        BlockHash hash;
        for (int i = 0; i < 2; ++i) {
            hash.value_[i] = Reduce(value_[i] + MulMod(next.value_[i], Power(kBases[i], size_)));
        }
        hash.size_ = size_ + next.size_;
        return hash;
    }

    // Without its last bytes, which are those of last.
    BlockHash Before(const BlockHash& last) const {
        BlockHash hash;
        hash.size_ = size_ - last.size_;
        for (int i = 0; i < 2; ++i) {
            hash.value_[i] =
                Reduce(value_[i] + kPrime - MulMod(last.value_[i], Power(kBases[i], hash.size_)));
        }
        return hash;
    }

    // Without its first bytes, which are front.
    BlockHash DropFront(std::string_view front) const {
        const BlockHash dropped = Of(front);
        BlockHash hash;
        for (int i = 0; i < 2; ++i) {
            static const std::uint64_t kInverses[2] = {Power(kBases[0], kPrime - 2),
                                                       Power(kBases[1], kPrime - 2)};
            hash.value_[i] = MulMod(Reduce(value_[i] + kPrime - dropped.value_[i]),
                                    Power(kInverses[i], front.size()));
        }
        hash.size_ = size_ - front.size();
        return hash;
    }

    std::size_t Size() const { return size_; }
    std::pair<std::uint64_t, std::uint64_t> Value() const { return {value_[0], value_[1]}; }

  private:
    static constexpr std::uint64_t kPrime = (std::uint64_t{1} << 61) - 1;
    static constexpr std::uint64_t kBases[2] = {0x1F3A9C6B5D2E4817ULL % kPrime,
                                                0x0B7E151628AED2A6ULL % kPrime};

    static std::uint64_t Digit(char c) { return static_cast<unsigned char>(c) + 1; }
    static std::uint64_t Reduce(std::uint64_t x) {
        x = (x & kPrime) + (x >> 61);
        return x >= kPrime ? x - kPrime : x;
    }
    // x * y for x, y below the prime: 2^61 is 1 modulo the prime. The 32-bit
    // build lacks 128-bit numbers and multiplies the halves.
    static std::uint64_t MulMod(std::uint64_t x, std::uint64_t y) {
#ifdef __SIZEOF_INT128__
        const unsigned __int128 product = static_cast<unsigned __int128>(x) * y;
        return Reduce(static_cast<std::uint64_t>(product & kPrime) +
                      static_cast<std::uint64_t>(product >> 61));
#else
        const std::uint64_t xHigh = x >> 31, xLow = x & 0x7FFFFFFF;
        const std::uint64_t yHigh = y >> 31, yLow = y & 0x7FFFFFFF;
        const std::uint64_t middle = xHigh * yLow + xLow * yHigh;
        return Reduce((xHigh * yHigh << 1) + (middle >> 30) + ((middle & 0x3FFFFFFF) << 31) +
                      xLow * yLow);
#endif
    }
    static std::uint64_t Power(std::uint64_t base, std::uint64_t exponent) {
        std::uint64_t result = 1;
        for (; exponent > 0; exponent >>= 1, base = MulMod(base, base)) {
            result = exponent & 1 ? MulMod(result, base) : result;
        }
        return result;
    }

    std::uint64_t value_[2] = {0, 0};
    std::size_t size_ = 0;
};

}  // namespace pikora
