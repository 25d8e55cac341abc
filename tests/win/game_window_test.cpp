// A puzzle played through the main window: a picture dropped on it is made
// by the chain of posted messages, and the mouse drags its pieces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/main_window_win.h"
#include "base/text_win.h"
#include "game/clock.h"
#include "game/game_record.h"
#include "pieces/board_ops.h"
#include "pieces/saved_state.h"
#include "support/board_rects.h"
#include "win_test_util.h"

using namespace wintest;

namespace {

// The DROPFILES block of a drop (shlobj.h's, whose other declarations clash
// with the shell's names).
struct DropBlock {
    DWORD pFiles;
    POINT pt;
    BOOL fNC;
    BOOL fWide;
};

struct GameWindowTest : testing::Test {
    RecordingHost host;
    std::wstring folder;
    HWND window = nullptr;

    void SetUp() override {
        folder = FreshFolder();
        Settings& s = Shell().settings;
        LoadSettings(s, QuotedExe(folder));
        s.guide = 0;
        host.clock = 20240;  // the same cut and scatter every run
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

    // WM_DROPFILES as Explorer sends it: a DROPFILES block with wide names,
    // each ended by a zero, and one more zero after the last.
    void Drop(const std::vector<std::wstring>& paths) {
        std::wstring names;
        for (const std::wstring& p : paths) names += p + L'\0';
        names += L'\0';
        size_t bytes = sizeof(DropBlock) + names.size() * sizeof(wchar_t);
        HGLOBAL h = GlobalAlloc(GHND, bytes);
        auto* df = static_cast<DropBlock*>(GlobalLock(h));
        df->pFiles = sizeof(DropBlock);
        df->fWide = TRUE;
        std::memcpy(reinterpret_cast<char*>(df) + sizeof(DropBlock), names.data(),
                    names.size() * sizeof(wchar_t));
        GlobalUnlock(h);
        SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(h), 0);
    }
    void Drop(const std::wstring& path) { Drop(std::vector<std::wstring>{path}); }

    // The sample picture dropped on the window and made into a puzzle, at
    // `size` pixels when given (the setting as it stands otherwise).
    void MakePuzzle(int size = -1) {
        if (size >= 0) Shell().settings.pictureSize = size;
        const std::wstring picture = folder + L"\\花畑.bmp";
        ASSERT_TRUE(CopyFileW((ExeDir() + L"\\image\\花畑.bmp").c_str(), picture.c_str(), FALSE));
        PuzzleGame& g = Shell().game;
        Drop(picture);
        ASSERT_TRUE(PumpUntil([&] { return g.State() == kStatePlaying && g.totalPieces > 0; }, 60000));
    }

    void Command(unsigned id) { SendMessageW(window, WM_COMMAND, id, 0); }

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

    std::wstring Title() const {
        wchar_t text[128] = {};
        GetWindowTextW(window, text, 128);
        return text;
    }
};

}  // namespace

TEST_F(GameWindowTest, ADroppedPictureIsMadeAndItsPiecesMove) {
    ASSERT_NO_FATAL_FAILURE(MakePuzzle());
    PuzzleGame& g = Shell().game;
    EXPECT_GE(g.totalPieces, 12);
    EXPECT_EQ(Title().rfind(L"pukko 00:00:0", 0), 0u) << Narrow(Title());
    EXPECT_NE(Title().find(L"残り"), std::wstring::npos);
    // Every piece lies in the left half of the window, 50 pixels in at least.
    RECT client;
    GetClientRect(window, &client);
    for (int i = 0; i < g.board.count; ++i) {
        EXPECT_GE(g.board.pieces[i].left, 50);
        EXPECT_LT(g.board.pieces[i].left, client.right / 2);
    }
    g.board.boardPicture->SaveFile(Narrow(folder) + "\\board.bmp");

    // Press on the topmost piece that shows a pixel (a speck where cutting
    // lines meet may show none), hold it, and drag it 30 pixels right.
    int x = -1, y = -1, piece = -1;
    for (int k = g.board.count - 1; k >= 0 && piece < 0; --k) {
        const Piece& p = g.board.pieces[g.board.order[k]];
        for (int yy = p.top + 1; yy < p.bottom && piece < 0; ++yy)
            for (int xx = p.left + 1; xx < p.right; ++xx)
                if (HitTest(g.board, xx, yy) == k) {
                    x = xx;
                    y = yy;
                    piece = g.board.order[k];
                    break;
                }
    }
    ASSERT_GE(piece, 0);
    const int before = g.board.pieces[piece].left;
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x + 30, y));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x + 30, y));
    EXPECT_EQ(g.board.pieces[piece].left, before + 30);
    EXPECT_EQ(g.board.order[g.board.count - 1], piece);  // raised to the top

    // Closing saves the game in progress beside its picture.
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(Exists(folder + L"\\花畑.pko"));
    int32_t remaining = 0, total = 0;
    EXPECT_TRUE(ReadSavedCounts(Narrow(folder) + "\\花畑.pko", remaining, total));
    EXPECT_EQ(total, g.totalPieces);
}

TEST_F(GameWindowTest, DropsAreRefusedWhileMakingAndWithAPatternCount) {
    Shell().settings.pieceCount = 0;
    Drop(folder + L"\\any.bmp");
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "ピース数を選択してください");
    Shell().settings.pieceCount = 20;
    Shell().game.making.stage = kStateLabelling;
    Drop(folder + L"\\any.bmp");
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[1].text, "ただいま作成中");
    Shell().game.making.stage = kStateNone;
}

TEST_F(GameWindowTest, MenuCommandsSaveScatterAndSwitchTheHints) {
    ASSERT_NO_FATAL_FAILURE(MakePuzzle());
    PuzzleGame& g = Shell().game;
    Board& b = g.board;
    const int n = b.count;

    // Two pieces joined by hand, then all scattered again: every piece a
    // group of its own, the title counting them all.
    b.pieces[b.order[n - 2]].group = b.pieces[b.order[n - 1]].group;
    Command(0x5014);
    EXPECT_EQ(CountGroups(b), g.totalPieces);
    for (int i = 0; i < n; ++i) EXPECT_EQ(b.pieces[i].group, i);
    EXPECT_NE(Title().find(L"残り"), std::wstring::npos);

    // "状態保存" writes the saved game beside the picture and says so.
    Command(0x5011);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "保存しました。\n" + Narrow(folder) + "\\花畑.pko");
    EXPECT_EQ(host.boxes[0].owner, Owner::kNone);
    int32_t remaining = 0, total = 0;
    EXPECT_TRUE(ReadSavedCounts(Narrow(folder) + "\\花畑.pko", remaining, total));
    EXPECT_EQ(remaining, g.totalPieces);
    EXPECT_EQ(total, b.count);  // one piece per cell, no speck where cutting lines meet

    // The grey hint comes and goes at once; the guide closes and opens.
    Command(0x5042);
    EXPECT_FALSE(Shell().background.grey.Empty());
    EXPECT_NE(Shell().background.cleanBoard.pixels, Shell().background.plain.pixels);
    Command(0x5042);
    EXPECT_TRUE(Shell().background.grey.Empty());
    host.guide.clear();
    Command(0x5040);
    Command(0x5041);
    EXPECT_EQ(host.guide,
              (std::vector<std::string>{"close", "open " + std::to_string(g.picture.Width()) + " x " +
                                                     std::to_string(g.picture.Height())}));
}

TEST_F(GameWindowTest, OfSeveralDroppedFilesOnlyTheFirstCounts) {
    const std::wstring picture = folder + L"\\花畑.bmp";
    ASSERT_TRUE(CopyFileW((ExeDir() + L"\\image\\花畑.bmp").c_str(), picture.c_str(), FALSE));
    Drop({picture, folder + L"\\second.bmp", folder + L"\\third.pko"});
    EXPECT_EQ(Shell().game.pictureFile, Narrow(picture));
    EXPECT_EQ(Shell().game.State(), kStateLabelling);
    EXPECT_TRUE(host.boxes.empty() && host.errors.empty());
}

// A 100-piece puzzle tidied through the File menu: the loose edge pieces
// gathered beside the heap, then every loose piece laid out round a joined
// pair, and the places saved.  Nothing moves while making or once finished.
TEST_F(GameWindowTest, EdgePiecesGatherAndLoosePiecesLieOutThroughTheMenu) {
    Shell().settings.pieceCount = 100;
    PuzzleGame& g = Shell().game;
    Board& b = g.board;
    const std::wstring picture = folder + L"\\花畑.bmp";
    ASSERT_TRUE(CopyFileW((ExeDir() + L"\\image\\花畑.bmp").c_str(), picture.c_str(), FALSE));
    Drop(picture);
    ASSERT_TRUE(g.Making());  // the chain of making steps has only been posted
    std::vector<Rect> before = BoardRects(b);
    Command(0x5016);
    Command(0x5017);
    EXPECT_EQ(BoardRects(b), before);
    ASSERT_TRUE(PumpUntil([&] { return g.State() == kStatePlaying && g.totalPieces > 0; }, 60000));
    ASSERT_GE(b.count, 80);  // one piece per cell of the grid nearest 100

    RECT c;
    GetClientRect(window, &c);
    const auto inside = [&](const Rect& r) {
        return r.left >= 0 && r.top >= 0 && r.right <= c.right && r.bottom <= c.bottom;
    };
    // The picture's border, from the homes.
    Rect border{99999, 99999, -99999, -99999};
    for (int a = 0; a < b.count; ++a) {
        const Rect h = b.pieces[a].HomeRect();
        border = Rect{std::min(border.left, h.left), std::min(border.top, h.top),
                      std::max(border.right, h.right), std::max(border.bottom, h.bottom)};
    }
    const int pairA = b.order[0], pairB = b.order[1];
    b.pieces[pairB].group = b.pieces[pairA].group;
    const auto edge = [&](int a) {
        const Rect h = b.pieces[a].HomeRect();
        return h.left == border.left || h.top == border.top || h.right == border.right ||
               h.bottom == border.bottom;
    };

    before = BoardRects(b);
    Command(0x5016);
    int edges = 0;
    for (int a = 0; a < b.count; ++a) {
        const bool moves = edge(a) && a != pairA && a != pairB;
        edges += moves;
        if (!moves) {
            EXPECT_EQ(b.pieces[a].BoardRect(), before[a]) << a;
            continue;
        }
        EXPECT_TRUE(inside(b.pieces[a].BoardRect())) << a;
        for (int o = 0; o < b.count; ++o) {
            if (o != a) {
                EXPECT_FALSE(Meet(b.pieces[a].BoardRect(), b.pieces[o].BoardRect())) << a << " " << o;
            }
        }
    }
    EXPECT_GT(edges, 20);
    for (int k = b.count - edges; k < b.count; ++k) EXPECT_TRUE(edge(b.order[k])) << k;

    Command(0x5017);
    for (int a = 0; a < b.count; ++a) {
        const Rect r = b.pieces[a].BoardRect();
        if (a == pairA || a == pairB) {
            EXPECT_EQ(r, before[a]) << a;
            continue;
        }
        EXPECT_TRUE(inside(r)) << a;
        EXPECT_FALSE(Meet(r, before[pairA]) || Meet(r, before[pairB])) << a;
        Point at;
        EXPECT_TRUE(VisiblePoint(b, a, &at)) << a;
    }
    EXPECT_EQ(CountGroups(b), b.count - 1);  // nothing joined by the move

    // The saved game holds the new places and order.
    Command(0x5011);
    Board saved;
    MYBIT savedPicture;
    SavedStateHead head;
    ASSERT_EQ(ReadSavedState(saved, Narrow(folder) + "\\花畑.pko", savedPicture, head), ReadResult::kOk);
    EXPECT_EQ(BoardRects(saved), BoardRects(b));
    for (int k = 0; k < b.count; ++k) EXPECT_EQ(saved.order[k], b.order[k]) << k;

    // Finished: one group, wherever it lies.
    for (int a = 0; a < b.count; ++a) b.pieces[a].group = 0;
    before = BoardRects(b);
    Command(0x5016);
    Command(0x5017);
    EXPECT_EQ(BoardRects(b), before);
}

// Pieces are cut ahead on worker threads (four here, whatever the machine):
// a reset of the game and the window's closing while they cut stop them
// before the board goes, and the next puzzle is made whole.
TEST_F(GameWindowTest, AResetAndAClosingWhileWorkersCutEndCleanly) {
    const std::wstring picture = folder + L"\\花畑.bmp";
    ASSERT_TRUE(CopyFileW((ExeDir() + L"\\image\\花畑.bmp").c_str(), picture.c_str(), FALSE));
    PuzzleGame& g = Shell().game;
    g.making.cutThreads = 4;
    auto cuttingAhead = [&] {
        return g.making.stage == kStateCutting && g.making.pool && g.making.cutPosition >= 3;
    };
    auto cutPieces = [&] {
        int cut = 0;
        for (int k = 0; k < kMaxPieces; ++k) cut += !g.board.pieces[k].pictures[0].Empty();
        return cut;
    };

    Shell().settings.pieceCount = 1000;
    Drop(picture);
    ASSERT_TRUE(PumpUntil(cuttingAhead, 60000, true));
    ResetGame(g);
    EXPECT_EQ(g.making.pool, nullptr);
    PumpUntil([] { return false; }, 300);  // the steps still queued find nothing to do
    EXPECT_EQ(cutPieces(), 0);
    EXPECT_EQ(g.State(), kStateNone);

    Shell().settings.pieceCount = 20;
    Drop(picture);
    ASSERT_TRUE(PumpUntil([&] { return g.State() == kStatePlaying; }, 60000));
    EXPECT_EQ(CountGroups(g.board), g.board.count);

    Shell().settings.pieceCount = 1000;
    Drop(picture);
    ASSERT_TRUE(PumpUntil(cuttingAhead, 60000, true));
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(g.making.pool, nullptr);
    const int cut = cutPieces();
    PumpUntil([] { return false; }, 300);
    EXPECT_EQ(cutPieces(), cut);  // nothing is cut once the window is gone
    EXPECT_LT(cut, g.making.areaCount);
    g.making.cutThreads = 0;
}

// A puzzle larger than half the screen lies on a larger table: it starts
// fitted, pieces join when dragged in the fit view, the wheel and Ctrl+0 /
// Ctrl+1 change the view, and nothing is laid out beyond the table, even in
// a window larger than the screen.
TEST_F(GameWindowTest, ABigPuzzleStartsFittedAndPlaysAtEveryZoom) {
    Shell().settings.rotation = Shell().settings.flip = 0;
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
    DragBy(window, at, static_cast<int>(std::lround(dx * g.view.scale)),
           static_cast<int>(std::lround(dy * g.view.scale)));
    EXPECT_EQ(b.pieces[piece].group, b.pieces[anchor].group);

    // The wheel over the board zooms in one step at the pointer, and the
    // table point under it stays there.
    const Point pointer{g.view.client.cx / 3, g.view.client.cy / 2};
    const double tx = g.view.originX + pointer.x / g.view.scale,
                 ty = g.view.originY + pointer.y / g.view.scale;
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

TEST_F(GameWindowTest, InAWindowLargerThanTheScreenPiecesStayOnTheTable) {
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
