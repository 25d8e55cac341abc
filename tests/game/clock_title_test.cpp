#include <gtest/gtest.h>

#include "game/clock.h"
#include "game/game_record.h"
#include "pieces/board_fixture.h"
#include "support/fake_host.h"

TEST(ClockTitle, ShowsTimeGroupsAndTotal) {
    const uint32_t t = (3600 + 2 * 60 + 3) * 1000;
    EXPECT_EQ(FormatTitle(t, 5, 20), "pukko 01:02:03 残り5ﾋﾟｰｽ(全20ﾋﾟｰｽ)");
    EXPECT_EQ(FormatTitle(t + 999, 2, 20), "pukko 01:02:03 残り2ﾋﾟｰｽ(全20ﾋﾟｰｽ)");
    EXPECT_EQ(FormatTitle(t, 1, 20), "pukko 01:02:03 (^o^)完成(^o^) (全20ﾋﾟｰｽ)");
    // No countable piece: also the complete form.
    EXPECT_EQ(FormatTitle(0, 0, 0), "pukko 00:00:00 (^o^)完成(^o^) (全0ﾋﾟｰｽ)");
    EXPECT_EQ(FormatTitle(100u * 3600000u, 1000, 1000), "pukko 100:00:00 残り1000ﾋﾟｰｽ(全1000ﾋﾟｰｽ)");
    EXPECT_EQ(FormatTitle(0xFFFFFFFFu, 3, 4), "pukko 1193:02:47 残り3ﾋﾟｰｽ(全4ﾋﾟｰｽ)");
}

TEST(ClockTitle, ElapsedTimeCountsOnFromTheCarriedTimeAcrossAWrap) {
    FakeHost host;
    PuzzleGame g;
    g.host = &host;
    g.totalPieces = 20;
    host.tick = 0xFFFFF000u;  // the tick count wraps during the game
    g.startTick = g.lastTick = host.tick;
    g.carriedTime = 3600 * 1000;
    ClockTick(g);
    EXPECT_EQ(host.title, "pukko 01:00:00 (^o^)完成(^o^) (全20ﾋﾟｰｽ)");
    host.Advance(0x1000 + 62 * 1000 + 500);
    ClockTick(g);
    EXPECT_EQ(ElapsedMs(g), (3600 + 62) * 1000u + 4096 + 500);
    EXPECT_EQ(host.title, "pukko 01:01:06 (^o^)完成(^o^) (全20ﾋﾟｰｽ)");
    // Between ticks the title keeps the time of the last one.
    host.Advance(5000);
    UpdateTitle(g);
    EXPECT_EQ(host.title, "pukko 01:01:06 (^o^)完成(^o^) (全20ﾋﾟｰｽ)");
}

TEST(CountGroups, CountsChangesAlongTheOrderPassingOverSpecks) {
    Board b;
    // Groups along the drawing order: 4 4 (speck 9) 4 7 (speck 4) 7 2.
    const int groups[] = {4, 4, 9, 4, 7, 4, 7, 2};
    const bool speck[] = {false, false, true, false, false, true, false, false};
    for (int i = 0; i < 8; ++i) {
        Piece& p = b.pieces[i];
        p.group = groups[i];
        p.homeLeft = 10, p.homeTop = 10;
        p.homeRight = speck[i] ? 12 : 13;
        p.homeBottom = 12;
        b.order[i] = i;
    }
    b.count = 8;
    EXPECT_EQ(CountGroups(b), 3);
    EXPECT_TRUE(IsSpeck(b.pieces[2]));
    EXPECT_FALSE(IsSpeck(b.pieces[0]));  // 3 x 2

    // The first countable piece counts even when its number is 0.
    b.pieces[0].group = b.pieces[1].group = b.pieces[3].group = 0;
    EXPECT_EQ(CountGroups(b), 3);
    b.count = 3;
    EXPECT_EQ(CountGroups(b), 1);
    b.order[0] = 2;  // only a speck
    b.count = 1;
    EXPECT_EQ(CountGroups(b), 0);
    b.count = 0;
    EXPECT_EQ(CountGroups(b), 0);
}

TEST(CountGroups, CompleteAndInProgressNeedPlay) {
    PuzzleGame g;
    fixture::MakeRectPiece(g.board.pieces[0], 0, 0, 8, 8, 1);
    fixture::MakeRectPiece(g.board.pieces[1], 8, 0, 8, 8, 1);
    g.board.order[0] = 0, g.board.order[1] = 1;
    g.board.pieces[1].group = 1;
    g.board.count = 2;
    EXPECT_EQ(IsComplete(g) + InProgress(g), 0);  // no puzzle
    g.making.stage = kStateCutting;
    EXPECT_EQ(IsComplete(g) + InProgress(g), 0);
    g.making.stage = kStatePlaying;
    EXPECT_EQ(InProgress(g), 1);
    EXPECT_EQ(IsComplete(g), 0);
    g.board.pieces[1].group = 0;
    EXPECT_EQ(IsComplete(g), 1);
    EXPECT_EQ(InProgress(g), 0);
    g.board.count = 0;  // nothing countable: neither
    EXPECT_EQ(IsComplete(g), 0);
    EXPECT_EQ(InProgress(g), 1);
}
