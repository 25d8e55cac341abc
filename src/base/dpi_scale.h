// The scale of a window on its monitor: s = its DPI / 96.  Everything the
// game draws at a size of its own (the strips, the guide, the shape preview,
// the pattern window, the progress bar, its texts) and the reach of a snap
// are sized in pixels at 96 DPI and scaled by s, rounded to whole pixels; at
// 96 DPI every size is exactly the one at 100 %.  The pictures of the
// puzzle are never scaled: one picture pixel stays one screen pixel.
#pragma once

#include <cstdint>

constexpr int kBaseDpi = 96;  // 100 %

// A DPI the platform could not tell (0 or less) counts as 96.
constexpr int KnownDpi(int dpi) {
    return dpi > 0 ? dpi : kBaseDpi;
}

// Pixels at 96 DPI to pixels at dpi, rounded half away from zero, so that a
// size and its negative scale alike.  The wide form takes any int32 value
// (a point read from a file) at any DPI up to the int32 range.
constexpr int64_t ScalePxWide(int64_t px, int dpi) {
    const int64_t p = px * KnownDpi(dpi);
    return p >= 0 ? (p + kBaseDpi / 2) / kBaseDpi : -((-p + kBaseDpi / 2) / kBaseDpi);
}
constexpr int ScalePx(int px, int dpi) {
    return static_cast<int>(ScalePxWide(px, dpi));
}

// Pixels at dpi back to pixels at 96 DPI, rounded the same way: the inverse
// of ScalePx wherever ScalePx lands.
constexpr int UnscalePx(int px, int dpi) {
    const int d = KnownDpi(dpi);
    const int64_t p = int64_t{px} * kBaseDpi;
    return static_cast<int>(p >= 0 ? (p + d / 2) / d : -((-p + d / 2) / d));
}

// A speed or any fraction of pixels: times s, not rounded.
constexpr float ScaleSpeed(float pxPerStep, int dpi) {
    return pxPerStep * static_cast<float>(KnownDpi(dpi)) / kBaseDpi;
}
