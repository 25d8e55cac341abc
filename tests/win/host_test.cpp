// The Win32 host, painting, the error box text and the platform layer of
// the core (wide-character files and code page 932) under Wine.
#include <gtest/gtest.h>

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "app/main_window_win.h"
#include "base/cp932.h"
#include "base/file_io.h"
#include "base/text_win.h"
#include "win_test_util.h"

using namespace wintest;

namespace {

struct HostTest : testing::Test {
    RecordingHost host;
    HWND window = nullptr;

    void SetUp() override {
        FreshFolder();
        Shell().settings = DefaultSettings();
        Shell().host = &host;
        static bool registered = RegisterMainClass(GetModuleHandleW(nullptr));
        ASSERT_TRUE(registered);
        window = CreateMainWindow(GetModuleHandleW(nullptr));
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        if (window && IsWindow(window)) DestroyWindow(window);
        PumpUntil([] { return false; }, 0);
        Shell().host = &Shell().winHost;
    }

    std::vector<HWND> ProgressBars() const {
        std::vector<HWND> bars;
        for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
            wchar_t cls[64] = {};
            GetClassNameW(c, cls, 64);
            if (lstrcmpiW(cls, PROGRESS_CLASSW) == 0) bars.push_back(c);
        }
        return bars;
    }
};

// Colour of the pixel (x, y) of a 32-bit top-down DIB section, as 0xRRGGBB.
uint32_t PixelAt(const uint32_t* bits, int width, int x, int y) {
    return bits[y * width + x] & 0xFFFFFF;
}

}  // namespace

TEST_F(HostTest, WindowCallsReachTheMainWindow) {
    EXPECT_EQ(host.Window(), window);  // taken at WM_CREATE

    host.SetTitle("pukko  00:01:05  残り 3/20");
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    EXPECT_STREQ(title, L"pukko  00:01:05  残り 3/20");

    SetWindowPos(window, nullptr, 0, 0, 640, 480, SWP_NOZORDER);
    RECT r;
    GetClientRect(window, &r);
    EXPECT_EQ(host.ClientSize(), (Size{r.right, r.bottom}));
    EXPECT_EQ(host.ScreenSize(), (Size{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}));

    // A posted step arrives as the message itself, both parameters 0.
    host.PostStep(MSG_MAKE_1);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, window, MSG_MAKE_1, MSG_MAKE_1, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_EQ(msg.lParam, 0);

    // Timers are the main window's, identified by their number.
    host.SetTimer(IDT_CLOCK, 20);
    bool ticked = false;
    uint32_t start = host.TickCount();
    while (!ticked && host.TickCount() - start < 5000) {
        if (PeekMessageW(&msg, window, WM_TIMER, WM_TIMER, PM_REMOVE))
            ticked = msg.wParam == IDT_CLOCK;
        else
            Sleep(5);
    }
    EXPECT_TRUE(ticked);
    host.KillTimer(IDT_CLOCK);
    EXPECT_FALSE(KillTimer(window, IDT_CLOCK));  // already gone
}

TEST_F(HostTest, OneProgressBarWithItsRangeStepAndColours) {
    host.StepProgress();  // no bar yet: nothing happens
    host.CloseProgress();
    EXPECT_TRUE(ProgressBars().empty());

    host.ShowProgress(70000, 0x81F8B0, 0x0DD75E);
    std::vector<HWND> bars = ProgressBars();
    ASSERT_EQ(bars.size(), 1u);
    HWND bar = bars[0];
    EXPECT_EQ(GetParent(bar), window);
    RECT r;
    GetWindowRect(bar, &r);
    EXPECT_EQ(r.right - r.left, 200);
    EXPECT_EQ(r.bottom - r.top, 20);
    // Mask heights above 65535 keep their range.
    EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 70000);
    EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(bar, PBM_GETBKCOLOR, 0, 0)), 0x81F8B0u);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageW(bar, PBM_GETBARCOLOR, 0, 0)), 0x0DD75Eu);

    // The next bar replaces the first.
    host.ShowProgress(10, 0xF8F481, 0xD8D20C);
    bars = ProgressBars();
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_FALSE(IsWindow(bar));
    EXPECT_EQ(SendMessageW(bars[0], PBM_GETRANGE, FALSE, 0), 10);
    EXPECT_EQ(SendMessageW(bars[0], PBM_GETPOS, 0, 0), 0);

    host.CloseProgress();
    EXPECT_TRUE(ProgressBars().empty());
}

TEST(PaintBoard, TheViewOfTheTableAndTheMarginBesideIt) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 64;
    bi.bmiHeader.biHeight = -48;  // top-down, so row y is bits + y * 64
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* raw = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &raw, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    HGDIOBJ old = SelectObject(dc, dib);
    const uint32_t* bits = static_cast<const uint32_t*>(raw);
    RECT client{0, 0, 64, 48};

    TableView view;
    StartView(view, Size{40, 30}, Size{64, 48}, Size{40, 30});
    MYBIT pixels;
    Background empty;
    empty.margin = 0x5E7260;  // the default background at 60 %
    PaintBoard(dc, client, empty, view, pixels);
    GdiFlush();
    for (int y = 0; y < 48; y += 7)
        for (int x = 0; x < 64; x += 9) ASSERT_EQ(PixelAt(bits, 64, x, y), 0x5E7260u) << x << "," << y;

    // A 40 x 30 board picture at 100 % from the top-left: its rows top-down
    // as stored bottom-up, and the margin only where it does not reach.
    Background bg;
    bg.margin = 0x5E7260;
    bg.boardPicture.Create(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            bg.boardPicture.At(x, y) = static_cast<uint32_t>((x * 6) << 16 | (y * 8) << 8 | 0x40);
    PaintBoard(dc, client, bg, view, pixels);
    GdiFlush();
    EXPECT_EQ(PixelAt(bits, 64, 0, 0), 0x000040u);
    EXPECT_EQ(PixelAt(bits, 64, 39, 0), static_cast<uint32_t>(39 * 6) << 16 | 0x40);
    EXPECT_EQ(PixelAt(bits, 64, 0, 29), static_cast<uint32_t>(29 * 8) << 8 | 0x40);
    EXPECT_EQ(PixelAt(bits, 64, 40, 0), 0x5E7260u);
    EXPECT_EQ(PixelAt(bits, 64, 0, 30), 0x5E7260u);
    EXPECT_EQ(PixelAt(bits, 64, 63, 47), 0x5E7260u);
    EXPECT_TRUE(pixels.Empty());  // at 100 % the picture goes to the screen as it is

    // Panned by (10, 5) at 100 %, then at 200 % from (4, 2): each screen
    // pixel shows the table pixel under its centre where the two agree.
    view.originX = 10;
    view.originY = 5;
    PaintBoard(dc, client, bg, view, pixels);
    GdiFlush();
    EXPECT_EQ(PixelAt(bits, 64, 0, 0), bg.boardPicture.At(10, 5));
    EXPECT_EQ(PixelAt(bits, 64, 29, 24), bg.boardPicture.At(39, 29));
    EXPECT_EQ(PixelAt(bits, 64, 30, 0), 0x5E7260u);
    view.scale = 2;
    view.originX = 4;
    view.originY = 2;
    const RECT part{10, 10, 40, 30};
    PaintBoard(dc, part, bg, view, pixels);
    GdiFlush();
    // Screen (16, 12) is table (12.25, 8.25): a blend of columns 11 and 12,
    // rows 7 and 8; the red channel grows 6 a column.
    EXPECT_EQ(PixelAt(bits, 64, 16, 12) >> 16, static_cast<uint32_t>((11 * 6 + 12 * 6 * 3 + 2) / 4));
    EXPECT_EQ(PixelAt(bits, 64, 63, 47), 0x5E7260u);  // outside the part: as painted before

    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);
}

TEST(WindowsErrorBox, CallObjectAndTheSystemsText) {
    wchar_t* system = nullptr;
    ASSERT_GT(FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr,
                             ERROR_FILE_NOT_FOUND, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                             reinterpret_cast<wchar_t*>(&system), 0, nullptr),
              0u);
    std::wstring want = L"CreateFile\nC:\\写真\\山.jpg\n" + std::wstring(system);
    LocalFree(system);
    EXPECT_EQ(WindowsErrorText("CreateFile", "C:\\写真\\山.jpg", ERROR_FILE_NOT_FOUND), want);

    // A code the system has no text for still shows its number.
    EXPECT_EQ(WindowsErrorText("CreateFile", "x", 0x2000ABCDu), L"CreateFile\nx\nエラー番号 536914893\n");
}

TEST(TextAndFiles, JapaneseTextSurvivesTheWideApiAndCodePage932) {
    const std::string texts[] = {"ﾊﾟﾀｰﾝ使用", "pukko <整列モード>", "「操作法」ファイルを開けませんでした。",
                                 ""};
    for (const std::string& t : texts) EXPECT_EQ(Narrow(Widen(t)), t);
    EXPECT_EQ(Widen("ﾋﾟｰｽ"), L"ﾋﾟｰｽ");

    // The same code page 932 bytes as the native build writes.
    EXPECT_EQ(Utf8ToCp932("back\\タイル２.bmp"), "back\\\x83\x5E\x83\x43\x83\x8B\x82\x51.bmp");
    EXPECT_EQ(Utf8ToCp932("ﾋﾟｰｽ"), "\xCB\xDF\xB0\xBD");
    EXPECT_EQ(Cp932ToUtf8("\x83\x5C\\x"), "ソ\\x");
    EXPECT_EQ(Utf8ToCp932("a😀b"), "a?b");
}

TEST(TextAndFiles, FilesWithJapaneseNamesAndAtomicReplacement) {
    std::wstring dir = FreshFolder();
    std::string file = Narrow(dir) + "\\設定 ファイル.bin";
    const char data[] = "abc";
    ASSERT_TRUE(WriteFileAtomic(file, data, 3));
    ASSERT_TRUE(WriteFileAtomic(file, "xy", 2));  // replaces the existing file
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(file, &bytes, 100));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "xy");
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(Exists(Widen(file + ".tmp~")));

    // Too long for the limit: nothing is read.
    EXPECT_FALSE(ReadWholeFile(file, &bytes, 1));
    EXPECT_TRUE(bytes.empty());

    // A missing folder: the write fails, the error code is the system's.
    uint32_t error = 0;
    EXPECT_FALSE(WriteFileAtomic(Narrow(dir) + "\\無い\\x.bin", data, 3));
    EXPECT_FALSE(OpenFile(Narrow(dir) + "\\無い.bin", "rb", &error));
    EXPECT_EQ(error, uint32_t{ERROR_FILE_NOT_FOUND});

    // Appending keeps what is there.
    {
        FilePtr f = OpenFile(file, "ab");
        ASSERT_TRUE(f);
        std::fwrite("z", 1, 1, f.get());
    }
    ASSERT_TRUE(ReadWholeFile(file, &bytes, 100));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "xyz");
    EXPECT_TRUE(DeleteFileAt(file));
    EXPECT_FALSE(FileExists(file));
}
