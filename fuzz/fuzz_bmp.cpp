// The BMP reader over arbitrary bytes.  Whatever it accepts must keep MYBIT's
// invariants, whatever it refuses must leave the picture empty, and on the
// plain uncompressed layouts it must give the colours the independent
// decoder gives.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "image/bmp_read.h"
#include "image/mybit.h"
#include "image/picture_limits.h"
#include "image/picture_read.h"

namespace {

void Require(bool ok) {
    if (!ok) std::abort();
}

uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// The layouts both decoders read alike: uncompressed, a header the other
// knows, one plane, a full colour table, pixels right after it.  (The other
// also honours a V4 or V5 header's alpha mask on 16-bit files that say the
// masks do not count, and then refuses masks wider than 8 bits.)
bool Comparable(const uint8_t* data, const BmpLayout& l) {
    uint32_t infoSize = Get32(data + 14);
    if (infoSize != 40 && infoSize != 56 && infoSize != 108 && infoSize != 124) return false;
    if ((data[26] | data[27] << 8) != 1 || l.compression != kBiRgb) return false;
    if (infoSize >= 108 && l.bitCount == 16 && Get32(data + 14 + 52) != 0) return false;
    if (l.bitCount <= 8 && l.paletteEntries != 1 << l.bitCount) return false;
    return Get32(data + 10) == l.paletteAt + static_cast<uint64_t>(l.paletteEntries) * 4;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MYBIT picture;
    if (!ReadBmp(data, size, picture)) {
        Require(picture.Empty() && picture.Width() == 0 && picture.Height() == 0);
        return 0;
    }
    const int w = picture.Width(), h = picture.Height();
    Require(w >= 1 && h >= 1 && w <= kMaxPictureSide && h <= kMaxPictureSide);
    Require(picture.pixels.size() == static_cast<size_t>(w) * static_cast<size_t>(h));
    Require(picture.hdr.fileSize == picture.pixels.size() * 4 + 54);

    // The kind test sends these bytes to the same reader.
    MYBIT again;
    Require(DecodePicture(data, size, 4, again) == 1 && again.pixels == picture.pixels);

    BmpLayout layout;
    Require(ParseBmpHeaders(data, size < kBmpHeadBytes ? size : kBmpHeadBytes, size, layout));
    if (Comparable(data, layout)) {
        std::vector<uint32_t> rgb;
        int rw = 0, rh = 0;
        Require(ReadBmpReference(data, size, rgb, rw, rh) && rw == w && rh == h);
        for (size_t i = 0; i < rgb.size(); ++i) Require((picture.pixels[i] & 0xFFFFFF) == rgb[i]);
    }
    return 0;
}
