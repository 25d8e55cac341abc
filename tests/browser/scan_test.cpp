// Listing a folder for a strip, and the cells of pictures and saved games.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <utility>
#include <vector>

#include "base/file_io.h"
#include "browser/folder_scan.h"
#include "support/test_folder.h"

namespace {

// The platform as a test sets it up: the names a folder holds, an order
// that ignores case first (as the system's does), and a record of what the
// scan shows and plays.
struct FakeScan : ScanHost {
    std::vector<std::pair<std::string, uint32_t>> names;
    bool listable = true;
    std::vector<std::string> boxes, sounds;
    int finished = 0;

    bool ListFolder(const std::string&,
                    const std::function<bool(const std::string&, uint32_t)>& each) override {
        if (!listable) return false;
        for (const auto& [name, attributes] : names)
            if (!each(name, attributes)) break;
        return true;
    }
    int CompareNames(const std::string& a, const std::string& b) override {
        auto lower = [](std::string s) {
            for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            return s;
        };
        int c = lower(a).compare(lower(b));
        return c != 0 ? c : b.compare(a);
    }
    int MessageBox(const std::string& text, const std::string&, unsigned, Owner) override {
        boxes.push_back(text);
        return kIdOk;
    }
    void ShowWindowsError(const std::string& call, const std::string&, uint32_t) override {
        boxes.push_back(call);
    }
    void PlaySound(const std::string& path) override { sounds.push_back(path); }
    void ScanFinished() override { ++finished; }
};

constexpr uint32_t kFile = kAttrArchive;

void SavePicture(const std::string& path, int w, int h, ColorRef color) {
    MYBIT p;
    p.CreateFilled(color, w, h);
    ASSERT_TRUE(p.SaveFile(path));
}

// A saved game's head as the game writes it: a 32-bit picture block, the
// groups left and the total; then the time and no piece.
void SaveGameHead(const std::string& path, int32_t remaining, int32_t total, size_t keepBytes = SIZE_MAX) {
    MYBIT p;
    p.CreateFilled(0x00FF00, 40, 20);
    p.hdr.fileSize = static_cast<uint32_t>(p.PixelCount() * 4 + 54);
    std::vector<uint8_t> bytes(BmpHeaders::kBytes);
    p.hdr.Write(bytes.data());
    auto put = [&](int32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i)));
    };
    put(static_cast<int32_t>(p.PixelCount()));
    for (uint32_t w : p.pixels) put(static_cast<int32_t>(w));
    for (int32_t v : {remaining, total, 0, 0}) put(v);
    bytes.resize(std::min(bytes.size(), keepBytes));
    ASSERT_TRUE(WriteFileAtomic(path, bytes.data(), bytes.size()));
}

// Digits d as solid 16 x 25 blocks of red d * 20 + 10, a frame only at
// the cell's corner pixel.
BrowserArtwork TestArtwork() {
    BrowserArtwork art;
    for (int d = 0; d < 10; ++d) {
        MYBIT glyph;
        glyph.CreateFilled(Rgb(d * 20 + 10, 0, 0), 16, 25);
        for (uint32_t& w : glyph.pixels) w |= 0xFF000000;
        art.digits[static_cast<size_t>(d)] = std::move(glyph);
    }
    art.frame.Create(kCellSide, kCellSide);
    art.frame.At(0, 0) = 0xFF0000FF;
    return art;
}

int DigitAt(const MYBIT& cell, int x, int y) {
    const uint32_t red = (cell.At(x, y) >> 16) & 0xFF;
    return (cell.At(x, y) & 0xFFFF) == 0 && red >= 10 && (red - 10) % 20 == 0
               ? static_cast<int>(red - 10) / 20
               : -1;
}

}  // namespace

TEST(Scan, ListsPicturesAndSavedGamesInTheSystemsOrder) {
    const std::string dir = TestFolder().string();
    for (const char* name : {"b.jpg", "A.BMP", "d.JPEG", "hidden.bmp", "plain.bmp"})
        SavePicture(dir + "/" + name, 20, 10, 0x0000FF);
    FakeScan host;
    host.names = {{".", kAttrDirectory}, {"..", kAttrDirectory},
                  {"b.jpg", kFile},      {"A.BMP", kFile},
                  {"c.txt", kFile},      {"sub.bmp", kAttrDirectory | kFile},
                  {"d.JPEG", kFile},     {"hidden.bmp", kFile | kAttrHidden},
                  {"plain.bmp", 0x80},   {"noext", kFile}};
    BrowserView v;
    ResetListing(v, 1);
    ScanFolder(v, host, ScanRequest{dir, "k_start"});
    ASSERT_EQ(v.Count(), 3);
    EXPECT_EQ(v.entries[0].name, dir + "\\A.BMP");
    EXPECT_EQ(v.entries[1].name, dir + "\\b.jpg");
    EXPECT_EQ(v.entries[2].name, dir + "\\d.JPEG");
    for (const BrowserEntry& e : v.entries) EXPECT_EQ(e.type, 'F');
    // 20 x 10 becomes 100 x 50, centred on grey.
    const MYBIT& cell = v.thumbnails[0];
    ASSERT_EQ(cell.Width(), 100);
    EXPECT_EQ(cell.At(50, 24) & 0xFFFFFF, ColorRefToPixel(kCellGrey));
    EXPECT_EQ(cell.At(50, 25) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(cell.At(50, 75) & 0xFFFFFF, ColorRefToPixel(kCellGrey));
    EXPECT_EQ(host.finished, 1);
    EXPECT_EQ(host.sounds, std::vector<std::string>{"k_start"});
    EXPECT_TRUE(host.boxes.empty());

    // A drive's root begins with its parent cell.
    BrowserView root;
    host.names = {{"A.BMP", kFile}};
    ScanFolder(root, host, ScanRequest{"Q:", ""});
    ASSERT_EQ(root.Count(), 2);
    EXPECT_EQ(root.entries[0].type, 'A');
    EXPECT_EQ(root.entries[0].name, "..");
    EXPECT_EQ(root.entries[1].name, "Q:\\A.BMP");
    EXPECT_EQ(host.sounds.size(), 1u);  // no sound asked for

    // A folder that cannot be listed: nothing published, no end.
    BrowserView none;
    host.listable = false;
    ScanFolder(none, host, ScanRequest{dir, "k_start"});
    EXPECT_EQ(none.Count(), 0);
    EXPECT_EQ(host.finished, 2);
}

TEST(Scan, ListsTenThousandFilesAndSaysOnceThatTheRestIsLeft) {
    FakeScan host;
    for (int i = 0; i <= kMaxBrowserEntries; ++i) host.names.push_back({std::to_string(i) + ".jpg", kFile});
    BrowserView v;
    ScanFolder(v, host, ScanRequest{TestFolder().string(), ""});
    EXPECT_EQ(v.Count(), kMaxBrowserEntries);
    EXPECT_EQ(std::count(host.boxes.begin(), host.boxes.end(), kTooManyFilesText), 1);
    // Each missing file has its black cell, after its error box.
    EXPECT_EQ(v.thumbnails[9999].At(50, 50), 0u);
}

TEST(Scan, AStoppedScanPublishesNoMoreAndAWorkerEndsWhenJoined) {
    FakeScan host;
    host.names = {{"a.bmp", kFile}, {"b.bmp", kFile}};
    BrowserView v;
    v.stop = true;
    ScanFolder(v, host, ScanRequest{"nowhere", ""});
    EXPECT_EQ(v.Count(), 0);
    EXPECT_EQ(host.finished, 0);

    StartScan(v, host, ScanRequest{"nowhere", ""});
    JoinScan(v);
    EXPECT_EQ(v.Count(), 2);
    EXPECT_FALSE(v.scanning);
    EXPECT_EQ(host.finished, 1);
}

TEST(Scan, SavedGamesShowTheirCountsAndBrokenOnesABlackCell) {
    const std::string dir = TestFolder().string();
    BrowserArtwork art = TestArtwork();
    FakeScan host;

    SaveGameHead(dir + "/game.pko", 7, 100);
    MYBIT cell;
    MakeFileCell(cell, dir + "/game.pko", art, host);
    EXPECT_TRUE(host.boxes.empty());
    // The remaining count from (5, 5); the total right-aligned, its last
    // digit at x = 79: 100 at 47, 63, 79.
    for (auto [x, d] : {std::pair{4, -1}, {5, 7}, {20, 7}, {21, -1}}) EXPECT_EQ(DigitAt(cell, x, 10), d) << x;
    for (auto [x, d] : {std::pair{46, -1}, {47, 1}, {62, 1}, {63, 0}, {79, 0}, {94, 0}, {95, -1}})
        EXPECT_EQ(DigitAt(cell, x, 80), d) << x;
    EXPECT_EQ(cell.At(0, 0) & 0xFFFFFF, 0xFFu);  // the frame on top

    // Cut after the picture, a count beyond the pieces a game holds, or a
    // head whose pixel count runs past the file: a black cell.
    SaveGameHead(dir + "/cut.pko", 7, 100, 54 + 4 + 40 * 20 * 4 + 2);
    SaveGameHead(dir + "/huge.pko", 7, 1 << 30);
    SaveGameHead(dir + "/short.pko", 7, 100, 54 + 4 + 100);
    for (const char* name : {"/cut.pko", "/huge.pko", "/short.pko"}) {
        MakeFileCell(cell, dir + name, art, host);
        EXPECT_EQ(cell.At(50, 50) & 0xFFFFFF, 0u) << name;
        EXPECT_EQ(cell.At(10, 10) & 0xFFFFFF, 0u) << name;
    }
}

TEST(Scan, NarrowDigitsArePaddedAndMissingArtworkLeavesPlainCells) {
    const std::string dir = TestFolder().string();
    MYBIT glyph;
    glyph.CreateFilled(0x0000FF, 10, 25);
    for (uint32_t& w : glyph.pixels) w |= 0xFF000000;
    ASSERT_TRUE(glyph.SaveFile(dir + "/3.bmp"));
    FakeScan host;
    BrowserArtwork art;
    LoadArtwork(art, dir, host);
    EXPECT_EQ(host.boxes.size(), 12u);  // everything else is missing
    ASSERT_EQ(art.digits[3].Width(), 16);
    EXPECT_EQ(art.digits[3].At(2, 0), 0u);
    EXPECT_EQ(art.digits[3].At(3, 0), 0xFFFF0000u);
    EXPECT_EQ(art.digits[4].Width(), 16);  // a missing glyph is an empty box

    MYBIT cell;
    MakeParentCell(cell, art);
    EXPECT_EQ(cell.Width(), 100);
    EXPECT_EQ(cell.At(50, 50) & 0xFFFFFF, ColorRefToPixel(kCellGrey));
}
