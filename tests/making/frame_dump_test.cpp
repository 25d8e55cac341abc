// The completion frame and the shape settings text.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/sounds.h"
#include "base/file_io.h"
#include "making/frame.h"
#include "making/shape_dump.h"
#include "making_fixture.h"

namespace {

uint32_t Ring(double luma, const Settings& s) {
    return ColorRefToPixel(YhcToColorref(luma, s.endWakuH, s.endWakuS));
}

// A finished 6 x 4 picture resting at (100, 50).
void Finish(MakingFixture& f) {
    MakeTestPicture(f.g().finished, 6, 4);
    f.g().finalRect = Rect{100, 50, 106, 54};
}

TEST(CompletionFrame, TwoRingsRunFromOneLumaToTheOther) {
    MakingFixture f;
    Finish(f);
    f.settings.endWakuT = 2;
    DrawCompletionFrame(f.g(), 0, 0, 0, 0, 0);
    const MYBIT& b = f.background.boardPicture;
    const Settings& s = f.settings;
    const uint32_t L1 = Ring(s.endWakuL1, s), L2 = Ring(s.endWakuL2, s);
    ASSERT_NE(L1, L2);
    // The frame is 10 x 8 with its corner at (98, 48).
    for (int x = 100; x < 106; ++x) {
        EXPECT_EQ(b.At(x, 48), L2) << x;  // top: outer ring L2, inner L1
        EXPECT_EQ(b.At(x, 49), L1) << x;
        EXPECT_EQ(b.At(x, 55), L1) << x;  // bottom: outer L1, inner L2
        EXPECT_EQ(b.At(x, 54), L2) << x;
    }
    for (int y = 50; y < 54; ++y) {
        EXPECT_EQ(b.At(98, y), L2) << y;  // left like the top
        EXPECT_EQ(b.At(99, y), L1) << y;
        EXPECT_EQ(b.At(107, y), L1) << y;  // right like the bottom
        EXPECT_EQ(b.At(106, y), L2) << y;
    }
    // Corners take the colours of the left and right sides.
    EXPECT_EQ(b.At(98, 55), L2);
    EXPECT_EQ(b.At(107, 48), L1);
    EXPECT_EQ(b.At(99, 54), L1);
    // The picture inside, the background outside.
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(b.At(100 + x, 50 + y), f.g().finished.At(x, y));
    EXPECT_EQ(b.At(97, 48), f.background.cleanBoard.At(97, 48));
    EXPECT_EQ(b.At(98, 47), f.background.cleanBoard.At(98, 47));
    EXPECT_EQ(b.At(108, 56), f.background.cleanBoard.At(108, 56));
    EXPECT_EQ(f.host.invalidations, 1);
}

TEST(CompletionFrame, ThickRingsShadeEvenly) {
    MakingFixture f;
    Finish(f);
    f.settings.endWakuT = 5;
    f.settings.endWakuL1 = 20;
    f.settings.endWakuL2 = 60;
    DrawCompletionFrame(f.g(), 0, 0, 0, 0, 0);
    const MYBIT& b = f.background.boardPicture;
    // Top ring i at y = 45 + i: luma 20 + 40 * (4 - i) / 4.
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(b.At(103, 45 + i), Ring(20 + 40.0 * (4 - i) / 4, f.settings)) << i;
        EXPECT_EQ(b.At(103, 58 - i), Ring(20 + 40.0 * i / 4, f.settings)) << i;
    }
}

TEST(CompletionFrame, AmountsChangeTheSettingsWithinTheirLimits) {
    MakingFixture f;
    Finish(f);
    Settings& s = f.settings;
    s.endWakuT = 2;
    DrawCompletionFrame(f.g(), 0, 0, 0, 0, -1);  // Ctrl+Down at 2 stays 2
    EXPECT_EQ(s.endWakuT, 2);
    DrawCompletionFrame(f.g(), 0, 0, 0, 0, 1);
    EXPECT_EQ(s.endWakuT, 3);
    s.endWakuH = 100;
    DrawCompletionFrame(f.g(), 0, 0, 1, 0, 0);  // hue wraps
    EXPECT_EQ(s.endWakuH, 0);
    DrawCompletionFrame(f.g(), 0, 0, -1, 0, 0);
    EXPECT_EQ(s.endWakuH, 100);
    s.endWakuH = 99.5;
    DrawCompletionFrame(f.g(), 0, 0, 0.5, 0, 0);  // 100 itself stays
    EXPECT_EQ(s.endWakuH, 100);
    s.endWakuS = 100;
    DrawCompletionFrame(f.g(), 0, 0, 0, 1, 0);
    EXPECT_EQ(s.endWakuS, 100);
    s.endWakuS = 0;
    DrawCompletionFrame(f.g(), 0, 0, 0, -1, 0);
    EXPECT_EQ(s.endWakuS, 0);
    s.endWakuL1 = 95;
    s.endWakuL2 = 100;
    DrawCompletionFrame(f.g(), 10, 10, 0, 0, 0);  // luma is not limited
    EXPECT_EQ(s.endWakuL1, 105);
    EXPECT_EQ(s.endWakuL2, 110);
    // A frame far wider than the board draws only what lies on it.
    s.endWakuT = 100000;
    DrawCompletionFrame(f.g(), 0, 0, 0, 0, 0);
    EXPECT_EQ(f.background.boardPicture.At(100, 50), f.g().finished.At(0, 0));
    // The board's corner lies on the left ring i = 100000 - 100.
    const int i = 100000 - 100;
    EXPECT_EQ(f.background.boardPicture.At(0, 0),
              Ring(s.endWakuL1 + (s.endWakuL2 - s.endWakuL1) * (100000 - 1 - i) / (100000 - 1), s));
}

TEST(CompletionFrame, EachDrawingPlaysOneEndSound) {
    MakingFixture f;
    Finish(f);
    BuildSoundPaths(TheSounds(), "snd");
    f.settings.sound = 1;
    DrawCompletionFrame(f.g(), 0, 0, 0, 0, 0);
    DrawCompletionFrame(f.g(), 0, 0, 1, 0, 0);
    ASSERT_EQ(f.host.sounds.size(), 2u);
    for (const std::string& s : f.host.sounds) EXPECT_EQ(s.rfind("snd\\k_end_", 0), 0u) << s;
    // Sound off: no sound and no random number drawn.
    f.settings.sound = 0;
    Rand before = f.g().rng;
    DrawCompletionFrame(f.g(), 0, 0, 0, 0, 0);
    EXPECT_EQ(f.host.sounds.size(), 2u);
    EXPECT_EQ(f.g().rng.Next(), before.Next());
}

const char* const kDefaultDump =
    "line_initial={{0,0},{24,-12},{108,-24},{74,24},{49,78},{168,78},{143,24},{108,-24},{191,-12},{216,0},}\n"
    "line_initial={{0,0},{24,-12},{119,-23},{79,24},{64,78},{172,80},{150,24},{120,-23},{191,-12},{216,0},}\n"
    "line_initial={{0,0},{35,0},{132,-26},{92,23},{79,77},{168,78},{143,18},{129,-25},{191,3},{216,0},}\n"
    "line_initial={{0,0},{24,-12},{112,-4},{81,24},{54,86},{158,82},{133,25},{108,-14},{190,-3},{216,0},}\n"
    "end_waku_L1=3000 / 100\n"
    "end_waku_L2=9500 / 100\n"
    "end_waku_H=9300 / 100\n"
    "end_waku_S=8400 / 100\n"
    "end_waku_t=10\n"
    "edge_thick=10\n"
    "edge_light=150\n";

std::filesystem::path TempFolder() {
    const char* root = std::getenv("PUKKO_TEST_TMP");
    std::filesystem::path dir =
        (root ? std::filesystem::path(root) : std::filesystem::temp_directory_path()) / "pukko_making_dump";
    std::filesystem::create_directories(dir);
    return dir;
}

std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

TEST(ShapeDump, DefaultSettingsGiveTheKnownText) {
    Settings s = DefaultSettings();
    EXPECT_EQ(FormatShapeSettings(s), kDefaultDump);
    const std::filesystem::path file = TempFolder() / "pukko_ini.txt";
    ASSERT_TRUE(DumpShapeSettings(s, file.string()));
    EXPECT_EQ(ReadAll(file), kDefaultDump);
    // Writing again replaces the file; it never grows.
    ASSERT_TRUE(DumpShapeSettings(s, file.string()));
    EXPECT_EQ(ReadAll(file), kDefaultDump);
}

TEST(ShapeDump, ValuesKeepTheirSignsAndAreTruncated) {
    Settings s = DefaultSettings();
    s.lineInitial[1][4][0] = -3;
    s.lineInitial[1][4][1] = 40;
    s.endWakuL1 = 30.5;
    s.endWakuL2 = -0.5;
    s.endWakuH = 0.29;  // 28.999... hundredths
    s.endWakuS = 100;
    s.edgeThick = 0;
    std::string text = FormatShapeSettings(s);
    EXPECT_NE(text.find("{79,24},{-3,40},{172,80},"), std::string::npos);
    EXPECT_NE(text.find("end_waku_L1=3050 / 100\n"), std::string::npos);
    EXPECT_NE(text.find("end_waku_L2=-50 / 100\n"), std::string::npos);
    EXPECT_NE(text.find("end_waku_H=28 / 100\n"), std::string::npos);
    EXPECT_NE(text.find("end_waku_S=10000 / 100\n"), std::string::npos);
    EXPECT_NE(text.find("edge_thick=0\n"), std::string::npos);
    EXPECT_EQ(text.find('\r'), std::string::npos);
}

TEST(ShapeDump, TheCommandSaysWhetherTheFileWasWritten) {
    FakeHost host;
    Settings s = DefaultSettings();
    // The program's folder, joined with a backslash as the program joins
    // it (the file layer takes it for a separator).
    const std::filesystem::path dir = TempFolder();
    std::filesystem::create_directories(dir / "base");
    SetPathField(s.baseFolder, (dir / "base").string());
    DumpShapeSettingsCommand(s, host);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "pukko_ini.txt出力しました。");
    EXPECT_EQ(host.boxes[0].caption, "pukko");
    EXPECT_EQ(host.boxes[0].owner, Owner::kNone);
    EXPECT_EQ(ReadAll(dir / "base" / "pukko_ini.txt"), kDefaultDump);
    // A folder that does not exist: the failure is said, not hidden.
    SetPathField(s.baseFolder, (dir / "missing" / "folder").string());
    DumpShapeSettingsCommand(s, host);
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[1].text, "pukko_ini.txtを出力できませんでした。");
    EXPECT_FALSE(DumpShapeSettings(s, (dir / "missing" / "x.txt").string()));
}

}  // namespace
