// Saved games of the strip tests: only their head, which is all a strip
// reads of them.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "image/mybit.h"

// A saved game's head as the game writes it: a 40 x 20 picture block, the
// groups left and the total; then the time and no piece.  keepBytes cuts
// the file short.
inline void SaveGameHead(const std::string& path, int32_t remaining, int32_t total,
                         size_t keepBytes = SIZE_MAX) {
    MYBIT p;
    p.CreateFilled(0x00FF00, 40, 20);
    p.hdr.fileSize = static_cast<uint32_t>(p.PixelCount() * 4 + 54);
    std::vector<uint8_t> bytes(BmpHeaders::kBytes);
    p.hdr.Write(bytes.data());
    auto put = [&](int32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    };
    put(static_cast<int32_t>(p.PixelCount()));
    for (uint32_t w : p.pixels) put(static_cast<int32_t>(w));
    for (int32_t v : {remaining, total, 0, 0}) put(v);
    bytes.resize(std::min(bytes.size(), keepBytes));
    ASSERT_TRUE(WriteFileAtomic(path, bytes.data(), bytes.size()));
}
