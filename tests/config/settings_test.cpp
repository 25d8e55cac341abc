#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "base/cp932.h"
#include "config/settings.h"
#include "support/app_test_util.h"

using namespace apptest;

namespace {

// "back\タイル２.bmp" as code page 932 stores it.
const std::string kTileCp932 = "back\\\x83\x5E\x83\x43\x83\x8B\x82\x51.bmp";

// The default base lines, read back from the record's bytes.
constexpr int32_t kLines[4][10][2] = {
    {{0, 0},
     {24, -12},
     {108, -24},
     {74, 24},
     {49, 78},
     {168, 78},
     {143, 24},
     {108, -24},
     {191, -12},
     {216, 0}},
    {{0, 0},
     {24, -12},
     {119, -23},
     {79, 24},
     {64, 78},
     {172, 80},
     {150, 24},
     {120, -23},
     {191, -12},
     {216, 0}},
    {{0, 0}, {35, 0}, {132, -26}, {92, 23}, {79, 77}, {168, 78}, {143, 18}, {129, -25}, {191, 3}, {216, 0}},
    {{0, 0}, {24, -12}, {112, -4}, {81, 24}, {54, 86}, {158, 82}, {133, 25}, {108, -14}, {190, -3}, {216, 0}},
};

// Offsets of the eight path fields.
constexpr size_t kBase = 324, kIni = 584, kBack = 844, kImage = 1104, kPattern = 1364, kSound = 1624,
                 kProgram = 1884, kTile = 2144;

// The command line of an exe in dir, quoted as Windows quotes it.
std::string QuotedExe(const std::filesystem::path& dir) {
    std::string line = "\"";
    line += dir.string();
    line += "\\pukko.exe\"";
    return line;
}

// A record of valid values, none of them the default.
Settings Custom() {
    Settings s = DefaultSettings();
    for (auto& line : s.lineInitial)
        for (auto& point : line) {
            point[0] += 1;
            point[1] -= 1;
        }
    SetPathField(s.tileFile, "E:\\tiles\\wood.bmp");
    s.pieceCount = 100;
    s.pictureSize = 1000;
    s.rotation = 0;
    s.flip = 1;
    s.sound = 0;
    s.backColor = 0x00123456;
    s.guide = 0;
    s.grey = 1;
    s.endWakuL1 = -250.0;
    s.endWakuL2 = 400.0;
    s.endWakuH = 100.0;
    s.endWakuS = 0.0;
    s.endWakuT = 2;
    s.edgeThick = 0;
    s.edgeLight = 0;
    s.saveOnExit = 0;
    s.arrangeMode = 1;
    s.hintsOff = 1;
    return s;
}

// The record's bytes outside the six fields a load derives from the base
// folder.  (The tile field is read from the file like any other value.)
std::vector<uint8_t> WithoutDerivedFolders(std::vector<uint8_t> b) {
    std::fill(b.begin() + kBase, b.begin() + kTile, 0);
    return b;
}

}  // namespace

// The file is this record byte for byte, so every offset and default is part
// of the file format that earlier runs have written.
TEST(Settings, DefaultRecordByteForByte) {
    std::vector<uint8_t> b = BytesOf(DefaultSettings());
    ASSERT_EQ(b.size(), 2496u);

    EXPECT_EQ(I32At(b, 0), 10);
    for (int line = 0; line < 4; ++line)
        for (int p = 0; p < 10; ++p)
            for (int c = 0; c < 2; ++c)
                EXPECT_EQ(I32At(b, 4 + static_cast<size_t>(((line * 10 + p) * 2 + c) * 4)),
                          kLines[line][p][c])
                    << "line " << line + 1 << " point " << p;

    for (size_t f : {kBase, kIni, kBack, kImage, kPattern, kSound, kProgram}) EXPECT_EQ(FieldAt(b, f), "");
    EXPECT_EQ(FieldAt(b, kTile), kTileCp932);

    const int32_t ints[] = {20, 600, 1, 0, 1, 0x009EBE9C, 1, 0, 0};  // 2404 .. 2436
    for (size_t i = 0; i < std::size(ints); ++i)
        EXPECT_EQ(I32At(b, 2404 + 4 * i), ints[i]) << "offset " << 2404 + 4 * i;
    EXPECT_EQ(F64At(b, 2440), 30.0);
    EXPECT_EQ(F64At(b, 2448), 95.0);
    EXPECT_EQ(F64At(b, 2456), 93.0);
    EXPECT_EQ(F64At(b, 2464), 84.0);
    const int32_t tail[] = {10, 10, 150, 1, 0, 0};  // 2472 .. 2492
    for (size_t i = 0; i < std::size(tail); ++i)
        EXPECT_EQ(I32At(b, 2472 + 4 * i), tail[i]) << "offset " << 2472 + 4 * i;

    // Everything at once, unused bytes of the fields included.
    EXPECT_EQ(Fnv1a(b), 0x40732BD9u);
}

TEST(Settings, BaseFolderFromCommandLine) {
    struct Case {
        const char* line;
        const char* base;
    } cases[] = {
        {"\"C:\\a b\\pukko.exe\" -x \"D:\\other\\file.jpg\"", "C:\\a b"},  // quoted, then arguments
        {"C:\\games\\pukko\\pukko.exe", "C:\\games\\pukko"},               // unquoted
        {"C:\\pukko.exe", "C:"},                                           // a root: no final backslash
        {"\"C:\\pukko.exe\"", "C:"},
        {"C:pukko.exe", "C:"},  // drive without a folder
        {"pukko.exe", ""},      // nothing to split
        {"", ""},
        {"\"C:\\x y\\pukko.exe", "C:\\x y"},  // no closing quote
        {"\\\\server\\share\\pukko\\pukko.exe", "\\\\server\\share\\pukko"},
    };
    for (const Case& c : cases) {
        Settings s = DefaultSettings();
        FindBaseFolder(s, c.line);
        EXPECT_EQ(BaseFolder(s), c.base) << c.line;
        EXPECT_EQ(PathField(s.iniPath), std::string(c.base) + "\\pukko.ini") << c.line;
    }

    // A Japanese folder is kept as code page 932 bytes in the field.
    Settings s = DefaultSettings();
    FindBaseFolder(s, "\"D:\\パズル\\pukko.exe\"");
    EXPECT_EQ(std::string(s.baseFolder), "D:\\\x83\x70\x83\x59\x83\x8B");
    EXPECT_EQ(BaseFolder(s), "D:\\パズル");
}

TEST(Settings, LoadWithoutFileGivesDefaultsAndThisRunsFolders) {
    std::filesystem::path dir = FreshFolder();
    Settings s;
    LoadSettings(s, QuotedExe(dir));
    std::string base = dir.string();
    EXPECT_EQ(BaseFolder(s), base);
    EXPECT_EQ(PathField(s.iniPath), base + "\\pukko.ini");
    EXPECT_EQ(PathField(s.backFolder), base + "\\back");
    EXPECT_EQ(PathField(s.imageFolder), base + "\\image");
    EXPECT_EQ(PathField(s.patternFolder), base + "\\pattern");
    EXPECT_EQ(PathField(s.soundFolder), base + "\\program\\source");
    EXPECT_EQ(PathField(s.programFolder), base + "\\program");
    EXPECT_EQ(WithoutDerivedFolders(BytesOf(s)), WithoutDerivedFolders(BytesOf(DefaultSettings())));
    EXPECT_FALSE(std::filesystem::exists(dir / "pukko.ini"));  // written only at the end of a run
}

// A shorter file replaces only the bytes it has; an empty one none.
TEST(Settings, ShortFilesReplaceOnlyTheirBytes) {
    std::filesystem::path dir = FreshFolder();
    std::vector<uint8_t> defaults = WithoutDerivedFolders(BytesOf(DefaultSettings()));
    const std::vector<uint8_t> custom = BytesOf(Custom());
    for (size_t length : {size_t{0}, size_t{1}, size_t{100}, size_t{2495}}) {
        std::vector<uint8_t> file(custom.begin(), custom.begin() + static_cast<std::ptrdiff_t>(length));
        WriteBytes(dir / "pukko.ini", file);

        Settings s;
        EXPECT_FALSE(LoadSettings(s, QuotedExe(dir))) << length << " bytes";
        std::vector<uint8_t> got = WithoutDerivedFolders(BytesOf(s));
        std::vector<uint8_t> want = defaults;
        for (size_t i = 0; i < length; ++i)
            if (i < kBase || i >= kTile) want[i] = file[i];
        EXPECT_EQ(got, want) << length << " bytes";
        EXPECT_EQ(BaseFolder(s), dir.string()) << length << " bytes";
    }
}

// The damage a player met: the first 100 bytes garbage.  The points per
// line and the two base lines they reach take their defaults, every other
// value of the file still applies, and the load says so once: the record
// saved at the end loads without complaint.
TEST(Settings, ADamagedFileKeepsItsSoundValuesAndIsMendedBySaving) {
    std::filesystem::path dir = FreshFolder();
    std::vector<uint8_t> file = BytesOf(Custom());
    for (size_t i = 0; i < 100; ++i) file[i] = static_cast<uint8_t>(0xA0 + i % 7);
    WriteBytes(dir / "pukko.ini", file);

    Settings s;
    EXPECT_TRUE(LoadSettings(s, QuotedExe(dir)));
    Settings want = Custom();
    const Settings defaults = DefaultSettings();
    want.pointsPerLine = 10;
    std::memcpy(want.lineInitial[0], defaults.lineInitial[0], sizeof want.lineInitial[0]);
    std::memcpy(want.lineInitial[1], defaults.lineInitial[1], sizeof want.lineInitial[1]);
    EXPECT_EQ(WithoutDerivedFolders(BytesOf(s)), WithoutDerivedFolders(BytesOf(want)));

    ASSERT_TRUE(SaveSettings(s));
    Settings again;
    EXPECT_FALSE(LoadSettings(again, QuotedExe(dir)));
    EXPECT_EQ(BytesOf(again), BytesOf(s));
}

// Each value on both sides of each end of its range: kept inside, its
// default outside, and nothing else touched.
TEST(Settings, EveryValueOutOfItsRangeTakesItsDefault) {
    using Set = void (*)(Settings&);
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const struct {
        const char* what;
        Set set;
        bool kept;
    } cases[] = {
        {"10 points per line", [](Settings& s) { s.pointsPerLine = 10; }, true},
        {"9 points per line", [](Settings& s) { s.pointsPerLine = 9; }, false},
        {"11 points per line", [](Settings& s) { s.pointsPerLine = 11; }, false},
        {"a point at x -110", [](Settings& s) { s.lineInitial[2][4][0] = -110; }, true},
        {"a point at x -111", [](Settings& s) { s.lineInitial[2][4][0] = -111; }, false},
        {"a point at x 326", [](Settings& s) { s.lineInitial[3][9][0] = 326; }, true},
        {"a point at x 327", [](Settings& s) { s.lineInitial[3][9][0] = 327; }, false},
        {"a point at y -110", [](Settings& s) { s.lineInitial[0][0][1] = -110; }, true},
        {"a point at y -111", [](Settings& s) { s.lineInitial[0][0][1] = -111; }, false},
        {"a point at y 326", [](Settings& s) { s.lineInitial[1][5][1] = 326; }, true},
        {"a point at y 327", [](Settings& s) { s.lineInitial[1][5][1] = 327; }, false},
        {"a tile path of 259 bytes", [](Settings& s) { std::memset(s.tileFile, 'a', 259); }, true},
        {"a tile path without its end", [](Settings& s) { std::memset(s.tileFile, 'a', 260); }, false},
        {"a base folder without its end", [](Settings& s) { std::memset(s.baseFolder, 'a', 260); }, false},
        {"a program folder without its end", [](Settings& s) { std::memset(s.programFolder, 'a', 260); },
         false},
        {"pattern pieces (0)", [](Settings& s) { s.pieceCount = 0; }, true},
        {"-1 pieces", [](Settings& s) { s.pieceCount = -1; }, false},
        {"4 pieces", [](Settings& s) { s.pieceCount = 4; }, true},
        {"3 pieces", [](Settings& s) { s.pieceCount = 3; }, false},
        {"5 pieces", [](Settings& s) { s.pieceCount = 5; }, false},
        {"1000 pieces", [](Settings& s) { s.pieceCount = 1000; }, true},
        {"999 pieces", [](Settings& s) { s.pieceCount = 999; }, false},
        {"1001 pieces", [](Settings& s) { s.pieceCount = 1001; }, false},
        {"no scaling (0)", [](Settings& s) { s.pictureSize = 0; }, true},
        {"size -1", [](Settings& s) { s.pictureSize = -1; }, false},
        {"size 400", [](Settings& s) { s.pictureSize = 400; }, true},
        {"size 399", [](Settings& s) { s.pictureSize = 399; }, false},
        {"size 2000", [](Settings& s) { s.pictureSize = 2000; }, true},
        {"size 2001", [](Settings& s) { s.pictureSize = 2001; }, false},
        {"rotation 0", [](Settings& s) { s.rotation = 0; }, true},
        {"rotation -1", [](Settings& s) { s.rotation = -1; }, false},
        {"flip 1", [](Settings& s) { s.flip = 1; }, true},
        {"flip 2", [](Settings& s) { s.flip = 2; }, false},
        {"sound 2", [](Settings& s) { s.sound = 2; }, false},
        {"guide -1", [](Settings& s) { s.guide = -1; }, false},
        {"grey 2", [](Settings& s) { s.grey = 2; }, false},
        {"save on exit 2", [](Settings& s) { s.saveOnExit = 2; }, false},
        {"arrange mode 1", [](Settings& s) { s.arrangeMode = 1; }, true},
        {"arrange mode 2", [](Settings& s) { s.arrangeMode = 2; }, false},
        {"colour 0x00FFFFFF", [](Settings& s) { s.backColor = 0x00FFFFFF; }, true},
        {"colour 0x01000000", [](Settings& s) { s.backColor = 0x01000000; }, false},
        {"the largest first luma", [](Settings& s) { s.endWakuL1 = std::numeric_limits<double>::max(); },
         true},
        {"first luma infinite", [](Settings& s) { s.endWakuL1 = kInf; }, false},
        {"second luma -infinite", [](Settings& s) { s.endWakuL2 = -kInf; }, false},
        {"second luma NaN", [](Settings& s) { s.endWakuL2 = std::nan(""); }, false},
        {"hue 0", [](Settings& s) { s.endWakuH = 0; }, true},
        {"hue just below 0", [](Settings& s) { s.endWakuH = -std::numeric_limits<double>::denorm_min(); },
         false},
        {"hue 100", [](Settings& s) { s.endWakuH = 100; }, true},
        {"hue just above 100", [](Settings& s) { s.endWakuH = std::nextafter(100.0, 200.0); }, false},
        {"hue NaN", [](Settings& s) { s.endWakuH = std::nan(""); }, false},
        {"chroma 0", [](Settings& s) { s.endWakuS = 0; }, true},
        {"chroma just below 0", [](Settings& s) { s.endWakuS = -std::numeric_limits<double>::denorm_min(); },
         false},
        {"chroma 100", [](Settings& s) { s.endWakuS = 100; }, true},
        {"chroma just above 100", [](Settings& s) { s.endWakuS = std::nextafter(100.0, 200.0); }, false},
        {"frame 2 wide", [](Settings& s) { s.endWakuT = 2; }, true},
        {"frame 1 wide", [](Settings& s) { s.endWakuT = 1; }, false},
        {"frame INT32_MAX / 4 wide", [](Settings& s) { s.endWakuT = INT32_MAX / 4; }, true},
        {"frame INT32_MAX / 4 + 1 wide", [](Settings& s) { s.endWakuT = INT32_MAX / 4 + 1; }, false},
        {"rim 0 wide", [](Settings& s) { s.edgeThick = 0; }, true},
        {"rim -1 wide", [](Settings& s) { s.edgeThick = -1; }, false},
        {"rim INT32_MAX wide", [](Settings& s) { s.edgeThick = INT32_MAX; }, true},
        {"rim strength 0", [](Settings& s) { s.edgeLight = 0; }, true},
        {"rim strength -1", [](Settings& s) { s.edgeLight = -1; }, false},
        {"rim strength INT32_MAX", [](Settings& s) { s.edgeLight = INT32_MAX; }, true},
        {"hints off 1", [](Settings& s) { s.hintsOff = 1; }, true},
        {"hints off 2", [](Settings& s) { s.hintsOff = 2; }, false},
        {"hints off -1", [](Settings& s) { s.hintsOff = -1; }, false},
        // Alignment, not a value: a later version may use it.
        {"the alignment word", [](Settings& s) { s.align1 = 0x5A5A5A5A; }, true},
    };
    const std::vector<uint8_t> defaults = BytesOf(DefaultSettings());
    for (const auto& c : cases) {
        Settings s = DefaultSettings();
        c.set(s);
        const std::vector<uint8_t> set = BytesOf(s);
        EXPECT_EQ(ResetDamagedSettings(s), !c.kept) << c.what;
        EXPECT_EQ(BytesOf(s), c.kept ? set : defaults) << c.what;
    }
}

// The hints switch lives in what was the last alignment word: an older
// version's file has 0 there, which means on.  Read, switched and saved,
// only its four bytes change.
TEST(Settings, TheHintsSwitchAt2492IsReadAndWrittenAloneAndAnOldFilesZeroIsOn) {
    std::filesystem::path dir = FreshFolder();
    std::vector<uint8_t> file = BytesOf(Custom());  // arrange mode 1 just before it
    for (int32_t word : {0, 1, 2}) {
        std::memcpy(&file[2492], &word, 4);
        WriteBytes(dir / "pukko.ini", file);
        Settings s;
        EXPECT_EQ(LoadSettings(s, QuotedExe(dir)), word == 2) << word;
        EXPECT_EQ(s.hintsOff, word == 1) << word;
        s.hintsOff = 1 - s.hintsOff;
        ASSERT_TRUE(SaveSettings(s));
        std::vector<uint8_t> want = file;
        const int32_t saved = word == 1 ? 0 : 1;
        std::memcpy(&want[2492], &saved, 4);
        EXPECT_EQ(WithoutDerivedFolders(ReadBytes(dir / "pukko.ini")), WithoutDerivedFolders(want)) << word;
    }
}

// A longer file gives the record's bytes only; whatever an earlier run (or
// another folder) wrote into the folder fields is replaced by this run's.
TEST(Settings, LongerFileAndForeignFoldersAreOverruled) {
    std::filesystem::path dir = FreshFolder();
    Settings old = DefaultSettings();
    FindBaseFolder(old, "\"E:\\elsewhere\\pukko.exe\"");
    SetPathField(old.imageFolder, "E:\\elsewhere\\image");
    SetPathField(old.tileFile, "E:\\tiles\\wood.bmp");
    old.pieceCount = 100;
    old.arrangeMode = 1;
    std::vector<uint8_t> file = BytesOf(old);
    file.resize(3000, 0xEE);
    WriteBytes(dir / "pukko.ini", file);

    Settings s;
    LoadSettings(s, QuotedExe(dir));
    EXPECT_EQ(s.pieceCount, 100);
    EXPECT_EQ(s.arrangeMode, 1);
    EXPECT_EQ(PathField(s.tileFile), "E:\\tiles\\wood.bmp");
    EXPECT_EQ(BaseFolder(s), dir.string());
    EXPECT_EQ(PathField(s.imageFolder), dir.string() + "\\image");
    EXPECT_EQ(PathField(s.iniPath), dir.string() + "\\pukko.ini");
}

TEST(Settings, SaveWritesTheWholeRecordAndReplacesTheOldFile) {
    std::filesystem::path dir = FreshFolder();
    WriteBytes(dir / "pukko.ini", std::vector<uint8_t>(5000, 0x11));
    Settings s;
    LoadSettings(s, QuotedExe(dir));
    s.pictureSize = 1000;
    s.endWakuS = 12.5;
    ASSERT_TRUE(SaveSettings(s));

    std::vector<uint8_t> file = ReadBytes(dir / "pukko.ini");
    ASSERT_EQ(file.size(), 2496u);
    EXPECT_EQ(file, BytesOf(s));
    // No temporary file stays behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()),
              1);

    Settings again;
    LoadSettings(again, QuotedExe(dir));
    EXPECT_EQ(BytesOf(again), BytesOf(s));
}

TEST(Settings, SaveIntoAMissingFolderFailsWithoutLeavingAFile) {
    std::filesystem::path dir = FreshFolder();
    Settings s;
    LoadSettings(s, QuotedExe(dir / "gone"));
    EXPECT_FALSE(SaveSettings(s));
    EXPECT_FALSE(std::filesystem::exists(dir / "gone"));
}

TEST(Settings, PathFieldsHoldCodePage932AndCutOnCharacterBoundaries) {
    Settings s = DefaultSettings();

    // 259 bytes fit with the terminator; the 260th is cut.
    SetPathField(s.tileFile, std::string(259, 'a'));
    EXPECT_EQ(PathField(s.tileFile), std::string(259, 'a'));
    SetPathField(s.tileFile, std::string(260, 'b'));
    EXPECT_EQ(PathField(s.tileFile), std::string(259, 'b'));
    EXPECT_EQ(s.tileFile[259], '\0');

    // Two-byte characters: 129 of them fill 258 bytes, the 130th would leave
    // no room for the terminator and must not be split.
    std::string kana;
    for (int i = 0; i < 200; ++i) kana += "あ";
    std::string xkana = "x";
    xkana += kana;
    SetPathField(s.tileFile, xkana);
    std::string stored(s.tileFile);
    EXPECT_EQ(stored.size(), 259u);
    EXPECT_EQ(PathField(s.tileFile), xkana.substr(0, 1 + 129 * 3));

    std::string odd;
    for (int i = 0; i < 200; ++i) odd += "あ";
    SetPathField(s.tileFile, odd);
    EXPECT_EQ(std::string(s.tileFile).size(), 258u);

    // A field with no terminator at all (a damaged file) is read to its end.
    std::memset(s.tileFile, 'z', sizeof s.tileFile);
    EXPECT_EQ(PathField(s.tileFile), std::string(260, 'z'));
}

TEST(Cp932, RoundTripAndUnconvertibleText) {
    EXPECT_EQ(Utf8ToCp932("back\\タイル２.bmp"), kTileCp932);
    EXPECT_EQ(Cp932ToUtf8(kTileCp932), "back\\タイル２.bmp");
    // Half-width katakana are single bytes.
    EXPECT_EQ(Utf8ToCp932("ﾋﾟｰｽ"), "\xCB\xDF\xB0\xBD");
    EXPECT_EQ(Cp932ToUtf8("\xCB\xDF\xB0\xBD"), "ﾋﾟｰｽ");
    // A character whose second byte is a backslash stays whole.
    EXPECT_EQ(Utf8ToCp932("ソ"), "\x83\x5C");
    EXPECT_EQ(Cp932ToUtf8("\x83\x5C\\x"), "ソ\\x");
    EXPECT_EQ(Utf8ToCp932(""), "");

    // What the other side lacks becomes '?', and the rest survives.
    EXPECT_EQ(Utf8ToCp932("a😀अ�b"), "a???b");  // four bytes, then three led by 0xE0 and 0xEF
    EXPECT_EQ(Utf8ToCp932("a\xFF\x80\x80"
                          "b"),
              "a???b");  // broken UTF-8: each stray byte alone
    EXPECT_EQ(Cp932ToUtf8("a\x85\x40"
                          "b"),
              "a?b");                         // unassigned double-byte code
    EXPECT_EQ(Cp932ToUtf8("ab\x83"), "ab?");  // lead byte at the very end
}
