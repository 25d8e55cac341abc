// LoadFile, LoadScaled and GetImageSize on files on disk, with the messages
// the user sees recorded by the fake host.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "image/mybit.h"
#include "image/picture_read.h"
#include "read_files.h"
#include "support/fake_host.h"

namespace {

using readtest::Bmp;
using readtest::Jpeg;
using readtest::PackRows;

std::string TempPath(const std::string& name) {
    const char* dir = std::getenv("PUKKO_TEST_TMP");
    std::filesystem::path p = dir ? dir : ::testing::TempDir();
    p /= "read_picture";
    std::filesystem::create_directories(p);
    return (p / name).string();
}

std::string Put(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string path = TempPath(name);
    EXPECT_TRUE(readtest::WriteFile(path, bytes));
    return path;
}

Jpeg Quadrants(int w, int h) {
    Jpeg j;
    j.width = w;
    j.height = h;
    j.fill = [w, h](int x, int y, uint8_t* s) { readtest::Quadrants(w, h, x, y, s); };
    return j;
}

std::vector<uint8_t> Bmp24(int w, int h) {
    std::vector<std::vector<uint32_t>> rows(h, std::vector<uint32_t>(w));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            rows[y][x] = static_cast<uint32_t>(x * 0x010203 + y * 0x030100) & 0xFFFFFF;
    return Bmp{.width = w, .height = h, .bitCount = 24, .data = PackRows(rows, 24)}.Build();
}

void ExpectSame(const MYBIT& a, const MYBIT& b) {
    uint8_t ha[54], hb[54];
    a.hdr.Write(ha);
    b.hdr.Write(hb);
    EXPECT_EQ(std::vector<uint8_t>(ha, ha + 54), std::vector<uint8_t>(hb, hb + 54));
    EXPECT_EQ(a.pixels, b.pixels);
}

TEST(LoadFile, ReadsFilesOnDiskAsFromMemory) {
    // A saved game's head, longer than its size field says.
    readtest::Bytes pko;
    pko.Add(Bmp{.width = 2, .height = 1, .bitCount = 32, .data = PackRows({{0x11, 0x22}}, 32)}.Build());
    pko.b.resize(54);
    pko.U32(2).U32(0xFF0000AA).U32(0xFF0000BB).U32(1).U32(4);
    struct File {
        std::string name;
        std::vector<uint8_t> bytes;
        int divisor;
    };
    std::vector<File> files = {{"a.bmp", Bmp24(5, 3), 4},
                               {"game.pko", pko.b, 1},
                               {"photo.jpg", Quadrants(40, 30).Build(), 1},
                               {"photo2.jpg", Quadrants(40, 30).Build(), 2},
                               {"named.bmp", Quadrants(8, 8).Build(), 1}};  // the name is not looked at
    for (const File& f : files) {
        FakeHost host;
        MYBIT fromDisk, fromMemory;
        fromDisk.Create(3, 3);
        EXPECT_EQ(LoadFile(fromDisk, Put(f.name, f.bytes), host, f.divisor), 1) << f.name;
        EXPECT_EQ(DecodePicture(f.bytes.data(), f.bytes.size(), f.divisor, fromMemory), 1) << f.name;
        ExpectSame(fromDisk, fromMemory);
        EXPECT_TRUE(host.boxes.empty() && host.windowsErrors.empty());
    }
    MYBIT p;
    FakeHost host;
    LoadFile(p, TempPath("game.pko"), host, 1);
    // The count word stands where the first pixel would be.
    EXPECT_EQ(p.pixels, (std::vector<uint32_t>{2, 0xFF0000AA}));
    EXPECT_EQ(p.hdr.fileSize, 2u * 1 * 4 + 54);
    LoadFile(p, TempPath("photo2.jpg"), host, 2);
    EXPECT_EQ(p.Width(), 20);
    EXPECT_EQ(p.hdr.fileSize, 20u * 15 * 4 + 54);
}

TEST(LoadFile, FailuresReachTheUserAndLeaveThePictureEmpty) {
    FakeHost host;
    MYBIT p;
    p.Create(4, 4);
    std::string missing = TempPath("no such picture.jpg");
    EXPECT_EQ(LoadFile(p, missing, host, 1), 0);
    EXPECT_TRUE(p.Empty() && p.Width() == 0);
    EXPECT_EQ(host.windowsErrors, std::vector<std::string>{"CreateFile\n" + missing});
    EXPECT_TRUE(host.boxes.empty());

    std::string text = "Bonjour: a text file whose first byte is B";
    std::vector<std::string> bad = {Put("text.bmp", std::vector<uint8_t>(text.begin(), text.end())),
                                    Put("empty.jpg", {}), Put("short.jpg", {0xFF, 0xD8, 0xFF})};
    for (const std::string& path : bad) {
        FakeHost h;
        p.Create(4, 4);
        EXPECT_EQ(LoadFile(p, path, h, 1), 0);
        EXPECT_TRUE(p.Empty() && p.Width() == 0 && p.Height() == 0);
        ASSERT_EQ(h.boxes.size(), 1u);
        EXPECT_EQ(h.boxes[0].text, "読み込みできません。\n" + path);
        EXPECT_EQ(h.boxes[0].caption, "イメージ読込失敗");
        EXPECT_EQ(h.boxes[0].flags, kMbOk);
        EXPECT_EQ(h.boxes[0].owner, Owner::kNone);
        EXPECT_TRUE(h.windowsErrors.empty());
    }
}

TEST(GetImageSize, ReadsOnlyTheHeaders) {
    std::vector<uint8_t> forged = Quadrants(8, 8).Build();
    for (size_t i = 0; i + 9 < forged.size(); ++i)
        if (forged[i] == 0xFF && forged[i + 1] == 0xC0) {
            forged[i + 5] = forged[i + 7] = 20000 >> 8;
            forged[i + 6] = forged[i + 8] = 20000 & 0xFF;
        }
    Bmp topDown{.width = 3, .height = -2, .bitCount = 8, .palette = {0}, .data = std::vector<uint8_t>(8)};
    Bmp core{.infoSize = 12, .width = 300, .height = 2, .bitCount = 24, .data = std::vector<uint8_t>(1800)};
    struct Case {
        std::string path;
        int result, width, height;
    };
    std::string none = TempPath("missing.bmp");
    for (const Case& c :
         {Case{Put("td.bmp", topDown.Build()), 1, 3, 2}, Case{Put("core.bmp", core.Build()), 1, 300, 2},
          Case{Put("q.jpg", Quadrants(65, 49).Build()), 1, 65, 49},
          Case{Put("forged.jpg", forged), 1, 20000, 20000}, Case{Put("noise.jpg", {1, 2, 3, 4, 5}), 1, 0, 0},
          Case{none, 0, 0, 0}}) {
        MYBIT p;
        p.Create(2, 2);
        int w = -1, h = -1;
        EXPECT_EQ(GetImageSize(p, c.path, w, h), c.result) << c.path;
        EXPECT_EQ(w, c.width) << c.path;
        EXPECT_EQ(h, c.height) << c.path;
        EXPECT_TRUE(p.Empty());
    }
}

TEST(LoadScaled, DivisorAndTargetSize) {
    // 4000 x 3000 at 400: decoded at a quarter (1000 x 750), then stretched;
    // at 800: 4000 / 8 < 800 <= 4000 / 4, so decoded at a half.
    std::string big = Put("big.jpg", Quadrants(4000, 3000).Build());
    FakeHost host;
    MYBIT quarter, half, want400, want800, got;
    ASSERT_EQ(LoadFile(quarter, big, host, 4), 1);
    ASSERT_EQ(LoadFile(half, big, host, 2), 1);
    want400.StretchFrom(quarter, 400, 300);
    want800.StretchFrom(half, 800, 600);
    MYBIT other;
    other.StretchFrom(half, 400, 300);
    ASSERT_NE(other.pixels, want400.pixels);  // the divisor shows in the result
    EXPECT_EQ(LoadScaled(got, big, host, 400), 1);
    ExpectSame(got, want400);
    EXPECT_EQ(LoadScaled(got, big, host, 800), 1);
    ExpectSame(got, want800);

    // Longer side to size, the other truncated but never below one pixel.
    struct Case {
        std::string path;
        int size, width, height;
    };
    for (const Case& c : {Case{Put("square.bmp", Bmp24(50, 50)), 120, 120, 120},
                          Case{Put("portrait.bmp", Bmp24(300, 400)), 1000, 750, 1000},
                          Case{Put("landscape.bmp", Bmp24(7, 3)), 10, 10, 4},
                          Case{Put("thin.bmp", Bmp24(1000, 1)), 100, 100, 1},
                          Case{TempPath("square.bmp"), 0, 1, 1}, Case{TempPath("square.bmp"), -5, 1, 1}}) {
        EXPECT_EQ(LoadScaled(got, c.path, host, c.size), 1);
        EXPECT_EQ(got.Width(), c.width) << c.path << " " << c.size;
        EXPECT_EQ(got.Height(), c.height) << c.path << " " << c.size;
        EXPECT_EQ(got.pixels.size(), static_cast<size_t>(c.width) * c.height);
    }
    EXPECT_TRUE(host.boxes.empty() && host.windowsErrors.empty());
}

TEST(LoadScaled, UnreadableFilesGiveABlackSquareAfterTheirMessage) {
    FakeHost host;
    MYBIT p;
    std::string missing = TempPath("gone.jpg");
    EXPECT_EQ(LoadScaled(p, missing, host, 100), 1);
    EXPECT_EQ(p.Width(), 100);
    EXPECT_EQ(p.Height(), 100);
    EXPECT_EQ(p.pixels, std::vector<uint32_t>(100 * 100, 0));
    EXPECT_EQ(host.windowsErrors.size(), 1u);
    EXPECT_TRUE(host.boxes.empty());

    EXPECT_EQ(LoadScaled(p, Put("junk.jpg", {'B', 'x', 'y'}), host, 64), 1);
    EXPECT_EQ(p.pixels, std::vector<uint32_t>(64 * 64, 0));
    EXPECT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.windowsErrors.size(), 1u);
}

}  // namespace
