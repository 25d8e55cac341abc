// Listing a folder for a strip, and the cells of pictures and saved games.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "base/file_io.h"
#include "browser/folder_scan.h"
#include "config/settings.h"
#include "config/trace.h"
#include "saved_game_head.h"
#include "solid_listing.h"
#include "support/fake_host.h"
#include "support/test_folder.h"

namespace {

// The platform as a test sets it up: the names a folder holds, an order
// that ignores case first (as the system's does), and a record of what the
// scan plays and of the boxes it kept.
struct FakeScan : ScanHost {
    std::vector<std::pair<std::string, uint32_t>> names;
    bool listable = true;
    std::vector<std::string> boxes, sounds;
    int finished = 0;

    // Every box kept so far: its text, or for a Windows error its call.
    const std::vector<std::string>& Boxes() {
        for (const ScanFailure& f : TakeFailures())
            boxes.push_back(f.kind == ScanFailure::kBox ? f.text : f.call);
        return boxes;
    }

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
    void PlaySound(const std::string& path) override { sounds.push_back(path); }
    void ScanFinished() override { ++finished; }
};

constexpr uint32_t kFile = kAttrArchive;

void SavePicture(const std::string& path, int w, int h, ColorRef color) {
    MYBIT p;
    p.CreateFilled(color, w, h);
    ASSERT_TRUE(p.SaveFile(path));
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

// The reader's two failures, as the worker keeps them.
ScanFailure Unreadable(const std::string& path) {
    return {ScanFailure::kBox, "読み込みできません。\n" + path, "イメージ読込失敗", kMbOk, {}, {}, 0};
}
ScanFailure NotOpened(const std::string& path, uint32_t code) {
    return {ScanFailure::kWindowsError, {}, {}, 0, "CreateFile", path, code};
}

// "p7" and the like.
std::string Numbered(const char* prefix, int i) {
    std::string s = prefix;
    s += std::to_string(i);
    return s;
}

// "p0\np1...": the names from first to last, one a line.
std::string Names(const char* prefix, int first, int last) {
    std::string out;
    for (int i = first; i <= last; ++i) {
        if (i > first) out += '\n';
        out += Numbered(prefix, i);
    }
    return out;
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
    EXPECT_TRUE(host.Boxes().empty());

    // The extension is what follows the last dot, whole, in any case.
    for (const auto& [name, listed] : {std::pair{"2024.05.01.jpg", true}, {"2024.05.01", false},
                                       {"a.jpg.txt", false}, {"a.JPEG", true}, {"a.jpe", false},
                                       {"a.jpegs", false}, {"a.xbmp", false}, {"a.pko", true},
                                       {".bmp", true}, {"bmp", false}, {"a.bmp.", false}})
        EXPECT_EQ(IsListedFile(name, kFile), listed) << name;

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
    const std::vector<std::string>& boxes = host.Boxes();
    EXPECT_EQ(std::count(boxes.begin(), boxes.end(), kTooManyFilesText), 1);
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
    EXPECT_TRUE(host.Boxes().empty());
    // The remaining count from (5, 5); the total right-aligned, its last
    // digit at x = 79: 100 at 47, 63, 79.
    for (auto [x, d] : {std::pair{4, -1}, {5, 7}, {20, 7}, {21, -1}}) EXPECT_EQ(DigitAt(cell, x, 10), d) << x;
    for (auto [x, d] : {std::pair{46, -1}, {47, 1}, {62, 1}, {63, 0}, {79, 0}, {94, 0}, {95, -1}})
        EXPECT_EQ(DigitAt(cell, x, 80), d) << x;
    EXPECT_EQ(cell.At(0, 0) & 0xFFFFFF, 0xFFu);  // the frame on top

    // A game holds 0 to 10000 pieces: both counts are drawn up to the
    // limit, and one past it (or below 0) gives a black cell.
    struct Counts {
        int32_t remaining, total;
        bool shown;
    };
    for (const Counts& c : {Counts{0, 1, true}, {-1, 1, false}, {7, 9999, true}, {7, 10000, true},
                            {7, 10001, false}, {10000, 10000, true}, {10001, 10000, false}}) {
        SCOPED_TRACE(testing::Message() << c.remaining << " of " << c.total);
        SaveGameHead(dir + "/counts.pko", c.remaining, c.total);
        MakeFileCell(cell, dir + "/counts.pko", art, host);
        EXPECT_EQ(cell.At(50, 50) & 0xFFFFFF, c.shown ? 0x00FF00u : 0u);
        if (!c.shown) continue;
        const int digits = static_cast<int>(std::to_string(c.total).size());
        EXPECT_EQ(DigitAt(cell, 79 + 15 - 16 * (digits - 1), 80), std::to_string(c.total)[0] - '0');
        EXPECT_EQ(DigitAt(cell, 5, 10), std::to_string(c.remaining)[0] - '0');
    }

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
    EXPECT_EQ(host.Boxes().size(), 12u);  // everything else is missing
    ASSERT_EQ(art.digits[3].Width(), 16);
    EXPECT_EQ(art.digits[3].At(2, 0), 0u);
    EXPECT_EQ(art.digits[3].At(3, 0), 0xFFFF0000u);
    EXPECT_EQ(art.digits[4].Width(), 16);  // a missing glyph is an empty box

    MYBIT cell;
    MakeParentCell(cell, art);
    EXPECT_EQ(cell.Width(), 100);
    EXPECT_EQ(cell.At(50, 50) & 0xFFFFFF, ColorRefToPixel(kCellGrey));
}

TEST(Scan, KeepsTheReadersBoxesOfItsOwnListingOnly) {
    const std::string dir = TestFolder().string();
    SavePicture(dir + "/good.bmp", 20, 10, 0x00FF00);
    std::ofstream(dir + "/broken.bmp") << "BM, but nothing more";
    FakeScan host;
    host.names = {{"good.bmp", kFile}, {"broken.bmp", kFile}, {"gone.jpg", kFile}};
    BrowserView v;
    ScanFolder(v, host, ScanRequest{dir, ""});
    ScanFolder(v, host, ScanRequest{dir, ""});  // the first listing's boxes go
    std::vector<ScanFailure> kept = host.TakeFailures();
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].kind, ScanFailure::kBox);
    EXPECT_EQ(kept[0].text, "読み込みできません。\n" + dir + "\\broken.bmp");
    EXPECT_EQ(kept[0].caption, "イメージ読込失敗");
    EXPECT_EQ(kept[1].kind, ScanFailure::kWindowsError);
    EXPECT_EQ(kept[1].call, "CreateFile");
    EXPECT_EQ(kept[1].object, dir + "\\gone.jpg");
    EXPECT_NE(kept[1].code, 0u);
    EXPECT_TRUE(host.TakeFailures().empty());  // taken once
    EXPECT_EQ(v.Count(), 3);
    EXPECT_EQ(v.thumbnails[0].At(50, 50) & 0xFFFFFF, 0u);  // broken.bmp: black
}

// A saved game the game writes into a listed folder joins the listing when
// the strip is next shown; every other entry keeps its cell, the strip its
// place and press.
TEST(Scan, ASavedGameWrittenAfterTheListingJoinsItWhenShown) {
    const std::string dir = TestFolder().string();
    SavePicture(dir + "/a.bmp", 20, 10, 0x0000FF);
    SavePicture(dir + "/c.bmp", 20, 10, 0x0000FF);
    SaveGameHead(dir + "/d.pko", 7, 100);
    BrowserSet set;
    char pictures[kPathField];
    SetPathField(pictures, dir);
    set[0].folder = pictures;
    BrowserView& v = set[0];
    v.art = TestArtwork();
    FakeScan host;
    host.names = {{"c.bmp", kFile}, {"d.pko", kFile}, {"a.bmp", kFile}};
    ScanFolder(v, host, ScanRequest{dir, ""});
    ASSERT_EQ(v.Count(), 3);
    v.state = kBrowserListed;
    for (int i : {0, 1}) v.thumbnails[static_cast<size_t>(i)].At(1, 1) = 0x123456;  // kept cells keep it
    v.firstIndex = 1;
    v.pressedIndex = 2;

    // Noted once per slot of that folder, in any case of its letters.
    SaveGameHead(dir + "/B.pko", 3, 50);
    SaveGameHead(dir + "/d.pko", 2, 100);
    NoteWrittenFile(set, dir + "\\B.pko");
    NoteWrittenFile(set, dir + "\\B.pko");
    std::string upper = dir;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    NoteWrittenFile(set, upper + "/D.PKO");
    NoteWrittenFile(set, dir + "/sub/e.pko");
    EXPECT_EQ(v.written.size(), 2u);

    // While the folder is still being listed nothing changes.
    v.scanning = true;
    EXPECT_FALSE(ListWrittenFiles(v, host));
    v.scanning = false;
    v.state = kBrowserListing;
    EXPECT_FALSE(ListWrittenFiles(v, host));
    EXPECT_EQ(v.Count(), 3);
    v.state = kBrowserListed;

    ASSERT_TRUE(ListWrittenFiles(v, host));
    ASSERT_EQ(v.Count(), 4);
    std::vector<std::string> names;
    for (const BrowserEntry& e : v.entries) names.push_back(e.name.substr(dir.size()));
    EXPECT_EQ(names, (std::vector<std::string>{"\\a.bmp", "\\B.pko", "\\c.bmp", "\\d.pko"}));
    EXPECT_EQ(v.thumbnails[0].At(1, 1), 0x123456u);
    EXPECT_EQ(v.thumbnails[2].At(1, 1), 0x123456u);
    EXPECT_EQ(DigitAt(v.thumbnails[1], 5, 10), 3);  // the new game's cell
    EXPECT_EQ(DigitAt(v.thumbnails[3], 5, 10), 2);  // the game saved again, its cell made anew
    EXPECT_EQ(v.firstIndex, 2);
    EXPECT_EQ(v.pressedIndex, 3);
    EXPECT_TRUE(v.written.empty());
    EXPECT_TRUE(host.Boxes().empty());

    // A finished saved game deleted leaves the strip; the press and the left
    // edge keep their entries.
    ASSERT_TRUE(DeleteFileAt(dir + "/B.pko"));
    NoteRemovedFile(set, dir + "/B.pko");
    ASSERT_TRUE(ListWrittenFiles(v, host));
    ASSERT_EQ(v.Count(), 3);
    EXPECT_EQ(v.entries[1].name.substr(dir.size()), "\\c.bmp");
    EXPECT_EQ(v.firstIndex, 1);
    EXPECT_EQ(v.pressedIndex, 2);

    // A strip holds kMaxBrowserEntries at most: one short of it takes the
    // new file, a full one does not.
    for (int listed : {kMaxBrowserEntries - 1, kMaxBrowserEntries}) {
        ListSolid(v, listed, 1);
        v.written = {dir + "/B.pko"};
        ASSERT_TRUE(ListWrittenFiles(v, host));
        EXPECT_EQ(v.Count(), std::min(listed + 1, kMaxBrowserEntries)) << listed;
        EXPECT_EQ(v.entries.size(), static_cast<size_t>(v.Count()));
    }
}

TEST(ScanFailures, AlikeShareOneBoxThatListsTwentyFilesAtMost) {
    auto show = [](const std::vector<ScanFailure>& failures) {
        FakeHost host;
        ShowScanFailures(host, failures);
        return host;
    };
    for (int n : {kMostFailuresListed - 1, kMostFailuresListed}) {
        std::vector<ScanFailure> f;
        for (int i = 0; i < n; ++i) f.push_back(Unreadable(Numbered("p", i)));
        FakeHost host = show(f);
        ASSERT_EQ(host.boxes.size(), 1u) << n;
        EXPECT_EQ(host.boxes[0].text, "読み込みできません。\n" + Names("p", 0, n - 1));
        EXPECT_EQ(host.boxes[0].caption, "イメージ読込失敗");
        EXPECT_EQ(host.boxes[0].flags, kMbOk);
        EXPECT_EQ(host.boxes[0].owner, Owner::kMainWindow);
    }
    std::vector<ScanFailure> f;
    for (int i = 0; i < kMostFailuresListed + 1; ++i) f.push_back(Unreadable(Numbered("p", i)));
    ASSERT_EQ(show(f).boxes.size(), 1u);
    EXPECT_EQ(show(f).boxes[0].text, "読み込みできません。\n" + Names("p", 0, 19) + "\nほか1件");
    for (int i = 0; i < 4; ++i) f.push_back(Unreadable(Numbered("q", i)));
    EXPECT_EQ(show(f).boxes[0].text, "読み込みできません。\n" + Names("p", 0, 19) + "\nほか5件");
    EXPECT_TRUE(show({}).boxes.empty());
}

TEST(ScanFailures, OneBoxForEachKindInTheOrderMet) {
    FakeHost host;
    ShowScanFailures(host, {NotOpened("a", 2),
                            Unreadable("b"),
                            NotOpened("c", 5),
                            NotOpened("d", 2),
                            {ScanFailure::kBox, kTooManyFilesText, "pukko", kMbOk, {}, {}, 0},
                            Unreadable("e"),
                            {ScanFailure::kBox, "読み込みできません。\nf", "other", kMbOk, {}, {}, 0}});
    // Windows errors of one call and code list their objects; a box of
    // one line stays as it was.
    EXPECT_EQ(host.windowsErrors, (std::vector<std::string>{"CreateFile\na\nd", "CreateFile\nc"}));
    ASSERT_EQ(host.boxes.size(), 3u);
    EXPECT_EQ(host.boxes[0].text, "読み込みできません。\nb\ne");
    EXPECT_EQ(host.boxes[1].text, kTooManyFilesText);
    EXPECT_EQ(host.boxes[1].caption, "pukko");
    EXPECT_EQ(host.boxes[2].text, "読み込みできません。\nf");
    EXPECT_EQ(host.boxes[2].caption, "other");
}

// The user-interface thread works the strip while the worker lists the
// folder and makes its cells; both write the trace, the worker because
// the artwork is missing.  The sanitizer build for threads runs this to
// find any access the two threads do not share safely.
TEST(Scan, TheStripIsDrawnAndClickedWhileTheWorkerFillsItAndBothTrace) {
    const std::string dir = TestFolder().string();
    FakeScan host;
    constexpr int kPictures = 24;
    for (int i = 0; i < kPictures; ++i) {
        const std::string name = Numbered("p", 10 + i) + ".bmp";
        SavePicture(dir + "/" + name, 40 + i, 30, Rgb(i * 10, 100, 200));
        host.names.push_back({name, kFile});
    }
    std::ofstream(dir + "/p99.jpg") << "no picture";
    host.names.push_back({"p99.jpg", kFile});
    FakeHost clock;
    TheTrace() = TraceState{};
    SetTraceTarget(dir, &clock);
    ToggleTrace();

    BrowserView v;
    ResetListing(v, 1);
    v.shown = 1;
    StartScan(v, host, ScanRequest{dir, ""});
    std::vector<ScanFailure> failures;
    for (bool done = false; !done;) {
        done = !v.scanning.load();
        StepStrip(v);
        OnStripPress(v, 150, 50, clock.tick);
        const StripClick click = OnStripRelease(v, 150, clock.tick);
        if (click.kind == StripClick::kPick) {
            EXPECT_EQ(v.entries[static_cast<size_t>(click.index)].type, 'F');
            EXPECT_EQ(v.thumbnails[static_cast<size_t>(click.index)].Width(), kCellSide);
        }
        TraceWrite("strip");
        for (ScanFailure& f : host.TakeFailures()) failures.push_back(std::move(f));
    }
    JoinScan(v);
    for (ScanFailure& f : host.TakeFailures()) failures.push_back(std::move(f));
    TheTrace() = TraceState{};

    ASSERT_EQ(v.Count(), kPictures + 1);
    for (int i = 0; i < kPictures; ++i)
        EXPECT_EQ(v.entries[static_cast<size_t>(i)].name, dir + "\\p" + std::to_string(10 + i) + ".bmp");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].text, "読み込みできません。\n" + dir + "\\p99.jpg");
    std::ifstream file(dir + "/trace.txt");
    const std::string trace((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_NE(trace.find(" MYBIT::Hosei(FALSE-1)\n"), std::string::npos);
    EXPECT_NE(trace.find(" strip\n"), std::string::npos);
}
