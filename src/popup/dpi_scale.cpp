#include "popup/dpi_scale.h"

#include <cstdint>
#include <cstdlib>

namespace pikora {

namespace {

// a * b / c rounded half away from zero, in 64 bits so that no stored size
// can overflow on the way.
int MulDivRounded(int a, int b, int c) {
    const int64_t product = static_cast<int64_t>(a) * b;
    const int64_t half = c / 2;
    const int64_t q = product >= 0 ? (product + half) / c : -((-product + half) / c);
    return static_cast<int>(q);
}

int UsableDpi(int dpi) {
    return dpi > 0 ? dpi : kBaseDpi;
}

}  // namespace

int ScaleForDpi(int value, int dpi) {
    return MulDivRounded(value, UsableDpi(dpi), kBaseDpi);
}

int UnscaleForDpi(int pixels, int dpi) {
    return MulDivRounded(pixels, kBaseDpi, UsableDpi(dpi));
}

}  // namespace pikora
