// The game at 200 %: run only in a Wine prefix whose screen is 192 DPI
// (scripts/wine-run-dpi.sh, the "wintests_192dpi" test); at any other DPI
// each test is skipped.  The sizes expected are those at 100 % times two.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/main_window_win.h"
#include "base/dpi_win.h"
#include "browser/browser_view.h"
#include "browser/browser_window_win.h"
#include "game/game_record.h"
#include "making/shape_dialog.h"
#include "making/shape_dialog_win.h"
#include "views/guide_window_win.h"
#include "win_test_util.h"

using namespace wintest;

namespace {

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

struct HighDpi : PlayerTest {
    void SetUp() override {
        if (ScreenDpi() != 192) GTEST_SKIP() << "the screen is " << ScreenDpi() << " DPI, not 192";
        PlayerTest::SetUp();
        CopyFolderFiles(ExeDir() + L"\\image", folder + L"\\image");
        Settings& s = Shell().settings;
        s.guide = 0;
        // Clicks neither turn nor mirror: a click is a drop where it lies.
        s.rotation = 0;
        s.flip = 0;
        s.pieceCount = 20;
    }
};

Size ClientOf(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

}  // namespace

TEST_F(HighDpi, TheStripHas200PixelCellsAndAClickOnTheSecondOpensTheSecondPicture) {
    ASSERT_NO_FATAL_FAILURE(Create());
    HWND strip = StripWindow(0);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(ClientOf(strip), (Size{1000, 200}));
    ASSERT_TRUE(WaitListed(0));
    const BrowserView& v = View(0);
    ASSERT_GE(v.Count(), 2);
    ASSERT_LE(v.Count(), 5);  // all fit, standing still from the left
    for (int i = 0; i < v.Count(); ++i) {
        EXPECT_EQ(v.thumbnails[static_cast<size_t>(i)].Width(), 200);
        EXPECT_EQ(v.thumbnails[static_cast<size_t>(i)].Height(), 200);
    }
    // Resizing keeps the client one cell high.
    SetWindowPos(strip, nullptr, 0, 0, 700, 600, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(ClientOf(strip).cy, 200);

    // The second cell spans x = 200 .. 399.
    const LPARAM xy = MAKELPARAM(300, 100);
    SendMessageW(strip, WM_LBUTTONDOWN, MK_LBUTTON, xy);
    SendMessageW(strip, WM_LBUTTONUP, 0, xy);
    ASSERT_TRUE(WaitPlaying());
    EXPECT_EQ(Shell().game.pictureFile, v.entries[1].name);
}

TEST_F(HighDpi, TheGuideOpensWith240PixelsAndADropWithin12PixelsSnaps) {
    ASSERT_NO_FATAL_FAILURE(Create());
    ASSERT_TRUE(WaitListed(0));
    ClickEntry(0, 0);  // the strip stands still: cell 0 is where it is at 100 %, in its top half
    ASSERT_TRUE(WaitPlaying());
    PuzzleGame& g = Shell().game;
    EXPECT_EQ(g.dpi, 192);

    HWND guide = OpenGuide(GetModuleHandleW(nullptr), window, g.picture);
    ASSERT_NE(guide, nullptr);
    EXPECT_EQ(ClientOf(guide), (Size{240, 240}));
    CloseGuide();

    // A piece dropped 13, then 12 pixels right and above its place beside a
    // neighbour, by a click on it (which turns nothing here).
    Board& b = g.board;
    int di = -1, ci = -1;
    for (int i = 0; i < b.count && di < 0; ++i)
        for (int32_t nb : b.pieces[i].neighbours)
            if (nb >= 0 && nb != i && nb < b.count && b.pieces[nb].group != b.pieces[i].group) {
                di = i;
                ci = nb;
                break;
            }
    ASSERT_GE(di, 0);
    for (int off : {13, 12}) {
        Piece& d = b.pieces[di];
        const Piece& c = b.pieces[ci];
        const int left = c.left + (d.homeLeft - c.homeLeft) + off;
        const int top = c.top + (d.homeTop - c.homeTop) - off;
        d.right += left - d.left;
        d.bottom += top - d.top;
        d.left = left;
        d.top = top;
        Point at;
        ASSERT_TRUE(VisiblePoint(b, di, &at));
        ClickAt(window, WM_LBUTTONDOWN, at);
        PumpUntil([] { return false; }, 100);
        const bool joined = b.pieces[di].group == b.pieces[ci].group;
        EXPECT_EQ(joined, off <= 12) << off;
        if (joined) {
            EXPECT_EQ(b.pieces[di].left, b.pieces[ci].left + (d.homeLeft - c.homeLeft));
        }
    }
}

TEST_F(HighDpi, TheShapePreviewIsTwiceAsLargeAndItsPointsAreDraggedWhereTheyAreDrawn) {
    ASSERT_NO_FATAL_FAILURE(Create());
    Settings& s = Shell().settings;
    const int32_t x1 = s.lineInitial[0][1][0], y1 = s.lineInitial[0][1][1];
    OpenShapeDialog(GetModuleHandleW(nullptr), window, s);
    HWND preview = ShapePreviewWindow();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(ClientOf(preview), (Size{872, 872}));
    // Line 1's point 1 is drawn at 2 (110 + x, 110 + y); dragged 40 pixels
    // right and 20 down, it moves 20 and 10 in the line's own pixels.
    const int px = 2 * (110 + x1), py = 2 * (110 + y1);
    SendMessageW(preview, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(px + 3, py - 3));
    SendMessageW(preview, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(px + 40, py + 20));
    SendMessageW(preview, WM_LBUTTONUP, 0, MAKELPARAM(px + 40, py + 20));
    SendMessageW(preview, MSG_SHAPE_OK, 0, 0);
    ASSERT_TRUE(PumpUntil([] { return ShapePreviewWindow() == nullptr; }, 5000));
    EXPECT_EQ(s.lineInitial[0][1][0], x1 + 20);
    EXPECT_EQ(s.lineInitial[0][1][1], y1 + 10);
}

// At any screen DPI: the frame around a client area is measured at the DPI
// of the window's own monitor, which may differ from the system's.  At
// twice the DPI the caption is half as high again at least (Wine keeps
// thin borders as they are).
TEST(FrameAtDpi, TheFrameIsMeasuredAtTheDpiAsked) {
    constexpr DWORD kStyles[] = {WS_CHILD | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,  // a strip
                                 WS_OVERLAPPEDWINDOW};                                 // the guide
    for (DWORD style : kStyles) {
        RECT at96{0, 0, 100, 100}, at192{0, 0, 100, 100};
        FrameAroundClient(at96, style, 0, 96);
        FrameAroundClient(at192, style, 0, 192);
        EXPECT_GT(-at96.top, 10) << style;
        EXPECT_GE(-at192.top, -at96.top * 3 / 2) << style;
        EXPECT_GE(at192.right, at96.right) << style;
        EXPECT_GE(at192.bottom, at96.bottom) << style;
    }
}
