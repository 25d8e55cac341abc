// Reading Windows BMP files into a MYBIT.
//
// Plain 32-bit files (the layout MYBIT writes: the head of a saved game, the
// strips' artwork) are taken over as they stand: both headers, alpha bytes
// included, pixels from byte 54.  Every other layout is decoded here as the
// Windows loader reads it: 1, 4 and 8 bits with a colour table, RLE4 and
// RLE8, 16 and 32 bits with or without bit-field masks, 24 bits, top-down
// rows and OS/2 core headers.  Those end as fresh 32-bit headers and their
// pixels have alpha 0, whatever alpha a 32-bit file stores: a picture from
// an image editor (V4 or V5 header, alpha 255) reads as its 24-bit twin.
//
// Readers validate first: every header field and size is checked against the
// bytes of the file and the picture limits before anything is allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

class MYBIT;

// BITMAPINFOHEADER compression values understood here.
enum : uint32_t {
    kBiRgb = 0,
    kBiRle8 = 1,
    kBiRle4 = 2,
    kBiBitfields = 3,
};

// The file kind is told from its first two bytes: 'B' first or 'M' second
// makes it a BMP; everything else goes to the JPEG reader.
bool IsBmpSignature(const uint8_t* head, size_t size);

// The most bytes the headers take at the start of a file: the file header and
// the largest info header (V5, 124 bytes; a 40-byte header with its three
// bit-field masks takes less).
constexpr size_t kBmpHeadBytes = 14 + 124;

// What the headers say, checked against the file's length and the limits.
struct BmpLayout {
    int32_t width = 0;
    int32_t height = 0;    // rows, always positive
    bool topDown = false;  // the file stores the top row first
    int bitCount = 0;      // 1, 4, 8, 16, 24 or 32
    uint32_t compression = kBiRgb;
    uint32_t masks[3] = {};     // red, green, blue (16 and 32 bits)
    uint64_t paletteAt = 0;     // file offset of the colour table
    int paletteEntries = 0;     // entries present in the file (at most 1 << bitCount)
    int paletteEntryBytes = 4;  // 3 in OS/2 core files
    uint64_t dataAt = 0;        // file offset of the first pixel byte
    uint64_t dataEnd = 0;       // one past the last byte the pixels are read from
    bool straight = false;      // plain 32-bit layout: headers and pixels as they stand
};

// Reads the headers from the first headSize bytes of a file of fileLength
// bytes.  False when they are not a BMP this reader can decode, when the
// picture exceeds the limits, or when the pixel data would run past the file.
bool ParseBmpHeaders(const uint8_t* head, size_t headSize, uint64_t fileLength, BmpLayout& layout);

// Decodes the pixels of a parsed file; file holds at least layout.dataEnd
// bytes from the start of the file.  The picture gets fresh headers.  False
// (picture empty) for a compressed stream that ends before its last row.
bool DecodeBmpPixels(const uint8_t* file, size_t size, const BmpLayout& layout, MYBIT& picture);

// Whole readers: 1 with the picture, or 0 with the picture empty.
int ReadBmp(const uint8_t* data, size_t size, MYBIT& picture);
int ReadBmp(std::FILE* file, MYBIT& picture);

// An independent decoder of the common uncompressed layouts (stb_image's),
// giving 0x00RRGGBB words bottom row first.  Tests and the fuzzer hold the
// reader above against it.
bool ReadBmpReference(const uint8_t* data, size_t size, std::vector<uint32_t>& rgb, int& width, int& height);
