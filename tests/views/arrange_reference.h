// Arrange mode's pixel work done the plain way, as the tests' reference: the
// colour model's two calls for every pixel, and a blur pass that sums the
// nine bytes of each block one by one.
#pragma once

#include <cstdint>
#include <utility>

#include "image/mybit.h"

namespace reference {

inline void Convert(MYBIT& out, const MYBIT& canvas, double luma, double hue, double chroma) {
    out.Create(canvas.Width(), canvas.Height());
    for (size_t i = 0; i < canvas.PixelCount(); ++i) {
        double y, h, c;
        RgbToYhc(canvas.pixels[i], y, h, c);
        out.pixels[i] = YhcToPixel(y + luma, h + hue, c + chroma);
    }
}

inline void BlurOnce(MYBIT& picture) {
    MYBIT copy;
    copy.CopyFrom(picture);
    for (int y = 1; y < picture.Height() - 1; ++y)
        for (int x = 1; x < picture.Width() - 1; ++x) {
            uint32_t word = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                uint32_t sum = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) sum += (picture.At(x + dx, y + dy) >> shift) & 0xFF;
                word |= sum / 9 << shift;
            }
            copy.At(x, y) = word;
        }
    picture = std::move(copy);
}

inline void Blur(MYBIT& picture, int passes) {
    for (int i = 0; i < passes; ++i) BlurOnce(picture);
}

}  // namespace reference
