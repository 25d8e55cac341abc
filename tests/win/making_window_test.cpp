// What the making steps show in the window while their chain of posted
// messages runs: each step's change at once, the progress bar when it moves.
#include <gtest/gtest.h>

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "app/main_window_win.h"
#include "win_test_util.h"

using namespace wintest;

namespace {

constexpr COLORREF kGreen = 0x00C000, kBlue = 0xC00000;

struct MakingWindowTest : testing::Test {
    RecordingHost host;
    HWND window = nullptr;

    void SetUp() override {
        FreshFolder();
        Shell().settings = DefaultSettings();
        Shell().host = &host;
        host.clock = 1000;
        static bool registered = RegisterMainClass(GetModuleHandleW(nullptr));
        ASSERT_TRUE(registered);
        window = CreateMainWindow(GetModuleHandleW(nullptr));
        ASSERT_NE(window, nullptr);
        Shell().background.boardPicture.CreateFilled(kGreen, 300, 200);
        SetWindowPos(window, nullptr, 0, 0, 640, 480, SWP_NOZORDER);
        ShowWindow(window, SW_SHOWNORMAL);
        ASSERT_TRUE(PumpUntil([&] { return !GetUpdateRect(window, nullptr, FALSE); }, 5000));
    }
    void TearDown() override {
        if (window && IsWindow(window)) DestroyWindow(window);
        PumpUntil([] { return false; }, 0);
        Shell().background.boardPicture.Free();
        Shell().host = &Shell().winHost;
    }

    // The next step posted, and taken off the queue again.
    void Step() {
        host.PostStep(MSG_MAKE_1);
        MSG msg;
        EXPECT_TRUE(PeekMessageW(&msg, window, MSG_MAKE_1, MSG_MAKE_1, PM_REMOVE));
    }
    // Colour on the screen at a client point, the bar's included.
    COLORREF Shown(int x, int y) const {
        HDC dc = GetDC(window);
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(window, dc);
        return c;
    }
    bool Waiting() const { return GetUpdateRect(window, nullptr, FALSE); }
    int BarPosition(HWND bar) const { return static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0)); }
    HWND Bar() const { return FindWindowExW(window, nullptr, PROGRESS_CLASSW, nullptr); }
};

}  // namespace

TEST_F(MakingWindowTest, EachStepShowsWhatItChangedAtOnceAndNothingElse) {
    MYBIT& board = Shell().background.boardPicture;
    for (int y = 40; y < 60; ++y)
        for (int x = 100; x < 130; ++x) board.At(x, y) = ColorRefToPixel(kBlue);
    host.InvalidateArea(Rect{100, 40, 130, 60});
    Step();  // no WM_PAINT comes between steps: the step paints the piece itself
    EXPECT_EQ(Shown(110, 50), kBlue);
    EXPECT_EQ(Shown(99, 50), kGreen);

    // A step that changed nothing leaves the window as it is; the window's
    // own paint comes once no step is waiting.
    board.At(5, 150) = ColorRefToPixel(kBlue);
    RECT other{0, 140, 10, 160};
    InvalidateRect(window, &other, FALSE);
    Step();
    EXPECT_EQ(Shown(5, 150), kGreen);
    ASSERT_TRUE(PumpUntil([&] { return !Waiting(); }, 5000));
    EXPECT_EQ(Shown(5, 150), kBlue);
}

TEST_F(MakingWindowTest, TheBarMovesWhenItFillsAnotherPixelAndAtMostEvery50Ms) {
    host.ShowProgress(10, 0x81F8B0, 0x0DD75E);  // 196 pixels of bar: each step fills another 19 or 20
    HWND bar = Bar();
    ASSERT_NE(bar, nullptr);
    host.StepProgress();
    host.clock = 1049;
    host.StepProgress();
    EXPECT_EQ(BarPosition(bar), 0);  // too soon
    host.clock = 1050;
    host.StepProgress();
    EXPECT_EQ(BarPosition(bar), 3);
    host.clock = 1100;
    Step();  // nothing new to show
    EXPECT_EQ(BarPosition(bar), 3);

    // A piece placed while the bar runs is shown by the next step alone.
    MYBIT& board = Shell().background.boardPicture;
    board.At(150, 100) = ColorRefToPixel(kBlue);
    host.InvalidateArea(Rect{150, 100, 151, 101});
    EXPECT_FALSE(Waiting());
    Step();
    EXPECT_EQ(Shown(150, 100), kBlue);

    // Thousands of mask rows: the bar moves only once a step fills a pixel.
    host.ShowProgress(70000, 0x81F8B0, 0x0DD75E);
    bar = Bar();
    host.clock = 2000;
    int steps = 0;
    while (BarPosition(bar) == 0 && steps < 1000) {
        host.StepProgress();
        ++steps;
    }
    EXPECT_EQ(steps, 179);  // half of 70000 / 196: the bar rounds to the nearest pixel
    EXPECT_EQ(BarPosition(bar), steps);

    // Closed, the bar leaves the board to be shown again with the next step.
    EXPECT_NE(Shown(100, 10), kGreen);  // the bar covers the board
    host.CloseProgress();
    Step();
    EXPECT_EQ(Shown(100, 10), kGreen);
}
