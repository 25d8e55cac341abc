// Picture files made by the reading tests and the fuzz corpus generator:
// BMP files of any layout written field by field, and JPEG files made with
// libjpeg's compressor.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>
// jpeglib.h expects size_t and FILE to be declared before it.
#include <jpeglib.h>

namespace readtest {

// FNV-1a over the bytes of the pixel words.
inline uint64_t Fnv(const std::vector<uint32_t>& words) {
    uint64_t h = 1469598103934665603ull;
    for (uint32_t v : words)
        for (int i = 0; i < 4; ++i) {
            h ^= (v >> (8 * i)) & 0xFF;
            h *= 1099511628211ull;
        }
    return h;
}

struct Bytes {
    std::vector<uint8_t> b;
    Bytes& U8(uint32_t v) {
        b.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    Bytes& U16(uint32_t v) { return U8(v).U8(v >> 8); }
    Bytes& U32(uint32_t v) { return U16(v).U16(v >> 16); }
    Bytes& Add(const std::vector<uint8_t>& more) {
        b.insert(b.end(), more.begin(), more.end());
        return *this;
    }
};

// A BMP file as its fields say.  Rows in data are in file order and already
// padded; the table entries are 0x00RRGGBB.
struct Bmp {
    uint32_t infoSize = 40;
    int32_t width = 1, height = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    std::vector<uint32_t> palette{};
    std::vector<uint32_t> masks{};  // after a 40-byte header, else inside the header
    std::vector<uint8_t> data{};
    uint32_t gap = 0;       // bytes between the table and the pixels
    int64_t offset = -1;    // the data offset field, when not where the data is
    int64_t fileSize = -1;  // the file size field, when not the file's size
    uint16_t xRes = 0;

    std::vector<uint8_t> Build() const {
        Bytes info;
        if (infoSize == 12) {
            info.U32(12).U16(width).U16(height).U16(1).U16(bitCount);
        } else {
            info.U32(infoSize).U32(width).U32(height).U16(1).U16(bitCount).U32(compression);
            info.U32(0).U32(xRes).U32(0).U32(colorsUsed).U32(0);
            for (size_t i = 0; i < masks.size() && infoSize > 40; ++i) info.U32(masks[i]);
            info.b.resize(infoSize, 0);
            if (infoSize == 40)
                for (uint32_t m : masks) info.U32(m);
        }
        for (uint32_t c : palette) {
            info.U8(c).U8(c >> 8).U8(c >> 16);
            if (infoSize != 12) info.U8(0);
        }
        info.b.resize(info.b.size() + gap, 0xEE);
        uint32_t at = static_cast<uint32_t>(14 + info.b.size());
        Bytes file;
        uint32_t total = at + static_cast<uint32_t>(data.size());
        file.U8('B').U8('M').U32(fileSize >= 0 ? static_cast<uint32_t>(fileSize) : total).U32(0);
        file.U32(offset >= 0 ? static_cast<uint32_t>(offset) : at).Add(info.b).Add(data);
        return file.b;
    }
};

// Packs rows of palette indices (or 16-bit words) into padded BMP rows,
// given top row first; bottomUp turns them into file order.
inline std::vector<uint8_t> PackRows(const std::vector<std::vector<uint32_t>>& rows, int bitCount,
                                     bool bottomUp = true) {
    std::vector<uint8_t> out;
    for (size_t k = 0; k < rows.size(); ++k) {
        const auto& row = rows[bottomUp ? rows.size() - 1 - k : k];
        std::vector<uint8_t> bytes((row.size() * bitCount + 31) / 32 * 4, 0);
        for (size_t x = 0; x < row.size(); ++x) {
            uint32_t v = row[x];
            if (bitCount == 1) bytes[x / 8] |= static_cast<uint8_t>(v << (7 - x % 8));
            if (bitCount == 4) bytes[x / 2] |= static_cast<uint8_t>(x % 2 ? v : v << 4);
            if (bitCount == 8) bytes[x] = static_cast<uint8_t>(v);
            for (int i = 0; bitCount >= 16 && i < bitCount / 8; ++i)
                bytes[x * (bitCount / 8) + i] = static_cast<uint8_t>(v >> (8 * i));
        }
        out.insert(out.end(), bytes.begin(), bytes.end());
    }
    return out;
}

// A JPEG made by libjpeg from samples given per pixel (components bytes each,
// in the colour space given).
struct Jpeg {
    int width = 16, height = 16;
    int components = 3;
    J_COLOR_SPACE space = JCS_RGB;
    int quality = 90;
    bool progressive = false;
    bool adobe = true;                    // the Adobe marker libjpeg writes with CMYK
    J_COLOR_SPACE stored = JCS_UNKNOWN;   // the file's colour space, when not libjpeg's choice
    std::vector<jpeg_scan_info> scans{};  // a scan script of its own, when given
    std::function<void(int x, int y, uint8_t* samples)> fill{};

    std::vector<uint8_t> Build() const {
        jpeg_compress_struct c;
        jpeg_error_mgr err;
        c.err = jpeg_std_error(&err);
        jpeg_create_compress(&c);
        unsigned char* out = nullptr;
        unsigned long size = 0;
        jpeg_mem_dest(&c, &out, &size);
        c.image_width = static_cast<JDIMENSION>(width);
        c.image_height = static_cast<JDIMENSION>(height);
        c.input_components = components;
        c.in_color_space = space;
        jpeg_set_defaults(&c);
        if (stored != JCS_UNKNOWN) jpeg_set_colorspace(&c, stored);
        jpeg_set_quality(&c, quality, TRUE);
        c.write_Adobe_marker = adobe && components == 4;
        if (progressive) jpeg_simple_progression(&c);
        if (!scans.empty()) {
            c.scan_info = scans.data();
            c.num_scans = static_cast<int>(scans.size());
        }
        jpeg_start_compress(&c, TRUE);
        std::vector<uint8_t> row(static_cast<size_t>(width) * components);
        while (c.next_scanline < c.image_height) {
            for (int x = 0; x < width; ++x) fill(x, static_cast<int>(c.next_scanline), &row[x * components]);
            JSAMPROW p = row.data();
            jpeg_write_scanlines(&c, &p, 1);
        }
        jpeg_finish_compress(&c);
        std::vector<uint8_t> bytes(out, out + size);
        jpeg_destroy_compress(&c);
        std::free(out);
        return bytes;
    }
};

// Four quadrants of different colours with a soft diagonal ramp: enough to
// tell the rows' order and sides apart after lossy coding.
inline void Quadrants(int w, int h, int x, int y, uint8_t* s) {
    bool right = x >= w / 2, bottom = y >= h / 2;
    uint8_t ramp = static_cast<uint8_t>((x + y) * 64 / (w + h));
    s[0] = static_cast<uint8_t>((!bottom && !right ? 200 : 20) + ramp);
    s[1] = static_cast<uint8_t>((!bottom && right ? 200 : 20) + ramp);
    s[2] = static_cast<uint8_t>((bottom ? 180 : 20) + ramp);
}

inline bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    // An empty vector's data pointer may be null, which fwrite must not get.
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace readtest
