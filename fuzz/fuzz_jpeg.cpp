// The JPEG reader over arbitrary bytes, at the divisor the input's length
// picks.  A decoded picture has pixels for its whole size, alpha 0, the size
// the header read alone gives, and stays within the limits; a refused one
// leaves nothing behind.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "image/jpeg_read.h"
#include "image/picture_limits.h"

namespace {

void Require(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int divisor = 1 << (size % 3);
    std::vector<uint32_t> pixels;
    int hw = 0, hh = 0, w = 0, h = 0;
    int header = ReadJpeg(data, size, pixels, hw, hh, divisor, true);
    Require(pixels.empty());
    if (!ReadJpeg(data, size, pixels, w, h, divisor, false)) {
        Require(pixels.empty() && w == 0 && h == 0);
        return 0;
    }
    Require(header == 1 && hw == w && hh == h);
    Require(w >= 1 && h >= 1 && w <= kMaxPictureSide && h <= kMaxPictureSide);
    Require(pixels.size() == static_cast<size_t>(w) * static_cast<size_t>(h));
    for (uint32_t p : pixels) Require((p >> 24) == 0);
    return 0;
}
