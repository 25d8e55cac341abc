// Writes the fuzzers' seed corpus: small BMP files of every layout the
// reader knows and small JPEG files of every kind libjpeg makes.
//   make_corpus <corpus folder>   (writes <folder>/bmp and <folder>/jpeg)
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "image/read_files.h"

using readtest::Bmp;
using readtest::Jpeg;
using readtest::PackRows;
using Rows = std::vector<std::vector<uint32_t>>;

namespace {

Rows Pattern(int w, int h, uint32_t mask) {
    Rows rows(h, std::vector<uint32_t>(w));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            rows[y][x] = (static_cast<uint32_t>(x * 0x2F1B3 + y * 0x1D0A7) ^ 0x5A5A5A5A) & mask;
    return rows;
}

Bmp Paletted(int bits, int w, int h) {
    Bmp b{.width = w, .height = h, .bitCount = static_cast<uint16_t>(bits)};
    for (uint32_t i = 0; i < (1u << bits); ++i) b.palette.push_back((i * 0x0B1D25) & 0xFFFFFF);
    b.data = PackRows(Pattern(w, h, (1u << bits) - 1), bits);
    return b;
}

Jpeg Picture(int w, int h, int components, J_COLOR_SPACE space) {
    Jpeg j;
    j.width = w;
    j.height = h;
    j.components = components;
    j.space = space;
    j.quality = 60;
    j.fill = [components](int x, int y, uint8_t* s) {
        for (int c = 0; c < components; ++c) s[c] = static_cast<uint8_t>(x * (16 + 8 * c) + y * (24 - 4 * c));
    };
    return j;
}

bool Write(const std::string& folder, const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string path = folder + "/" + name;
    if (readtest::WriteFile(path, bytes)) return true;
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_corpus <corpus folder>\n");
        return 2;
    }
    const std::string bmp = std::string(argv[1]) + "/bmp", jpeg = std::string(argv[1]) + "/jpeg";
    std::filesystem::create_directories(bmp);
    std::filesystem::create_directories(jpeg);
    bool ok = true;

    ok &= Write(bmp, "1bit.bmp", Paletted(1, 13, 3).Build());
    ok &= Write(bmp, "4bit.bmp", Paletted(4, 7, 3).Build());
    Bmp shortTable = Paletted(8, 5, 4);
    shortTable.colorsUsed = 16;
    shortTable.palette.resize(16);
    ok &= Write(bmp, "8bit_short_table.bmp", shortTable.Build());
    Bmp topDown = Paletted(8, 6, 3);
    topDown.height = -3;
    topDown.data = PackRows(Pattern(6, 3, 255), 8, false);
    ok &= Write(bmp, "8bit_top_down.bmp", topDown.Build());
    ok &= Write(
        bmp, "16bit_555.bmp",
        Bmp{.width = 5, .height = 3, .bitCount = 16, .data = PackRows(Pattern(5, 3, 0x7FFF), 16)}.Build());
    ok &= Write(bmp, "16bit_565.bmp",
                Bmp{.width = 5,
                    .height = 3,
                    .bitCount = 16,
                    .compression = 3,
                    .masks = {0xF800, 0x07E0, 0x001F},
                    .data = PackRows(Pattern(5, 3, 0xFFFF), 16)}
                    .Build());
    // Masks in a V5 header that says they do not count.
    ok &= Write(bmp, "16bit_v5_ignored_masks.bmp",
                Bmp{.infoSize = 124,
                    .width = 4,
                    .height = 3,
                    .bitCount = 16,
                    .masks = {0xF800, 0x07E0, 0x001F, 0x5B007858},
                    .data = PackRows(Pattern(4, 3, 0xFFFF), 16)}
                    .Build());
    ok &= Write(
        bmp, "24bit.bmp",
        Bmp{.width = 5, .height = 4, .bitCount = 24, .data = PackRows(Pattern(5, 4, 0xFFFFFF), 24)}.Build());
    Bmp plain{.width = 4, .height = 3, .bitCount = 32, .data = PackRows(Pattern(4, 3, 0xFFFFFFFF), 32)};
    ok &= Write(bmp, "32bit_plain.bmp", plain.Build());
    Bmp v5 = plain;
    v5.infoSize = 124;
    v5.compression = 3;
    v5.masks = {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF};
    ok &= Write(bmp, "32bit_v5_bitfields.bmp", v5.Build());
    readtest::Bytes pko;  // a saved game's head: count word, pixels, counts
    pko.Add(plain.Build());
    pko.b.resize(54);
    pko.U32(12);
    for (int i = 0; i < 12; ++i) pko.U32(0xFF000000u | i * 0x111111);
    pko.U32(1).U32(4).U32(60000).U32(0);
    ok &= Write(bmp, "saved_game_head.pko", pko.b);
    Bmp rle8 = Paletted(8, 8, 4);
    rle8.compression = 1;
    rle8.data = {3, 5, 0, 3, 1, 2, 3, 0, 0, 0, 2, 7, 0, 2, 2, 1, 1, 9, 0, 0, 12, 4, 0, 1};
    ok &= Write(bmp, "rle8.bmp", rle8.Build());
    Bmp rle4 = Paletted(4, 7, 3);
    rle4.compression = 2;
    rle4.data = {5, 0x12, 0, 0, 0, 5, 0x12, 0x34, 0x50, 0, 0, 0, 0, 2, 3, 0, 4, 0xAB, 0, 1};
    ok &= Write(bmp, "rle4.bmp", rle4.Build());
    Bmp core = Paletted(8, 5, 3);
    core.infoSize = 12;
    ok &= Write(bmp, "os2_8bit.bmp", core.Build());
    ok &= Write(bmp, "os2_24bit.bmp",
                Bmp{.infoSize = 12,
                    .width = 3,
                    .height = 2,
                    .bitCount = 24,
                    .data = PackRows(Pattern(3, 2, 0xFFFFFF), 24)}
                    .Build());

    ok &= Write(jpeg, "baseline.jpg", Picture(24, 16, 3, JCS_RGB).Build());
    ok &= Write(jpeg, "odd_size.jpg", Picture(17, 13, 3, JCS_RGB).Build());
    Jpeg progressive = Picture(24, 16, 3, JCS_RGB);
    progressive.progressive = true;
    ok &= Write(jpeg, "progressive.jpg", progressive.Build());
    ok &= Write(jpeg, "grey.jpg", Picture(16, 16, 1, JCS_GRAYSCALE).Build());
    Jpeg greyProgressive = Picture(16, 8, 1, JCS_GRAYSCALE);
    greyProgressive.progressive = true;
    ok &= Write(jpeg, "grey_progressive.jpg", greyProgressive.Build());
    ok &= Write(jpeg, "cmyk_adobe.jpg", Picture(16, 16, 4, JCS_CMYK).Build());
    Jpeg cmyk = Picture(16, 16, 4, JCS_CMYK);
    cmyk.adobe = false;
    ok &= Write(jpeg, "cmyk_plain.jpg", cmyk.Build());
    Jpeg ycck = Picture(16, 16, 4, JCS_CMYK);
    ycck.stored = JCS_YCCK;
    ok &= Write(jpeg, "ycck.jpg", ycck.Build());
    Jpeg rgbStored = Picture(16, 16, 3, JCS_RGB);
    rgbStored.stored = JCS_RGB;
    ok &= Write(jpeg, "rgb_stored.jpg", rgbStored.Build());
    Jpeg flat = Picture(64, 32, 3, JCS_RGB);
    flat.fill = [](int, int, uint8_t* s) { s[0] = 200, s[1] = 100, s[2] = 50; };
    ok &= Write(jpeg, "flat.jpg", flat.Build());
    std::vector<uint8_t> cut = Picture(32, 32, 3, JCS_RGB).Build();
    cut.resize(cut.size() * 2 / 3);
    ok &= Write(jpeg, "truncated.jpg", cut);
    ok &= Write(jpeg, "tiny.jpg", Picture(1, 1, 3, JCS_RGB).Build());
    return ok ? 0 : 1;
}
