// The thumbnail strips through the real windows: the picture strip at
// start-up, choices by mouse, the pattern strip, saved games, tiles, and
// reopening a strip while its folder is still being scanned.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_window_win.h"
#include "base/text_win.h"
#include "browser/browser_view.h"
#include "browser/browser_window_win.h"
#include "config/sounds.h"
#include "game/game_record.h"
#include "image/picture_read.h"
#include "win_test_util.h"

using namespace wintest;

namespace {

// The sample pictures, patterns and tiles beside the program, and no guide.
struct BrowserTest : PlayerTest {
    void SetUp() override {
        PlayerTest::SetUp();
        for (const wchar_t* data : {L"image", L"pattern", L"back"})
            CopyFolderFiles(ExeDir() + L"\\" + data, folder + L"\\" + data);
        Shell().settings.guide = 0;
    }

    RECT InParent(HWND strip) {
        RECT r{};
        GetWindowRect(strip, &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    // The visible strip over all others.
    HWND TopStrip() {
        for (HWND w = GetWindow(window, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
            if (StripSlotOf(w) >= 0 && IsWindowVisible(w)) return w;
        return nullptr;
    }
};

// Dialog boxes of this process on the screen: a box the scan's worker
// showed itself (the test's host records every box of the main window's
// thread instead of showing it).
int BoxesShown() {
    int n = 0;
    EnumWindows(
        [](HWND w, LPARAM count) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            wchar_t cls[16] = {};
            GetClassNameW(w, cls, 16);
            if (pid == GetCurrentProcessId() && IsWindowVisible(w) && std::wstring(cls) == L"#32770")
                ++*reinterpret_cast<int*>(count);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&n));
    return n;
}

}  // namespace

TEST_F(BrowserTest, ThePictureStripOpensAtStartAndAClickStartsThatPicture) {
    ASSERT_NO_FATAL_FAILURE(Create());
    HWND strip = StripWindow(0);
    ASSERT_NE(strip, nullptr);
    wchar_t cls[32] = {};
    GetClassNameW(strip, cls, 32);
    EXPECT_STREQ(cls, L"ViewWin");
    EXPECT_EQ(GetWindowLongW(strip, GWL_STYLE) & ~WS_VISIBLE, 0x44CA0000);
    RECT client{};
    GetClientRect(strip, &client);
    EXPECT_EQ(client.right, 500);
    EXPECT_EQ(client.bottom, 100);
    EXPECT_EQ(InParent(strip).left, 0);

    ASSERT_TRUE(WaitListed(0));
    wchar_t title[MAX_PATH] = {};
    GetWindowTextW(strip, title, MAX_PATH);
    EXPECT_EQ(std::wstring(title), folder + L"\\image");
    const BrowserView& v = View(0);
    ASSERT_EQ(v.Count(), 3);
    for (int i = 1; i < 3; ++i)
        EXPECT_LT(lstrcmpW(Widen(v.entries[i - 1].name).c_str(), Widen(v.entries[i].name).c_str()), 0);
    EXPECT_EQ(Scanned(), std::vector<std::string>{"sound " + TheSounds().path[0]});
    // Resizing keeps the client 100 high.
    RECT outer{};
    GetWindowRect(strip, &outer);
    SetWindowPos(strip, nullptr, 0, 0, 640, 300, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(strip, &client);
    EXPECT_EQ(client.bottom, 100);
    EXPECT_EQ(v.clientWidth, client.right);

    const int k = IndexOf(0, folder + L"\\image\\花畑.bmp");
    ASSERT_GE(k, 0);
    ClickEntry(0, k);
    PuzzleGame& g = Shell().game;
    ASSERT_TRUE(PumpUntil([&] { return g.State() == kStatePlaying && g.totalPieces > 0; }, 60000));
    EXPECT_EQ(g.pictureFile, Narrow(folder + L"\\image\\花畑.bmp"));
    EXPECT_FALSE(IsWindowVisible(strip));
    EXPECT_EQ(v.shown, 0);
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(BrowserTest, APatternPuzzleWaitsForBothStripsAndASavedGameCellRestoresIt) {
    Shell().settings.pieceCount = 0;
    ASSERT_NO_FATAL_FAILURE(Create());
    HWND pictures = StripWindow(0), patterns = StripWindow(1);
    ASSERT_NE(patterns, nullptr);
    // The pattern strip stands just below the picture strip.
    EXPECT_EQ(InParent(patterns).left, InParent(pictures).left);
    EXPECT_EQ(InParent(patterns).top, InParent(pictures).bottom);
    ASSERT_TRUE(WaitListed(0));
    ASSERT_TRUE(WaitListed(1));

    PuzzleGame& g = Shell().game;
    const std::wstring flowers = folder + L"\\image\\花畑.bmp";
    ClickEntry(0, IndexOf(0, flowers));
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(g.State(), kStateNone);
    EXPECT_FALSE(IsWindowVisible(pictures));

    // Two changes of scale in a row reopen both strips (as the main
    // window's WM_DPICHANGED does; Wine sends none): the choice stays.
    for (int change = 0; change < 2; ++change) {
        for (int slot : {0, 1}) SetStripDpi(View(slot), 144);
        RescaleStrips(window);
        PumpUntil([] { return false; }, 100);
    }
    pictures = StripWindow(0);
    patterns = StripWindow(1);
    EXPECT_FALSE(IsWindowVisible(pictures));
    ASSERT_TRUE(WaitListed(0));
    ASSERT_TRUE(WaitListed(1));
    ClickEntry(1, IndexOf(1, folder + L"\\pattern\\波.bmp"));
    ASSERT_TRUE(PumpUntil([&] { return g.State() == kStatePlaying && g.totalPieces > 0; }, 60000));
    EXPECT_FALSE(IsWindowVisible(patterns));
    const int pieces = g.board.count, total = g.totalPieces;

    EXPECT_EQ(g.pictureFile, Narrow(flowers));

    // Saved beside its picture; the strip, listed already, is shown again
    // with the saved game among its cells, the others' cells kept.
    const uint32_t* flowersCell = View(0).thumbnails[static_cast<size_t>(IndexOf(0, flowers))].pixels.data();
    SendMessageW(window, WM_COMMAND, 0x5011, 0);
    const std::wstring saved = folder + L"\\image\\花畑.pko";
    ASSERT_TRUE(Exists(saved));
    SendMessageW(window, WM_COMMAND, 0x5010, 0);
    EXPECT_EQ(g.State(), kStateNone);
    EXPECT_EQ(StripWindow(0), pictures);
    EXPECT_TRUE(IsWindowVisible(pictures));
    const int k = IndexOf(0, saved);
    ASSERT_GE(k, 0);
    EXPECT_EQ(View(0).thumbnails[static_cast<size_t>(IndexOf(0, flowers))].pixels.data(), flowersCell);
    ClickEntry(0, k);
    ASSERT_TRUE(PumpUntil([&] { return g.State() == kStatePlaying; }, 10000));
    EXPECT_EQ(g.pictureFile, Narrow(saved));
    EXPECT_EQ(g.board.count, pieces);
    EXPECT_EQ(g.totalPieces, total);
}

TEST_F(BrowserTest, TheTileStripChangesTheBackground) {
    ASSERT_NO_FATAL_FAILURE(Create());
    SendMessageW(window, WM_COMMAND, 0x5061, 0);
    HWND tiles = StripWindow(2);
    ASSERT_NE(tiles, nullptr);
    ASSERT_TRUE(WaitListed(2));
    const std::wstring tile = folder + L"\\back\\タイル１.bmp";
    ClickEntry(2, IndexOf(2, tile));
    ASSERT_TRUE(PumpUntil([&] { return PathField(Shell().settings.tileFile) == Narrow(tile); }, 5000));
    MYBIT expected;
    ASSERT_EQ(LoadFile(expected, Narrow(tile), host, 1), 1);
    const MYBIT& board = Shell().background.boardPicture;
    EXPECT_EQ(board.At(expected.Width() + 3, 5) & 0xFFFFFF, expected.At(3, 5) & 0xFFFFFF);
    EXPECT_FALSE(IsWindowVisible(tiles));
}

TEST_F(BrowserTest, ClosingWithoutAPressForgetsTheChoiceAndReopeningWhileScanningIsSafe) {
    // Forty large pictures take the worker a while.
    const std::wstring many = folder + L"\\many";
    CreateDirectoryW(many.c_str(), nullptr);
    for (int i = 0; i < 40; ++i)
        CopyFileW((ExeDir() + L"\\image\\山と湖.jpg").c_str(),
                  (many + L"\\" + std::to_wstring(i) + L".jpg").c_str(), FALSE);
    SetPathField(Shell().settings.imageFolder, Narrow(many));
    ASSERT_NO_FATAL_FAILURE(Create());
    PuzzleGame& g = Shell().game;

    // Reopened three times while it lists, then closed mid-scan and opened
    // again: one strip, one complete listing.
    for (int i = 0; i < 3; ++i) {
        PumpUntil([] { return false; }, 30);
        OpenBrowser(0, window, Shell().settings.imageFolder, 0, 0, 1);
    }
    PumpUntil([&] { return View(0).Count() > 2; }, 60000);
    g.pictureChoice = 1;
    SendMessageW(StripWindow(0), WM_CLOSE, 0, 0);
    EXPECT_EQ(StripWindow(0), nullptr);
    ASSERT_TRUE(PumpUntil([&] { return g.pictureChoice == -1; }, 5000));  // nothing was pressed
    SendMessageW(window, WM_COMMAND, 0x5010, 0);
    ASSERT_TRUE(WaitListed(0));
    EXPECT_EQ(View(0).Count(), 40);
    int strips = 0;
    for (HWND w = FindWindowExW(window, nullptr, L"ViewWin", nullptr); w;
         w = FindWindowExW(window, w, L"ViewWin", nullptr))
        ++strips;
    EXPECT_EQ(strips, 1);

    // The wheel over the strip steps it; a strip closed after a press
    // tells nothing.
    HWND strip = StripWindow(0);
    RECT r{};
    GetWindowRect(strip, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    const int first = View(0).firstIndex;
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    EXPECT_EQ(View(0).firstIndex, (first + 1) % 40);
    EXPECT_EQ(View(0).dragSpeed, 0);
    SendMessageW(strip, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    g.pictureChoice = 1;
    SendMessageW(strip, WM_CLOSE, 0, 0);
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(g.pictureChoice, 1);
}

TEST_F(BrowserTest, NavigationGoesFromTheDriveListToARootAndBack) {
    ASSERT_NO_FATAL_FAILURE(Create());
    static char field[260] = "/root";
    OpenBrowser(3, window, field, 0, 200, 0);
    BrowserView& v = View(3);
    ASSERT_EQ(v.state, kBrowserListed);  // the drives are listed at once
    wchar_t title[64] = {};
    GetWindowTextW(StripWindow(3), title, 64);
    EXPECT_STREQ(title, L"/root");
    int z = -1;
    for (int i = 0; i < v.Count(); ++i) {
        EXPECT_EQ(v.entries[i].type, 'B');
        if (v.entries[i].name == "Z:\\") z = i;
    }
    ASSERT_GE(z, 0);
    ClickEntry(3, z);
    EXPECT_STREQ(field, "Z:");
    ASSERT_TRUE(WaitListed(3));
    GetWindowTextW(StripWindow(3), title, 64);
    EXPECT_STREQ(title, L"Z:");
    ASSERT_GE(v.Count(), 1);
    EXPECT_EQ(v.entries[0].type, 'A');
    ClickEntry(3, 0);
    EXPECT_STREQ(field, "/root");
    EXPECT_EQ(v.state, kBrowserListed);
    EXPECT_EQ(InParent(StripWindow(3)).top, 200);  // reopened where it stood
}

// With the piece count "ﾊﾟﾀｰﾝ使用" a saved game chosen from the picture
// strip is taken up at once; the pattern strip goes with the start screen,
// and a click on one of its cells throws nothing away.
TEST_F(BrowserTest, ARestoredGameIsNeverReplacedByAPatternClick) {
    Settings& s = Shell().settings;
    s.pieceCount = 4;
    ASSERT_NO_FATAL_FAILURE(Create());
    ASSERT_TRUE(WaitListed(0));
    PuzzleGame& g = Shell().game;
    ClickEntry(0, IndexOf(0, folder + L"\\image\\花畑.bmp"));
    ASSERT_TRUE(WaitPlaying());
    SendMessageW(window, WM_COMMAND, 0x5011, 0);  // "状態保存"
    const std::wstring saved = folder + L"\\image\\花畑.pko";
    ASSERT_TRUE(Exists(saved));
    const int pieces = g.board.count;

    // Both strips listed afresh, the saved game among the pictures.
    s.pieceCount = 0;
    SendMessageW(StripWindow(0), WM_CLOSE, 0, 0);
    SendMessageW(window, WM_COMMAND, 0x5010, 0);
    ASSERT_TRUE(WaitListed(0));
    ASSERT_TRUE(WaitListed(1));
    HWND patterns = StripWindow(1);
    ASSERT_TRUE(IsWindowVisible(patterns));
    ClickEntry(0, IndexOf(0, saved));
    ASSERT_TRUE(PumpUntil([&] { return g.State() == kStatePlaying; }, 10000));
    EXPECT_FALSE(IsWindowVisible(patterns));
    EXPECT_EQ(View(1).shown, 0);

    ClickEntry(1, IndexOf(1, folder + L"\\pattern\\波.bmp"));
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(g.State(), kStatePlaying);
    EXPECT_EQ(g.pictureFile, Narrow(saved));
    EXPECT_EQ(g.board.count, pieces);
}

// "設定 › 背景 › タイル..." opens its strip where the picture strip stands:
// the tile strip comes over it and the wheel there steps the tile strip;
// "開く..." shows the picture strip again over the tiles.
TEST_F(BrowserTest, AStripOpenedOrShownComesOnTopAndTakesTheWheel) {
    ASSERT_NO_FATAL_FAILURE(Create());
    ASSERT_TRUE(WaitListed(0));
    SendMessageW(window, WM_COMMAND, 0x5061, 0);
    ASSERT_TRUE(WaitListed(2));
    HWND pictures = StripWindow(0), tiles = StripWindow(2);
    ASSERT_TRUE(IsWindowVisible(pictures));
    EXPECT_EQ(InParent(tiles).top, InParent(pictures).top);
    EXPECT_EQ(TopStrip(), tiles);

    RECT r{};
    GetWindowRect(tiles, &r);
    SetCursorPos(r.left + 50, r.bottom - 50);
    auto wheel = [&](int steppedSlot, int stillSlot) {
        const int stepped = View(steppedSlot).firstIndex, still = View(stillSlot).firstIndex;
        SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
        EXPECT_EQ(View(steppedSlot).firstIndex, (stepped + 1) % View(steppedSlot).Count()) << steppedSlot;
        EXPECT_EQ(View(stillSlot).firstIndex, still) << stillSlot;
    };
    wheel(2, 0);

    SendMessageW(window, WM_COMMAND, 0x5010, 0);
    EXPECT_EQ(StripWindow(0), pictures);  // listed already: shown, not opened
    EXPECT_EQ(TopStrip(), pictures);
    wheel(0, 2);
}

// A picture the scan cannot read is told once the listing is complete, by
// the main window: no box of the worker's own stands in the way when the
// strip is reopened mid-scan or the program closes, and a listing cut
// short tells nothing.
TEST_F(BrowserTest, AnUnreadablePictureIsToldOnceWhenTheListingEnds) {
    const std::wstring dir = folder + L"\\slow";
    CreateDirectoryW(dir.c_str(), nullptr);
    ASSERT_NO_FATAL_FAILURE(WriteBytes(dir + L"\\0.jpg", {0xFF, 0xD8, 'n', 'o'}));
    // Large pictures after it keep the worker busy.
    for (int i = 1; i <= 40; ++i)
        CopyFileW((ExeDir() + L"\\image\\山と湖.jpg").c_str(),
                  (dir + L"\\" + std::to_wstring(i) + L".jpg").c_str(), FALSE);
    SetPathField(Shell().settings.imageFolder, Narrow(dir));
    ASSERT_NO_FATAL_FAILURE(Create());
    auto unreadable = [&] {
        int n = 0;
        for (const RecordingHost::Box& b : host.boxes) n += b.text.rfind("読み込みできません。", 0) == 0;
        return n;
    };

    ASSERT_TRUE(PumpUntil([&] { return View(0).Count() >= 1; }, 30000));
    ASSERT_TRUE(View(0).scanning);
    EXPECT_EQ(BoxesShown(), 0);
    EXPECT_EQ(unreadable(), 0);
    OpenBrowser(0, window, Shell().settings.imageFolder, 0, 0, 1);  // reopened mid-scan
    ASSERT_TRUE(WaitListed(0));
    EXPECT_EQ(BoxesShown(), 0);
    ASSERT_EQ(unreadable(), 1);
    const RecordingHost::Box& told = host.boxes.back();
    EXPECT_EQ(told.text, "読み込みできません。\n" + Narrow(dir + L"\\0.jpg"));
    EXPECT_EQ(told.caption, "イメージ読込失敗");
    EXPECT_EQ(told.owner, Owner::kMainWindow);

    // Listed again and closed with the program half-way.
    SendMessageW(StripWindow(0), WM_CLOSE, 0, 0);
    SendMessageW(window, WM_COMMAND, 0x5010, 0);
    ASSERT_TRUE(PumpUntil([&] { return View(0).Count() >= 1; }, 30000));
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    StopAllScans();
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(BoxesShown(), 0);
    EXPECT_EQ(unreadable(), 1);
}
