#include <gtest/gtest.h>

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
    for (size_t length : {size_t{0}, size_t{1}, size_t{100}, size_t{2495}}) {
        std::vector<uint8_t> file(length);
        for (size_t i = 0; i < length; ++i) file[i] = static_cast<uint8_t>(0xA0 + i % 7);
        WriteBytes(dir / "pukko.ini", file);

        Settings s;
        LoadSettings(s, QuotedExe(dir));
        std::vector<uint8_t> got = WithoutDerivedFolders(BytesOf(s));
        std::vector<uint8_t> want = defaults;
        for (size_t i = 0; i < length; ++i)
            if (i < kBase || i >= kTile) want[i] = file[i];
        EXPECT_EQ(got, want) << length << " bytes";
        EXPECT_EQ(BaseFolder(s), dir.string()) << length << " bytes";
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
    old.pieceCount = 7;
    old.arrangeMode = 1;
    std::vector<uint8_t> file = BytesOf(old);
    file.resize(3000, 0xEE);
    WriteBytes(dir / "pukko.ini", file);

    Settings s;
    LoadSettings(s, QuotedExe(dir));
    EXPECT_EQ(s.pieceCount, 7);
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
    EXPECT_EQ(Utf8ToCp932("a😀b"), "a?b");
    EXPECT_EQ(Utf8ToCp932("a\xFF"
                          "b"),
              "a?b");  // broken UTF-8
    EXPECT_EQ(Cp932ToUtf8("a\x85\x40"
                          "b"),
              "a?b");                         // unassigned double-byte code
    EXPECT_EQ(Cp932ToUtf8("ab\x83"), "ab?");  // lead byte at the very end
}
