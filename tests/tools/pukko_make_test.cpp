// pukko-make run as a process, as a user runs it: its options, the saved
// game it writes, its JSON line, and --info on good and broken files.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "game/clock.h"
#include "image/mybit.h"
#include "pieces/board.h"
#include "pieces/board_ops.h"
#include "pieces/saved_state.h"
#include "support/test_folder.h"

#ifndef PUKKO_MAKE
#error "PUKKO_MAKE must name the built pukko-make"
#endif

namespace {

struct Outcome {
    int code = -1;
    std::string out, err;
};

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q.append("'\\''");
        else
            q.push_back(c);
    }
    return q + "'";
}

std::string ReadText(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

Outcome Make(const std::vector<std::string>& args) {
    const std::string out = TestPath("stdout.txt"), err = TestPath("stderr.txt");
    std::string cmd = Quote(PUKKO_MAKE);
    for (const std::string& a : args) cmd.append(1, ' ').append(Quote(a));
    cmd.append(" >").append(Quote(out)).append(" 2>").append(Quote(err));
    const int status = std::system(cmd.c_str());
    Outcome r;
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = ReadText(out);
    r.err = ReadText(err);
    return r;
}

// The number after "key": in a one-line JSON object; NaN when it is missing.
double Field(const std::string& json, const std::string& key) {
    const size_t at = json.find("\"" + key + "\":");
    if (at == std::string::npos) return std::nan("");
    return std::strtod(json.c_str() + at + key.size() + 3, nullptr);
}

// A gradient picture, every pixel different from its neighbours.
std::string SavePicture(const std::string& name, int w, int h) {
    MYBIT p;
    p.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.At(x, y) =
                static_cast<uint32_t>((x * 5) & 0xFF) << 16 | ((y * 3) & 0xFF) << 8 | ((x ^ y) & 0xFF);
    const std::string path = TestPath(name);
    EXPECT_TRUE(p.SaveFile(path));
    return path;
}

// White with black vertical lines at x = first, first + step, ...
std::string SavePattern(const std::string& name, int w, int h, int first, int step) {
    MYBIT p;
    p.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) p.At(x, y) = x >= first && (x - first) % step == 0 ? 0 : 0xFFFFFF;
    const std::string path = TestPath(name);
    EXPECT_TRUE(p.SaveFile(path));
    return path;
}

std::string SaveBytes(const std::string& name, const std::string& bytes) {
    const std::string path = TestPath(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

struct Saved {
    std::unique_ptr<Board> board = std::make_unique<Board>();
    MYBIT picture;
    SavedStateHead head;
    bool ok = false;
};

Saved ReadBack(const std::string& path) {
    Saved s;
    s.ok = ReadSavedState(*s.board, path, s.picture, s.head) == ReadResult::kOk;
    return s;
}

TEST(PukkoMake, WritesThePuzzleItReportsAndInfoReadsItBack) {
    // A Japanese name with a space: the path reaches the game as it was given.
    const std::string picture = SavePicture("絵 1.bmp", 160, 120), out = TestPath("絵 1.pko");
    const Outcome r = Make({"--pieces", "12", "--size", "0", "--seed", "7", picture, out});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    ASSERT_EQ(r.out.front(), '{');
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1);  // one line
    for (const char* key : {"load_ms", "label_ms", "cut_ms", "neighbours_ms", "write_ms"})
        EXPECT_GE(Field(r.out, key), 0) << key;
    const double stages = Field(r.out, "load_ms") + Field(r.out, "label_ms") + Field(r.out, "cut_ms") +
                          Field(r.out, "neighbours_ms") + Field(r.out, "write_ms");
    EXPECT_GE(Field(r.out, "total_ms") + 0.05, stages);
    EXPECT_GT(Field(r.out, "peak_mb"), 1);

    const Saved s = ReadBack(out);
    ASSERT_TRUE(s.ok);
    // 12 cells of 40 x 40 cover the picture exactly.
    EXPECT_EQ(Field(r.out, "width"), 160);
    EXPECT_EQ(Field(r.out, "height"), 120);
    EXPECT_EQ(s.picture.Width(), 160);
    EXPECT_EQ(s.picture.Height(), 120);
    EXPECT_EQ(Field(r.out, "pieces"), s.board->count);
    EXPECT_EQ(Field(r.out, "groups"), 12);
    EXPECT_EQ(CountGroups(*s.board), 12);
    EXPECT_EQ(s.head.groupsLeft, 12);
    EXPECT_EQ(s.head.totalPieces, 12);
    EXPECT_EQ(s.head.elapsedMs, 0);
    // Scattered over the left half of the default 1920 x 1080 board, turned
    // but not mirrored.
    bool turned = false;
    for (int i = 0; i < s.board->count; ++i) {
        const Piece& p = s.board->pieces[i];
        EXPECT_GE(p.left, 50);
        EXPECT_LT(p.left, 50 + 860);
        EXPECT_GE(p.top, 50);
        EXPECT_LT(p.top, 50 + 980);
        EXPECT_LT(p.orientation, 4);
        turned |= p.orientation != 0;
    }
    EXPECT_TRUE(turned);

    const Outcome info = Make({"--info", out});
    ASSERT_EQ(info.code, 0) << info.err;
    EXPECT_EQ(Field(info.out, "groups_left"), 12);
    EXPECT_EQ(Field(info.out, "total"), 12);
    EXPECT_EQ(Field(info.out, "pieces"), s.board->count);
    EXPECT_EQ(Field(info.out, "groups"), 12);
    EXPECT_EQ(Field(info.out, "width"), 160);
    EXPECT_EQ(Field(info.out, "height"), 120);
}

TEST(PukkoMake, OneSeedGivesOneFile) {
    const std::string picture = SavePicture("seed.bmp", 120, 90);
    auto made = [&](const std::string& seed, const std::string& name) {
        const std::string out = TestPath(name);
        EXPECT_EQ(Make({"--seed", seed, "--size", "0", picture, out}).code, 0);
        return ReadText(out);
    };
    const std::string a = made("42", "a.pko");
    EXPECT_GT(a.size(), 120u * 90 * 4);
    EXPECT_EQ(made("42", "b.pko"), a);
    EXPECT_NE(made("43", "c.pko"), a);
    EXPECT_NE(made("4294967295", "d.pko"), a);  // the largest tick count
}

// Pieces cut on the making steps' own thread, on the most threads the maker
// takes (more than this machine's cores, so that threads share them) and on
// one per core give the same saved game, byte for byte: grids of several
// sizes, and a pattern.
TEST(PukkoMake, ThreadsCutTheSamePuzzle) {
    const std::string wide = SavePicture("wide.bmp", 480, 270), tall = SavePicture("tall.bmp", 90, 270);
    const std::string pattern = SavePattern("threads.bmp", 41, 21, 20, 20);
    const std::vector<std::vector<std::string>> cases = {
        {"--pieces", "4", "--size", "0", tall},
        {"--pieces", "300", "--size", "400", wide},
        {"--pieces", "1000", "--size", "0", wide},
        {"--pattern", pattern, "--size", "0", wide},
    };
    for (const auto& c : cases) {
        std::string shown;
        for (const std::string& a : c) shown += a + " ";
        std::string first;
        for (const char* threads : {"1", "8", ""}) {
            std::vector<std::string> args = c;
            if (*threads) args.insert(args.begin(), {"--threads", threads});
            const std::string out = TestPath("threads.pko");
            args.insert(args.end() - 1, {"--seed", "5"});
            args.push_back(out);
            const Outcome r = Make(args);
            ASSERT_EQ(r.code, 0) << shown << r.err;
            const std::string bytes = ReadText(out);
            if (first.empty())
                first = bytes;
            else
                EXPECT_TRUE(bytes == first)
                    << shown << "on " << (*threads ? threads : "every core") << " threads";
        }
    }
}

TEST(PukkoMake, OptionsReachTheGame) {
    const std::string picture = SavePicture("options.bmp", 160, 120), out = TestPath("options.pko");
    auto made = [&](std::vector<std::string> args) {
        args.insert(args.end(), {"--seed", "9", picture, out});
        const Outcome r = Make(args);
        EXPECT_EQ(r.code, 0) << r.err;
        return ReadBack(out);
    };

    // Neither turned nor mirrored, on a small board: unscaled, the picture
    // is less than half of it, and the pieces lie in its left half.  At
    // 600 pixels the table grows to twice the picture, 1200 x 900, and the
    // pieces go over its left half.
    for (const char* size : {"0", "600"}) {
        Saved s = made({"--rotate", "0", "--flip=0", "--board", "400x300", "--size", size});
        ASSERT_TRUE(s.ok);
        const Size area = *size == '0' ? Size{400, 300} : Size{1200, 900};
        bool beyondTheBoard = false;
        for (int i = 0; i < s.board->count; ++i) {
            const Piece& p = s.board->pieces[i];
            EXPECT_EQ(p.orientation, 0);
            EXPECT_TRUE(p.left >= 50 && p.left < area.cx / 2 - 50 && p.top >= 50 && p.top < area.cy - 50)
                << size << ": " << p.left << "," << p.top;
            beyondTheBoard |= p.left >= 150 || p.top >= 250;
        }
        EXPECT_EQ(beyondTheBoard, *size != '0');
    }

    // Mirrored only, and the default size: the longer side scaled up to 600.
    Saved s = made({"--rotate", "0", "--flip", "1"});
    ASSERT_TRUE(s.ok);
    EXPECT_LE(s.picture.Width(), 600);
    EXPECT_GT(s.picture.Width(), 560);
    bool mirrored = false;
    for (int i = 0; i < s.board->count; ++i) {
        const int o = s.board->pieces[i].orientation;
        EXPECT_TRUE(o == 0 || o == 4) << o;
        mirrored |= o == 4;
    }
    EXPECT_TRUE(mirrored);

    // Arrange mode: every piece at home, unturned, in number order.
    s = made({"--arrange", "--size=0", "--pieces", "12"});
    ASSERT_TRUE(s.ok);
    for (int i = 0; i < s.board->count; ++i) {
        const Piece& p = s.board->pieces[i];
        EXPECT_EQ(p.BoardRect(), p.HomeRect());
        EXPECT_EQ(p.orientation, 0);
        EXPECT_EQ(s.board->order[i], i);
    }

    // One piece is a finished puzzle; a small size setting shrinks.
    s = made({"--pieces", "1", "--size", "80"});
    ASSERT_TRUE(s.ok);
    EXPECT_EQ(CountGroups(*s.board), 1);
    EXPECT_EQ(s.head.groupsLeft, 1);
    EXPECT_LE(s.picture.Width(), 80);
    EXPECT_LE(s.picture.Height(), 60);

    // The widest board and a board one pixel high: the table is still
    // twice the picture high, and the pieces lie on it.
    s = made({"--rotate", "0", "--board", "8192x1"});
    ASSERT_TRUE(s.ok);
    for (int i = 0; i < s.board->count; ++i) {
        const Piece& p = s.board->pieces[i];
        EXPECT_TRUE(p.top >= 50 && p.top < 2 * s.picture.Height() - 50 && p.left < 8192 / 2 - 50) << i;
    }
}

TEST(PukkoMake, PatternsCutThePieces) {
    // 41 x 21 with lines at x = 20 and 40; the odd last column goes, and the
    // rest is tiled 5 x 8 over the 200 x 160 mask: 6 strips.
    const std::string picture = SavePicture("p.bmp", 100, 80);
    const std::string pattern = SavePattern("lines.bmp", 41, 21, 20, 20);
    const std::string out = TestPath("p.pko");
    for (const std::vector<std::string>& choice :
         {std::vector<std::string>{"--pieces", "0"}, std::vector<std::string>{}}) {
        std::vector<std::string> args = choice;
        args.insert(args.end(), {"--pattern", pattern, "--size", "0", "--seed", "1", picture, out});
        const Outcome r = Make(args);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(Field(r.out, "pieces"), 6);
        EXPECT_EQ(ReadBack(out).board->count, 6);
    }

    // A tall, narrow tile, 20 x 80 with a line at x = 10, on pictures 105
    // wide: from 80 rows it is tiled 10 x 2 over the middle of the picture
    // (11 strips, the corner at (2, (rows - 80) / 2)); one row short of
    // that the picture is fitted to one tile instead (2 strips, 10 x 40).
    const std::string tall = SavePattern("tall.bmp", 20, 80, 10, 20);
    const struct {
        int height, pieces, width, madeHeight, top;
    } tallCases[] = {{79, 2, 10, 40, -1}, {80, 11, 100, 80, 0}, {83, 11, 100, 80, 1}};
    for (const auto& c : tallCases) {
        const std::string wide = SavePicture("wide.bmp", 105, c.height), made = TestPath("wide.pko");
        const Outcome r = Make({"--pattern", tall, "--size", "0", "--seed", "1", wide, made});
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(Field(r.out, "pieces"), c.pieces) << c.height;
        EXPECT_EQ(Field(r.out, "width"), c.width) << c.height;
        EXPECT_EQ(Field(r.out, "height"), c.madeHeight) << c.height;
        const Saved saved = ReadBack(made);
        ASSERT_TRUE(saved.ok);
        EXPECT_EQ(saved.board->count, c.pieces);
        // The tiles cover the middle of the picture: its corner is (2, top).
        const int x = 2, y = c.top;
        if (y >= 0) {
            EXPECT_EQ(saved.picture.At(0, 0) & 0xFFFFFF,
                      static_cast<uint32_t>((x * 5) & 0xFF) << 16 | ((y * 3) & 0xFF) << 8 | ((x ^ y) & 0xFF))
                << c.height;
        }
    }

    const Outcome none = Make({"--pieces", "0", picture, TestPath("none.pko")});
    EXPECT_EQ(none.code, 2);
    EXPECT_NE(none.err.find("--pattern"), std::string::npos);
    EXPECT_EQ(Make({"--pieces", "5", "--pattern", pattern, picture, TestPath("both.pko")}).code, 2);

    const Outcome missing = Make({"--pattern", TestPath("missing.bmp"), picture, TestPath("m.pko")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_FALSE(std::filesystem::exists(TestPath("m.pko")));
}

TEST(PukkoMake, BadOptionsAreRefusedBeforeAnythingIsWritten) {
    const std::string pic = SavePicture("bad.bmp", 40, 30), out = TestPath("bad.pko");
    const std::vector<std::vector<std::string>> bad = {
        {},
        {pic},
        {pic, out, "extra"},
        {"--pieces"},
        {"--bogus", "1", pic, out},
        {"--pieces", "abc", pic, out},
        {"--pieces", "12x", pic, out},
        {"--pieces", "-1", pic, out},
        {"--pieces", "10001", pic, out},
        {"--size", "-1", pic, out},
        {"--size", "16385", pic, out},
        {"--rotate", "2", pic, out},
        {"--flip", "-1", pic, out},
        {"--seed", "4294967296", pic, out},
        {"--seed", "-1", pic, out},
        {"--board", "0x100", pic, out},
        {"--board", "100x", pic, out},
        {"--board", "100", pic, out},
        {"--board", "8193x100", pic, out},
        {"--threads", "0", pic, out},
        {"--threads", "9", pic, out},
        {"--arrange=1", pic, out},
        {"--pattern", "", pic, out},
        {pic, TestPath("bad.bmp2")},  // not a saved game's name
        {SaveBytes("in.pko", "x"), out},
        {"--info"},
        {"--info", out, "--pieces", "4"},
        {"--info", out, out},
    };
    for (const auto& args : bad) {
        std::string shown;
        for (const std::string& a : args) shown += a + " ";
        const Outcome r = Make(args);
        EXPECT_EQ(r.code, 2) << shown;
        EXPECT_NE(r.err.find("usage:"), std::string::npos) << shown;
        EXPECT_EQ(r.out, "") << shown;
        EXPECT_FALSE(std::filesystem::exists(out)) << shown;
    }
    EXPECT_EQ(Make({"--help"}).code, 0);
}

TEST(PukkoMake, FailuresExitNonZeroAndKeepTheOldFile) {
    const std::string pic = SavePicture("keep.bmp", 80, 60), out = TestPath("keep.pko");
    ASSERT_EQ(Make({"--seed", "3", pic, out}).code, 0);
    const std::string before = ReadText(out);

    // A missing picture, and one that is not a picture at all, at its own
    // size and at a size setting (where the game would go on with a black
    // square).
    const std::string garbage = SaveBytes("garbage.jpg", "this is not a picture");
    for (const std::vector<std::string>& args : {std::vector<std::string>{TestPath("missing.bmp"), out},
                                                 {"--size", "0", garbage, out},
                                                 {"--size", "600", garbage, out}}) {
        const Outcome r = Make(args);
        EXPECT_EQ(r.code, 1) << args[args.size() - 2];
        EXPECT_NE(r.err, "");
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(ReadText(out), before);

    // More areas than the board holds: the limit passes the options, the
    // making refuses it.
    const Outcome many = Make({"--pieces", "10000", "--size", "0", SavePicture("many.bmp", 400, 300), out});
    EXPECT_EQ(many.code, 1);
    EXPECT_EQ(ReadText(out), before);

    // A folder that is not there.
    EXPECT_EQ(Make({pic, TestPath("no/such/folder.pko")}).code, 1);
}

TEST(PukkoMakeInfo, BrokenSavedGamesFail) {
    const std::string pic = SavePicture("info.bmp", 80, 60), good = TestPath("good.pko");
    ASSERT_EQ(Make({"--seed", "5", "--pieces", "6", "--size", "0", pic, good}).code, 0);
    const std::string bytes = ReadText(good);
    ASSERT_EQ(Make({"--info", good}).code, 0);

    // The piece count stands after the picture block (trimmed to whole
    // cells) and three counts.
    const Saved s = ReadBack(good);
    ASSERT_TRUE(s.ok);
    const size_t countAt = 58 + 4 * s.picture.PixelCount() + 12;
    std::string tooMany = bytes;
    tooMany[countAt] = static_cast<char>(0x11), tooMany[countAt + 1] = static_cast<char>(0x27);  // 10001
    const std::vector<std::string> broken = {
        TestPath("missing.pko"),
        SaveBytes("empty.pko", ""),
        SaveBytes("garbage.pko", std::string(1000, 'x')),
        SaveBytes("half.pko", bytes.substr(0, bytes.size() / 2)),
        SaveBytes("last.pko", bytes.substr(0, bytes.size() - 4)),  // the last order entry gone
        SaveBytes("head.pko", bytes.substr(0, countAt)),
        SaveBytes("many.pko", tooMany),
    };
    for (const std::string& path : broken) {
        const Outcome r = Make({"--info", path});
        EXPECT_EQ(r.code, 1) << path;
        EXPECT_NE(r.err, "") << path;
        EXPECT_EQ(r.out, "") << path;
    }
}

}  // namespace
