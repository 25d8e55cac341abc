// The main window driven in-process: the class and window of the shell
// library, with a host that records message boxes instead of showing them.
#include <gtest/gtest.h>

#include "app/main_window_win.h"
#include "app/menu.h"
#include "base/text_win.h"
#include "config/trace.h"
#include "win_test_util.h"

using namespace wintest;

namespace {

struct MainWindowTest : testing::Test {
    RecordingHost host;
    std::wstring folder;
    HWND window = nullptr;

    void SetUp() override {
        folder = FreshFolder();
        Settings& s = Shell().settings;
        LoadSettings(s, QuotedExe(folder));
        Shell().host = &host;
        TheTrace() = TraceState{};
        SetTraceTarget(BaseFolder(s), &host);
        static bool registered = RegisterMainClass(GetModuleHandleW(nullptr));
        ASSERT_TRUE(registered);
    }

    void TearDown() override {
        if (window && IsWindow(window)) DestroyWindow(window);
        PumpUntil([] { return false; }, 0);  // drops the WM_QUIT of WM_DESTROY
        Shell().host = &Shell().winHost;
        TheTrace() = TraceState{};
    }

    // Created after the test has put what it needs into the settings, as
    // the program creates it after reading pukko.ini.
    void Create() {
        window = CreateMainWindow(GetModuleHandleW(nullptr));
        ASSERT_NE(window, nullptr);
    }

    HMENU Menu() const { return GetMenu(window); }

    std::wstring Label(int position) const {
        wchar_t text[64] = {};
        GetMenuStringW(Menu(), static_cast<UINT>(position), text, 64, MF_BYPOSITION);
        return text;
    }
    bool Checked(unsigned id) const { return (GetMenuState(Menu(), id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
    bool RadioBullet(unsigned id) const {
        MENUITEMINFOW mi{};
        mi.cbSize = sizeof mi;
        mi.fMask = MIIM_FTYPE;
        GetMenuItemInfoW(Menu(), id, FALSE, &mi);
        return (mi.fType & MFT_RADIOCHECK) != 0;
    }
    // The identifiers of the popup at a top-level position that carry a mark.
    std::vector<unsigned> MarkedIn(int position) const {
        std::vector<unsigned> ids;
        HMENU popup = GetSubMenu(Menu(), position);
        for (int i = 0; i < GetMenuItemCount(popup); ++i) {
            unsigned id = GetMenuItemID(popup, i);
            if (Checked(id)) ids.push_back(id);
        }
        return ids;
    }
    std::wstring Title() const {
        wchar_t text[128] = {};
        GetWindowTextW(window, text, 128);
        return text;
    }
    void Command(unsigned id) { SendMessageW(window, WM_COMMAND, id, 0); }
    void Key(int vk) { SendMessageW(window, WM_KEYDOWN, static_cast<WPARAM>(vk), 0); }
};

}  // namespace

TEST_F(MainWindowTest, MenuShowsTheSettingsFromTheStart) {
    Create();
    EXPECT_EQ(Title(), L"pukko");
    EXPECT_EQ(GetMenuItemCount(Menu()), 6);
    EXPECT_EQ(Label(0), L"ﾌｧｲﾙ");
    EXPECT_EQ(Label(1), L"20ﾋﾟｰｽ");
    EXPECT_EQ(Label(2), L"600ﾋﾟｸｾﾙ");
    EXPECT_EQ(Label(3), L"設定");
    EXPECT_EQ(Label(4), L"表示");
    EXPECT_EQ(Label(5), L"操作法");
    // The view's commands show their keys.
    HMENU view = GetSubMenu(Menu(), 4);
    ASSERT_EQ(GetMenuItemCount(view), 4);
    const wchar_t* viewLabels[] = {L"全体を表示\tCtrl+0", L"100%\tCtrl+1", L"拡大\tCtrl++", L"縮小\tCtrl+-"};
    for (int i = 0; i < 4; ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(view, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        EXPECT_EQ(GetMenuItemID(view, i), 0x50A0u + i) << i;
        EXPECT_EQ(std::wstring(text), viewLabels[i]) << i;
    }
    // Relabelling kept the popups.
    ASSERT_NE(GetSubMenu(Menu(), 1), nullptr);
    ASSERT_NE(GetSubMenu(Menu(), 2), nullptr);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(Menu(), 1)), 20);
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(Menu(), 2)), 10);
    // File: 開く..., 状態保存, 終了時状態保存, —, ﾊﾞﾗﾊﾞﾗにする, 端ﾋﾟｰｽを集める,
    // ﾋﾟｰｽを並べる, —, 終了 (a popup's identifier is -1, a separator's 0).
    HMENU file = GetSubMenu(Menu(), 0);
    const unsigned fileIds[] = {0x5010u, 0x5011u, ~0u, 0u, 0x5014u, 0x5016u, 0x5017u, 0u, 0x5015u};
    const wchar_t* fileLabels[] = {L"開く...",        L"状態保存",      L"終了時状態保存", L"", L"ﾊﾞﾗﾊﾞﾗにする",
                                   L"端ﾋﾟｰｽを集める", L"ﾋﾟｰｽを並べる", L"",               L"終了"};
    ASSERT_EQ(GetMenuItemCount(file), 9);
    for (int i = 0; i < 9; ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(file, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        EXPECT_EQ(GetMenuItemID(file, i), fileIds[i]) << i;
        EXPECT_EQ(std::wstring(text), fileLabels[i]) << i;
    }

    for (unsigned id : {0x5013u, 0x6014u, 0x7258u, 0x5021u, 0x5030u, 0x5041u, 0x5051u}) {
        EXPECT_TRUE(Checked(id)) << std::hex << id;
        EXPECT_TRUE(RadioBullet(id)) << std::hex << id;
    }
    for (unsigned id : {0x5012u, 0x6000u, 0x7000u, 0x5020u, 0x5031u, 0x5040u, 0x5042u, 0x5050u})
        EXPECT_FALSE(Checked(id)) << std::hex << id;
    EXPECT_EQ(MarkedIn(1).size(), 1u);
    EXPECT_EQ(MarkedIn(2).size(), 1u);
}

TEST_F(MainWindowTest, SizeAndCountChoicesRelabelAndMoveTheMark) {
    Create();
    Command(0x7000 + 1000);
    EXPECT_EQ(Shell().settings.pictureSize, 1000);
    EXPECT_EQ(Label(2), L"1000ﾋﾟｸｾﾙ");
    EXPECT_EQ(MarkedIn(2), std::vector<unsigned>{0x7000 + 1000});
    EXPECT_NE(GetSubMenu(Menu(), 2), nullptr);

    // Every size of the menu, and "no scaling".
    for (int size : {400, 600, 800, 1200, 1400, 1600, 1800, 2000, 0}) {
        Command(0x7000 + static_cast<unsigned>(size));
        EXPECT_EQ(Label(2), Widen(SizeLabel(size)));
        EXPECT_EQ(MarkedIn(2), std::vector<unsigned>{0x7000u + static_cast<unsigned>(size)});
    }
    EXPECT_EQ(Label(2), L"伸縮なし");

    Command(0x6000);
    EXPECT_EQ(Shell().settings.pieceCount, 0);
    EXPECT_EQ(Label(1), L"ﾊﾟﾀｰﾝ使用");
    EXPECT_EQ(MarkedIn(1), std::vector<unsigned>{0x6000});
    Command(0x6000 + 1000);
    EXPECT_EQ(Label(1), L"1000ﾋﾟｰｽ");
    EXPECT_EQ(MarkedIn(1), std::vector<unsigned>{0x6000 + 1000});
    // Other menus are left alone.
    EXPECT_EQ(MarkedIn(2), std::vector<unsigned>{0x7000});
    EXPECT_EQ(Label(0), L"ﾌｧｲﾙ");
}

TEST_F(MainWindowTest, SwitchesMoveTheirMarkAndGreyTogglesItsBullet) {
    Create();
    Command(0x5020);
    Command(0x5031);
    Command(0x5040);
    Command(0x5050);
    Command(0x5012);
    const Settings& s = Shell().settings;
    EXPECT_EQ(s.rotation, 0);
    EXPECT_EQ(s.flip, 1);
    EXPECT_EQ(s.guide, 0);
    EXPECT_EQ(s.sound, 0);
    EXPECT_EQ(s.saveOnExit, 0);
    for (unsigned id : {0x5020u, 0x5031u, 0x5040u, 0x5050u, 0x5012u})
        EXPECT_TRUE(Checked(id)) << std::hex << id;
    for (unsigned id : {0x5021u, 0x5030u, 0x5041u, 0x5051u, 0x5013u})
        EXPECT_FALSE(Checked(id)) << std::hex << id;

    Command(0x5042);
    EXPECT_EQ(s.grey, 1);
    EXPECT_TRUE(Checked(0x5042));
    EXPECT_TRUE(RadioBullet(0x5042));
    EXPECT_TRUE(Checked(0x5040));  // the guide's own mark stays
    Command(0x5042);
    EXPECT_EQ(s.grey, 0);
    EXPECT_FALSE(Checked(0x5042));

    // "ヒント", after the grey item, is checked while the hints are on.
    wchar_t hints[16] = {};
    GetMenuStringW(GetSubMenu(GetSubMenu(Menu(), 3), 2), 4, hints, 16, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(hints), L"ヒント");
    EXPECT_TRUE(Checked(0x5043));
    Command(0x5043);
    EXPECT_TRUE(s.hintsOff == 1 && !Checked(0x5043));
    EXPECT_TRUE(host.boxes.empty());
}

// A count written into pukko.ini by hand: shown in the label, no mark.
TEST_F(MainWindowTest, ValueWithoutAnItemShowsNoMark) {
    Shell().settings.pieceCount = 7;
    Shell().settings.pictureSize = 500;
    Create();
    EXPECT_EQ(Label(1), L"7ﾋﾟｰｽ");
    EXPECT_EQ(Label(2), L"500ﾋﾟｸｾﾙ");
    EXPECT_TRUE(MarkedIn(1).empty());
    EXPECT_TRUE(MarkedIn(2).empty());
    Command(0x6000 + 20);
    EXPECT_EQ(MarkedIn(1), std::vector<unsigned>{0x6000 + 20});
}

TEST_F(MainWindowTest, F7SwitchesArrangeModeInTheTitle) {
    Create();
    Key(VK_F7);
    EXPECT_EQ(Shell().settings.arrangeMode, 1);
    EXPECT_EQ(Title(), L"pukko <整列モード>");
    Key(VK_F7);
    EXPECT_EQ(Shell().settings.arrangeMode, 0);
    EXPECT_EQ(Title(), L"pukko");
    // Keys with nothing to do on an empty board.
    for (int vk : {VK_SPACE, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_F8, VK_PRIOR, VK_NEXT, VK_HOME, VK_END})
        Key(vk);
    EXPECT_EQ(Title(), L"pukko");
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(MainWindowTest, ArrangeModeFromTheFileShowsInTheFirstTitle) {
    Shell().settings.arrangeMode = 1;
    Create();
    EXPECT_EQ(Title(), L"pukko <整列モード>");
}

TEST_F(MainWindowTest, F9SwitchesTheTraceLogWithItsBoxes) {
    Create();
    Key(VK_F9);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "trace on");
    EXPECT_EQ(host.boxes[0].caption, "pukko");
    EXPECT_EQ(host.boxes[0].flags, unsigned{MB_OK});
    EXPECT_EQ(host.boxes[0].owner, Owner::kNone);
    TraceWrite("MYBIT::DIsplay(1) x=0 y=0 w=1 h=1");
    std::vector<uint8_t> file = ReadBytes(folder + L"\\trace.txt");
    EXPECT_EQ(std::string(file.begin(), file.end()), "     0 MYBIT::DIsplay(1) x=0 y=0 w=1 h=1\n");
    Key(VK_F9);
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[1].text, "trace off");
}

TEST_F(MainWindowTest, PatternCommandAsksFirst) {
    Create();
    Command(0x5080);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "ただいま工事中。気をつけてお通りください。");
    EXPECT_EQ(host.boxes[0].caption, "pukko");
    EXPECT_EQ(host.boxes[0].flags, unsigned{MB_OKCANCEL});
    EXPECT_EQ(host.boxes[0].owner, Owner::kMainWindow);
}

TEST_F(MainWindowTest, MissingHelpFileIsReported) {
    Create();
    DeleteFileW((folder + L"\\program\\操作法.html").c_str());
    ASSERT_FALSE(Exists(folder + L"\\program\\操作法.html"));
    Command(0x5090);
    ASSERT_EQ(host.boxes.size(), 1u);
    // The page's whole path on a line of its own, to open it by hand.
    EXPECT_EQ(host.boxes[0].text,
              "「操作法」ファイルを開けませんでした。\n" + Narrow(folder) + "\\program\\操作法.html");
    EXPECT_EQ(host.boxes[0].caption, "pukko");
    EXPECT_EQ(host.boxes[0].owner, Owner::kMainWindow);
}

TEST_F(MainWindowTest, ExitCommandClosesLikeTheCloseBox) {
    Create();
    Command(0x5015);
    EXPECT_FALSE(IsWindow(window));
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

// Without a puzzle there is nothing to save or scatter; the browser comes
// later.  (The colour command and the shape command open their dialogs.)
TEST_F(MainWindowTest, CommandsWithoutAPuzzleChangeNothing) {
    Create();
    std::vector<uint8_t> before(reinterpret_cast<uint8_t*>(&Shell().settings),
                                reinterpret_cast<uint8_t*>(&Shell().settings) + sizeof(Settings));
    for (unsigned id : {0x5010u, 0x5011u, 0x5014u, 0x5061u, 0x1234u}) SendMessageW(window, WM_COMMAND, id, 0);
    std::vector<uint8_t> after(reinterpret_cast<uint8_t*>(&Shell().settings),
                               reinterpret_cast<uint8_t*>(&Shell().settings) + sizeof(Settings));
    EXPECT_EQ(before, after);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(host.boxes.empty());
}
