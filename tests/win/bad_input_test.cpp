// Files a player may find in a picture folder that the program cannot use,
// met through the real window: the strip lists each one and makes its cell
// (black, after the reader's message, where nothing can be shown); choosing
// it is refused with a message or played as the reader delivered it; a
// good picture plays afterwards, and nothing is written beside any of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "app/main_window_win.h"
#include "base/text_win.h"
#include "config/sounds.h"
#include "game/clock.h"
#include "win_test_util.h"

using namespace wintest;

namespace {

constexpr unsigned kOpenCommand = 0x5010;  // "開く..."

// A BMP file's two headers for w x h pixels of `bits` bits each, followed by
// only `pixelBytes` bytes of pixels.
std::vector<uint8_t> Bmp(int32_t w, int32_t h, uint16_t bits, size_t pixelBytes) {
    std::vector<uint8_t> b(54 + pixelBytes, 0x66);
    auto put = [&](size_t at, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) b[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
    };
    std::fill(b.begin(), b.begin() + 54, 0);
    b[0] = 'B';
    b[1] = 'M';
    put(2, static_cast<uint32_t>(b.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(w), 4);
    put(22, static_cast<uint32_t>(h), 4);
    put(26, 1, 2);
    put(28, bits, 2);
    return b;
}

std::vector<std::wstring> FilesIn(const std::wstring& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(fd.cFileName);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

// Nothing but black inside the cell's frame.
bool BlackCell(const MYBIT& cell) {
    for (int y = 10; y < 90; ++y)
        for (int x = 10; x < 90; ++x)
            if (cell.At(x, y) & 0xFFFFFF) return false;
    return true;
}

struct BadFile {
    std::wstring name;
    std::vector<uint8_t> bytes;
    bool boxWhenListed;
    bool blackCell;
    std::string boxWhenChosen;  // its first line; empty for none
    bool plays;                 // a puzzle is made of what the reader delivered
};

using BadInputTest = PlayerTest;

}  // namespace

TEST_F(BadInputTest, UnusableFilesAreListedAndRefusedAndAGoodPicturePlaysAfterThem) {
    Settings& s = Shell().settings;
    s.pieceCount = 4;
    s.pictureSize = 400;
    // Leaving each puzzle for the next saves nothing, so that the folder
    // shows whether reading wrote anything.
    s.saveOnExit = 0;
    ASSERT_NO_FATAL_FAILURE(CopyData(L"image", {L"花畑.bmp"}));
    const std::wstring dir = folder + L"\\image";
    const std::vector<uint8_t> jpeg = ReadBytes(ExeDir() + L"\\image\\山と湖.jpg");
    ASSERT_GT(jpeg.size(), 1000u);
    std::vector<uint8_t> noise(4096);
    std::mt19937 rng(12);
    for (uint8_t& b : noise) b = static_cast<uint8_t>(rng());
    const std::string unreadable = "読み込みできません。\n", broken = "保存ファイルが壊れています。\n";
    const std::vector<BadFile> files = {
        {L"空.jpg", {}, true, true, unreadable, true},
        // Cut off half-way through its pixels: the decoder shows what it
        // has, grey below.
        {L"途中まで.jpg", {jpeg.begin(), jpeg.begin() + jpeg.size() / 2}, false, false, "", true},
        {L"巨大.bmp", Bmp(100000, 100000, 24, 64), true, true, unreadable, true},
        {L"乱数.pko", noise, true, true, broken, false},
        // A 32-bit picture of another program, named like a saved game: its
        // head reads as a picture, the rest as no saved game.
        {L"他所.pko", Bmp(8, 8, 32, 256), false, true, broken, false},
    };
    for (const BadFile& f : files) ASSERT_NO_FATAL_FAILURE(WriteBytes(dir + L"\\" + f.name, f.bytes));
    const std::vector<std::wstring> written = FilesIn(dir);

    ASSERT_NO_FATAL_FAILURE(Create());
    ASSERT_TRUE(WaitListed(0));
    EXPECT_EQ(View(0).Count(), 6);
    // The files the reader refused, in the strip's order, told in one box
    // of the main window once the listing is complete.
    std::vector<std::string> refused(static_cast<size_t>(View(0).Count()));
    for (const BadFile& f : files) {
        const int k = IndexOf(0, dir + L"\\" + f.name);
        ASSERT_GE(k, 0) << Narrow(f.name);
        EXPECT_EQ(BlackCell(View(0).thumbnails[static_cast<size_t>(k)]), f.blackCell) << Narrow(f.name);
        if (f.boxWhenListed) refused[static_cast<size_t>(k)] = Narrow(dir + L"\\" + f.name);
    }
    std::string told = "読み込みできません。";
    for (const std::string& path : refused)
        if (!path.empty()) told += "\n" + path;
    EXPECT_EQ(Scanned(), std::vector<std::string>{"sound " + TheSounds().path[0]});
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, told);
    EXPECT_EQ(host.boxes[0].caption, "イメージ読込失敗");
    EXPECT_EQ(host.boxes[0].owner, Owner::kMainWindow);

    PuzzleGame& g = Shell().game;
    auto choose = [&](const std::wstring& name) {
        SendMessageW(window, WM_COMMAND, kOpenCommand, 0);
        host.boxes.clear();
        ClickEntry(0, IndexOf(0, dir + L"\\" + name));
    };
    for (const BadFile& f : files) {
        SCOPED_TRACE(Narrow(f.name));
        choose(f.name);
        if (f.plays)
            EXPECT_TRUE(WaitPlaying());
        else
            PumpUntil([&] { return !host.boxes.empty(); }, 5000);
        if (f.boxWhenChosen.empty()) {
            EXPECT_TRUE(host.boxes.empty());
        } else {
            ASSERT_EQ(host.boxes.size(), 1u);
            EXPECT_EQ(host.boxes[0].text, f.boxWhenChosen + Narrow(dir + L"\\" + f.name));
        }
        EXPECT_EQ(g.State(), f.plays ? kStatePlaying : kStateNone);
    }

    choose(L"花畑.bmp");
    ASSERT_TRUE(WaitPlaying());
    SolveByMouse(window, g, AssemblyOrigin(g.board), 1);
    EXPECT_EQ(IsComplete(g), 1);
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_EQ(FilesIn(dir), written);
}
