#include "macro/block_print.h"

namespace pikora {
namespace {

constexpr std::uint64_t kPrime = (std::uint64_t{1} << 61) - 1;
constexpr std::uint64_t kBaseA = 0x1F3A9C6B5D2E4817ULL % kPrime;
constexpr std::uint64_t kBaseB = 0x0B7E151628AED2A6ULL % kPrime;

constexpr std::uint64_t Reduce(std::uint64_t x) {
    x = (x & kPrime) + (x >> 61);
    return x >= kPrime ? x - kPrime : x;
}

// x * y modulo the prime, for x, y below it, without 128-bit numbers (which
// the 32-bit build lacks): 2^64 is 8 and 2^61 is 1 modulo the prime.
constexpr std::uint64_t MulMod(std::uint64_t x, std::uint64_t y) {
    const std::uint64_t xHigh = x >> 32;
    const std::uint64_t xLow = x & 0xFFFFFFFFULL;
    const std::uint64_t yHigh = y >> 32;
    const std::uint64_t yLow = y & 0xFFFFFFFFULL;
    const std::uint64_t low = xLow * yLow;
    const std::uint64_t middle = xHigh * yLow + xLow * yHigh;
    const std::uint64_t high = xHigh * yHigh;
    return Reduce((high << 3) + (middle >> 29) + ((middle & ((std::uint64_t{1} << 29) - 1)) << 32) +
                  (low >> 61) + (low & kPrime));
}

constexpr std::uint64_t PowMod(std::uint64_t base, std::size_t exponent) {
    std::uint64_t result = 1;
    for (; exponent > 0; exponent >>= 1) {
        if (exponent & 1) {
            result = MulMod(result, base);
        }
        base = MulMod(base, base);
    }
    return result;
}

// (byte + 1) * base^k for k = 1, 2, 3 and every byte: with them, four bytes
// cost one multiplication instead of four.
struct Powers {
    constexpr explicit Powers(std::uint64_t base) : fourth(PowMod(base, 4)) {
        for (int k = 0; k < 3; ++k) {
            const std::uint64_t power = PowMod(base, k + 1);
            for (int byte = 0; byte < 256; ++byte) {
                digits[k][byte] = MulMod(static_cast<std::uint64_t>(byte) + 1, power);
            }
        }
    }
    constexpr std::uint64_t Next(std::uint64_t hash, const unsigned char* four) const {
        return Reduce(Reduce(MulMod(hash, fourth) + digits[2][four[0]] + digits[1][four[1]]) +
                      digits[0][four[2]] + four[3] + 1);
    }
    std::uint64_t fourth = 0;
    std::uint64_t digits[3][256] = {};
};

constexpr Powers kPowersA(kBaseA);
constexpr Powers kPowersB(kBaseB);

}  // namespace

BlockPrint BlockPrint::Of(std::string_view bytes) {
    BlockPrint print;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t i = 0;
    for (; i + 4 <= bytes.size(); i += 4) {
        print.a_ = kPowersA.Next(print.a_, data + i);
        print.b_ = kPowersB.Next(print.b_, data + i);
    }
    for (; i < bytes.size(); ++i) {
        print.a_ = Reduce(MulMod(print.a_, kBaseA) + data[i] + 1);
        print.b_ = Reduce(MulMod(print.b_, kBaseB) + data[i] + 1);
    }
    print.size_ = bytes.size();
    return print;
}

std::vector<BlockPrint> BlockPrint::OfEachEnd(std::string_view bytes) {
    std::vector<BlockPrint> prints(bytes.size() + 1);
    std::uint64_t powerA = 1;
    std::uint64_t powerB = 1;
    for (std::size_t d = 0; d < bytes.size(); ++d) {
        const std::uint64_t digit = static_cast<unsigned char>(bytes[bytes.size() - 1 - d]) + 1;
        prints[d + 1].a_ = Reduce(MulMod(digit, powerA) + prints[d].a_);
        prints[d + 1].b_ = Reduce(MulMod(digit, powerB) + prints[d].b_);
        prints[d + 1].size_ = d + 1;
        powerA = MulMod(powerA, kBaseA);
        powerB = MulMod(powerB, kBaseB);
    }
    return prints;
}

BlockPrint BlockPrint::Then(const BlockPrint& next) const {
    BlockPrint print;
    print.a_ = Reduce(MulMod(a_, PowMod(kBaseA, next.size_)) + next.a_);
    print.b_ = Reduce(MulMod(b_, PowMod(kBaseB, next.size_)) + next.b_);
    print.size_ = size_ + next.size_;
    return print;
}

}  // namespace pikora
