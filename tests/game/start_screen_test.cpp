// The start screen: which strips the Open command shows, and what a choice
// in a strip starts.
#include "game/start_screen.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/file_io.h"
#include "browser/browser_view.h"
#include "config/sounds.h"
#include "game/drop.h"
#include "game/game_record.h"
#include "game/save_game.h"
#include "game/start_puzzle.h"
#include "pieces/board_ops.h"
#include "pieces/saved_state.h"
#include "support/fake_host.h"
#include "support/test_folder.h"

namespace {

struct StartScreen : ::testing::Test {
    FakeHost host;
    Settings settings = DefaultSettings();
    Background background;
    BrowserSet browsers;
    std::unique_ptr<PuzzleGame> game = std::make_unique<PuzzleGame>();
    PuzzleGame& g = *game;

    void SetUp() override {
        host.screen = Size{400, 300};
        settings.tileFile[0] = '\0';
        settings.pictureSize = 0;
        SetPathField(settings.imageFolder, "img");
        SetPathField(settings.patternFolder, "pat");
        BuildSoundPaths(TheSounds(), "snd");
        InitGame(g, host, settings, background, &browsers);
    }

    // Slot's listing: the given files, complete.
    void List(int slot, const std::vector<std::string>& files) {
        BrowserView& v = browsers[slot];
        ResetListing(v, 0);
        for (const std::string& f : files) {
            v.entries.push_back({'F', f});
            v.thumbnails.emplace_back();
        }
        v.entryCount = static_cast<int>(files.size());
        v.state = kBrowserListed;
    }

    std::string Picture(const std::string& name, int w, int h, int lineEvery = 0) {
        MYBIT p;
        p.CreateFilled(0xFFFFFF, w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (lineEvery ? x % lineEvery == lineEvery - 1 : (x + y) % 7 == 0) p.At(x, y) = 0;
        const std::string path = TestPath(name);
        EXPECT_TRUE(p.SaveFile(path));
        return path;
    }
};

}  // namespace

TEST_F(StartScreen, OpenShowsThePictureStripAndThePatternStripBelowIt) {
    g.pictureChoice = g.patternChoice = 3;
    OpenCommand(g);
    EXPECT_EQ(host.browsers, std::vector<std::string>{"open 0 img 0 0 1"});
    EXPECT_EQ(g.pictureChoice, -1);
    EXPECT_EQ(g.patternChoice, -1);
    EXPECT_EQ(host.title, "pukko");

    // A listed strip with its window is only shown again; with the pattern
    // count the pattern strip opens just below the picture strip.
    host.browsers.clear();
    settings.pieceCount = 0;
    browsers[0].state = kBrowserListed;
    host.browserWindows = true;
    OpenCommand(g);
    EXPECT_EQ(host.browsers, (std::vector<std::string>{"show 0", "open 1 pat 0 130 1"}));
    EXPECT_EQ(host.cornersAsked, std::vector<int>{0});
    EXPECT_EQ(browsers[0].shown, 1);

    // A strip whose window is gone opens afresh; so does a closed one.
    host.browsers.clear();
    host.browserWindows = false;
    browsers[1].state = kBrowserClosed;
    OpenCommand(g);
    EXPECT_EQ(host.browsers, (std::vector<std::string>{"show 0", "open 0 img 0 0 1", "open 1 pat 0 130 1"}));

    // While a puzzle is being made nothing is dropped.
    host.browsers.clear();
    g.making.stage = kStateCutting;
    g.pictureChoice = 2;
    OpenCommand(g);
    EXPECT_TRUE(host.browsers.empty());
    EXPECT_EQ(g.pictureChoice, 2);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "ただいま作成中");
}

TEST_F(StartScreen, APictureStartsAloneOrWithAPatternPickedInEitherOrder) {
    const std::string a = Picture("a.bmp", 60, 40), b = Picture("b.bmp", 50, 50);
    const std::string pattern = Picture("lines.bmp", 40, 20, 10);
    List(0, {a, b});
    List(1, {pattern});
    OpenCommand(g);

    settings.pieceCount = 4;
    OnPick(g, 0, 1);
    EXPECT_EQ(g.State(), kStateLabelling);
    EXPECT_EQ(g.pictureFile, b);
    EXPECT_EQ(g.picture.Width(), 50);

    // With a pattern both choices are needed, in either order; closing the
    // picture strip without a press forgets its choice.
    settings.pieceCount = 0;
    ResetGame(g);
    g.pictureChoice = g.patternChoice = -1;
    OnPick(g, 0, 0);
    EXPECT_EQ(g.State(), kStateNone);
    OnPick(g, 0, PICK_NONE);
    EXPECT_EQ(g.pictureChoice, -1);
    OnPick(g, 1, 0);
    EXPECT_EQ(g.State(), kStateNone);
    OnPick(g, 0, 0);
    EXPECT_EQ(g.State(), kStateLabelling);
    EXPECT_EQ(g.pictureFile, a);
    EXPECT_EQ(g.making.mask.Width(), 120);  // the picture's mask, tiled from the pattern

    // While making, a pick is refused with a message.
    OnPick(g, 0, 1);
    EXPECT_EQ(g.pictureFile, a);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "ただいま作成中");

    // A saved game is taken up at once, pattern or not: here one that
    // cannot be read, which says so.
    ResetGame(g);
    g.pictureChoice = g.patternChoice = -1;
    List(0, {TestPath("gone.pko")});
    OnPick(g, 0, 0);
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[1].text, "開けません。\n" + TestPath("gone.pko"));

    // A strip listed anew after the choice was posted, and listing still:
    // two entries stored, one published.  Only the published one is chosen.
    ResetGame(g);
    List(0, {a, b});
    browsers[0].entryCount = 1;
    settings.pieceCount = 4;
    g.pictureChoice = -1;
    for (int index : {2, 1}) {
        OnPick(g, 0, index);
        EXPECT_EQ(g.State(), kStateNone) << index;
        EXPECT_EQ(g.pictureChoice, -1) << index;
    }
    OnPick(g, 0, 0);
    EXPECT_EQ(g.State(), kStateLabelling);
    EXPECT_EQ(g.pictureFile, a);

    settings.pieceCount = 0;
    ResetGame(g);
    g.pictureChoice = -1;
    g.patternChoice = 0;
    OnPick(g, 3, 0);  // slots 3 and 4 choose nothing
    OnPick(g, 1, PICK_NONE);
    EXPECT_EQ(g.patternChoice, -1);
    EXPECT_EQ(g.pictureChoice, -1);
    EXPECT_EQ(g.State(), kStateNone);
}

// With the piece count "ﾊﾟﾀｰﾝ使用" both strips stand open; a saved game
// chosen in the picture strip is taken up at once, and nothing the pattern
// strip does afterwards may replace it.
TEST_F(StartScreen, ARestoredGameIsNeverReplacedByAPatternPick) {
    const std::string a = Picture("a.bmp", 60, 40), b = Picture("b.bmp", 50, 50);
    const std::string pattern = Picture("lines.bmp", 40, 20, 10);
    settings.pieceCount = 4;
    ASSERT_EQ(StartPuzzle(g, a), 1);
    ASSERT_EQ(RunMakingToPlay(g), 1);
    ASSERT_EQ(SaveGame(g, 0), 1);
    const std::string saved = TestPath("a.pko");
    const int pieces = g.board.count;

    for (bool patternFirst : {false, true}) {
        SCOPED_TRACE(patternFirst);
        ResetGame(g);  // the pattern puzzle of the round before is dropped
        settings.pieceCount = 0;
        List(0, {b, saved});
        List(1, {pattern});
        OpenCommand(g);
        browsers[1].shown = 1;
        host.browsers.clear();
        if (patternFirst) OnPick(g, 1, 0);
        OnPick(g, 0, 1);
        ASSERT_EQ(g.State(), kStatePlaying);
        EXPECT_EQ(g.pictureFile, saved);
        EXPECT_EQ(host.browsers, std::vector<std::string>{"hide 1"});
        EXPECT_EQ(browsers[1].shown, 0);
        EXPECT_EQ(g.pictureChoice, -1);
        EXPECT_EQ(g.patternChoice, -1);

        // A pattern picked all the same waits for a picture.
        host.posted.clear();
        OnPick(g, 1, 0);
        EXPECT_EQ(g.State(), kStatePlaying);
        EXPECT_EQ(g.pictureFile, saved);
        EXPECT_EQ(g.board.count, pieces);
        EXPECT_TRUE(host.posted.empty());
        EXPECT_EQ(g.patternChoice, 0);
        // The picture chosen next starts the pattern puzzle as ever.
        OnPick(g, 0, 0);
        EXPECT_EQ(g.State(), kStateLabelling);
        EXPECT_EQ(g.pictureFile, b);
    }
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(StartScreen, ATileChosenInSlotTwoBecomesTheBackground) {
    const std::string tile = Picture("tile.bmp", 30, 20);
    List(2, {tile});
    const int before = host.invalidations;
    OnPick(g, 2, 0);
    EXPECT_EQ(PathField(settings.tileFile), tile);
    EXPECT_NE(background.plain.At(1, 0), background.plain.At(0, 0));
    EXPECT_EQ(background.plain.At(30, 0), background.plain.At(0, 0));
    EXPECT_EQ(background.boardPicture.At(31, 21), background.plain.At(1, 1));
    EXPECT_GT(host.invalidations, before);
    EXPECT_EQ(g.State(), kStateNone);
}

// Leaving a puzzle in progress for another, by "開く", a pick in a strip
// left open over it or a dropped file, keeps it as closing the window
// does: saved silently when "終了時状態保存" is on, and the picture strip
// lists the file when next shown.
TEST_F(StartScreen, LeavingAPuzzleInProgressSavesItFirstWhenSavingOnExitIsOn) {
    const std::string a = Picture("a.bmp", 60, 40), b = Picture("b.bmp", 50, 50);
    const std::string pattern = Picture("lines.bmp", 40, 20, 10);
    const std::string saved = TestPath("a.pko"), other = TestPath("b.pko");
    SetPathField(settings.imageFolder, TestPath(""));
    browsers[0].folder = settings.imageFolder;  // as the strip keeps it
    settings.pieceCount = 4;
    ASSERT_EQ(StartPuzzle(g, b), 1);
    ASSERT_EQ(RunMakingToPlay(g), 1);
    ASSERT_EQ(SaveGame(g, 0), 1);
    for (int on : {0, 1})
        for (const std::string way : {"open", "pick", "pattern pick", "saved game pick", "drop"}) {
            SCOPED_TRACE(way + (on ? " on" : " off"));
            settings.saveOnExit = on;
            settings.pieceCount = 4;
            DeleteFileAt(saved);
            ASSERT_EQ(StartPuzzle(g, a), 1);
            ASSERT_EQ(RunMakingToPlay(g), 1);
            const int groups = CountGroups(g.board);
            ASSERT_GT(groups, 1);
            List(0, {a, b, other});
            List(1, {pattern});
            g.pictureChoice = g.patternChoice = -1;
            if (way == "open") OpenCommand(g);
            if (way == "pick") OnPick(g, 0, 1);
            if (way == "pattern pick") {
                settings.pieceCount = 0;
                OnPick(g, 1, 0);
                OnPick(g, 0, 1);
            }
            if (way == "saved game pick") OnPick(g, 0, 2);
            if (way == "drop") OnDropFile(g, "\"" + b + "\"");
            EXPECT_NE(g.pictureFile, a);
            int32_t remaining = 0, total = 0;
            EXPECT_EQ(ReadSavedCounts(saved, remaining, total), on == 1);
            EXPECT_EQ(remaining, on ? groups : 0);
            EXPECT_EQ(browsers[0].written, on ? std::vector<std::string>{saved} : std::vector<std::string>{});
            for (const FakeHost::Box& box : host.boxes) ADD_FAILURE() << box.text;
            host.boxes.clear();
            ResetGame(g);
        }

    // A finished puzzle, and a refused drop, leave nothing to keep.
    settings.saveOnExit = 1;
    settings.pieceCount = 4;
    DeleteFileAt(saved);
    ASSERT_EQ(StartPuzzle(g, a), 1);
    ASSERT_EQ(RunMakingToPlay(g), 1);
    settings.pieceCount = 0;
    OnDropFile(g, b);
    EXPECT_FALSE(FileExists(saved));
    for (int i = 0; i < g.board.count; ++i) g.board.pieces[i].group = 0;
    OpenCommand(g);
    EXPECT_FALSE(FileExists(saved));
}
