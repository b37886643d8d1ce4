// What every fuzz target shares: a check that stops the run with the broken
// rule's text (libFuzzer then keeps the input), and a way to cut one input
// into the several texts a function takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#define FUZZ_REQUIRE(condition)                                                          \
    do {                                                                                 \
        if (!(condition)) {                                                              \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                \
        }                                                                                \
    } while (false)

namespace fuzz {

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
    return std::string_view(reinterpret_cast<const char*>(data), size);
}

// The text up to the first separator byte, which is dropped; the rest stays
// in input. A separator no CP932 text holds as a character keeps the parts
// independent of how the bytes pair up.
inline std::string_view TakePart(std::string_view& input, char separator = '\0') {
    const std::size_t end = input.find(separator);
    const std::string_view part = input.substr(0, end);
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    return part;
}

}  // namespace fuzz
