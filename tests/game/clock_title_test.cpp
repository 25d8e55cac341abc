#include <gtest/gtest.h>

#include "game/clock.h"
#include "pieces/board_fixture.h"
#include "pieces/board_ops.h"
#include "support/fake_host.h"

TEST(ClockTitle, ShowsTimeGroupsAndTotalAcrossATickWrap) {
    const uint32_t t = (3600 + 2 * 60 + 3) * 1000;
    EXPECT_EQ(FormatTitle(t + 999, 5, 20), "pukko 01:02:03 残り5ﾋﾟｰｽ(全20ﾋﾟｰｽ)");
    EXPECT_EQ(FormatTitle(t, 1, 20), "pukko 01:02:03 (^o^)完成(^o^) (全20ﾋﾟｰｽ)");
    EXPECT_EQ(FormatTitle(0, 0, 0), "pukko 00:00:00 (^o^)完成(^o^) (全0ﾋﾟｰｽ)");
    // Pieces found through the guide are named once the puzzle is finished.
    EXPECT_EQ(FormatTitle(t, 1, 20, 1), "pukko 01:02:03 (^o^)完成(^o^) ヒント1回 (全20ﾋﾟｰｽ)");
    EXPECT_EQ(FormatTitle(t, 2, 20, 3), "pukko 01:02:03 残り2ﾋﾟｰｽ(全20ﾋﾟｰｽ)");
    EXPECT_EQ(FormatTitle(100u * 3600000u, 1000, 1000), "pukko 100:00:00 残り1000ﾋﾟｰｽ(全1000ﾋﾟｰｽ)");
    EXPECT_EQ(FormatTitle(0xFFFFFFFFu, 2, 4), "pukko 1193:02:47 残り2ﾋﾟｰｽ(全4ﾋﾟｰｽ)");

    // A restored game counts on from its saved time, also when the tick
    // count wraps; between ticks the title keeps the last tick's time.
    FakeHost host;
    PuzzleGame g;
    g.host = &host;
    g.totalPieces = 20;
    host.tick = g.startTick = g.lastTick = 0xFFFFF000u;
    g.carriedTime = 3600 * 1000;
    host.Advance(0x1000 + 62 * 1000 + 500);
    ClockTick(g);
    EXPECT_EQ(host.title, "pukko 01:01:06 (^o^)完成(^o^) (全20ﾋﾟｰｽ)");
    host.Advance(5000);
    g.hintCount = 12;
    UpdateTitle(g);
    EXPECT_EQ(host.title, "pukko 01:01:06 (^o^)完成(^o^) ヒント12回 (全20ﾋﾟｰｽ)");
}

TEST(CountGroups, CountsChangesAlongTheOrderPassingOverSpecks) {
    PuzzleGame g;
    Board& b = g.board;
    const int groups[] = {0, 0, 9, 0, 7, 0, 7, 2};  // 2 and 5 are specks
    for (int i = 0; i < 8; ++i) {
        b.pieces[i].group = groups[i];
        b.pieces[i].homeRight = i == 2 || i == 5 ? 2 : 3;  // 3 x 2 still counts
        b.pieces[i].homeBottom = 2;
        b.order[i] = i;
    }
    const int count[] = {0, 1, 1, 1, 1, 2, 2, 2, 3};
    for (int n = 0; n <= 8; ++n) {
        b.count = n;
        EXPECT_EQ(CountGroups(b), count[n]) << n;
    }
    // Complete needs play and exactly one group; none left is neither.
    b.count = 2;
    EXPECT_EQ(IsComplete(g) + InProgress(g), 0);
    g.making.stage = kStatePlaying;
    EXPECT_EQ(IsComplete(g), 1);
    b.count = 8;
    EXPECT_EQ(IsComplete(g) * 10 + InProgress(g), 1);
    fixture::SetOrder(b, {2});
    EXPECT_EQ(IsComplete(g) * 10 + InProgress(g), 1);
}
