// stb_image, with only its BMP decoder: the independent reference the BMP
// reader is held against.  It is not the reader itself because it differs
// from the Windows loader where the game's files need it to agree: it counts
// the colour table from the pixel offset (four entries short for OS/2 files,
// whose last colours then come from uninitialised memory, as do indices past
// a short table), refuses 16- to 32-bit files with anything between the
// headers and the pixels, turns an all-zero alpha channel into 255, and
// reads no RLE.  On the plain uncompressed layouts both must give the same
// colours.
#include <climits>
#include <cstdlib>

#include "image/bmp_read.h"
#include "image/picture_limits.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS kMaxPictureSide
#include "stb_image.h"

bool ReadBmpReference(const uint8_t* data, size_t size, std::vector<uint32_t>& rgb, int& width, int& height) {
    rgb.clear();
    width = height = 0;
    if (!data || size > static_cast<size_t>(INT_MAX)) return false;
    int w = 0, h = 0, components = 0;
    stbi_uc* rgba = stbi_load_from_memory(data, static_cast<int>(size), &w, &h, &components, 4);
    if (!rgba) return false;
    if (static_cast<uint64_t>(w) * static_cast<uint64_t>(h) > kMaxPicturePixels) {
        stbi_image_free(rgba);
        return false;
    }
    rgb.resize(static_cast<size_t>(w) * static_cast<size_t>(h));
    // stb gives the top row first; MYBIT keeps the bottom row first.
    for (int y = 0; y < h; ++y) {
        const stbi_uc* s = rgba + static_cast<size_t>(y) * w * 4;
        uint32_t* d = rgb.data() + static_cast<size_t>(h - 1 - y) * w;
        for (int x = 0; x < w; ++x, s += 4)
            d[x] = (static_cast<uint32_t>(s[0]) << 16) | (static_cast<uint32_t>(s[1]) << 8) | s[2];
    }
    stbi_image_free(rgba);
    width = w;
    height = h;
    return true;
}
