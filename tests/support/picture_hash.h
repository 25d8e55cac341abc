// FNV-1a over a picture's size and pixel words: the golden value of a
// picture in the tests.
#pragma once

#include <cstdint>

#include "image/mybit.h"

inline uint64_t PictureHash(const MYBIT& b) {
    uint64_t h = 1469598103934665603ull;
    auto add = [&](uint32_t v) {
        for (int i = 0; i < 32; i += 8) h = (h ^ ((v >> i) & 0xFF)) * 1099511628211ull;
    };
    add(static_cast<uint32_t>(b.Width()));
    add(static_cast<uint32_t>(b.Height()));
    for (uint32_t v : b.pixels) add(v);
    return h;
}
