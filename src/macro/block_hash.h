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
        const std::uint64_t digit = static_cast<unsigned char>(c) + 1;
        return Lanes(size_ + 1, [&](int i) { return Add(digit, MulMod(value_[i], kBases[i])); });
    }

    // These bytes followed by next's.
    BlockHash Then(const BlockHash& next) const {
        return Lanes(size_ + next.size_, [&](int i) {
            return Add(value_[i], MulMod(next.value_[i], Power(kBases[i], size_)));
        });
    }

    // Without its last bytes, which are those of last.
    BlockHash Before(const BlockHash& last) const {
        const std::size_t size = size_ - last.size_;
        return Lanes(size, [&](int i) {
            return Add(value_[i], kPrime - MulMod(last.value_[i], Power(kBases[i], size)));
        });
    }

    // Without its first bytes, which are those of first.
    BlockHash After(const BlockHash& first) const {
        static const std::uint64_t kInverses[2] = {Power(kBases[0], kPrime - 2),
                                                   Power(kBases[1], kPrime - 2)};
        return Lanes(size_ - first.size_, [&](int i) {
            return MulMod(Add(value_[i], kPrime - first.value_[i]),
                          Power(kInverses[i], first.size_));
        });
    }

    std::size_t Size() const { return size_; }
    std::pair<std::uint64_t, std::uint64_t> Value() const { return {value_[0], value_[1]}; }

  private:
    static constexpr std::uint64_t kPrime = (std::uint64_t{1} << 61) - 1;
    static constexpr std::uint64_t kBases[2] = {0x1F3A9C6B5D2E4817ULL % kPrime,
                                                0x0B7E151628AED2A6ULL % kPrime};

    template <typename Lane>
    static BlockHash Lanes(std::size_t size, Lane lane) {
        BlockHash hash;
        hash.value_[0] = lane(0);
        hash.value_[1] = lane(1);
        hash.size_ = size;
        return hash;
    }

    // x + y modulo the prime, for any sum below 2^64: 2^61 is 1 modulo the
    // prime.
    static std::uint64_t Add(std::uint64_t x, std::uint64_t y) {
        const std::uint64_t sum = ((x + y) & kPrime) + ((x + y) >> 61);
        return sum >= kPrime ? sum - kPrime : sum;
    }
    // x * y for x, y below the prime. The 32-bit build lacks 128-bit numbers
    // and multiplies the halves.
    static std::uint64_t MulMod(std::uint64_t x, std::uint64_t y) {
#ifdef __SIZEOF_INT128__
        const unsigned __int128 product = static_cast<unsigned __int128>(x) * y;
        return Add(static_cast<std::uint64_t>(product & kPrime),
                   static_cast<std::uint64_t>(product >> 61));
#else
        const std::uint64_t xHigh = x >> 31, xLow = x & 0x7FFFFFFF;
        const std::uint64_t yHigh = y >> 31, yLow = y & 0x7FFFFFFF;
        const std::uint64_t middle = xHigh * yLow + xLow * yHigh;
        return Add((xHigh * yHigh << 1) + (middle >> 30),
                   ((middle & 0x3FFFFFFF) << 31) + xLow * yLow);
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
