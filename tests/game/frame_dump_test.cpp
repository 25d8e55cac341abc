// The completion frame and the shape settings text.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "config/sounds.h"
#include "game/frame.h"
#include "making/making_fixture.h"
#include "making/shape_dump.h"

namespace {

uint32_t Ring(double luma, const Settings& s) {
    return ColorRefToPixel(YhcToColorref(luma, s.endWakuH, s.endWakuS));
}

struct Frame : ::testing::Test {
    MakingFixture f;
    const MYBIT& board = f.background.boardPicture;
    void SetUp() override {  // a finished 6 x 4 picture resting at (100, 50)
        MakeTestPicture(f.g().finished, 6, 4);
        f.g().finalRect = Rect{100, 50, 106, 54};
    }
};

TEST_F(Frame, RingsRunFromOneLumaToTheOther) {
    f.settings.endWakuT = 2;
    DrawCompletionFrame(f.g(), 0, 0, 0, 0, 0);
    const Settings& s = f.settings;
    const uint32_t L1 = Ring(s.endWakuL1, s), L2 = Ring(s.endWakuL2, s);
    // A 10 x 8 frame at (98, 48): top and left L2 outside, L1 inside; bottom
    // and right the other way round.
    for (int x = 100; x < 106; ++x)
        EXPECT_EQ((std::vector<uint32_t>{board.At(x, 48), board.At(x, 49), board.At(x, 54), board.At(x, 55)}),
                  (std::vector<uint32_t>{L2, L1, L2, L1}));
    for (int y = 50; y < 54; ++y)
        EXPECT_EQ(
            (std::vector<uint32_t>{board.At(98, y), board.At(99, y), board.At(106, y), board.At(107, y)}),
            (std::vector<uint32_t>{L2, L1, L2, L1}));
    // Corners take the left and right sides' colours; the picture is inside,
    // the background outside.
    EXPECT_EQ((std::vector<uint32_t>{board.At(98, 55), board.At(107, 48), board.At(99, 54)}),
              (std::vector<uint32_t>{L2, L1, L1}));
    EXPECT_EQ(board.At(105, 53), f.g().finished.At(5, 3));
    EXPECT_EQ(board.At(97, 48), f.background.cleanBoard.At(97, 48));
    EXPECT_EQ(board.At(108, 56), f.background.cleanBoard.At(108, 56));
    // Five rings: luma 20 + 40 * (4 - i) / 4 on top, 20 + 40 * i / 4 below.
    f.settings.endWakuT = 5;
    f.settings.endWakuL1 = 20;
    f.settings.endWakuL2 = 60;
    DrawCompletionFrame(f.g(), 0, 0, 0, 0, 0);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(board.At(103, 45 + i), Ring(20 + 40.0 * (4 - i) / 4, s)) << i;
        EXPECT_EQ(board.At(103, 58 - i), Ring(20 + 40.0 * i / 4, s)) << i;
    }
}

TEST_F(Frame, AmountsChangeTheSettingsWithinTheirLimits) {
    Settings& s = f.settings;
    auto draw = [&](double dL, double dH, double dS, int dT) {
        DrawCompletionFrame(f.g(), dL, dL, dH, dS, dT);
    };
    s.endWakuT = 2;
    draw(0, 0, 0, -1);  // Ctrl+Down at 2
    EXPECT_EQ(s.endWakuT, 2);
    s.endWakuH = 100;
    draw(0, 1, 0, 0);  // hue wraps both ways
    EXPECT_EQ(s.endWakuH, 0);
    draw(0, -1, 0, 0);
    EXPECT_EQ(s.endWakuH, 100);
    s.endWakuS = 100;
    draw(0, 0, 1, 0);
    EXPECT_EQ(s.endWakuS, 100);
    s.endWakuL1 = 95;
    draw(10, 0, 0, 0);  // luma is not limited
    EXPECT_EQ(s.endWakuL1, 105);
    // A frame far wider than the board draws what lies on it: the board's
    // corner lies on the left ring i = 100000 - 100.
    s.endWakuT = 100000;
    draw(0, 0, 0, 0);
    const int i = 100000 - 100;
    EXPECT_EQ(board.At(0, 0),
              Ring(s.endWakuL1 + (s.endWakuL2 - s.endWakuL1) * (100000 - 1 - i) / (100000 - 1), s));
    EXPECT_EQ(board.At(100, 50), f.g().finished.At(0, 0));
}

TEST_F(Frame, EachDrawingPlaysOneEndSound) {
    BuildSoundPaths(TheSounds(), "snd");
    f.settings.sound = 1;
    DrawCompletionFrame(f.g(), 0, 0, 0, 0, 0);
    ASSERT_EQ(f.host.sounds.size(), 1u);
    EXPECT_EQ(f.host.sounds[0].rfind("snd\\k_end_", 0), 0u);
    f.settings.sound = 0;  // no sound, no random number
    Rand before = f.g().rng;
    DrawCompletionFrame(f.g(), 0, 0, 0, 0, 0);
    EXPECT_EQ(f.host.sounds.size(), 1u);
    EXPECT_EQ(f.g().rng.Next(), before.Next());
    EXPECT_EQ(f.host.invalidations, 2);
}

const char* const kDefaultDump =
    "line_initial={{0,0},{24,-12},{108,-24},{74,24},{49,78},{168,78},{143,24},{108,-24},{191,-12},{216,0},}\n"
    "line_initial={{0,0},{24,-12},{119,-23},{79,24},{64,78},{172,80},{150,24},{120,-23},{191,-12},{216,0},}\n"
    "line_initial={{0,0},{35,0},{132,-26},{92,23},{79,77},{168,78},{143,18},{129,-25},{191,3},{216,0},}\n"
    "line_initial={{0,0},{24,-12},{112,-4},{81,24},{54,86},{158,82},{133,25},{108,-14},{190,-3},{216,0},}\n"
    "end_waku_L1=3000 / 100\nend_waku_L2=9500 / 100\nend_waku_H=9300 / 100\nend_waku_S=8400 / 100\n"
    "end_waku_t=10\nedge_thick=10\nedge_light=150\n";

std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

TEST(ShapeDump, TextValuesAndTheFile) {
    Settings s = DefaultSettings();
    EXPECT_EQ(FormatShapeSettings(s), kDefaultDump);
    s.lineInitial[1][4][0] = -3;
    s.lineInitial[1][4][1] = 40;
    s.endWakuL1 = 30.5;
    s.endWakuL2 = -0.5;
    s.endWakuH = 0.29;  // 28.999... hundredths
    const std::string text = FormatShapeSettings(s);
    for (const char* part : {"{79,24},{-3,40},{172,80},", "end_waku_L1=3050 / 100\n",
                             "end_waku_L2=-50 / 100\n", "end_waku_H=28 / 100\n"})
        EXPECT_NE(text.find(part), std::string::npos) << part;
    // Values no key can reach, as a damaged settings file may hold them: the
    // number stops at the ends of its range, and not a number counts as 0.
    s.endWakuL1 = 1e300;
    s.endWakuL2 = -1e300;
    s.endWakuH = std::nan("");
    const std::string extreme = FormatShapeSettings(s);
    for (const char* part :
         {"end_waku_L1=2147483647 / 100\n", "end_waku_L2=-2147483648 / 100\n", "end_waku_H=0 / 100\n"})
        EXPECT_NE(extreme.find(part), std::string::npos) << part;

    const char* root = std::getenv("PUKKO_TEST_TMP");
    const std::filesystem::path dir =
        (root ? std::filesystem::path(root) : std::filesystem::temp_directory_path()) / "pukko_making_dump";
    std::filesystem::create_directories(dir / "base");
    // F6: the program's folder joined with a backslash, as the program joins
    // it; written twice, the file is replaced, not grown.
    FakeHost host;
    s = DefaultSettings();
    SetPathField(s.baseFolder, (dir / "base").string());
    DumpShapeSettingsCommand(s, host);
    DumpShapeSettingsCommand(s, host);
    EXPECT_EQ(ReadAll(dir / "base" / "pukko_ini.txt"), kDefaultDump);
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[0].text, "pukko_ini.txt出力しました。");
    EXPECT_EQ(host.boxes[0].caption, "pukko");
    // A folder that does not exist: the failure is said, not hidden.
    SetPathField(s.baseFolder, (dir / "missing" / "folder").string());
    DumpShapeSettingsCommand(s, host);
    EXPECT_EQ(host.boxes.back().text, "pukko_ini.txtを出力できませんでした。");
}

}  // namespace
