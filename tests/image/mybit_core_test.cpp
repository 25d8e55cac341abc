// MYBIT lifecycle, cropping, pasting, blending, clipping, halving, turning
// and saving.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "app/trace.h"
#include "image/mybit.h"
#include "support/fake_host.h"

namespace {

uint64_t Fnv(const MYBIT& b) {
    uint64_t h = 1469598103934665603ull;
    auto add = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            h ^= (v >> (8 * i)) & 0xFF;
            h *= 1099511628211ull;
        }
    };
    add(static_cast<uint32_t>(b.Width()));
    add(static_cast<uint32_t>(b.Height()));
    for (uint32_t v : b.pixels) add(v);
    return h;
}

// Pixel (x, y) holds y * 16 + x + 1: every pixel tells where it came from.
MYBIT Numbered(int w, int h) {
    MYBIT b;
    b.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.At(x, y) = static_cast<uint32_t>(y * 16 + x + 1);
    return b;
}

MYBIT Random(int w, int h, uint32_t seed) {
    std::mt19937 rng(seed);
    MYBIT b;
    b.Create(w, h);
    for (uint32_t& v : b.pixels) v = rng();
    return b;
}

std::string TempPath(const std::string& name) {
    const char* dir = std::getenv("PUKKO_TEST_TMP");
    std::filesystem::path p = dir ? std::filesystem::path(dir) : std::filesystem::temp_directory_path();
    std::filesystem::create_directories(p);
    return (p / ("mybit_core_" + name)).string();
}

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

uint32_t Le32(const std::vector<uint8_t>& d, size_t at) {
    return d[at] | d[at + 1] << 8 | d[at + 2] << 16 | uint32_t(d[at + 3]) << 24;
}

TEST(MybitLifecycle, FreshCreateFillCopyAndFree) {
    MYBIT b;
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.hdr.type, 0x4D42);
    EXPECT_EQ(b.hdr.dataOffset, 54u);
    EXPECT_EQ(b.hdr.infoSize, 40u);
    EXPECT_EQ(b.hdr.planes, 1);
    EXPECT_EQ(b.hdr.bitCount, 32);
    EXPECT_EQ(b.hdr.fileSize, 0u);

    b.CreateFilled(0x000000FF, 2, 1);  // red as a ColorRef
    EXPECT_EQ(b.pixels, (std::vector<uint32_t>{0x00FF0000, 0x00FF0000}));
    EXPECT_EQ(b.hdr.fileSize, 2u * 4 + 54);
    b.Fill(0x00123456);
    EXPECT_EQ(b.pixels, (std::vector<uint32_t>{0x00563412, 0x00563412}));
    b.Create(3, 2);
    EXPECT_EQ(b.pixels, std::vector<uint32_t>(6, 0));

    // Rows are stored bottom-up; coordinates count from the top.
    MYBIT n = Numbered(3, 2);
    EXPECT_EQ(n.pixels, (std::vector<uint32_t>{17, 18, 19, 1, 2, 3}));

    // Sizes 0 or below leave the picture empty.
    for (auto [w, h] : {std::pair{0, 3}, {3, 0}, {-2, 3}, {3, -1}}) {
        b.CreateFilled(0xFFFFFF, 2, 2);
        b.Create(w, h);
        EXPECT_TRUE(b.Empty());
        EXPECT_EQ(b.Width() | b.Height(), 0);
        EXPECT_EQ(b.hdr.fileSize, 0u);
        b.CreateFilled(0xFFFFFF, w, h);
        EXPECT_TRUE(b.Empty());
    }
    b.Fill(0xFFFFFF);  // nothing to fill
    EXPECT_TRUE(b.Empty());

    // Deep copies only; copying into itself keeps the picture.
    MYBIT c;
    c.CopyFrom(n);
    c.At(0, 0) = 99;
    EXPECT_EQ(n.At(0, 0), 1u);
    c.CopyFrom(c);
    EXPECT_EQ(c.At(0, 0), 99u);
    EXPECT_EQ(c.Width(), 3);

    c.Free();
    c.Free();
    EXPECT_TRUE(c.Empty());
    EXPECT_EQ(c.hdr.fileSize, 0u);
    EXPECT_EQ(c.hdr.type, 0x4D42);
}

TEST(MybitCrop, InsidePartsEmptyResultsAndHugeSizes) {
    MYBIT src = Numbered(6, 4), c;
    EXPECT_EQ(c.CropFrom(src, 2, 1, 3, 2), 1);
    EXPECT_EQ(c.Width(), 3);
    EXPECT_EQ(c.Height(), 2);
    EXPECT_EQ(c.At(0, 0), src.At(2, 1));
    EXPECT_EQ(c.At(2, 1), src.At(4, 2));

    // Partly outside: only the inside part, with its own size.
    EXPECT_EQ(c.CropFrom(src, -2, 3, 4, 10), 1);
    EXPECT_EQ(c.Width(), 2);
    EXPECT_EQ(c.Height(), 1);
    EXPECT_EQ(c.At(0, 0), src.At(0, 3));
    EXPECT_EQ(c.At(1, 0), src.At(1, 3));

    // Nothing inside: 0 and empty.
    for (auto r : {Rect{6, 0, 2, 2}, Rect{-3, 0, 3, 4}, Rect{0, 0, 0, 4}, Rect{1, 1, -5, 2}}) {
        c.CreateFilled(0xFFFFFF, 2, 2);
        EXPECT_EQ(c.CropFrom(src, r.left, r.top, r.right, r.bottom), 0);
        EXPECT_TRUE(c.Empty());
        EXPECT_EQ(c.Width(), 0);
    }
    MYBIT empty;
    EXPECT_EQ(c.CropFrom(empty, 0, 0, 5, 5), 0);

    // Sizes past the 32-bit range clip like any other.
    EXPECT_EQ(c.CropFrom(src, 4, 2, INT_MAX, INT_MAX), 1);
    EXPECT_EQ(c.Width(), 2);
    EXPECT_EQ(c.Height(), 2);
    EXPECT_EQ(c.CropFrom(src, INT_MIN, INT_MIN, INT_MAX, INT_MAX), 0);

    // Cropping a picture from itself.
    MYBIT self = Numbered(6, 4);
    EXPECT_EQ(self.CropFrom(self, 1, 1, 2, 2), 1);
    EXPECT_EQ(self.pixels, (std::vector<uint32_t>{34, 35, 18, 19}));
}

TEST(MybitHosei, ClipsAndRewritesItsArguments) {
    MYBIT target, source;
    target.Create(10, 8);
    source.Create(4, 5);
    int x = -1, y = 6, sx = 0, sy = 0, w = 4, h = 5;
    EXPECT_EQ(Hosei(target, x, y, source, sx, sy, w, h), 1);
    EXPECT_EQ((std::vector<int>{x, y, sx, sy, w, h}), (std::vector<int>{0, 6, 1, 0, 3, 2}));

    // Source point (2, 1) placed on (5, 5), clipped to (5, 5, 7, 9).
    x = 5, y = 5, sx = 2, sy = 1, w = 2, h = 4;
    EXPECT_EQ(Hosei(target, x, y, source, sx, sy, w, h), 1);
    EXPECT_EQ((std::vector<int>{x, y, sx, sy, w, h}), (std::vector<int>{5, 5, 2, 1, 2, 3}));

    // Far corners do not overflow.
    x = INT_MAX, y = 0, sx = 0, sy = 0, w = INT_MAX, h = 5;
    EXPECT_EQ(Hosei(target, x, y, source, sx, sy, w, h), 0);
    x = INT_MIN + 1, y = 0, sx = INT_MIN + 1, sy = 0, w = 4, h = 5;
    EXPECT_EQ(Hosei(target, x, y, source, sx, sy, w, h), 0);
}

TEST(MybitHosei, TraceLinesOnlyWhileTracing) {
    FakeHost host;
    TraceState saved = TheTrace();
    TraceState& t = TheTrace();
    t.path = TempPath("trace.txt");
    t.host = &host;
    t.lastTick = 0;
    t.on = 0;
    std::filesystem::remove(t.path);

    MYBIT target, source;
    target.Create(10, 8);
    source.Create(4, 5);
    int x = 20, y = 0, sx = 0, sy = 0, w = 4, h = 5;
    EXPECT_EQ(Hosei(target, x, y, source, sx, sy, w, h), 0);
    EXPECT_FALSE(std::filesystem::exists(t.path));

    t.on = 1;
    EXPECT_EQ(Hosei(target, x, y, source, sx, sy, w, h), 0);  // source off the target
    host.Advance(25);
    x = 2, y = 2, w = 0;
    EXPECT_EQ(Hosei(target, x, y, source, sx, sy, w, h), 0);  // visible, but the clip rectangle is empty
    std::vector<uint8_t> text = ReadAll(t.path);
    EXPECT_EQ(std::string(text.begin(), text.end()),
              "     0 MYBIT::Hosei(FALSE-1)\n    25 MYBIT::Hosei(FALSE-2)\n");

    // Paste outside the target traces the same way.
    EXPECT_EQ(target.Paste(source, -4, 0), 0);
    EXPECT_EQ(target.PasteBlend(source, 0, 8), 0);
    text = ReadAll(t.path);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);
    TheTrace() = saved;
}

TEST(MybitPaste, VisiblePartFromTheMatchingOffset) {
    MYBIT target, src = Numbered(4, 3);
    target.CreateFilled(0xFFFFFF, 5, 5);
    EXPECT_EQ(target.Paste(src, -2, -1), 1);
    // Source (2, 1) lands on (0, 0).
    EXPECT_EQ(target.At(0, 0), src.At(2, 1));
    EXPECT_EQ(target.At(1, 1), src.At(3, 2));
    EXPECT_EQ(target.At(2, 0), 0x00FFFFFFu);
    EXPECT_EQ(target.At(0, 2), 0x00FFFFFFu);

    // Entirely outside: 0, nothing changes.
    MYBIT before;
    before.CopyFrom(target);
    for (auto [x, y] : {std::pair{5, 0}, {0, 5}, {-4, 0}, {0, -3}, {INT_MIN, INT_MIN}, {INT_MAX, 0}}) {
        EXPECT_EQ(target.Paste(src, x, y), 0);
        EXPECT_EQ(target.PasteBlend(src, x, y), 0);
    }
    EXPECT_EQ(target.pixels, before.pixels);
    MYBIT empty;
    EXPECT_EQ(target.Paste(empty, 0, 0), 0);
    EXPECT_EQ(empty.Paste(src, 0, 0), 0);

    // Alpha is copied as it stands.
    src.At(0, 0) = 0x80123456;
    target.Paste(src, 1, 1);
    EXPECT_EQ(target.At(1, 1), 0x80123456u);

    // Pasting a picture onto itself, shifted: as from a copy.
    MYBIT self = Random(9, 7, 1), copy, expect;
    copy.CopyFrom(self);
    expect.CopyFrom(self);
    expect.Paste(copy, 2, 3);
    self.Paste(self, 2, 3);
    EXPECT_EQ(self.pixels, expect.pixels);
    self.CopyFrom(copy);
    expect.CopyFrom(copy);
    expect.PasteBlend(copy, -1, -2);
    self.PasteBlend(self, -1, -2);
    EXPECT_EQ(self.pixels, expect.pixels);
}

TEST(MybitPasteBlend, ArithmeticAndItsTwoEnds) {
    MYBIT target, src;
    target.Create(4, 1);
    src.Create(4, 1);
    const uint32_t t = 0x11643200;  // alpha 0x11, red 100, green 50, blue 0
    for (uint32_t& v : target.pixels) v = t;
    src.At(0, 0) = 0x00FFFFFF;  // a = 0: target kept
    src.At(1, 0) = 0xFF0A0B0C;  // a = 255: the source word, alpha included
    src.At(2, 0) = 0x80C8FF10;  // a = 128
    src.At(3, 0) = 0x3FFF0000;  // a = 63
    EXPECT_EQ(target.PasteBlend(src, 0, 0), 1);
    EXPECT_EQ(target.At(0, 0), t);
    EXPECT_EQ(target.At(1, 0), 0xFF0A0B0Cu);
    auto mix = [](uint32_t s, uint32_t d, uint32_t a) { return (s * a + d * (255 - a)) >> 8; };
    EXPECT_EQ(target.At(2, 0), mix(0xC8, 100, 128) << 16 | mix(0xFF, 50, 128) << 8 | mix(0x10, 0, 128));
    EXPECT_EQ(target.At(3, 0), mix(0xFF, 100, 63) << 16 | mix(0, 50, 63) << 8 | mix(0, 0, 63));
    EXPECT_EQ(target.At(2, 0) >> 24, 0u);  // the target's alpha becomes 0

    // All alpha 0 changes nothing; all alpha 255 equals Paste.
    MYBIT board = Random(20, 15, 2), a = Random(8, 6, 3), copy;
    for (uint32_t& v : a.pixels) v &= 0x00FFFFFF;
    copy.CopyFrom(board);
    EXPECT_EQ(board.PasteBlend(a, 3, 4), 1);
    EXPECT_EQ(board.pixels, copy.pixels);
    for (uint32_t& v : a.pixels) v |= 0xFF000000;
    board.PasteBlend(a, -3, 11);
    copy.Paste(a, -3, 11);
    EXPECT_EQ(board.pixels, copy.pixels);

    // Golden: a soft-edged piece on a fixed board, partly off the board.
    MYBIT piece = Random(30, 30, 4);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) piece.At(x, y) = (piece.At(x, y) & 0xFFFFFF) | uint32_t(x * 8 + y) << 24;
    board = Random(50, 40, 5);
    board.PasteBlend(piece, 35, -7);
    EXPECT_EQ(Fnv(board), 0x8a276661e530b995ull) << std::hex << Fnv(board);
}

TEST(MybitHalve, CoverageAlphaAveragesAndOddSizes) {
    MYBIT src, half;
    src.Create(2, 2);
    src.At(1, 0) = 0x00102030;
    half.HalveFrom(src);
    EXPECT_EQ(half.pixels, (std::vector<uint32_t>{0x3F102030}));

    // n non-zero words of the four: alpha 63/127/191/255, the colour the
    // average of those n (zeros add nothing).
    src.Create(8, 2);
    const uint32_t v[4] = {0x00000003, 0xFF000009, 0x00FF0000, 0x000A0000};
    for (int n = 1; n <= 4; ++n)
        for (int k = 0; k < n; ++k) src.At(2 * (n - 1) + k % 2, k / 2) = v[k];
    half.HalveFrom(src);
    ASSERT_EQ(half.Width(), 4);
    EXPECT_EQ(half.At(0, 0), 0x3F000003u);
    EXPECT_EQ(half.At(1, 0), 0x7F000006u);
    EXPECT_EQ(half.At(2, 0), 0xBF550004u);
    EXPECT_EQ(half.At(3, 0), 0xFF420003u);

    // Empty blocks stay 0.
    src.Create(4, 4);
    half.HalveFrom(src);
    EXPECT_EQ(half.pixels, std::vector<uint32_t>(4, 0));

    // Odd sizes: the message first, then the whole blocks inside the source.
    FakeHost host;
    MYBIT odd = Numbered(5, 3);
    half.HalveFrom(odd, &host);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "縦横の大きさが２の整数倍でない");
    EXPECT_EQ(host.boxes[0].caption, "");
    EXPECT_EQ(host.boxes[0].owner, Owner::kNone);
    EXPECT_EQ(half.Width(), 2);
    EXPECT_EQ(half.Height(), 1);
    MYBIT even;
    even.CropFrom(odd, 0, 0, 4, 2);
    MYBIT expect;
    expect.HalveFrom(even, &host);
    EXPECT_EQ(host.boxes.size(), 1u);  // even sizes: no message
    EXPECT_EQ(half.pixels, expect.pixels);
    MYBIT thin = Numbered(1, 6);
    half.HalveFrom(thin, &host);
    EXPECT_TRUE(half.Empty());
    half.HalveFrom(thin);  // no host: no message, same result
    EXPECT_EQ(host.boxes.size(), 2u);

    // In place equals from a copy; golden of a halved mask.
    MYBIT mask;
    mask.Create(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            if ((x - 20) * (x - 20) + (y - 15) * (y - 15) < 150)
                mask.At(x, y) = 0xFF00FF00 | uint32_t(x + y) << 16;
    expect.HalveFrom(mask);
    mask.HalveInPlace();
    EXPECT_EQ(mask.pixels, expect.pixels);
    EXPECT_EQ(Fnv(mask), 0x1a1e2893478ec1beull) << std::hex << Fnv(mask);
}

TEST(MybitOrientations, TableSizesAndGroupLaws) {
    // Source 3 x 2 with distinct pixels; each result checked against its
    // line of the table.
    const int W = 3, H = 2;
    MYBIT src = Numbered(W, H);
    MYBIT r[7];
    MYBIT* p[7] = {&r[0], &r[1], &r[2], &r[3], &r[4], &r[5], &r[6]};
    src.MakeOrientations(p);
    for (int k = 0; k < 7; ++k) {
        bool quarter = k % 2 == 0;
        EXPECT_EQ(r[k].Width(), quarter ? H : W) << k;
        EXPECT_EQ(r[k].Height(), quarter ? W : H) << k;
    }
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            uint32_t v = src.At(X, Y);
            EXPECT_EQ(r[0].At(Y, W - 1 - X), v);
            EXPECT_EQ(r[1].At(W - 1 - X, H - 1 - Y), v);
            EXPECT_EQ(r[2].At(H - 1 - Y, X), v);
            EXPECT_EQ(r[3].At(W - 1 - X, Y), v);
            EXPECT_EQ(r[4].At(H - 1 - Y, W - 1 - X), v);
            EXPECT_EQ(r[5].At(X, H - 1 - Y), v);
            EXPECT_EQ(r[6].At(Y, X), v);
        }
    // r1 is counter-clockwise: the top-right corner goes to the top-left.
    EXPECT_EQ(r[0].At(0, 0), src.At(W - 1, 0));

    // 2 x 1 gives 1 x 2 for the quarter turns.
    MYBIT two = Numbered(2, 1);
    two.MakeOrientations(p);
    for (int k : {0, 2, 4, 6}) EXPECT_EQ((std::pair{r[k].Width(), r[k].Height()}), (std::pair{1, 2}));

    // r1 twice is r2; four quarter turns restore; each mirror twice restores.
    MYBIT pic = Random(7, 4, 6);
    MYBIT a[7], b[7];
    MYBIT* pa[7] = {&a[0], &a[1], &a[2], &a[3], &a[4], &a[5], &a[6]};
    MYBIT* pb[7] = {&b[0], &b[1], &b[2], &b[3], &b[4], &b[5], &b[6]};
    pic.MakeOrientations(pa);
    a[0].MakeOrientations(pb);
    EXPECT_EQ(b[0].pixels, a[1].pixels);
    EXPECT_EQ(b[0].Width(), a[1].Width());
    MYBIT turned;
    turned.CopyFrom(pic);
    for (int i = 0; i < 4; ++i) {
        turned.MakeOrientations(pb);
        turned.CopyFrom(b[0]);
    }
    EXPECT_EQ(turned.pixels, pic.pixels);
    EXPECT_EQ(turned.Width(), pic.Width());
    for (int k : {3, 4, 5, 6}) {
        a[k].MakeOrientations(pb);
        EXPECT_EQ(b[k].pixels, pic.pixels) << k;
    }
    // One result may be the source itself.
    MYBIT self;
    self.CopyFrom(pic);
    MYBIT* ps[7] = {&self, &b[1], &b[2], &b[3], &b[4], &b[5], &b[6]};
    self.MakeOrientations(ps);
    EXPECT_EQ(self.pixels, a[0].pixels);
    EXPECT_EQ(b[6].pixels, a[6].pixels);

    // Empty source: empty results.
    MYBIT empty;
    empty.MakeOrientations(pa);
    for (const MYBIT& x : a) EXPECT_TRUE(x.Empty());

    // Golden over all seven.
    pic = Random(5, 3, 7);
    pic.MakeOrientations(pa);
    uint64_t h = 0;
    for (const MYBIT& x : a) h = h * 31 + Fnv(x);
    EXPECT_EQ(h, 0x78f09f9371f9ac6ull) << std::hex << h;
}

TEST(MybitSaveFile, HeadersAndBottomUpRows) {
    const std::string path = TempPath("save.bmp");
    MYBIT fresh;
    ASSERT_TRUE(fresh.SaveFile(path));
    std::vector<uint8_t> d = ReadAll(path);
    ASSERT_EQ(d.size(), 54u);
    EXPECT_EQ(d[0], 'B');
    EXPECT_EQ(d[1], 'M');
    EXPECT_EQ(Le32(d, 2), 54u);
    EXPECT_EQ(Le32(d, 18), 0u);  // width
    EXPECT_EQ(Le32(d, 22), 0u);  // height

    MYBIT b = Numbered(3, 2);
    b.At(2, 1) = 0xFF0A0B0C;
    ASSERT_TRUE(b.SaveFile(path));
    d = ReadAll(path);
    ASSERT_EQ(d.size(), 54u + 24);
    EXPECT_EQ(Le32(d, 2), 78u);
    EXPECT_EQ(Le32(d, 10), 54u);
    EXPECT_EQ(Le32(d, 14), 40u);
    EXPECT_EQ(Le32(d, 18), 3u);
    EXPECT_EQ(Le32(d, 22), 2u);
    EXPECT_EQ(d[26] | d[27] << 8, 1);
    EXPECT_EQ(d[28] | d[29] << 8, 32);
    EXPECT_EQ(Le32(d, 30), 0u);
    // The bottom row first: (0, 1), (1, 1), (2, 1), then the top row.
    EXPECT_EQ(Le32(d, 54), 17u);
    EXPECT_EQ(Le32(d, 54 + 8), 0xFF0A0B0Cu);
    EXPECT_EQ(Le32(d, 54 + 12), 1u);

    // A file that cannot be written reports it and leaves nothing behind.
    EXPECT_FALSE(b.SaveFile(TempPath("no_such_dir/x/save.bmp")));
    std::filesystem::remove(path);
}

}  // namespace
