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

// A photograph's samples (red, green, blue) at x, y: gradients under fine
// grain, so that a JPEG of it is as large as a camera's and decodes as
// slowly (a smooth picture decodes much faster).
inline void PhotoSamples(int x, int y, uint8_t* s) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    const int grain = static_cast<int>((h >> 24) % 32) - 16;
    auto clamp = [](int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); };
    s[0] = clamp(x / 16 + y / 24 + grain);
    s[1] = clamp(((x ^ y) >> 4) + grain);
    s[2] = clamp(y / 12 + grain / 2);
}
