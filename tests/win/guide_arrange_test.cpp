// The guide window and arrange mode through the main window: a picture
// dropped with both settings on, the guide's window, the arrange keys and
// F8's files, then the game saved and resumed; and the guide finding pieces.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/main_window_win.h"
#include "base/text_win.h"
#include "game/drop.h"
#include "game/finder.h"
#include "game/game_record.h"
#include "pieces/board_ops.h"
#include "views/arrange_pixels.h"
#include "views/guide.h"
#include "views/guide_window_win.h"
#include "win_test_util.h"

using namespace wintest;

namespace {

// Records the guide's calls and opens the real window too; with realBoxes,
// its boxes are shown as well.
struct GuideHost : RecordingHost {
    bool realBoxes = false;
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags,
                   Owner owner) override {
        RecordingHost::MessageBox(text, caption, flags, owner);
        return realBoxes ? WinHost::MessageBox(text, caption, flags, owner) : answer;
    }
    void OpenGuide(const MYBIT& picture) override {
        RecordingHost::OpenGuide(picture);
        WinHost::OpenGuide(picture);
    }
    void CloseGuide() override {
        RecordingHost::CloseGuide();
        WinHost::CloseGuide();
    }
};

struct GuideArrangeTest : testing::Test {
    GuideHost host;
    // A run in a desktop of its own (PassesInOwnDesktop) beside the run
    // that started it.
    std::wstring folder = FreshFolder(_wgetenv(L"PUKKO_IN_DESKTOP") ? L"_desktop" : L"");
    HWND window = nullptr;

    void SetUp() override {
        Settings& s = Shell().settings;
        LoadSettings(s, QuotedExe(folder));
        s.guide = s.arrangeMode = 1;
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
    void Command(unsigned id) { SendMessageW(window, WM_COMMAND, id, 0); }
    void Key(int vk) { SendMessageW(window, WM_KEYDOWN, static_cast<WPARAM>(vk), 0); }

    // Shown, titled, owned by the main window, with a 120 x 120 client area
    // and its window's bottom-right corner on the main window's.
    void ExpectGuideInTheCorner() {
        HWND guide = TheGuideWindow().window;
        ASSERT_NE(guide, nullptr);
        EXPECT_TRUE(IsWindowVisible(guide));
        EXPECT_EQ(GetWindow(guide, GW_OWNER), window);
        wchar_t title[16] = {};
        GetWindowTextW(guide, title, 16);
        EXPECT_STREQ(title, L"ガイド");
        RECT client{}, outer{}, main{};
        GetClientRect(guide, &client);
        EXPECT_EQ(client.right, 120);
        EXPECT_EQ(client.bottom, 120);
        GetWindowRect(guide, &outer);
        GetClientRect(window, &main);
        POINT corner{main.right, main.bottom};
        ClientToScreen(window, &corner);
        EXPECT_EQ(outer.right, corner.x);
        EXPECT_EQ(outer.bottom, corner.y);
    }
};

}  // namespace

TEST_F(GuideArrangeTest, TheGuideSitsInTheCornerAndArrangeModeWritesItsPictures) {
    const std::wstring picture = folder + L"\\花畑.bmp";
    ASSERT_TRUE(CopyFileW((ExeDir() + L"\\image\\花畑.bmp").c_str(), picture.c_str(), FALSE));
    PuzzleGame& g = Shell().game;
    SetFocus(window);
    OnDropFile(g, Narrow(picture));
    // Opened as making starts; the keys stay with the main window.
    ASSERT_NO_FATAL_FAILURE(ExpectGuideInTheCorner());
    EXPECT_EQ(GetFocus(), window);
    ASSERT_TRUE(PumpUntil([&] { return g.State() == kStatePlaying && g.totalPieces > 0; }, 60000));

    HWND first = TheGuideWindow().window;
    Command(0x5040);
    EXPECT_FALSE(IsWindow(first));
    Command(0x5041);
    ASSERT_NO_FATAL_FAILURE(ExpectGuideInTheCorner());

    // Up recomputes with the colour model's own pixels (this platform's
    // sine and cosine); Space counts a blur pass.
    Key(VK_UP);
    MYBIT plain;
    ConvertArranged(plain, g.arrangedCanvas, ArrangeOffsets{0, 0, 1}, HueDirections{});
    EXPECT_TRUE(!plain.Empty() && plain.pixels == g.arranged.pixels);
    Key(VK_SPACE);
    EXPECT_EQ(g.blurCount, 1);
    host.boxes.clear();
    Key(VK_F8);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "seiretu.bmpへ出力しました。\n全体はseiretu_all.bmpへ出力しました。");
    const Rect in = g.innerRect;
    EXPECT_EQ(ReadBytes(folder + L"\\seiretu_all.bmp").size(), 54 + g.arranged.PixelCount() * 4);
    EXPECT_EQ(ReadBytes(folder + L"\\seiretu.bmp").size(), 54 + size_t(in.Width()) * in.Height() * 4);

    // The close box leaves the setting on: resuming opens the guide again.
    SendMessageW(TheGuideWindow().window, WM_CLOSE, 0, 0);
    EXPECT_EQ(TheGuideWindow().window, nullptr);
    Shell().settings.arrangeMode = 0;
    Command(0x5011);
    auto resumedAndScattered = [&](uint32_t clock) {
        host.clock = clock;
        OnDropFile(g, Narrow(folder) + "\\花畑.pko");
        Command(0x5014);
        std::vector<int32_t> layout;
        for (int i = 0; i < g.board.count; ++i)
            layout.insert(layout.end(), {g.board.pieces[i].left, g.board.pieces[i].top});
        return layout;
    };
    // A resumed game scatters by the clock, not the same in every run.
    const std::vector<int32_t> first1111 = resumedAndScattered(1111);
    ASSERT_NO_FATAL_FAILURE(ExpectGuideInTheCorner());
    Shell().settings.guide = 0;  // each close waits for a window manager Xvfb lacks
    EXPECT_EQ(resumedAndScattered(1111), first1111);
    EXPECT_NE(resumedAndScattered(2222), first1111);
}

namespace {

// Answers the first box of this thread with OK, from inside its loop.
void CALLBACK AnswerBox(HWND, UINT, UINT_PTR id, DWORD) {
    if (HWND box = FindWindowW(L"#32770", nullptr)) PostMessageW(box, WM_COMMAND, IDOK, 0);
    KillTimer(nullptr, id);
}

// This test program again, in a Wine desktop of its own; true when its one
// test passed there (it reports through its XML file).
bool PassesInOwnDesktop(const std::wstring& folder, const char* test) {
    const std::wstring result = folder + L"\\desktop.xml";
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring line = L"explorer.exe /desktop=pukko-test,1280x1024 \"" + std::wstring(self) +
                        L"\" --gtest_filter=" + Widen(test) + L" --gtest_output=xml:" + result;
    SetEnvironmentVariableW(L"PUKKO_IN_DESKTOP", L"1");
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const BOOL started =
        CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi);
    SetEnvironmentVariableW(L"PUKKO_IN_DESKTOP", nullptr);
    if (!started) return false;
    WaitForSingleObject(pi.hProcess, 100000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    const std::vector<uint8_t> xml = ReadBytes(result);
    return std::string(xml.begin(), xml.end()).find("tests=\"1\" failures=\"0\"") != std::string::npos;
}

}  // namespace

// Wine's own desktop has no window manager: a window that takes the keys
// is raised over all others.  So the check runs in such a desktop, and
// there closes the "状態保存" box as a player would: the guide must then be
// seen above the main window it belongs to.
TEST_F(GuideArrangeTest, TheGuideStaysAboveTheMainWindowWhenTheSaveBoxCloses) {
    if (!_wgetenv(L"PUKKO_IN_DESKTOP")) {
        EXPECT_TRUE(PassesInOwnDesktop(folder, "GuideArrangeTest.TheGuideStaysAbove*"));
        return;
    }
    Shell().settings.arrangeMode = 0;
    host.realBoxes = true;
    const std::wstring picture = folder + L"\\花畑.bmp";
    ASSERT_TRUE(CopyFileW((ExeDir() + L"\\image\\花畑.bmp").c_str(), picture.c_str(), FALSE));
    PuzzleGame& g = Shell().game;
    OnDropFile(g, Narrow(picture));
    ASSERT_TRUE(PumpUntil([&] { return g.State() == kStatePlaying && g.totalPieces > 0; }, 60000));
    SetForegroundWindow(window);
    PumpUntil([] { return false; }, 500);

    // The middle of the guide's picture, seen on the screen; the main
    // window lies below it.
    HWND guide = TheGuideWindow().window;
    ASSERT_NE(guide, nullptr);
    RECT client{};
    GetClientRect(guide, &client);
    POINT mid{client.right / 2, client.bottom / 2};
    const uint32_t drawn = TheGuideWindow().view.canvas.At(mid.x, mid.y) & 0xFFFFFF;
    ClientToScreen(guide, &mid);
    auto seen = [&] {
        HDC screen = GetDC(nullptr);
        const COLORREF c = GetPixel(screen, mid.x, mid.y);
        ReleaseDC(nullptr, screen);
        return static_cast<uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
    };
    ASSERT_EQ(seen(), drawn);

    SetTimer(nullptr, 0, 300, AnswerBox);
    Command(0x5011);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text.rfind("保存しました。", 0), 0u);
    PumpUntil([] { return false; }, 1500);
    EXPECT_EQ(WindowFromPoint(mid), guide);
    EXPECT_EQ(seen(), drawn);
}

// With "ヒント" on (the default): a click on the guide's picture raises a
// piece lying under another, and a held piece marks its home on the guide,
// repainting only the mark.
TEST_F(GuideArrangeTest, TheGuideFindsAHiddenPieceAndMarksWhereAHeldOneGoes) {
    Shell().settings.arrangeMode = 0;
    const std::wstring picture = folder + L"\\花畑.bmp";
    ASSERT_TRUE(CopyFileW((ExeDir() + L"\\image\\花畑.bmp").c_str(), picture.c_str(), FALSE));
    PuzzleGame& g = Shell().game;
    Board& b = g.board;
    OnDropFile(g, Narrow(picture));
    ASSERT_TRUE(PumpUntil([&] { return g.State() == kStatePlaying && g.totalPieces > 0; }, 60000));
    GuideWindow& gw = TheGuideWindow();
    ASSERT_NE(gw.window, nullptr);
    const GuideView& v = gw.view;
    const Size pictureSize{v.picture.Width(), v.picture.Height()},
        canvas{v.canvas.Width(), v.canvas.Height()};

    // The top piece dragged onto the middle of the bottom one.
    const int hidden = b.order[0];
    const Piece& h = b.pieces[hidden];
    const Piece& t = b.pieces[b.order[b.count - 1]];
    Point from;
    ASSERT_TRUE(VisiblePoint(b, b.order[b.count - 1], &from));
    DragBy(window, from, (h.left + h.right - t.left - t.right) / 2,
           (h.top + h.bottom - t.top - t.bottom) / 2);
    ASSERT_GT(HitTest(b, (h.left + h.right) / 2, (h.top + h.bottom) / 2), 0);  // under another
    // A guide pixel that shows the hidden piece's home.
    const Rect home = PictureToGuide(pictureSize, canvas, h.HomeRect());
    Point at{-1, -1}, pixel;
    for (int y = home.top; y < home.bottom && at.x < 0; ++y)
        for (int x = home.left; x < home.right && at.x < 0; ++x)
            if (GuideToPicture(pictureSize, canvas, {x, y}, &pixel) && PieceAtHome(b, pixel) == hidden)
                at = {x, y};
    ASSERT_GE(at.x, 0);
    SendMessageW(gw.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    EXPECT_EQ(b.order[b.count - 1], hidden);
    EXPECT_EQ(g.hintCount, 1);
    ASSERT_TRUE(PumpUntil([&] { return g.blinkPiece < 0; }, 5000));

    // Held: only the ring round the home is repainted, in the mark's colour.
    const int held = b.order[0];
    const Rect mark = PictureToGuide(pictureSize, canvas, b.pieces[held].HomeRect());
    ASSERT_TRUE(VisiblePoint(b, held, &from));
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(from.x + 5, from.y));
    RECT dirty{};
    ASSERT_TRUE(GetUpdateRect(gw.window, &dirty, FALSE));
    EXPECT_EQ((Rect{dirty.left, dirty.top, dirty.right, dirty.bottom}),
              (Rect{std::max(mark.left - 2, 0), std::max(mark.top - 2, 0),
                    std::min(mark.right + 2, canvas.cx), std::min(mark.bottom + 2, canvas.cy)}));
    auto shown = [&](int x, int y) {
        UpdateWindow(gw.window);
        HDC dc = GetDC(gw.window);
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(gw.window, dc);
        return c;
    };
    const uint32_t word = v.canvas.At(dirty.left, dirty.top);
    const COLORREF plain = RGB((word >> 16) & 0xFF, (word >> 8) & 0xFF, word & 0xFF);
    EXPECT_EQ(shown(dirty.left, dirty.top), RGB(255, 0, 255));
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(from.x + 5, from.y));
    EXPECT_EQ(shown(dirty.left, dirty.top), plain);
}
