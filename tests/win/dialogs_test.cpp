// The piece-shape dialog and the pattern-creation window, opened from the
// menu of a main window driven in-process.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which declares the types it uses.
#include <commctrl.h>

#include <string>

#include "app/main_window_win.h"
#include "making/shape_dialog_win.h"
#include "pattern/pattern_window_win.h"
#include "resource.h"
#include "win_test_util.h"

using namespace wintest;

namespace {

struct DialogsTest : testing::Test {
    RecordingHost host;
    std::wstring folder;
    HWND window = nullptr;

    void SetUp() override {
        folder = FreshFolder();
        LoadSettings(Shell().settings, QuotedExe(folder));
        Shell().host = &host;
        // Other suites of this program may have registered it already.
        static bool registered =
            RegisterMainClass(GetModuleHandleW(nullptr)) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
        ASSERT_TRUE(registered);
        window = CreateMainWindow(GetModuleHandleW(nullptr));
        ASSERT_NE(window, nullptr);
    }

    void TearDown() override {
        if (window && IsWindow(window)) DestroyWindow(window);
        PumpUntil([] { return false; }, 0);
        Shell().host = &Shell().winHost;
    }

    void Command(unsigned id) { SendMessageW(window, WM_COMMAND, id, 0); }
    // A dialog button: the dialog posts its message to the preview.
    void Press(unsigned id) {
        SendMessageW(ShapeDialogWindow(), WM_COMMAND, id, 0);
        PumpUntil([] { return false; }, 0);
    }
    void DragOnPreview(int x0, int y0, int x1, int y1) {
        HWND p = ShapePreviewWindow();
        SendMessageW(p, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x0, y0));
        SendMessageW(p, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x1, y1));
        SendMessageW(p, WM_LBUTTONUP, 0, MAKELPARAM(x1, y1));
    }
    static std::wstring ClassOf(HWND w) {
        wchar_t name[64] = {};
        GetClassNameW(w, name, 64);
        return name;
    }
    static int TopWindowsOfClass(const wchar_t* name) {
        int n = 0;
        for (HWND w = FindWindowExW(nullptr, nullptr, name, nullptr); w;
             w = FindWindowExW(nullptr, w, name, nullptr))
            ++n;
        return n;
    }
};

RECT WindowRect(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

}  // namespace

TEST_F(DialogsTest, ShapeDialogSitsBesideItsPreviewAndOkKeepsTheEdits) {
    Command(0x5070);
    HWND preview = ShapePreviewWindow(), dialog = ShapeDialogWindow();
    ASSERT_TRUE(preview && dialog);
    EXPECT_EQ(ClassOf(preview), L"BasicLineWin");
    EXPECT_EQ(GetWindow(preview, GW_OWNER), window);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), window);
    RECT client{};
    GetClientRect(preview, &client);
    EXPECT_EQ(client.right, 436);
    EXPECT_EQ(client.bottom, 436);
    EXPECT_EQ(WindowRect(dialog).left, WindowRect(preview).right);
    EXPECT_EQ(WindowRect(dialog).top, WindowRect(preview).top);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_LINE1), BST_CHECKED);
    // A second command brings the pair forward; no second pair.
    Command(0x5070);
    EXPECT_EQ(ShapePreviewWindow(), preview);
    EXPECT_EQ(TopWindowsOfClass(L"BasicLineWin"), 1);

    // Line 1, point 1 (24, -12), is drawn at (134, 98); dragged to (30, 10).
    DragOnPreview(134, 98, 140, 120);
    Press(IDC_WIDER);
    Press(IDOK);
    EXPECT_FALSE(IsWindow(preview));
    EXPECT_FALSE(IsWindow(dialog));
    const Settings& s = Shell().settings;
    EXPECT_EQ(s.lineInitial[0][1][0], 30);
    EXPECT_EQ(s.lineInitial[0][1][1], 10);
    EXPECT_EQ(s.edgeThick, 11);

    // The shape dump shows the new line.
    SendMessageW(window, WM_KEYDOWN, VK_F6, 0);
    std::vector<uint8_t> text = ReadBytes(folder + L"\\pukko_ini.txt");
    EXPECT_EQ(std::string(text.begin(), text.end()).rfind("line_initial={{0,0},{30,10},{108,-24},", 0), 0u);
}

// Each close of a shown window costs this display two seconds, so the
// preview's own close box, which ends in the same handler, is left out.
TEST_F(DialogsTest, ShapeDialogCloseBoxActsAsCancel) {
    const Settings& s = Shell().settings;
    Command(0x5070);
    for (int i = 0; i < 3; ++i) Press(IDC_WIDER);
    Press(IDC_WEAKER);
    EXPECT_EQ(s.edgeThick, 13);
    EXPECT_EQ(s.edgeLight, 149);
    Press(IDC_LINE3);
    DragOnPreview(145, 110, 140, 120);  // line 3, point 1 (35, 0)
    SendMessageW(ShapeDialogWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(PumpUntil([] { return ShapePreviewWindow() == nullptr; }, 5000));
    EXPECT_EQ(ShapeDialogWindow(), nullptr);
    EXPECT_EQ(s.edgeThick, 10);
    EXPECT_EQ(s.edgeLight, 150);
    EXPECT_EQ(s.lineInitial[2][1][0], 35);
}

TEST_F(DialogsTest, PatternWindowHasItsToolbarAndDrawsStrokes) {
    Command(0x5080);  // the warning answered with Cancel
    EXPECT_EQ(PatternWindow(), nullptr);
    host.answer = kIdOk;
    Command(0x5080);
    HWND outer = PatternWindow(), bar = PatternToolbar(), canvas = PatternCanvasWindow();
    ASSERT_TRUE(outer && bar && canvas);
    EXPECT_EQ(ClassOf(outer), L"PatternlineLineWin");
    EXPECT_EQ(ClassOf(canvas), L"PatternlineLine2Win");
    EXPECT_EQ(GetWindow(outer, GW_OWNER), window);
    EXPECT_EQ(WindowRect(canvas).top, WindowRect(bar).bottom);

    // Five buttons and a separator before "描く", each with its tooltip.
    ASSERT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 6);
    const wchar_t* texts[] = {L"クリア", L"入力", L"出力", L"描く", L"加工"};
    HWND tips = reinterpret_cast<HWND>(SendMessageW(bar, TB_GETTOOLTIPS, 0, 0));
    ASSERT_NE(tips, nullptr);
    for (int i = 0, image = 0; i < 6; ++i) {
        TBBUTTON b{};
        SendMessageW(bar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
        if (i == 3) {
            EXPECT_TRUE(b.fsStyle & BTNS_SEP);
            continue;
        }
        EXPECT_EQ(b.idCommand, 0x5201 + image);
        EXPECT_EQ(b.iBitmap, image);
        wchar_t text[32] = {};
        TOOLINFOW ti{};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;
        ti.hwnd = bar;
        ti.uId = static_cast<UINT_PTR>(b.idCommand);
        ti.lpszText = text;
        SendMessageW(tips, TTM_GETTEXTW, 32, reinterpret_cast<LPARAM>(&ti));
        EXPECT_EQ(std::wstring(text), texts[image]);
        ++image;
    }
    SendMessageW(outer, WM_COMMAND, 0x5205, 0);
    SendMessageW(outer, WM_COMMAND, 0x5204, 0);
    EXPECT_TRUE(SendMessageW(bar, TB_ISBUTTONCHECKED, 0x5204, 0));
    EXPECT_FALSE(SendMessageW(bar, TB_ISBUTTONCHECKED, 0x5205, 0));

    // A stroke leaves a black line with its points red; "クリア" wipes it,
    // "入力" and "出力" change nothing.
    SendMessageW(canvas, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30));
    SendMessageW(canvas, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(80, 30));
    auto pixel = [&](int x, int y) {
        UpdateWindow(canvas);
        HDC dc = GetDC(canvas);
        COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(canvas, dc);
        return c;
    };
    EXPECT_EQ(pixel(50, 30), RGB(0, 0, 0));
    EXPECT_EQ(pixel(20, 30), RGB(255, 0, 0));
    EXPECT_EQ(pixel(50, 40), RGB(255, 255, 255));
    // Let go; a press elsewhere dragged onto the canvas continues nothing.
    SendMessageW(canvas, WM_LBUTTONUP, 0, MAKELPARAM(80, 30));
    EXPECT_NE(GetCapture(), canvas);
    SendMessageW(canvas, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, 60));
    EXPECT_EQ(pixel(65, 45), RGB(255, 255, 255));
    EXPECT_EQ(pixel(50, 60), RGB(255, 255, 255));
    EXPECT_EQ(pixel(50, 30), RGB(0, 0, 0));
    SendMessageW(outer, WM_COMMAND, 0x5202, 0);
    SendMessageW(outer, WM_COMMAND, 0x5203, 0);
    EXPECT_EQ(pixel(50, 30), RGB(0, 0, 0));
    SendMessageW(outer, WM_COMMAND, 0x5201, 0);
    EXPECT_EQ(pixel(50, 30), RGB(255, 255, 255));

    // Moved to a monitor at 200 % (Wine never sends the message itself), a
    // new stroke stays, twice as large; back at 100 % it is as drawn.
    SendMessageW(canvas, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30));
    SendMessageW(canvas, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(80, 30));
    SendMessageW(canvas, WM_LBUTTONUP, 0, MAKELPARAM(80, 30));
    auto changeDpi = [&](int dpi, int factor) {
        RECT r = WindowRect(outer);
        r.right = r.left + (r.right - r.left) * factor;
        r.bottom = r.top + (r.bottom - r.top) * factor;
        SendMessageW(outer, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&r));
    };
    changeDpi(192, 2);
    EXPECT_EQ(pixel(40, 60), RGB(255, 0, 0));
    EXPECT_EQ(pixel(100, 60), RGB(0, 0, 0));
    EXPECT_EQ(pixel(160, 60), RGB(255, 0, 0));
    changeDpi(96, 1);
    EXPECT_EQ(pixel(50, 30), RGB(0, 0, 0));
    EXPECT_EQ(pixel(80, 30), RGB(255, 0, 0));

    // A second open brings this one forward; the close box ends it.
    Command(0x5080);
    EXPECT_EQ(PatternWindow(), outer);
    EXPECT_EQ(TopWindowsOfClass(L"PatternlineLineWin"), 1);
    SendMessageW(outer, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(outer));
    EXPECT_EQ(PatternWindow(), nullptr);
}
