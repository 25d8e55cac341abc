#include <gtest/gtest.h>

#include "app/menu.h"
#include "config/settings.h"
#include "config/shell_texts.h"
#include "config/switches.h"
#include "support/app_test_util.h"
#include "support/fake_host.h"

using namespace apptest;

TEST(MenuCommand, SwitchesSetTheirSettingAndNothingElse) {
    struct Case {
        unsigned id;
        int32_t Settings::*field;
        int32_t value;
    } cases[] = {
        {kCmdSaveExitOff, &Settings::saveOnExit, 0}, {kCmdSaveExitOn, &Settings::saveOnExit, 1},
        {kCmdRotateOff, &Settings::rotation, 0},     {kCmdRotateOn, &Settings::rotation, 1},
        {kCmdFlipOff, &Settings::flip, 0},           {kCmdFlipOn, &Settings::flip, 1},
        {kCmdGuideOff, &Settings::guide, 0},         {kCmdGuideOn, &Settings::guide, 1},
        {kCmdSoundOff, &Settings::sound, 0},         {kCmdSoundOn, &Settings::sound, 1},
        {0x6000, &Settings::pieceCount, 0},          {0x6004, &Settings::pieceCount, 4},
        {0x63E8, &Settings::pieceCount, 1000},       {0x6FFF, &Settings::pieceCount, 4095},
        {0x7000, &Settings::pictureSize, 0},         {0x7000 + 1000, &Settings::pictureSize, 1000},
        {0x77D0, &Settings::pictureSize, 2000},      {0x7FFF, &Settings::pictureSize, 4095},
    };
    for (const Case& c : cases) {
        Settings s = DefaultSettings();
        s.*c.field = 77;  // neither 0 nor 1 nor any menu value
        Settings want = s;
        want.*c.field = c.value;
        EXPECT_EQ(ApplyMenuCommand(s, c.id), 1) << std::hex << c.id;
        EXPECT_EQ(BytesOf(s), BytesOf(want)) << std::hex << c.id;
    }
}

TEST(MenuCommand, GreyAndHintsToggleAndOtherIdentifiersChangeNothing) {
    Settings s = DefaultSettings();
    EXPECT_EQ(ApplyMenuCommand(s, kCmdGrey), 1);
    EXPECT_EQ(s.grey, 1);
    EXPECT_EQ(ApplyMenuCommand(s, kCmdGrey), 1);
    EXPECT_EQ(s.grey, 0);
    EXPECT_EQ(ApplyMenuCommand(s, kCmdHints) + s.hintsOff, 2);
    EXPECT_EQ(ApplyMenuCommand(s, kCmdHints) + s.hintsOff, 1);

    std::vector<uint8_t> before = BytesOf(s);
    for (unsigned id :
         {0u, unsigned{kCmdOpen}, unsigned{kCmdSave}, unsigned{kCmdScatter}, unsigned{kCmdExit}, 0x5014u,
          0x5016u, 0x5022u, 0x5044u, 0x5052u, unsigned{kCmdBackColor}, unsigned{kCmdBackTile},
          unsigned{kCmdShape}, unsigned{kCmdPattern}, unsigned{kCmdHelp}, 0x5FFFu, 0x8000u, 0xFFFFu}) {
        EXPECT_EQ(ApplyMenuCommand(s, id), 0) << std::hex << id;
    }
    EXPECT_EQ(BytesOf(s), before);
}

TEST(MenuLabels, CountAndSizeOrTheirZeroMeaning) {
    EXPECT_EQ(PieceCountLabel(20), "20ﾋﾟｰｽ");
    EXPECT_EQ(PieceCountLabel(1000), "1000ﾋﾟｰｽ");
    EXPECT_EQ(PieceCountLabel(0), "ﾊﾟﾀｰﾝ使用");
    EXPECT_EQ(PieceCountLabel(-3), "-3ﾋﾟｰｽ");  // a hand-edited file is shown as it is
    EXPECT_EQ(SizeLabel(600), "600ﾋﾟｸｾﾙ");
    EXPECT_EQ(SizeLabel(1000), "1000ﾋﾟｸｾﾙ");
    EXPECT_EQ(SizeLabel(0), "伸縮なし");
}

TEST(MenuMarks, DefaultsMarkOneItemInEveryGroup) {
    std::array<RadioGroup, kRadioGroupCount> g = RadioMarks(DefaultSettings());
    const unsigned want[] = {kCmdSaveExitOn, 0x6000 + 20, 0x7000 + 600, kCmdRotateOn,
                             kCmdFlipOff,    kCmdGuideOn, kCmdSoundOn};
    for (int i = 0; i < kRadioGroupCount; ++i) {
        EXPECT_EQ(g[i].checked, want[i]) << i;
        EXPECT_TRUE(IsMenuItem(g[i], g[i].checked)) << i;
    }
    // The popups by position: File > 終了時状態保存, the two relabelled
    // entries themselves, and Settings > 回転, 裏返し, ガイド表示, 効果音.
    EXPECT_EQ(g[0].top, kMenuFile);
    EXPECT_EQ(g[0].sub, 2);
    EXPECT_EQ(g[1].top, kMenuPieces);
    EXPECT_EQ(g[1].sub, -1);
    EXPECT_EQ(g[2].top, kMenuSize);
    EXPECT_EQ(g[2].sub, -1);
    for (int i = 3; i < 7; ++i) EXPECT_EQ(g[i].top, kMenuSettings);
    EXPECT_EQ(g[3].sub, 0);
    EXPECT_EQ(g[4].sub, 1);
    EXPECT_EQ(g[5].sub, 2);
    EXPECT_EQ(g[6].sub, 4);  // past the separator
}

// Values no item carries leave their group unmarked.
TEST(MenuMarks, ValuesWithoutAnItemMarkNothing) {
    Settings s = DefaultSettings();
    for (int32_t count : {0, 4, 75, 1000}) {
        s.pieceCount = count;
        EXPECT_TRUE(IsMenuItem(RadioMarks(s)[1], RadioMarks(s)[1].checked)) << count;
    }
    for (int32_t count : {1, 7, 999, 1001, -1, 4095}) {
        s.pieceCount = count;
        EXPECT_FALSE(IsMenuItem(RadioMarks(s)[1], RadioMarks(s)[1].checked)) << count;
    }
    for (int32_t size : {0, 400, 2000}) {
        s.pictureSize = size;
        EXPECT_TRUE(IsMenuItem(RadioMarks(s)[2], RadioMarks(s)[2].checked)) << size;
    }
    for (int32_t size : {500, 2200, -400}) {
        s.pictureSize = size;
        EXPECT_FALSE(IsMenuItem(RadioMarks(s)[2], RadioMarks(s)[2].checked)) << size;
    }
    s.rotation = 2;
    s.sound = -1;
    EXPECT_FALSE(IsMenuItem(RadioMarks(s)[3], RadioMarks(s)[3].checked));
    EXPECT_FALSE(IsMenuItem(RadioMarks(s)[6], RadioMarks(s)[6].checked));
}

// pukko.ini keeps exactly the piece counts and sizes the menu has an item
// for: every value of the two command blocks, on both sides of each item.
TEST(MenuMarks, TheSettingsCheckKeepsExactlyTheValuesWithAnItem) {
    const std::array<RadioGroup, kRadioGroupCount> groups = RadioMarks(DefaultSettings());
    for (int32_t v = -1; v <= 0xFFF; ++v) {
        Settings counts = DefaultSettings(), sizes = DefaultSettings();
        counts.pieceCount = v;
        sizes.pictureSize = v;
        const unsigned offset = static_cast<unsigned>(v);
        EXPECT_EQ(IsMenuItem(groups[1], kCmdPiecesBase + offset), !ResetDamagedSettings(counts)) << v;
        EXPECT_EQ(IsMenuItem(groups[2], kCmdSizeBase + offset), !ResetDamagedSettings(sizes)) << v;
    }
}

TEST(MenuCommand, HelpFileBesideTheProgram) {
    Settings s = DefaultSettings();
    FindBaseFolder(s, "\"C:\\a b\\pukko.exe\"");
    EXPECT_EQ(HelpFilePath(s), "C:\\a b\\program\\操作法.html");
}

TEST(ArrangeModeKey, F7SwitchesTheModeAndTheTitle) {
    Settings s = DefaultSettings();
    FakeHost host;
    SwitchArrangeMode(s, host);
    EXPECT_EQ(s.arrangeMode, 1);
    EXPECT_EQ(host.title, "pukko <整列モード>");
    SwitchArrangeMode(s, host);
    EXPECT_EQ(s.arrangeMode, 0);
    EXPECT_EQ(host.title, "pukko");
    // A hand-edited value counts as on, and is switched off.
    s.arrangeMode = 5;
    SwitchArrangeMode(s, host);
    EXPECT_EQ(s.arrangeMode, 0);
    EXPECT_EQ(host.title, "pukko");
    EXPECT_TRUE(host.boxes.empty());
}
