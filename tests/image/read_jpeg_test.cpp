// Reading JPEG files made here with libjpeg's compressor.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "image/jpeg_read.h"
#include "image/picture_limits.h"
#include "read_files.h"

namespace {

using readtest::Jpeg;

struct Decoded {
    int result = 0, width = 0, height = 0;
    std::vector<uint32_t> px;
    uint32_t At(int x, int y) const { return px[static_cast<size_t>(height - 1 - y) * width + x]; }
};

Decoded Decode(const std::vector<uint8_t>& file, int divisor = 1, bool headerOnly = false) {
    Decoded d;
    d.result = ReadJpeg(file.data(), file.size(), d.px, d.width, d.height, divisor, headerOnly);
    // Every answer keeps the picture's invariants: pixels for the whole size
    // or none at all.
    size_t want = d.result && !headerOnly ? static_cast<size_t>(d.width) * d.height : 0;
    EXPECT_EQ(d.px.size(), want);
    EXPECT_EQ(d.result == 0, d.width == 0 && d.height == 0);
    return d;
}

// The largest difference of one colour byte; alpha must be 0.
int Off(uint32_t got, uint32_t want) {
    EXPECT_EQ(got >> 24, 0u);
    int most = 0;
    for (int s = 0; s < 24; s += 8)
        most = std::max(most,
                        std::abs(static_cast<int>((got >> s) & 0xFF) - static_cast<int>((want >> s) & 0xFF)));
    return most;
}

Jpeg Quadrants(int w, int h) {
    Jpeg j;
    j.width = w;
    j.height = h;
    j.fill = [w, h](int x, int y, uint8_t* s) { readtest::Quadrants(w, h, x, y, s); };
    return j;
}

uint32_t QuadrantWord(int w, int h, int x, int y) {
    uint8_t s[3];
    readtest::Quadrants(w, h, x, y, s);
    return static_cast<uint32_t>(s[0]) << 16 | s[1] << 8 | s[2];
}

Jpeg Flat(int w, int h, int components, J_COLOR_SPACE space, std::vector<uint8_t> samples) {
    Jpeg j;
    j.width = w;
    j.height = h;
    j.components = components;
    j.space = space;
    j.fill = [samples](int, int, uint8_t* s) { std::copy(samples.begin(), samples.end(), s); };
    return j;
}

// The big-endian height and width of the first frame header.
void PatchSize(std::vector<uint8_t>& f, int width, int height) {
    for (size_t i = 0; i + 9 < f.size(); ++i)
        if (f[i] == 0xFF && (f[i + 1] == 0xC0 || f[i + 1] == 0xC2)) {
            f[i + 5] = static_cast<uint8_t>(height >> 8), f[i + 6] = static_cast<uint8_t>(height);
            f[i + 7] = static_cast<uint8_t>(width >> 8), f[i + 8] = static_cast<uint8_t>(width);
            return;
        }
    ADD_FAILURE() << "no frame header";
}

TEST(ReadJpeg, BaselineAndProgressiveKeepRowsSidesAndColours) {
    Jpeg j = Quadrants(64, 48);
    Decoded baseline = Decode(j.Build());
    ASSERT_EQ(baseline.result, 1);
    ASSERT_EQ(baseline.width, 64);
    ASSERT_EQ(baseline.height, 48);
    // Away from the quadrants' edges the colours come back closely: the first
    // scanline is the top row and no side is mirrored.
    for (int y : {4, 12, 30, 42})
        for (int x : {4, 20, 40, 60})
            EXPECT_LE(Off(baseline.At(x, y), QuadrantWord(64, 48, x, y)), 8) << x << "," << y;
    // This library's fast integer decoder, pinned.
    EXPECT_EQ(readtest::Fnv(baseline.px), 0x6c3cbfc8c277e573ull) << std::hex << readtest::Fnv(baseline.px);
    // The same coefficients sent in several scans decode to the same picture.
    j.progressive = true;
    EXPECT_EQ(Decode(j.Build()).px, baseline.px);
}

TEST(ReadJpeg, ScaledDecodingRoundsSizesUpAndHeadersReadAlone) {
    std::vector<uint8_t> f = Quadrants(65, 49).Build();
    const int sizes[][3] = {{1, 65, 49}, {2, 33, 25}, {4, 17, 13}, {8, 9, 7},
                            {3, 65, 49}, {0, 65, 49}, {-4, 65, 49}};
    for (const auto& s : sizes) {
        Decoded d = Decode(f, s[0]);
        EXPECT_EQ(d.result, 1);
        EXPECT_EQ(d.width, s[1]) << s[0];
        EXPECT_EQ(d.height, s[2]) << s[0];
        Decoded h = Decode(f, s[0], true);
        EXPECT_EQ(h.result, 1);
        EXPECT_EQ(h.width, s[1]) << s[0];
        EXPECT_EQ(h.height, s[2]) << s[0];
    }
    Decoded quarter = Decode(f, 4);
    EXPECT_LE(Off(quarter.At(2, 2), QuadrantWord(65, 49, 8, 8)), 12);
    EXPECT_LE(Off(quarter.At(14, 10), QuadrantWord(65, 49, 56, 40)), 12);
    EXPECT_EQ(readtest::Fnv(quarter.px), 0xea2372d80f98ffa4ull) << std::hex << readtest::Fnv(quarter.px);
}

TEST(ReadJpeg, GreyAndCmykBecomeRgb) {
    Jpeg grey;
    grey.width = 32;
    grey.height = 8;
    grey.components = 1;
    grey.space = JCS_GRAYSCALE;
    grey.fill = [](int x, int, uint8_t* s) { s[0] = static_cast<uint8_t>(x * 8 + 4); };
    Decoded g = Decode(grey.Build());
    ASSERT_EQ(g.result, 1);
    for (int x = 0; x < 32; ++x) {
        uint32_t v = g.At(x, 3) & 0xFF;
        EXPECT_EQ(g.At(x, 3), v * 0x010101u);
        EXPECT_NEAR(static_cast<int>(v), x * 8 + 4, 6);
    }

    // Ink amounts: full magenta and yellow make red; half black makes grey.
    // Adobe's files store them inverted, others as they are; YCCK files are
    // stored inverted as well.
    struct Case {
        std::vector<uint8_t> ink;
        uint32_t want;
    };
    for (const Case& c :
         {Case{{0, 255, 255, 0}, 0xFF0000}, Case{{0, 0, 0, 128}, 0x7F7F7F}, Case{{255, 0, 0, 0}, 0x00FFFF}}) {
        std::vector<uint8_t> inverted;
        for (uint8_t v : c.ink) inverted.push_back(static_cast<uint8_t>(255 - v));
        Jpeg adobe = Flat(16, 16, 4, JCS_CMYK, inverted);
        Jpeg plain = Flat(16, 16, 4, JCS_CMYK, c.ink);
        plain.adobe = false;
        Jpeg ycck = adobe;
        ycck.stored = JCS_YCCK;
        for (const Jpeg* j : {&adobe, &plain, &ycck}) {
            Decoded d = Decode(j->Build());
            ASSERT_EQ(d.result, 1);
            EXPECT_LE(Off(d.At(8, 8), c.want), 4) << std::hex << d.At(8, 8);
        }
    }
}

TEST(ReadJpeg, TruncatedFilesKeepWhatArrivedGarbageFails) {
    Jpeg j = Quadrants(256, 256);
    std::vector<uint8_t> f = j.Build();
    Decoded whole = Decode(f);
    std::vector<uint8_t> half(f.begin(), f.begin() + static_cast<long>(f.size() / 2));
    Decoded cut = Decode(half);
    ASSERT_EQ(cut.result, 1);
    ASSERT_EQ(cut.width, 256);
    for (int x = 0; x < 256; ++x) EXPECT_EQ(cut.At(x, 0), whole.At(x, 0));

    std::mt19937 rng(3);
    std::vector<uint8_t> noise(4096);
    for (auto& b : noise) b = static_cast<uint8_t>(rng());
    std::vector<uint8_t> fakeStart = noise;
    fakeStart[0] = 0xFF, fakeStart[1] = 0xD8;
    for (const auto& bad : {std::vector<uint8_t>(f.begin(), f.begin() + 100), noise, fakeStart,
                            std::vector<uint8_t>{0xFF, 0xD8}, std::vector<uint8_t>{}})
        EXPECT_EQ(Decode(bad).result, 0);
    std::vector<uint32_t> px;
    int w = 1, h = 1;
    EXPECT_EQ(ReadJpeg(static_cast<const uint8_t*>(nullptr), 10, px, w, h, 1, false), 0);
    EXPECT_EQ(ReadJpeg(static_cast<std::FILE*>(nullptr), px, w, h, 1, true), 0);
}

// A failure anywhere, from the first marker to the last scan, comes back
// through the library's jump as 0 with nothing kept, from a file as from
// memory, and leaves no decoder behind (the sanitizer build checks for
// leaks): the next picture decodes as if nothing had happened.
TEST(ReadJpeg, EveryFailureReturnsCleanlyFromMemoryAndFromAFile) {
    Jpeg j = Quadrants(48, 40);
    j.progressive = true;
    const std::vector<uint8_t> good = j.Build();
    const Decoded want = Decode(good);
    ASSERT_EQ(want.result, 1);
    std::vector<std::vector<uint8_t>> bad;
    // Cut inside the markers before the first scan: no picture to speak of.
    size_t firstScan = 0;
    for (size_t i = 0; i + 1 < good.size() && !firstScan; ++i)
        if (good[i] == 0xFF && good[i + 1] == 0xDA) firstScan = i;
    ASSERT_GT(firstScan, 20u);
    for (size_t cut = 0; cut < firstScan; cut += 7) bad.emplace_back(good.begin(), good.begin() + cut);
    // The last scan asking for coefficients 63 down to 1: the library stops
    // inside jpeg_start_decompress, with the earlier scans read.
    std::vector<uint8_t> backwards = good;
    size_t lastScan = 0;
    for (size_t i = 0; i + 1 < backwards.size(); ++i)
        if (backwards[i] == 0xFF && backwards[i + 1] == 0xDA) lastScan = i;
    ASSERT_GT(lastScan, firstScan);
    const size_t ss = lastScan + 5 + 2 * size_t{backwards[lastScan + 4]};  // after the component list
    backwards[ss] = 63;
    backwards[ss + 1] = 1;
    bad.push_back(backwards);
    // A frame header whose length disagrees with its component count.
    std::vector<uint8_t> frame = good;
    for (size_t i = 0; i + 9 < frame.size(); ++i)
        if (frame[i] == 0xFF && frame[i + 1] == 0xC2) frame[i + 9] = 5;
    bad.push_back(frame);

    for (size_t i = 0; i < bad.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Decode(bad[i]).result, 0);
        std::FILE* f = std::tmpfile();
        ASSERT_NE(f, nullptr);
        if (!bad[i].empty()) std::fwrite(bad[i].data(), 1, bad[i].size(), f);
        std::vector<uint32_t> px{1, 2, 3};
        int w = 7, h = 7;
        EXPECT_EQ(ReadJpeg(f, px, w, h, 1, false), 0);
        EXPECT_TRUE(px.empty());
        EXPECT_EQ(w, 0);
        EXPECT_EQ(h, 0);
        std::fclose(f);
    }
    EXPECT_EQ(Decode(good).px, want.px);
}

TEST(ReadJpeg, SizeLimitsHoldBeforeDecoding) {
    // A few hundred bytes claiming 20000 x 20000: its size can be read, but it
    // is refused at every scale before any pixel is allocated.
    std::vector<uint8_t> tiny = Flat(8, 8, 3, JCS_RGB, {1, 2, 3}).Build();
    PatchSize(tiny, 20000, 20000);
    for (int d : {1, 2, 4}) EXPECT_EQ(Decode(tiny, d).result, 0) << d;
    Decoded head = Decode(tiny, 1, true);
    EXPECT_EQ(head.result, 1);
    EXPECT_EQ(head.width, 20000);
    EXPECT_EQ(Decode(tiny, 4, true).width, 5000);

    // Sides: the limit decodes; one past it only when scaled down.
    Decoded at = Decode(Flat(kMaxPictureSide, 8, 3, JCS_RGB, {9, 9, 9}).Build());
    EXPECT_EQ(at.result, 1);
    EXPECT_EQ(at.width, kMaxPictureSide);
    std::vector<uint8_t> past = Flat(kMaxPictureSide + 1, 8, 3, JCS_RGB, {9, 9, 9}).Build();
    EXPECT_EQ(Decode(past).result, 0);
    EXPECT_EQ(Decode(past, 2).width, kMaxPictureSide / 2 + 1);
}

TEST(ReadJpeg, ProgressiveScanCountIsLimited) {
    // One grey component: a DC scan, then each AC coefficient in a first scan
    // at a bits and a refinements, chosen to make kJpegMostScans scans.
    auto script = [](int scans) {
        std::vector<jpeg_scan_info> s = {{1, {0}, 0, 0, 0, 0}};
        int left = scans - 1;
        for (int k = 1; k <= 63; ++k) {
            int a = left / (64 - k) - 1;
            s.push_back({1, {0}, k, k, 0, a});
            for (int r = a; r > 0; --r) s.push_back({1, {0}, k, k, r, r - 1});
            left -= a + 1;
        }
        EXPECT_EQ(static_cast<int>(s.size()), scans);
        return s;
    };
    Jpeg j = Flat(16, 16, 1, JCS_GRAYSCALE, {77});
    j.scans = script(kJpegMostScans);
    EXPECT_EQ(Decode(j.Build()).result, 1);
    j.scans = script(kJpegMostScans + 1);
    EXPECT_EQ(Decode(j.Build()).result, 0);
}

}  // namespace
