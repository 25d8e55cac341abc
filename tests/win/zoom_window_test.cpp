// A puzzle larger than half the screen, played through the main window on
// its larger table: it starts fitted, pieces join when dragged in the fit
// view, the wheel and Ctrl+0 / Ctrl+1 change the view, and nothing is laid
// out beyond the table, even in a window larger than the screen.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/main_window_win.h"
#include "base/text_win.h"
#include "game/game_record.h"
#include "game/start_puzzle.h"
#include "pieces/board_ops.h"
#include "win_test_util.h"

using namespace wintest;

namespace {

struct ZoomWindowTest : testing::Test {
    RecordingHost host;
    std::wstring folder;
    HWND window = nullptr;

    void SetUp() override {
        folder = FreshFolder();
        Settings& s = Shell().settings;
        LoadSettings(s, QuotedExe(folder));
        s.guide = 0;
        s.rotation = 0;
        s.flip = 0;
        s.pieceCount = 20;
        host.clock = 20240;
        Shell().host = &host;
        static bool registered = RegisterMainClass(GetModuleHandleW(nullptr));
        ASSERT_TRUE(registered);
        window = CreateMainWindow(GetModuleHandleW(nullptr));
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_SHOWMAXIMIZED);
    }

    void TearDown() override {
        if (window && IsWindow(window)) DestroyWindow(window);
        PumpUntil([] { return false; }, 0);
        ResetGame(Shell().game);
        Shell().host = &Shell().winHost;
    }

    // The sample picture at `size` pixels, made through the menu's open
    // path (a pick of the picture strip) and played.
    void MakePuzzle(int size) {
        Shell().settings.pictureSize = size;
        const std::wstring picture = folder + L"\\花畑.bmp";
        ASSERT_TRUE(CopyFileW((ExeDir() + L"\\image\\花畑.bmp").c_str(), picture.c_str(), FALSE));
        PuzzleGame& g = Shell().game;
        ASSERT_EQ(StartPuzzle(g, Narrow(picture)), 1);
        ASSERT_TRUE(PumpUntil([&] { return g.State() == kStatePlaying && g.totalPieces > 0; }, 60000));
    }

    // A client point over the piece's own pixel, found through the view.
    bool ClientPointOn(int piece, Point* at) const {
        const PuzzleGame& g = Shell().game;
        int k = -1;
        for (int i = 0; i < g.board.count; ++i)
            if (g.board.order[i] == piece) k = i;
        const Rect r = g.view.TableToClient(g.board.pieces[piece].BoardRect());
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const Point t = g.view.ClientToTable({x, y});
                if (HitTest(g.board, t.x, t.y) == k) {
                    *at = {x, y};
                    return true;
                }
            }
        return false;
    }

    // Ctrl held down as the player's hand holds it, for the key.
    void CtrlKey(int vk) {
        keybd_event(VK_CONTROL, 0, 0, 0);
        SendMessageW(window, WM_KEYDOWN, static_cast<WPARAM>(vk), 0);
        keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
        PumpUntil([] { return false; }, 0);
    }

    // Every piece's top-left corner lies on the table (the scatter lets a
    // piece reach past the bottom by part of its height), and a piece of a
    // group of its own lies on it whole once laid out.
    bool AllOnTheTable(bool laidOut = false) const {
        const PuzzleGame& g = Shell().game;
        const Size t = TableSize(Shell().background);
        for (int i = 0; i < g.board.count; ++i) {
            const Piece& p = g.board.pieces[i];
            if (IsSpeck(p)) continue;
            bool alone = true;
            for (int j = 0; j < g.board.count; ++j) alone &= j == i || g.board.pieces[j].group != p.group;
            const bool whole = laidOut && alone;
            if (p.left < 0 || p.top < 0 || p.left >= t.cx || p.top >= t.cy) return false;
            if (whole && (p.right > t.cx || p.bottom > t.cy)) return false;
        }
        return true;
    }
};

}  // namespace

TEST_F(ZoomWindowTest, ABigPuzzleStartsFittedAndPlaysAtEveryZoom) {
    ASSERT_NO_FATAL_FAILURE(MakePuzzle(1000));
    PuzzleGame& g = Shell().game;
    Board& b = g.board;
    const Size screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const Size table = TableSize(Shell().background);
    ASSERT_EQ(table, TableSizeFor(screen, Size{g.picture.Width(), g.picture.Height()}));
    ASSERT_GT(table.cx, screen.cx);
    EXPECT_TRUE(g.view.fitted);
    EXPECT_LT(g.view.scale, 1.0);
    for (int i = 0; i < b.count; ++i) EXPECT_LT(b.pieces[i].left, table.cx / 2) << i;
    EXPECT_TRUE(AllOnTheTable());

    // A piece dragged in the fit view onto its place beside a neighbour
    // joins it, though a screen pixel is more than a table pixel.
    int anchor = 0;
    while (IsSpeck(b.pieces[anchor])) ++anchor;
    int piece = -1;
    for (int32_t nb : b.pieces[anchor].neighbours)
        if (nb >= 0 && !IsSpeck(b.pieces[nb])) piece = nb;
    ASSERT_GE(piece, 0);
    Point at;
    ASSERT_TRUE(ClientPointOn(piece, &at));
    const Piece& p = b.pieces[piece];
    const Piece& a = b.pieces[anchor];
    const int dx = a.left + p.homeLeft - a.homeLeft - p.left, dy = a.top + p.homeTop - a.homeTop - p.top;
    DragBy(window, at, static_cast<int>(std::lround(dx * g.view.scale)), static_cast<int>(std::lround(dy * g.view.scale)));
    EXPECT_EQ(b.pieces[piece].group, b.pieces[anchor].group);

    // The wheel over the board zooms in one step at the pointer, and the
    // table point under it stays there.
    const Point pointer{g.view.client.cx / 3, g.view.client.cy / 2};
    const double tx = g.view.originX + pointer.x / g.view.scale, ty = g.view.originY + pointer.y / g.view.scale;
    const double before = g.view.scale;
    POINT screenPoint{pointer.x, pointer.y};
    ClientToScreen(window, &screenPoint);
    SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screenPoint.x, screenPoint.y));
    PumpUntil([] { return false; }, 0);
    EXPECT_GT(g.view.scale, before);
    EXPECT_NEAR(g.view.originX + pointer.x / g.view.scale, tx, 1.0);
    EXPECT_NEAR(g.view.originY + pointer.y / g.view.scale, ty, 1.0);

    // Ctrl+1: 100 %, whole pixels; Ctrl+0: the whole table again.
    CtrlKey('1');
    EXPECT_TRUE(g.view.OneToOne());
    CtrlKey('0');
    EXPECT_TRUE(g.view.fitted);
    EXPECT_DOUBLE_EQ(g.view.scale, before);

    // Both layout commands keep every piece on the table.
    SendMessageW(window, WM_COMMAND, 0x5016, 0);
    EXPECT_TRUE(AllOnTheTable());
    SendMessageW(window, WM_COMMAND, 0x5017, 0);
    EXPECT_TRUE(AllOnTheTable(true));
}

TEST_F(ZoomWindowTest, InAWindowLargerThanTheScreenPiecesStayOnTheTable) {
    ShowWindow(window, SW_RESTORE);
    const Size screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SetWindowPos(window, nullptr, 0, 0, screen.cx + 600, screen.cy + 400, SWP_NOZORDER);
    RECT client{};
    GetClientRect(window, &client);
    ASSERT_GT(client.right, screen.cx);
    ASSERT_NO_FATAL_FAILURE(MakePuzzle(400));
    PuzzleGame& g = Shell().game;
    ASSERT_EQ(TableSize(Shell().background), screen);
    EXPECT_TRUE(g.view.OneToOne());
    EXPECT_TRUE(AllOnTheTable());
    for (unsigned command : {0x5014u, 0x5016u, 0x5017u}) {
        SendMessageW(window, WM_COMMAND, command, 0);
        EXPECT_TRUE(AllOnTheTable(command == 0x5017u)) << std::hex << command;
    }
}
