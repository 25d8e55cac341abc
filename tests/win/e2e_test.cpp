// Whole games played as a player plays them, through the real window: the
// picture strip at start-up, a click on a picture, every piece turned and
// dragged with the mouse until the picture is whole; a game saved, the
// program closed and started again and the game taken up from its cell; a
// pattern puzzle chosen in the two strips.  Each test also prints the speed
// figures it sees.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/main_window_win.h"
#include "base/text_win.h"
#include "browser/browser_window_win.h"
#include "config/sounds.h"
#include "game/clock.h"
#include "pieces/board_ops.h"
#include "win_test_util.h"

using namespace wintest;

namespace {

using Clock = std::chrono::steady_clock;

constexpr wchar_t kPicture[] = L"花畑.bmp";
constexpr unsigned kSaveCommand = 0x5011;  // "状態保存"

// A figure of the speed report, in milliseconds: in the test's XML record
// and on stdout.  Never compared with anything.
void Report(const char* what, Clock::time_point since) {
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - since).count();
    testing::Test::RecordProperty(what, static_cast<int>(ms));
    std::printf("speed: %s: %.0f ms\n", what, ms);
}

// pukko-make.exe beside the program: its exit code (STILL_ACTIVE when it
// did not end within a minute).
DWORD RunPukkoMake(const std::wstring& arguments) {
    const std::wstring exe = ExeDir() + L"\\pukko-make.exe";
    std::wstring line = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return GetLastError();
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return code;
}

// Where every piece lies, how it is turned, its group, and the drawing order.
std::vector<int32_t> Layout(const Board& b) {
    std::vector<int32_t> v;
    for (int i = 0; i < b.count; ++i) {
        const Piece& p = b.pieces[i];
        v.insert(v.end(), {p.left, p.top, p.right, p.bottom, p.orientation, p.group});
    }
    v.insert(v.end(), b.order.begin(), b.order.begin() + b.count);
    return v;
}

struct EndToEndTest : PlayerTest {
    PuzzleGame& g = Shell().game;

    void SetUp() override {
        PlayerTest::SetUp();
        Settings& s = Shell().settings;
        s.pieceCount = 12;
        s.pictureSize = 400;
        s.rotation = 1;
    }

    std::wstring Image(const std::wstring& name) const { return folder + L"\\image\\" + name; }

    bool EndSoundPlayed() const {
        for (const std::string& s : host.sounds)
            for (int i = 3; i <= 6; ++i)
                if (s == TheSounds().path[static_cast<size_t>(i)]) return true;
        return false;
    }

    // Put together to the right of the heap, the picture fits the window
    // and so slides to its middle.
    Point Origin() {
        const Point origin = AssemblyOrigin(g.board);
        RECT client{};
        GetClientRect(window, &client);
        EXPECT_LE(origin.x + g.picture.Width(), client.right);
        EXPECT_LE(origin.y + g.picture.Height(), client.bottom);
        return origin;
    }

    // Just after the last drop: the complete title; then the picture slides
    // to the middle of the client area and gets its frame and an end sound.
    void ExpectCompletion(int total) {
        ASSERT_EQ(IsComplete(g), 1);
        EXPECT_NE(Title().find(L" (^o^)完成(^o^) (全" + std::to_wstring(total) + L"ﾋﾟｰｽ)"),
                  std::wstring::npos)
            << Narrow(Title());
        EXPECT_TRUE(g.slideX != 0 || g.slideY != 0);
        ASSERT_TRUE(PumpUntil([&] { return EndSoundPlayed(); }, 10000));
        EXPECT_EQ(g.slideX, 0);
        EXPECT_EQ(g.slideY, 0);
        RECT client{};
        GetClientRect(window, &client);
        const Rect f = g.finalRect;
        EXPECT_EQ(f.left, (client.right - (f.right - f.left)) / 2);
        EXPECT_EQ(f.top, (client.bottom - (f.bottom - f.top)) / 2);
        // The picture at rest, its frame's rings round it, the bare board
        // beyond them.
        const MYBIT& board = *g.boardPicture;
        const MYBIT& clean = Shell().background.cleanBoard;
        const int t = Shell().settings.endWakuT, y = (f.top + f.bottom) / 2;
        EXPECT_EQ(board.At(f.left, y), g.finished.At(0, y - f.top));
        for (int x : {f.left - 1, f.left - t}) EXPECT_NE(board.At(x, y), clean.At(x, y)) << x;
        EXPECT_EQ(board.At(f.left - t - 1, y), clean.At(f.left - t - 1, y));
    }
};

}  // namespace

TEST_F(EndToEndTest, APlayerPutsATwelvePiecePictureTogetherWithTheMouse) {
    ASSERT_NO_FATAL_FAILURE(CopyData(L"image", {kPicture, L"夕焼けの海.jpg", L"山と湖.jpg"}));
    // Mirrored pieces too: the middle button turns them back.
    Shell().settings.flip = 1;
    const Clock::time_point start = Clock::now();
    ASSERT_NO_FATAL_FAILURE(Create());
    ASSERT_TRUE(WaitListed(0));
    Report("start-up to strip filled (3 pictures)", start);
    EXPECT_EQ(View(0).Count(), 3);

    const Clock::time_point click = Clock::now();
    ClickEntry(0, IndexOf(0, Image(kPicture)));
    ASSERT_TRUE(WaitPlaying());
    Report("click to play (12 pieces)", click);
    EXPECT_EQ(g.totalPieces, 12);
    EXPECT_EQ(Title(), L"pukko 00:00:00 残り12ﾋﾟｰｽ(全12ﾋﾟｰｽ)");

    SolveByMouse(window, g, Origin(), 1);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_NO_FATAL_FAILURE(ExpectCompletion(12));
    // Joins sounded after the repaints that showed them.
    EXPECT_NE(std::find(host.sounds.begin(), host.sounds.end(), TheSounds().path[2]), host.sounds.end());
    EXPECT_TRUE(host.boxes.empty());
    EXPECT_FALSE(Exists(Image(L"花畑.pko")));
}

TEST_F(EndToEndTest, ASavedGameIsTakenUpAfterARestartAndFinishingItDeletesIt) {
    ASSERT_NO_FATAL_FAILURE(CopyData(L"image", {kPicture}));
    const std::wstring large = Image(L"千ピース.pko");
    ASSERT_EQ(RunPukkoMake(L"--pieces 1000 --size 800 --rotate 1 --seed 7 \"" + ExeDir() +
                           L"\\image\\山と湖.jpg\" \"" + large + L"\""),
              0u);
    Shell().settings.saveOnExit = 1;
    ASSERT_NO_FATAL_FAILURE(Create());
    ASSERT_TRUE(WaitListed(0));
    ClickEntry(0, IndexOf(0, Image(kPicture)));
    ASSERT_TRUE(WaitPlaying());
    const Point origin = Origin();
    SolveByMouse(window, g, origin, 8);
    ASSERT_FALSE(HasFatalFailure());

    // A minute and 23 seconds on, saved from the menu; one more join, and
    // the program is closed, which saves again.
    host.clock += 83000;
    SendMessageW(window, WM_TIMER, IDT_CLOCK, 0);
    SendMessageW(window, WM_COMMAND, kSaveCommand, 0);
    const std::wstring saved = Image(L"花畑.pko");
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "保存しました。\n" + Narrow(saved));
    SolveByMouse(window, g, origin, CountGroups(g.board) - 1);
    const std::vector<int32_t> layout = Layout(g.board);
    const std::wstring title = Title();
    EXPECT_NE(title.find(L"pukko 00:01:23 残り"), std::wstring::npos) << Narrow(title);
    ASSERT_NO_FATAL_FAILURE(Restart());

    // The strip of the new run lists the saved game; its cell takes it up
    // as it was left.
    ASSERT_TRUE(WaitListed(0));
    EXPECT_EQ(View(0).Count(), 3);
    ClickEntry(0, IndexOf(0, saved));
    ASSERT_TRUE(WaitPlaying(10000));
    EXPECT_EQ(g.pictureFile, Narrow(saved));
    EXPECT_EQ(Title(), title);
    EXPECT_EQ(Layout(g.board), layout);
    SolveByMouse(window, g, origin, 1);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_NE(Title().find(L"pukko 00:01:23 (^o^)完成"), std::wstring::npos) << Narrow(Title());
    EXPECT_FALSE(Exists(saved));
    ASSERT_NO_FATAL_FAILURE(ExpectCompletion(12));

    // A click beside the finished picture shows the strip again; the large
    // saved game is taken up from it.
    Point beside{5, 5};
    while (HitTest(g.board, beside.x, beside.y) >= 0) beside.y += 7;
    ClickAt(window, WM_LBUTTONDOWN, beside);
    EXPECT_TRUE(IsWindowVisible(StripWindow(0)));
    const Clock::time_point click = Clock::now();
    ClickEntry(0, IndexOf(0, large));
    ASSERT_TRUE(WaitPlaying());
    Report("restore of a saved game of 1000 pieces", click);
    EXPECT_GE(g.board.count, 1000);
    EXPECT_TRUE(InProgress(g));
}

TEST_F(EndToEndTest, APatternPuzzleIsChosenInTheTwoStripsAndPutTogether) {
    ASSERT_NO_FATAL_FAILURE(CopyData(L"image", {kPicture}));
    ASSERT_NO_FATAL_FAILURE(CopyData(L"pattern", {L"波.bmp"}));
    Shell().settings.pieceCount = 0;
    ASSERT_NO_FATAL_FAILURE(Create());
    ASSERT_TRUE(WaitListed(0));
    ASSERT_TRUE(WaitListed(1));
    ClickEntry(0, IndexOf(0, Image(kPicture)));
    PumpUntil([] { return false; }, 100);
    EXPECT_EQ(g.State(), kStateNone);  // waits for the pattern
    ClickEntry(1, IndexOf(1, folder + L"\\pattern\\波.bmp"));
    ASSERT_TRUE(WaitPlaying());
    const int total = g.totalPieces;
    EXPECT_GT(total, 12);

    SolveByMouse(window, g, Origin(), 1);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_NO_FATAL_FAILURE(ExpectCompletion(total));
}
