// BMP reading: header validation, the straight 32-bit read and the decoder of
// every other layout.
#include "image/bmp_read.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "base/file_io.h"
#include "image/mybit.h"
#include "image/picture_limits.h"

static_assert(std::endian::native == std::endian::little,
              "pixel words are read from the file's bytes as they stand");

namespace {

uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool IsDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Bytes per stored row: rows are padded to whole 32-bit words.
uint64_t Stride(int width, int bitCount) {
    return (static_cast<uint64_t>(width) * static_cast<uint64_t>(bitCount) + 31) / 32 * 4;
}
// Bytes a row's pixels take without the padding.
uint64_t RowBytes(int width, int bitCount) {
    return (static_cast<uint64_t>(width) * static_cast<uint64_t>(bitCount) + 7) / 8;
}

// One colour channel of a bit-field pixel: the masked bits, taken down to at
// most 8 significant ones, then widened to 0..255 by repeating their pattern
// (5 bits v become v << 3 | v >> 2), as the Windows loader widens them.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;  // lowest bit of the mask
    int drop = 0;   // low bits thrown away from masks wider than 8 bits
    uint8_t scale[256] = {};

    explicit Channel(uint32_t m) : mask(m) {
        if (m == 0) return;
        shift = std::countr_zero(m);
        int span = 32 - std::countl_zero(m) - shift;
        drop = span > 8 ? span - 8 : 0;
        int bits = span - drop;
        for (uint32_t v = 0; v < (1u << bits); ++v) {
            uint32_t r = 0;
            for (int s = 8 - bits; s > -bits; s -= bits) r |= s >= 0 ? v << s : v >> -s;
            scale[v] = static_cast<uint8_t>(r);
        }
    }
    uint32_t operator()(uint32_t v) const { return scale[((v & mask) >> shift) >> drop]; }
};

void MasksFor(BmpLayout& l, const uint8_t* masks) {
    if (l.compression == kBiBitfields) {
        for (int i = 0; i < 3; ++i) l.masks[i] = Get32(masks + 4 * i);
    } else if (l.bitCount == 16) {
        l.masks[0] = 0x7C00;  // 5-5-5
        l.masks[1] = 0x03E0;
        l.masks[2] = 0x001F;
    } else {
        l.masks[0] = 0x00FF0000;
        l.masks[1] = 0x0000FF00;
        l.masks[2] = 0x000000FF;
    }
}

void ConvertRow(const uint8_t* src, uint32_t* dst, const BmpLayout& l, const uint32_t* palette,
                const Channel* ch) {
    const int w = l.width;
    switch (l.bitCount) {
        case 1:
            for (int x = 0; x < w; ++x) dst[x] = palette[(src[x >> 3] >> (7 - (x & 7))) & 1];
            break;
        case 4:
            for (int x = 0; x < w; ++x) dst[x] = palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
            break;
        case 8:
            for (int x = 0; x < w; ++x) dst[x] = palette[src[x]];
            break;
        case 24:
            for (int x = 0; x < w; ++x, src += 3)
                dst[x] =
                    (static_cast<uint32_t>(src[2]) << 16) | (static_cast<uint32_t>(src[1]) << 8) | src[0];
            break;
        // Alpha stays 0, whatever the masks and the spare byte say: the
        // making gives each piece its own alpha, and a picture's would
        // leak into it.
        case 16:
            for (int x = 0; x < w; ++x, src += 2) {
                uint32_t v = Get16(src);
                dst[x] = (ch[0](v) << 16) | (ch[1](v) << 8) | ch[2](v);
            }
            break;
        case 32:
            if (l.masks[0] == 0x00FF0000 && l.masks[1] == 0x0000FF00 && l.masks[2] == 0x000000FF) {
                for (int x = 0; x < w; ++x) dst[x] = Get32(src + 4 * x) & 0x00FFFFFF;
                break;
            }
            for (int x = 0; x < w; ++x, src += 4) {
                uint32_t v = Get32(src);
                dst[x] = (ch[0](v) << 16) | (ch[1](v) << 8) | ch[2](v);
            }
            break;
    }
}

// RLE8 and RLE4 streams, rows from the bottom.  Pixels that the stream skips
// (end of line, delta, end of bitmap) stay black; pixels past the right edge
// are dropped.  False when the stream runs out before reaching its end mark
// or its last row.
bool DecodeRle(const uint8_t* p, const uint8_t* end, const BmpLayout& l, const uint32_t* palette,
               uint32_t* pixels) {
    const int w = l.width, h = l.height;
    const bool four = l.compression == kBiRle4;
    int x = 0, row = 0;  // x never passes w: beyond it everything is dropped alike
    while (row < h) {
        if (end - p < 2) return false;
        int count = p[0], value = p[1];
        p += 2;
        uint32_t* line = pixels + static_cast<size_t>(row) * w;
        if (count > 0) {
            // An encoded run: one index, or for RLE4 two alternating ones.
            for (int i = 0; i < count && x < w; ++i)
                line[x++] = palette[four ? ((i & 1) ? value & 15 : value >> 4) : value];
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++row;
        } else if (value == 1) {  // end of bitmap
            return true;
        } else if (value == 2) {  // delta: right and up
            if (end - p < 2) return false;
            x = std::min(w, x + p[0]);
            row += p[1];
            p += 2;
        } else {  // absolute run of value indices, padded to a 16-bit boundary
            size_t bytes = four ? (static_cast<size_t>(value) + 1) / 2 : static_cast<size_t>(value);
            if (static_cast<size_t>(end - p) < bytes) return false;
            for (int i = 0; i < value && x < w; ++i)
                line[x++] = palette[four ? (p[i >> 1] >> ((i & 1) ? 0 : 4)) & 15 : p[i]];
            p += std::min(static_cast<size_t>(end - p), (bytes + 1) & ~static_cast<size_t>(1));
        }
    }
    return true;
}

}  // namespace

bool IsBmpSignature(const uint8_t* head, size_t size) {
    return (size >= 1 && head[0] == 'B') || (size >= 2 && head[1] == 'M');
}

bool ParseBmpHeaders(const uint8_t* head, size_t headSize, uint64_t fileLength, BmpLayout& layout) {
    layout = BmpLayout{};
    BmpLayout& l = layout;
    headSize = static_cast<size_t>(std::min<uint64_t>(headSize, fileLength));
    if (headSize < 18 || head[0] != 'B' || head[1] != 'M') return false;
    const uint32_t fileSizeField = Get32(head + 2);
    const uint32_t offset = Get32(head + 10);
    const uint32_t infoSize = Get32(head + 14);
    if (infoSize != 12 && infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 &&
        infoSize != 124)
        return false;
    if (headSize < 14 + infoSize) return false;
    const uint8_t* info = head + 14;

    int64_t width, height;
    uint32_t colorsUsed = 0;
    if (infoSize == 12) {  // OS/2 core header: 16-bit sizes, 3-byte colour entries
        width = Get16(info + 4);
        height = Get16(info + 6);
        l.bitCount = Get16(info + 10);
        l.paletteEntryBytes = 3;
        if (l.bitCount != 1 && l.bitCount != 4 && l.bitCount != 8 && l.bitCount != 24) return false;
    } else {
        width = static_cast<int32_t>(Get32(info + 4));
        height = static_cast<int32_t>(Get32(info + 8));
        l.bitCount = Get16(info + 14);
        l.compression = Get32(info + 16);
        colorsUsed = Get32(info + 32);
        if (!IsDepth(l.bitCount)) return false;
    }
    switch (l.compression) {
        case kBiRgb:
            break;
        case kBiRle8:
            if (l.bitCount != 8) return false;
            break;
        case kBiRle4:
            if (l.bitCount != 4) return false;
            break;
        case kBiBitfields:
            if (l.bitCount != 16 && l.bitCount != 32) return false;
            break;
        default:
            return false;  // JPEG or PNG inside, or unknown
    }
    const bool rle = l.compression == kBiRle8 || l.compression == kBiRle4;
    if (height < 0) {
        if (rle) return false;  // compressed rows are always bottom-up
        l.topDown = true;
        height = -height;
    }
    if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide ||
        static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > kMaxPicturePixels)
        return false;
    l.width = static_cast<int32_t>(width);
    l.height = static_cast<int32_t>(height);

    // The colour table (or a 40-byte header's three masks) follows the header.
    uint64_t tableAt = 14 + infoSize;
    if (l.bitCount == 16 || l.bitCount == 32) {
        const uint8_t* masks = info + 40;
        if (infoSize == 40 && l.compression == kBiBitfields) {
            if (headSize < 14 + 40 + 12) return false;
            tableAt += 12;
        }
        MasksFor(l, masks);
    }
    l.paletteAt = tableAt;

    if (l.bitCount <= 8) {
        const int64_t nominal = int64_t{1} << l.bitCount;
        int64_t entries = (colorsUsed != 0 && colorsUsed < nominal) ? colorsUsed : nominal;
        // A table that would reach into the pixels is cut there.
        if (offset > tableAt) entries = std::min<int64_t>(entries, (offset - tableAt) / l.paletteEntryBytes);
        if (entries <= 0 || tableAt + static_cast<uint64_t>(entries) * l.paletteEntryBytes > fileLength)
            return false;
        l.paletteEntries = static_cast<int>(entries);
    }
    // A zero offset (some writers leave it) means right after the table.
    l.dataAt = offset != 0 ? offset : tableAt + static_cast<uint64_t>(l.paletteEntries) * l.paletteEntryBytes;
    if (l.dataAt < tableAt || l.dataAt >= fileLength) return false;

    if (rle) {
        // A sound stream needs at most 2 bytes a pixel plus an end of line a
        // row; nothing past that (or past the file) is looked at.
        uint64_t most = 2 * (static_cast<uint64_t>(l.width) + 2) * static_cast<uint64_t>(l.height) + 16;
        l.dataEnd = std::min(fileLength, l.dataAt + most);
    } else {
        // The last row may come without its padding.
        uint64_t need =
            Stride(l.width, l.bitCount) * static_cast<uint64_t>(l.height - 1) + RowBytes(l.width, l.bitCount);
        if (need > fileLength - l.dataAt) return false;
        l.dataEnd = l.dataAt + need;
    }

    l.straight = l.bitCount == 32 && infoSize == 40 && !l.topDown && offset == 54 &&
                 l.compression == kBiRgb &&
                 fileSizeField == static_cast<uint64_t>(l.width) * static_cast<uint64_t>(l.height) * 4 + 54 &&
                 fileLength >= fileSizeField;
    return true;
}

bool DecodeBmpPixels(const uint8_t* file, size_t size, const BmpLayout& l, MYBIT& picture) {
    picture.Free();
    if (size < l.dataEnd || l.width <= 0 || l.height <= 0) return false;
    picture.Create(l.width, l.height);

    // Indices past the table are black.
    uint32_t palette[256] = {};
    for (int i = 0; i < l.paletteEntries; ++i) {
        const uint8_t* e = file + l.paletteAt + static_cast<size_t>(i) * l.paletteEntryBytes;
        palette[i] = (static_cast<uint32_t>(e[2]) << 16) | (static_cast<uint32_t>(e[1]) << 8) | e[0];
    }

    uint32_t* pixels = picture.pixels.data();
    if (l.compression == kBiRle8 || l.compression == kBiRle4) {
        if (!DecodeRle(file + l.dataAt, file + l.dataEnd, l, palette, pixels)) {
            picture.Free();
            return false;
        }
        return true;
    }

    const Channel ch[3] = {Channel(l.masks[0]), Channel(l.masks[1]), Channel(l.masks[2])};
    const uint64_t stride = Stride(l.width, l.bitCount);
    for (int r = 0; r < l.height; ++r) {
        // MYBIT keeps the bottom row first, as bottom-up files do.
        int row = l.topDown ? l.height - 1 - r : r;
        ConvertRow(file + l.dataAt + stride * static_cast<uint64_t>(r),
                   pixels + static_cast<size_t>(row) * static_cast<size_t>(l.width), l, palette, ch);
    }
    return true;
}

int ReadBmp(const uint8_t* data, size_t size, MYBIT& picture) {
    picture.Free();
    BmpLayout l;
    if (!data || !ParseBmpHeaders(data, std::min(size, kBmpHeadBytes), size, l)) return 0;
    if (l.straight) {
        size_t count = static_cast<size_t>(l.width) * static_cast<size_t>(l.height);
        picture.pixels.resize(count);
        std::memcpy(picture.pixels.data(), data + 54, count * 4);
        picture.hdr = BmpHeaders::Read(data);
        return 1;
    }
    return DecodeBmpPixels(data, size, l, picture) ? 1 : 0;
}

int ReadBmp(std::FILE* file, MYBIT& picture) {
    picture.Free();
    int64_t length = FileLength(file);
    if (length < 0 || std::fseek(file, 0, SEEK_SET) != 0) return 0;
    uint8_t head[kBmpHeadBytes];
    size_t got = std::fread(head, 1, sizeof head, file);
    BmpLayout l;
    if (!ParseBmpHeaders(head, got, static_cast<uint64_t>(length), l)) return 0;

    if (l.straight) {
        // One read straight into the pixel array; the file is known to hold it.
        size_t count = static_cast<size_t>(l.width) * static_cast<size_t>(l.height);
        picture.pixels.resize(count);
        if (std::fseek(file, 54, SEEK_SET) != 0 ||
            std::fread(picture.pixels.data(), 4, count, file) != count) {
            picture.Free();
            return 0;
        }
        picture.hdr = BmpHeaders::Read(head);
        return 1;
    }

    if (l.dataEnd > SIZE_MAX) return 0;
    std::vector<uint8_t> bytes(static_cast<size_t>(l.dataEnd));
    if (std::fseek(file, 0, SEEK_SET) != 0 || std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
        return 0;
    return DecodeBmpPixels(bytes.data(), bytes.size(), l, picture) ? 1 : 0;
}
