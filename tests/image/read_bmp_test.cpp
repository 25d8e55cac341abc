// Reading BMP files of every layout, made here field by field.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>

#include "image/bmp_read.h"
#include "image/mybit.h"
#include "image/picture_limits.h"
#include "read_files.h"

namespace {

using readtest::Bmp;
using readtest::PackRows;
using Rows = std::vector<std::vector<uint32_t>>;

// The picture's words, top row first, checked against MYBIT's invariants.
std::vector<uint32_t> Read(const std::vector<uint8_t>& file, int width, int height) {
    MYBIT p;
    EXPECT_EQ(ReadBmp(file.data(), file.size(), p), 1);
    EXPECT_EQ(p.Width(), width);
    EXPECT_EQ(p.Height(), height);
    EXPECT_EQ(p.pixels.size(), static_cast<size_t>(width) * height);
    EXPECT_EQ(p.hdr.fileSize, static_cast<uint32_t>(width * height * 4 + 54));
    std::vector<uint32_t> out;
    if (p.pixels.size() != static_cast<size_t>(width) * height) return out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) out.push_back(p.At(x, y));
    return out;
}

std::vector<uint32_t> Flat(const Rows& rows) {
    std::vector<uint32_t> out;
    for (const auto& r : rows) out.insert(out.end(), r.begin(), r.end());
    return out;
}

uint32_t Colour(uint32_t i) {
    return ((i * 37) & 0xFF) << 16 | ((i * 91) & 0xFF) << 8 | (255 - i);
}

TEST(ReadBmp, PalettedDepthsTopDownRowsAndShortTables) {
    // 9 pixels a row leaves padding at every depth.
    for (int bits : {1, 4, 8}) {
        Rows idx(3, std::vector<uint32_t>(9));
        Bmp bmp;
        bmp.width = 9;
        bmp.height = 3;
        bmp.bitCount = static_cast<uint16_t>(bits);
        for (uint32_t i = 0; i < (1u << bits); ++i) bmp.palette.push_back(Colour(i));
        Rows want = idx;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 9; ++x) {
                idx[y][x] = static_cast<uint32_t>(x * 3 + y * 5) % (1u << bits);
                want[y][x] = Colour(idx[y][x]);
            }
        bmp.data = PackRows(idx, bits);
        EXPECT_EQ(Read(bmp.Build(), 9, 3), Flat(want)) << bits;
        bmp.height = -3;
        bmp.data = PackRows(idx, bits, false);
        EXPECT_EQ(Read(bmp.Build(), 9, 3), Flat(want)) << bits << " top-down";
    }
    // A table of 2 used colours: other indices are black; the gap before the
    // pixels is skipped.
    Bmp shortTable{.width = 3,
                   .bitCount = 8,
                   .colorsUsed = 2,
                   .palette = {0x112233, 0x445566},
                   .data = PackRows({{1, 0, 200}}, 8),
                   .gap = 6};
    EXPECT_EQ(Read(shortTable.Build(), 3, 1), (std::vector<uint32_t>{0x445566, 0x112233, 0}));
}

TEST(ReadBmp, DirectColourDepthsWidenLikeTheWindowsLoader) {
    Bmp rgb24{.width = 3,
              .height = 2,
              .bitCount = 24,
              .data = PackRows({{0x010203, 0xFFFFFF, 0x800000}, {0, 0x00FF00, 0x0000FF}}, 24)};
    EXPECT_EQ(Read(rgb24.Build(), 3, 2),
              (std::vector<uint32_t>{0x010203, 0xFFFFFF, 0x800000, 0, 0x00FF00, 0x0000FF}));

    // 5 bits v become v << 3 | v >> 2, 6 bits v << 2 | v >> 4; alpha stays 0
    // below 32 bits even when a mask names it.
    Bmp rgb555{.width = 3, .bitCount = 16, .data = PackRows({{0x7FFF, 0x4210, 0x001F}}, 16)};
    EXPECT_EQ(Read(rgb555.Build(), 3, 1), (std::vector<uint32_t>{0xFFFFFF, 0x848484, 0x0000FF}));
    Bmp rgb565{.width = 3,
               .bitCount = 16,
               .compression = kBiBitfields,
               .masks = {0xF800, 0x07E0, 0x001F},
               .data = PackRows({{0xFFFF, 0x8410, 0x07E0}}, 16)};
    EXPECT_EQ(Read(rgb565.Build(), 3, 1), (std::vector<uint32_t>{0xFFFFFF, 0x848284, 0x00FF00}));
    // 1 bit becomes 0 or 0xFF, 7 bits v << 1 | v >> 6, 3 bits v << 5 | v << 2 | v >> 1.
    Bmp odd{.width = 2,
            .bitCount = 16,
            .compression = kBiBitfields,
            .masks = {0x8000, 0x7F00, 0x0007},
            .data = PackRows({{0xFF07, 0x4005}}, 16)};
    EXPECT_EQ(Read(odd.Build(), 2, 1), (std::vector<uint32_t>{0xFFFFFF, 0x0081B6}));
    Bmp argb1555{.infoSize = 108,
                 .width = 1,
                 .bitCount = 16,
                 .compression = kBiBitfields,
                 .masks = {0x7C00, 0x03E0, 0x001F, 0x8000},
                 .data = PackRows({{0xFFFF}}, 16)};
    EXPECT_EQ(Read(argb1555.Build(), 1, 1), (std::vector<uint32_t>{0xFFFFFF}));

    // 32 bits with red and blue masks exchanged; the free top byte is not
    // read.
    Bmp swapped{.width = 2,
                .bitCount = 32,
                .compression = kBiBitfields,
                .masks = {0x0000FF, 0x00FF00, 0xFF0000},
                .data = PackRows({{0xAA112233, 0x00FF0000}}, 32)};
    EXPECT_EQ(Read(swapped.Build(), 2, 1), (std::vector<uint32_t>{0x00332211, 0x000000FF}));
}

TEST(ReadBmp, PlainThirtyTwoBitsAreTakenAsTheyStand) {
    const Rows rows = {{0x80FF0000, 0x00000001}, {0xFF00FF00, 0x7F0000FF}};
    Bmp plain{.width = 2, .height = 2, .bitCount = 32, .data = PackRows(rows, 32), .xRes = 2835};
    std::vector<uint8_t> file = plain.Build();
    MYBIT p;
    ASSERT_EQ(ReadBmp(file.data(), file.size(), p), 1);
    uint8_t head[54];
    p.hdr.Write(head);
    EXPECT_EQ(std::memcmp(head, file.data(), 54), 0);  // resolution and all
    EXPECT_EQ(Read(file, 2, 2), Flat(rows));

    // Not plain: read through the decoder, headers made afresh, and alpha 0
    // as in a 24-bit file: the game's own layout alone carries alpha.
    Rows colours = rows;
    for (auto& r : colours)
        for (uint32_t& v : r) v &= 0x00FFFFFF;
    auto fresh = [&](const Bmp& b) {
        std::vector<uint8_t> f = b.Build();
        MYBIT q;
        EXPECT_EQ(ReadBmp(f.data(), f.size(), q), 1);
        EXPECT_EQ(q.hdr.xPelsPerMeter, 0);
        EXPECT_EQ(Read(f, 2, 2), Flat(colours));
    };
    Bmp topDown = plain;
    topDown.height = -2;
    topDown.data = PackRows(rows, 32, false);
    fresh(topDown);
    Bmp v5 = plain;
    v5.infoSize = 124;
    fresh(v5);
    Bmp v4 = plain;  // an image editor's: bit-field masks naming the alpha byte
    v4.infoSize = 108;
    v4.compression = kBiBitfields;
    v4.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    fresh(v4);
    Bmp gap = plain;  // pixels after a gap, the size field as if there were none
    gap.gap = 4;
    gap.fileSize = 54 + 16;
    fresh(gap);
    Bmp bigger = plain;  // the size field promises more than there is pixels
    bigger.fileSize = 54 + 16 + 8;
    bigger.data.resize(24);
    fresh(bigger);

    // A plain file cut short is refused, not read past its end.
    file.resize(file.size() - 4);
    EXPECT_EQ(ReadBmp(file.data(), file.size(), p), 0);
    EXPECT_TRUE(p.Empty());
}

TEST(ReadBmp, RunLengthStreamsWithDeltasEndsOfLineAndTruncation) {
    Bmp rle8{.width = 6, .height = 4, .bitCount = 8, .compression = kBiRle8};
    for (uint32_t i = 0; i < 16; ++i) rle8.palette.push_back(Colour(i));
    rle8.data = {3, 5, 0, 3, 1, 2, 3, 0, 0, 0,  // bottom row: a run, an odd absolute run
                 2, 7, 0, 2, 2, 1,              // a run, then 2 right and 1 up
                 3, 9, 0, 0,                    // a run from x = 4 past the right edge, end of line
                 0, 2, 1, 0, 8, 4, 0, 1};       // 1 right, a run past the right edge, end of bitmap
    const uint32_t k = 0, c4 = Colour(4), c9 = Colour(9);
    std::vector<uint32_t> want = {k, c4, c4,        c4,        c4,        c4,        k,         k,
                                  k, k,  c9,        c9,        Colour(7), Colour(7), k,         k,
                                  k, k,  Colour(5), Colour(5), Colour(5), Colour(1), Colour(2), Colour(3)};
    EXPECT_EQ(Read(rle8.Build(), 6, 4), want);

    Bmp rle4{.width = 5, .height = 2, .bitCount = 4, .compression = kBiRle4};
    for (uint32_t i = 0; i < 16; ++i) rle4.palette.push_back(Colour(i));
    rle4.data = {5, 0x12, 0, 0, 0, 5, 0x12, 0x34, 0x50, 0, 0, 1};
    std::vector<uint32_t> c(16);
    for (uint32_t i = 0; i < 16; ++i) c[i] = Colour(i);
    EXPECT_EQ(Read(rle4.Build(), 5, 2),
              (std::vector<uint32_t>{c[1], c[2], c[3], c[4], c[5], c[1], c[2], c[1], c[2], c[1]}));

    // Reaching past the last row ends the stream as well as its mark does;
    // running out of bytes before either is a truncated file.
    MYBIT p;
    auto result = [&](std::vector<uint8_t> data, int32_t height = 2) {
        Bmp b = rle4;
        b.height = height;
        b.data = std::move(data);
        std::vector<uint8_t> f = b.Build();
        int r = ReadBmp(f.data(), f.size(), p);
        EXPECT_EQ(r == 0, p.Empty());
        return r;
    };
    EXPECT_EQ(result({5, 0x11, 0, 0, 5, 0x22, 0, 0}), 1);
    EXPECT_EQ(result({0, 2, 0, 9}), 1);
    EXPECT_EQ(result({5, 0x11, 0, 0}), 0);
    EXPECT_EQ(result({5, 0x11, 0, 0, 0, 2, 1}), 0);           // delta cut short
    EXPECT_EQ(result({5, 0x11, 0, 0, 0, 7, 0x12, 0x34}), 0);  // absolute run cut short
    EXPECT_EQ(result({5, 0x11, 0, 1}, -2), 0);                // compressed rows are never top-down
}

TEST(ReadBmp, Os2CoreHeadersUseThreeByteColours) {
    Bmp core{.infoSize = 12, .width = 3, .height = 2, .bitCount = 8};
    for (uint32_t i = 0; i < 256; ++i) core.palette.push_back(Colour(i));
    core.data = PackRows({{0, 255, 254}, {1, 2, 3}}, 8);
    EXPECT_EQ(Read(core.Build(), 3, 2),
              (std::vector<uint32_t>{Colour(0), Colour(255), Colour(254), Colour(1), Colour(2), Colour(3)}));
    Bmp core24{.infoSize = 12, .width = 2, .bitCount = 24, .data = PackRows({{0x123456, 0xABCDEF}}, 24)};
    EXPECT_EQ(Read(core24.Build(), 2, 1), (std::vector<uint32_t>{0x123456, 0xABCDEF}));
    // A table shorter than the depth allows ends where the pixels begin;
    // indices past it are black.
    Bmp shortCore{.infoSize = 12,
                  .width = 4,
                  .bitCount = 4,
                  .palette = {Colour(0), Colour(1), Colour(2)},
                  .data = PackRows({{0, 1, 2, 5}}, 4)};
    EXPECT_EQ(Read(shortCore.Build(), 4, 1), (std::vector<uint32_t>{Colour(0), Colour(1), Colour(2), 0}));
}

TEST(ReadBmp, DamagedOrForeignFilesFailCleanly) {
    const Bmp good{.width = 3, .height = 2, .bitCount = 24, .data = PackRows({{1, 2, 3}, {4, 5, 6}}, 24)};
    auto with = [&](auto change) {
        Bmp b = good;
        change(b);
        return b.Build();
    };
    auto poke = [&](size_t at, uint32_t v) {
        std::vector<uint8_t> f = good.Build();
        std::memcpy(f.data() + at, &v, 4);
        return f;
    };
    std::string text = "Bonjour, this is no picture at all";
    std::vector<std::vector<uint8_t>> bad = {
        std::vector<uint8_t>(text.begin(), text.end()),
        {'B', 'M'},
        with([](Bmp& b) { b.infoSize = 41; }),
        with([](Bmp& b) { b.infoSize = 64; }),
        with([](Bmp& b) { b.bitCount = 2; }),
        with([](Bmp& b) { b.bitCount = 0, b.compression = 4; }),
        with([](Bmp& b) { b.compression = kBiRle8; }),
        with([](Bmp& b) { b.compression = kBiBitfields; }),
        with([](Bmp& b) { b.compression = 6; }),
        with([](Bmp& b) { b.width = 0; }),
        with([](Bmp& b) { b.width = -3; }),
        with([](Bmp& b) { b.height = 0; }),
        with([](Bmp& b) { b.height = INT_MIN; }),
        with([](Bmp& b) { b.data.resize(b.data.size() - 4); }),  // last row short
        with([](Bmp& b) { b.offset = 20; }),                     // pixels inside the headers
        with([](Bmp& b) { b.offset = 1000; }),
        with([](Bmp& b) { b.bitCount = 8, b.data.resize(8); }),  // table past the end
        with([](Bmp& b) { b.bitCount = 16, b.compression = kBiBitfields, b.data.clear(); }),
        poke(0, 0x00004D43),  // "CM"
    };
    for (size_t i = 0; i < bad.size(); ++i) {
        MYBIT p;
        p.Create(2, 2);
        EXPECT_EQ(ReadBmp(bad[i].data(), bad[i].size(), p), 0) << i;
        EXPECT_TRUE(p.Empty() && p.Width() == 0 && p.Height() == 0) << i;
    }
    // Only the last row may lack its padding.
    std::vector<uint8_t> unpadded = with([](Bmp& b) { b.data.resize(b.data.size() - 3); });
    EXPECT_EQ(Read(unpadded, 3, 2), (std::vector<uint32_t>{1, 2, 3, 4, 5, 6}));
    MYBIT none;
    EXPECT_EQ(ReadBmp(nullptr, 0, none), 0);

    const uint8_t b1[] = {'B'}, m2[] = {'x', 'M'}, mb[] = {'M', 'B'};
    EXPECT_TRUE(IsBmpSignature(b1, 1));
    EXPECT_TRUE(IsBmpSignature(m2, 2));
    EXPECT_FALSE(IsBmpSignature(mb, 2));
    EXPECT_FALSE(IsBmpSignature(mb, 0));
}

TEST(ReadBmp, SizeLimitsHoldBeforeAnythingIsRead) {
    auto wide = [](int32_t w, int32_t h) {
        return Bmp{
            .width = w,
            .height = h,
            .bitCount = 1,
            .palette = {0, 0xFFFFFF},
            .data = std::vector<uint8_t>(static_cast<size_t>((w + 31) / 32 * 4) * (h < 0 ? -h : h), 0xFF)};
    };
    EXPECT_EQ(Read(wide(kMaxPictureSide, 1).Build(), kMaxPictureSide, 1).back(), 0xFFFFFFu);
    EXPECT_EQ(Read(wide(1, -kMaxPictureSide).Build(), 1, kMaxPictureSide).back(), 0xFFFFFFu);
    MYBIT p;
    for (auto b :
         {wide(kMaxPictureSide + 1, 1), wide(1, kMaxPictureSide + 1), wide(1, -kMaxPictureSide - 1)}) {
        std::vector<uint8_t> f = b.Build();
        EXPECT_EQ(ReadBmp(f.data(), f.size(), p), 0);
    }
    // A tiny file claiming 20000 x 20000, and the pixel limit itself: the
    // headers are refused before any pixel is allocated.
    Bmp huge{.width = 20000,
             .height = 20000,
             .bitCount = 8,
             .compression = kBiRle8,
             .palette = {0},
             .data = {0, 1}};
    std::vector<uint8_t> f = huge.Build();
    EXPECT_EQ(ReadBmp(f.data(), f.size(), p), 0);
    BmpLayout layout;
    huge.width = kMaxPictureSide;
    huge.height = static_cast<int32_t>(kMaxPicturePixels / kMaxPictureSide);
    f = huge.Build();
    EXPECT_TRUE(ParseBmpHeaders(f.data(), f.size(), f.size(), layout));
    huge.height += 1;
    f = huge.Build();
    EXPECT_FALSE(ParseBmpHeaders(f.data(), f.size(), f.size(), layout));
    // A 40-byte header's three masks must all lie in the head read.
    const Bmp masked{
        .bitCount = 16, .compression = kBiBitfields, .masks = {0xF800, 0x07E0, 0x1F}, .data = {0, 0}};
    f = masked.Build();
    EXPECT_TRUE(ParseBmpHeaders(f.data(), 14 + 40 + 12, f.size(), layout));
    EXPECT_FALSE(ParseBmpHeaders(f.data(), 14 + 40 + 11, f.size(), layout));
}

TEST(ReadBmp, AgreesWithAnIndependentDecoder) {
    // Random pictures of the layouts both decoders read alike; the golden
    // hash pins the whole set.
    std::mt19937 rng(7);
    uint64_t all = 1469598103934665603ull;
    for (int bits : {1, 4, 8, 16, 24}) {
        for (int32_t w = 1; w <= 7; w += 3) {
            for (int32_t h : {3, -2}) {
                int rows = h < 0 ? -h : h;
                Rows px(rows, std::vector<uint32_t>(w));
                for (auto& r : px)
                    for (auto& v : r)
                        v = rng() & (bits == 24 ? 0xFFFFFF : bits == 16 ? 0x7FFF : (1u << bits) - 1);
                Bmp b{.width = w, .height = h, .bitCount = static_cast<uint16_t>(bits)};
                for (int i = 0; bits <= 8 && i < (1 << bits); ++i) b.palette.push_back(rng() & 0xFFFFFF);
                b.data = PackRows(px, bits, h > 0);
                std::vector<uint8_t> f = b.Build();
                MYBIT ours;
                std::vector<uint32_t> theirs;
                int tw = 0, th = 0;
                ASSERT_EQ(ReadBmp(f.data(), f.size(), ours), 1);
                ASSERT_TRUE(ReadBmpReference(f.data(), f.size(), theirs, tw, th));
                EXPECT_EQ(ours.pixels, theirs) << bits << " " << w << "x" << h;
                all ^= readtest::Fnv(ours.pixels);
                all *= 1099511628211ull;
            }
        }
    }
    EXPECT_EQ(all, 0xf21835382deae546ull) << std::hex << all;
}

}  // namespace
