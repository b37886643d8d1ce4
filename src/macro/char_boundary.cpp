#include "macro/char_boundary.h"

namespace pikora {

std::size_t BoundaryAtOrBefore(std::string_view s, std::size_t pos, std::size_t walkStart) {
    return IsCharBoundary(s, pos, walkStart) ? pos : pos - 1;
}

std::size_t FindOnBoundary(std::string_view s, std::string_view needle, std::size_t from) {
    std::size_t pos = from;
    while (true) {
        const std::size_t hit = FindBytes(s, needle, pos);
        if (hit == std::string_view::npos || IsCharBoundary(s, hit, from)) {
            return hit;
        }
        pos = hit + 1;
    }
}

}  // namespace pikora
