// MYBIT lifecycle, cropping, clipping, pasting, blending, halving, turning
// and saving.
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <random>

#include "config/trace.h"
#include "image/mybit.h"
#include "support/fake_host.h"
#include "support/picture_hash.h"
#include "support/test_folder.h"

namespace {

// Pixel (x, y) holds y * 16 + x + 1, so every pixel tells where it came from.
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

std::string ReadAll(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

TEST(MybitLifecycle, CreateFillCopyAndStorageOrder) {
    MYBIT b;
    b.CreateFilled(0x000000FF, 2, 1);  // red as a ColorRef
    EXPECT_EQ(b.pixels, (std::vector<uint32_t>{0x00FF0000, 0x00FF0000}));
    EXPECT_EQ(b.hdr.fileSize, 2u * 4 + 54);
    // Rows are stored bottom-up; coordinates count from the top.
    EXPECT_EQ(Numbered(3, 2).pixels, (std::vector<uint32_t>{17, 18, 19, 1, 2, 3}));
    for (auto [w, h] : {std::pair{0, 3}, {3, 0}, {-2, 3}}) {
        b.CreateFilled(0xFFFFFF, w, h);
        EXPECT_TRUE(b.Empty() && b.Width() == 0 && b.Height() == 0 && b.hdr.fileSize == 0);
        b.Create(2, 2);
        b.CreateInPlace(w, h);
        EXPECT_TRUE(b.Empty() && b.Width() == 0 && b.Height() == 0 && b.hdr.fileSize == 0);
    }
    MYBIT n = Numbered(3, 2), c;
    c.CopyFrom(n);
    c.At(0, 0) = 99;
    EXPECT_EQ(n.At(0, 0), 1u);
    c.CopyFrom(c);
    EXPECT_EQ(c.At(0, 0), 99u);
}

TEST(MybitCrop, InsidePartOnlyAndEmptyWhenNone) {
    MYBIT src = Numbered(6, 4), c;
    EXPECT_EQ(c.CropFrom(src, -2, 3, 4, 10), 1);  // partly outside
    EXPECT_EQ(c.pixels, (std::vector<uint32_t>{src.At(0, 3), src.At(1, 3)}));
    EXPECT_EQ(c.CropFrom(src, 4, 2, INT_MAX, INT_MAX), 1);  // corners past the 32-bit range
    EXPECT_EQ(c.Width() * 10 + c.Height(), 22);
    for (Rect r :
         {Rect{6, 0, 2, 2}, Rect{-3, 0, 3, 4}, Rect{1, 1, -5, 2}, Rect{INT_MIN, INT_MIN, INT_MAX, 1}}) {
        c.CreateFilled(0xFFFFFF, 2, 2);
        EXPECT_EQ(c.CropFrom(src, r.left, r.top, r.right, r.bottom), 0);
        EXPECT_TRUE(c.Empty());
    }
    src.CropFrom(src, 1, 1, 2, 2);  // from itself
    EXPECT_EQ(src.pixels, (std::vector<uint32_t>{34, 35, 18, 19}));
}

TEST(MybitHosei, RewritesArgumentsAndTracesFailures) {
    MYBIT target, source;
    target.Create(10, 8);
    source.Create(4, 5);
    int x = 5, y = 5, sx = 2, sy = 1, w = 2, h = 4;  // source (2, 1) on (5, 5), clip (5, 5, 7, 9)
    EXPECT_EQ(Hosei(target, x, y, source, sx, sy, w, h), 1);
    EXPECT_EQ((std::vector<int>{x, y, sx, sy, w, h}), (std::vector<int>{5, 5, 2, 1, 2, 3}));
    x = -1, y = 6, sx = 0, sy = 0, w = 4, h = 5;
    EXPECT_EQ(Hosei(target, x, y, source, sx, sy, w, h), 1);
    EXPECT_EQ((std::vector<int>{x, y, sx, sy, w, h}), (std::vector<int>{0, 6, 1, 0, 3, 2}));

    FakeHost host;
    TraceState saved = TheTrace();
    TheTrace() = TraceState{};  // off, nothing written yet in this run
    TheTrace().path = TestPath("trace.txt");
    TheTrace().host = &host;
    std::filesystem::remove(TheTrace().path);
    x = 20, y = 0, w = 4;
    EXPECT_EQ(Hosei(target, x, y, source, sx, sy, w, h), 0);
    EXPECT_FALSE(std::filesystem::exists(TheTrace().path));  // tracing off: no file
    TheTrace().on = 1;
    EXPECT_EQ(Hosei(target, x, y, source, sx, sy, w, h), 0);  // off the target
    host.Advance(25);
    x = 2, y = 2, w = 0;
    EXPECT_EQ(Hosei(target, x, y, source, sx, sy, w, h), 0);  // empty clip rectangle
    EXPECT_EQ(target.Paste(source, -4, 0), 0);
    EXPECT_EQ(ReadAll(TheTrace().path),
              "     0 MYBIT::Hosei(FALSE-1)\n    25 MYBIT::Hosei(FALSE-2)\n     0 MYBIT::Hosei(FALSE-1)\n");
    TheTrace() = saved;
}

TEST(MybitPaste, NegativePositionsOutsideAndOntoItself) {
    MYBIT target, src = Numbered(4, 3);
    target.CreateFilled(0xFFFFFF, 5, 5);
    EXPECT_EQ(target.Paste(src, -2, -1), 1);
    EXPECT_EQ(target.At(0, 0), src.At(2, 1));  // read from the matching offset
    EXPECT_EQ(target.At(1, 1), src.At(3, 2));
    EXPECT_EQ(target.At(2, 0), 0x00FFFFFFu);
    const uint64_t before = PictureHash(target);
    for (auto [x, y] : {std::pair{5, 0}, {0, -3}, {INT_MIN, INT_MIN}, {INT_MAX, 0}})
        EXPECT_EQ(target.Paste(src, x, y) + target.PasteBlend(src, x, y), 0);
    EXPECT_EQ(PictureHash(target), before);

    MYBIT self = Random(9, 7, 1), copy, expect;
    copy.CopyFrom(self);
    expect.CopyFrom(self);
    expect.Paste(copy, 2, 3);
    self.Paste(self, 2, 3);
    EXPECT_EQ(self.pixels, expect.pixels);
    copy.CopyFrom(self);
    expect.PasteBlend(copy, -1, -2);
    self.PasteBlend(self, -1, -2);
    EXPECT_EQ(self.pixels, expect.pixels);
}

TEST(MybitPasteBlend, ArithmeticAlphaEndsAndGolden) {
    MYBIT target, src;
    target.CreateFilled(0x003264, 3, 1);  // red 100, green 50
    for (uint32_t& v : target.pixels) v |= 0x11000000;
    src.Create(3, 1);
    src.At(0, 0) = 0x00FFFFFF;  // a = 0: kept
    src.At(1, 0) = 0xFF0A0B0C;  // a = 255: the word itself
    src.At(2, 0) = 0x80C8FF10;  // a = 128
    target.PasteBlend(src, 0, 0);
    auto mix = [](uint32_t s, uint32_t d) { return (s * 128 + d * 127) >> 8; };
    EXPECT_EQ(target.pixels,
              (std::vector<uint32_t>{0x11643200, 0xFF0A0B0C,
                                     mix(0xC8, 100) << 16 | mix(0xFF, 50) << 8 | mix(0x10, 0)}));

    // Alpha 0 everywhere changes nothing; 255 everywhere equals Paste.
    MYBIT board = Random(20, 15, 2), a = Random(8, 6, 3), copy;
    for (uint32_t& v : a.pixels) v &= 0x00FFFFFF;
    copy.CopyFrom(board);
    board.PasteBlend(a, 3, 4);
    EXPECT_EQ(board.pixels, copy.pixels);
    for (uint32_t& v : a.pixels) v |= 0xFF000000;
    board.PasteBlend(a, -3, 11);
    copy.Paste(a, -3, 11);
    EXPECT_EQ(board.pixels, copy.pixels);

    MYBIT piece = Random(30, 30, 4);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x) piece.At(x, y) = (piece.At(x, y) & 0xFFFFFF) | uint32_t(x * 8 + y) << 24;
    board = Random(50, 40, 5);
    board.PasteBlend(piece, 35, -7);
    EXPECT_EQ(PictureHash(board), 0x8a276661e530b995ull);
}

TEST(MybitHalve, CoverageAlphaAveragesAndOddSizes) {
    // Blocks with n = 1 .. 4 non-zero words: alpha 63/127/191/255, colour the
    // average of those n words.
    MYBIT src, half;
    src.Create(8, 2);
    const uint32_t v[4] = {0x00000003, 0xFF000009, 0x00FF0000, 0x000A0000};
    for (int n = 1; n <= 4; ++n)
        for (int k = 0; k < n; ++k) src.At(2 * (n - 1) + k % 2, k / 2) = v[k];
    half.HalveFrom(src);
    EXPECT_EQ(half.pixels, (std::vector<uint32_t>{0x3F000003, 0x7F000006, 0xBF550004, 0xFF420003}));

    FakeHost host;
    MYBIT odd = Numbered(5, 3), even, expect;
    half.HalveFrom(odd, &host);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "縦横の大きさが２の整数倍でない");
    EXPECT_EQ(host.boxes[0].caption, "");
    even.CropFrom(odd, 0, 0, 4, 2);
    expect.HalveFrom(even, &host);  // even: no message
    EXPECT_EQ(half.pixels, expect.pixels);
    EXPECT_EQ(host.boxes.size(), 1u);
    half.HalveFrom(Numbered(1, 6));
    EXPECT_TRUE(half.Empty());

    MYBIT mask;
    mask.Create(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            if ((x - 20) * (x - 20) + (y - 15) * (y - 15) < 150)
                mask.At(x, y) = 0xFF00FF00 | uint32_t(x + y) << 16;
    expect.HalveFrom(mask);
    mask.HalveInPlace();
    EXPECT_EQ(mask.pixels, expect.pixels);
    EXPECT_EQ(PictureHash(mask), 0x1a1e2893478ec1beull);
}

TEST(MybitOrientations, TableAndGroupLaws) {
    const int W = 3, H = 2;
    MYBIT src = Numbered(W, H), r[7], s[7];
    MYBIT* pr[7] = {&r[0], &r[1], &r[2], &r[3], &r[4], &r[5], &r[6]};
    MYBIT* ps[7] = {&s[0], &s[1], &s[2], &s[3], &s[4], &s[5], &s[6]};
    src.MakeOrientations(pr);
    for (int k = 0; k < 7; ++k) EXPECT_EQ(r[k].Width(), k % 2 == 0 ? H : W) << k;
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            uint32_t v = src.At(X, Y);
            EXPECT_TRUE(r[0].At(Y, W - 1 - X) == v && r[1].At(W - 1 - X, H - 1 - Y) == v &&
                        r[2].At(H - 1 - Y, X) == v && r[3].At(W - 1 - X, Y) == v &&
                        r[4].At(H - 1 - Y, W - 1 - X) == v && r[5].At(X, H - 1 - Y) == v &&
                        r[6].At(Y, X) == v);
        }

    // r1 twice is r2; four quarter turns and every mirror twice restore.
    MYBIT pic = Random(7, 4, 6), turned;
    pic.MakeOrientations(pr);
    r[0].MakeOrientations(ps);
    EXPECT_EQ(s[0].pixels, r[1].pixels);
    turned.CopyFrom(pic);
    for (int i = 0; i < 4; ++i) {
        turned.MakeOrientations(ps);
        turned.CopyFrom(s[0]);
    }
    EXPECT_EQ(turned.pixels, pic.pixels);
    for (int k : {3, 4, 5, 6}) {
        r[k].MakeOrientations(ps);
        EXPECT_EQ(s[k].pixels, pic.pixels) << k;
    }
    // A result may be the source itself.
    turned.CopyFrom(pic);
    MYBIT* alias[7] = {&turned, &s[1], &s[2], &s[3], &s[4], &s[5], &s[6]};
    turned.MakeOrientations(alias);
    EXPECT_EQ(turned.pixels, r[0].pixels);
    EXPECT_EQ(s[6].pixels, r[6].pixels);

    Random(5, 3, 7).MakeOrientations(pr);
    uint64_t h = 0;
    for (const MYBIT& x : r) h = h * 31 + PictureHash(x);
    EXPECT_EQ(h, 0x78f09f9371f9ac6ull);
}

TEST(MybitSaveFile, EmptyAndBottomUpFiles) {
    const std::string path = TestPath("save.bmp");
    ASSERT_TRUE(MYBIT().SaveFile(path));
    std::string d = ReadAll(path);
    EXPECT_EQ(d, std::string("BM\x36\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0", 18) + std::string(8, '\0') +
                     std::string("\1\0\x20\0", 4) + std::string(24, '\0'));
    MYBIT b = Numbered(3, 2);
    ASSERT_TRUE(b.SaveFile(path));
    d = ReadAll(path);
    ASSERT_EQ(d.size(), 78u);
    EXPECT_EQ(d.substr(0, 2) + d.substr(18, 8), std::string("BM\3\0\0\0\2\0\0\0", 10));
    EXPECT_EQ(d.substr(54, 4), std::string("\x11\0\0\0", 4));  // the bottom row first
    EXPECT_FALSE(b.SaveFile(TestPath("missing/dir/x.bmp")));
    std::filesystem::remove(path);
}

}  // namespace
