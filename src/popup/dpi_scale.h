// Pixel numbers of the popup (the sizes and offsets in Pikora.ini, the line
// height, the screen-edge box) are kept as at 96 DPI and scaled to the DPI of
// the monitor the popup opens on, so that they keep their apparent size on
// every monitor and mean exactly what they always meant at 96 DPI.
#pragma once

namespace pikora {

constexpr int kBaseDpi = 96;

// value at 96 DPI in pixels at dpi, rounded to the nearest pixel (halves away
// from zero). A DPI that is not positive counts as 96.
int ScaleForDpi(int value, int dpi);

// The inverse: pixels at dpi as a value at 96 DPI. For DPIs of 96 and more,
// UnscaleForDpi(ScaleForDpi(v, dpi), dpi) == v.
int UnscaleForDpi(int pixels, int dpi);

}  // namespace pikora
