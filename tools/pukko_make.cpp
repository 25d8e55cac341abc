// pukko-make: makes a puzzle without a window, the way the game makes one,
// and writes it as a saved game; or checks a saved game.
//
//   pukko-make [--pieces N] [--size S] [--pattern FILE] [--arrange]
//              [--rotate 0|1] [--flip 0|1] [--seed K] [--board WxH]
//              [--threads T] PICTURE OUT.pko
//   pukko-make --info FILE.pko
//
// The puzzle goes through StartPuzzle and the making steps exactly as in the
// game; only the host differs: its clock stands at the seed (so one seed
// gives one puzzle, byte for byte), its client area and screen are the
// board size, and its message boxes go to stderr.  Pieces are cut on one
// thread per core, as in the game, or on T threads (1: the making steps'
// own thread alone); the puzzle is the same either way.  One JSON line on stdout
// tells what was made and how long each stage took.
//
// Exit status: 0 done, 1 the picture, pattern or saved game could not be
// read or written, or the making failed; 2 bad options.
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/quiet_host.h"
#include "config/settings.h"
#include "game/clock.h"
#include "game/game_record.h"
#include "game/puzzle_game.h"
#include "game/start_puzzle.h"
#include "image/mybit.h"
#include "image/picture_limits.h"
#include "making/cut_pool.h"
#include "pieces/board.h"
#include "pieces/board_ops.h"
#include "pieces/saved_state.h"
#include "views/background.h"

// The platform part (pukko_make_posix.cpp, pukko_make_win.cpp): the
// arguments after the program's name as UTF-8, and the process's peak
// resident memory so far in MB.
std::vector<std::string> CommandArguments(int argc, char** argv);
double PeakMemoryMB();

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// The board never needs to be larger than a very large screen; its three
// surfaces take 4 bytes a pixel each.
constexpr int kMaxBoardSide = 8192;

// The caption of the picture reader's failure box.  At a size setting the
// reader then hands on a black square and the game makes a puzzle of it; the
// maker refuses instead.
constexpr std::string_view kReadFailedCaption = "イメージ読込失敗";

constexpr const char* kUsage =
    "usage: pukko-make [--pieces N] [--size S] [--pattern FILE] [--arrange]\n"
    "                  [--rotate 0|1] [--flip 0|1] [--seed K] [--board WxH] [--threads T]\n"
    "                  PICTURE OUT.pko\n"
    "       pukko-make --info FILE.pko\n";

struct Options {
    bool info = false;
    int32_t pieces = 0;
    bool piecesGiven = false;
    int32_t size = 0;
    std::string pattern;
    bool arrange = false;
    int32_t rotate = 0;
    int32_t flip = 0;
    bool seedGiven = false;
    uint32_t seed = 0;
    Size board{1920, 1080};
    int32_t threads = 0;  // 0: one per core
    std::vector<std::string> operands;
};

// A host without a window.  Failures the core reports are counted, so that
// the result of a run does not hang on return values the game itself leaves
// unchecked.
class MakerHost : public QuietHost {
  public:
    MakerHost(uint32_t tick, Size board) : QuietHost(board, tick) {}

    int failures() const { return failures_; }

    int MessageBox(const std::string& text, const std::string& caption, unsigned, Owner) override {
        Report(caption.empty() ? "pukko" : caption, text);
        if (caption == kReadFailedCaption) ++failures_;
        return kIdOk;
    }
    void ShowWindowsError(const std::string& call, const std::string& object, uint32_t code) override {
        Report(call, object + " (error " + std::to_string(code) + ")");
        ++failures_;
    }

  private:
    // One line per box: its text's line breaks become spaces.
    static void Report(const std::string& head, std::string text) {
        for (char& c : text)
            if (c == '\n' || c == '\r') c = ' ';
        std::fprintf(stderr, "pukko-make: %s: %s\n", head.c_str(), text.c_str());
    }

    int failures_ = 0;
};

int Usage(const std::string& problem) {
    std::fprintf(stderr, "pukko-make: %s\n%s", problem.c_str(), kUsage);
    return kExitUsage;
}

template <typename T>
bool ParseNumber(std::string_view text, T lo, T hi, T& out) {
    T v{};
    const char* end = text.data() + text.size();
    auto [p, ec] = std::from_chars(text.data(), end, v);
    if (ec != std::errc() || p != end || text.empty() || v < lo || v > hi) return false;
    out = v;
    return true;
}

// "WxH", both sides within 1 .. kMaxBoardSide.
bool ParseBoard(std::string_view text, Size& out) {
    const size_t x = text.find('x');
    if (x == std::string_view::npos) return false;
    Size s;
    if (!ParseNumber<int32_t>(text.substr(0, x), 1, kMaxBoardSide, s.cx) ||
        !ParseNumber<int32_t>(text.substr(x + 1), 1, kMaxBoardSide, s.cy))
        return false;
    out = s;
    return true;
}

// Fills o from the arguments; the empty string when they make sense, else
// what is wrong with them.
std::string ParseOptions(const std::vector<std::string>& args, Options& o) {
    const Settings defaults = DefaultSettings();
    o.pieces = defaults.pieceCount;
    o.size = defaults.pictureSize;
    o.rotate = defaults.rotation;
    o.flip = defaults.flip;
    int others = 0;  // options other than --info
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        bool hasValue = false;
        if (name.size() < 2 || name.compare(0, 2, "--") != 0) {
            o.operands.push_back(name);
            continue;
        }
        if (const size_t eq = name.find('='); eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
            hasValue = true;
        }
        if (name == "--arrange") {
            if (hasValue) return "--arrange takes no value";
            o.arrange = true;
            ++others;
            continue;
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) return name + " needs a value";
            value = args[++i];
        }
        bool ok = true;
        if (name == "--info") {
            if (o.info) return "--info given twice";
            o.info = true;
            o.operands.push_back(value);
            continue;
        }
        ++others;
        if (name == "--pieces") {
            ok = ParseNumber<int32_t>(value, 0, kMaxPieces, o.pieces);
            o.piecesGiven = true;
        } else if (name == "--size") {
            ok = ParseNumber<int32_t>(value, 0, kMaxPictureSide, o.size);
        } else if (name == "--pattern") {
            ok = !value.empty();
            o.pattern = value;
        } else if (name == "--rotate") {
            ok = ParseNumber<int32_t>(value, 0, 1, o.rotate);
        } else if (name == "--flip") {
            ok = ParseNumber<int32_t>(value, 0, 1, o.flip);
        } else if (name == "--seed") {
            ok = ParseNumber<uint32_t>(value, 0, UINT32_MAX, o.seed);
            o.seedGiven = true;
        } else if (name == "--board") {
            ok = ParseBoard(value, o.board);
        } else if (name == "--threads") {
            ok = ParseNumber<int32_t>(value, 1, kMaxCutThreads, o.threads);
        } else {
            return "unknown option " + name;
        }
        if (!ok) return "bad value for " + name + ": " + value;
    }
    if (o.info) {
        if (others > 0 || o.operands.size() != 1) return "--info takes one saved game and no other option";
        return {};
    }
    if (o.operands.size() != 2) return "a picture and an output file are needed";
    // The pattern decides the pieces, as a piece count of 0 does in the game.
    if (o.pattern.empty() && o.pieces == 0) return "--pieces 0 needs --pattern";
    if (!o.pattern.empty() && o.piecesGiven && o.pieces != 0)
        return "--pattern decides the pieces; --pieces must be 0 or left out";
    if (!o.pattern.empty()) o.pieces = 0;
    if (IsSavedStatePath(o.operands[0])) return "the picture is a saved game: " + o.operands[0];
    // The game opens saved games by their name only; any other name could
    // also be a picture that a slip of the argument order would overwrite.
    if (!IsSavedStatePath(o.operands[1])) return "the output file must end in .pko: " + o.operands[1];
    return {};
}

double MsSince(std::chrono::steady_clock::time_point t0) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

int Info(const std::string& path) {
    auto board = std::make_unique<Board>();
    MYBIT picture;
    SavedStateHead head;
    switch (ReadSavedState(*board, path, picture, head)) {
        case ReadResult::kOk:
            break;
        case ReadResult::kCannotOpen:
            std::fprintf(stderr, "pukko-make: cannot open %s\n", path.c_str());
            return kExitFailed;
        case ReadResult::kBadFile:
            std::fprintf(stderr, "pukko-make: not a valid saved game: %s\n", path.c_str());
            return kExitFailed;
    }
    std::printf(
        "{\"groups_left\":%d,\"total\":%d,\"pieces\":%d,\"groups\":%d,\"elapsed_ms\":%d,\"width\":%d,"
        "\"height\":%d}\n",
        head.groupsLeft, head.totalPieces, board->count, CountGroups(*board), head.elapsedMs, picture.Width(),
        picture.Height());
    return 0;
}

// Milliseconds of each stage of one making.
struct StageTimes {
    double load = 0, label = 0, cut = 0, neighbours = 0, write = 0, total = 0;
};

int Make(const Options& o) {
    const std::string& picturePath = o.operands[0];
    const std::string& outPath = o.operands[1];
    const auto start = std::chrono::steady_clock::now();
    // Without a seed the puzzle is as random as the game's: the clock.
    const uint32_t tick =
        o.seedGiven
            ? o.seed
            : static_cast<uint32_t>(
                  std::chrono::duration_cast<std::chrono::milliseconds>(start.time_since_epoch()).count());

    Settings settings = DefaultSettings();
    settings.pieceCount = o.pieces;
    settings.pictureSize = o.size;
    settings.rotation = o.rotate;
    settings.flip = o.flip;
    settings.arrangeMode = o.arrange ? 1 : 0;
    // Nothing beside the program to find: a plain background, no sounds, no
    // guide window, no grey hint.
    settings.tileFile[0] = '\0';
    settings.sound = 0;
    settings.guide = 0;
    settings.grey = 0;

    MakerHost host(tick, o.board);
    Background background;
    auto game = std::make_unique<PuzzleGame>();
    PuzzleGame& g = *game;
    InitGame(g, host, settings, background);
    // Nothing is shown: the board pictures, which grow with the table of a
    // large picture, are let go (the saved game never holds them).
    background.boardPicture.Free();
    background.cleanBoard.Free();
    background.plain.Free();
    g.making.cutThreads = o.threads;

    StageTimes t;
    if (!StartPuzzle(g, picturePath, o.pattern) || host.failures() > 0) {
        std::fprintf(stderr, "pukko-make: no puzzle was made from %s\n", picturePath.c_str());
        return kExitFailed;
    }
    t.load = MsSince(start);

    auto last = std::chrono::steady_clock::now();
    const int played = RunMakingToPlay(g, [&](unsigned msg) {
        const double ms = MsSince(last);
        last = std::chrono::steady_clock::now();
        if (msg == MSG_MAKE_1)
            t.label += ms;
        else if (msg == MSG_MAKE_5)
            t.neighbours += ms;
        else  // the rim width and the cutting order belong to the cutting
            t.cut += ms;
    });
    // A mask with more areas than the board holds leaves part of the picture
    // uncut; the game plays on with what it has, the maker refuses.
    if (!played || g.making.areasFull || host.failures() > 0) {
        std::fprintf(stderr, "pukko-make: making the puzzle failed\n");
        return kExitFailed;
    }

    const auto writeStart = std::chrono::steady_clock::now();
    if (!WriteSavedState(g.board, outPath, g.picture, g.totalPieces, 0)) {
        std::fprintf(stderr, "pukko-make: cannot write %s\n", outPath.c_str());
        return kExitFailed;
    }
    t.write = MsSince(writeStart);
    t.total = MsSince(start);

    std::printf(
        "{\"pieces\":%d,\"groups\":%d,\"width\":%d,\"height\":%d,\"load_ms\":%.2f,\"label_ms\":%.2f,"
        "\"cut_ms\":%.2f,\"neighbours_ms\":%.2f,\"write_ms\":%.2f,\"total_ms\":%.2f,\"peak_mb\":%.1f}\n",
        g.board.count, CountGroups(g.board), g.picture.Width(), g.picture.Height(), t.load, t.label, t.cut,
        t.neighbours, t.write, t.total, PeakMemoryMB());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args = CommandArguments(argc, argv);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    Options o;
    if (const std::string problem = ParseOptions(args, o); !problem.empty()) return Usage(problem);
    return o.info ? Info(o.operands[0]) : Make(o);
}
