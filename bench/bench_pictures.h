// Pictures the benchmarks make in memory.
#pragma once

#include <cstdint>

#include "image/mybit.h"

// Smooth gradients with some texture, like a photograph, so that the rim
// shading works on varied colours.
inline void MakePicture(MYBIT& p, int w, int h) {
    p.Create(w, h);
    for (int y = 0; y < h; ++y) {
        uint32_t* row = p.Row(y);
        for (int x = 0; x < w; ++x) {
            uint32_t r = (x * 255 / w + ((x * y) >> 7)) & 0xFF;
            uint32_t g = (y * 255 / h + ((x ^ y) & 15)) & 0xFF;
            uint32_t b = ((x + y) * 128 / (w + h) + 64 + ((x * 7 + y * 3) & 31)) & 0xFF;
            row[x] = r << 16 | g << 8 | b;
        }
    }
}
