// Random sequences of raising, dragging, sweeping, turning, joining and
// detaching.  After every step the invariants must hold and the board
// picture, kept up rectangle by rectangle, must equal one recomposed from
// scratch (except where a soft edge may have been blended twice).
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "board_fixture.h"
#include "pieces/drag.h"
#include "pieces/join.h"
#include "pieces/turn.h"

namespace {

struct RandomRun {
    fixture::TestBoard t{180, 140};
    Board& b = t.board;
    std::mt19937 rng;
    int joins = 0, detaches = 0, turns = 0, sweeps = 0;

    // Scattered in random orientations, some partly off the board, drawn in
    // a shuffled order.
    explicit RandomRun(uint32_t seed) : rng(seed) {
        t.AddGrid(4, 3, 24, 20, 1);
        for (int i = 0; i < b.count; ++i)
            fixture::Place(b.pieces[i], Pick(-25, 185), Pick(-25, 145), Pick(0, 7));
        for (int i = b.count - 1; i > 0; --i) std::swap(b.order[i], b.order[Pick(0, i)]);
        t.Redraw();
    }

    // From the raw generator, so the same on every standard library.
    int Pick(int lo, int hi) { return lo + int(rng() % uint32_t(hi - lo + 1)); }

    int RaiseAny() {
        const int k = Pick(0, b.count - 1), piece = b.order[k];
        const int now = RaiseGroup(b, k);
        EXPECT_EQ(b.order[now], piece);
        return now;
    }

    // The held group turned to a neighbour's orientation and dropped within
    // (jx, jy) of its place beside it: within 6 it must join.
    void DropNearNeighbour() {
        RaiseAny();
        const int top = b.count - 1;
        const Piece& d = b.pieces[b.order[top]];
        int c = -1;
        for (int k = top; k >= 0 && b.pieces[b.order[k]].group == d.group; --k)
            for (int32_t nb : b.pieces[b.order[k]].neighbours)
                if (nb >= 0 && b.pieces[nb].group != d.group) c = nb;
        if (c < 0) return;
        const Piece& pc = b.pieces[c];
        if ((d.orientation >= 4) != (pc.orientation >= 4)) TurnGroup(b, top, d.left, d.top, 0x20);
        while (d.orientation != pc.orientation) TurnGroup(b, top, d.left, d.top, kTurnLeft);
        const Rect hd = OrientRect(d.HomeRect(), d.orientation),
                   hc = OrientRect(pc.HomeRect(), d.orientation);
        const int jx = Pick(-8, 8), jy = Pick(-8, 8);
        MoveGroup(b, hd.left - hc.left + pc.left - d.left - jx, hd.top - hc.top + pc.top - d.top - jy);
        const int joined = TryJoin(b);
        if (std::abs(jx) <= kJoinReach && std::abs(jy) <= kJoinReach) {
            EXPECT_EQ(joined, 1);
        }
        joins += joined;
    }

    void Step() {
        switch (Pick(0, 6)) {
            case 0:
                RaiseAny();
                break;
            case 1: {  // to a random place, so that groups stay about the board
                const Piece& top = b.pieces[b.order[RaiseAny()]];
                MoveGroup(b, Pick(-25, 185) - top.left, Pick(-25, 145) - top.top);
                break;
            }
            case 2: {
                const int x = Pick(-10, 190), y = Pick(-10, 150);
                SweepGroups(b, x, y, x + Pick(-30, 30), y + Pick(-30, 30));
                ++sweeps;
                break;
            }
            case 3: {  // about a point near the clicked piece, as a click is
                const int buttons[] = {kTurnLeft, kTurnRight, 0x20, 0xE0}, k = RaiseAny();
                const Piece& p = b.pieces[b.order[k]];
                TurnGroup(b, k, p.left + Pick(-5, 25), p.top + Pick(-5, 25), buttons[Pick(0, 3)]);
                ++turns;
                break;
            }
            case 4:
            case 5:
                DropNearNeighbour();
                break;
            case 6: {
                const int fresh = NextGroupNumber(b), k = Pick(0, b.count - 1), piece = b.order[k];
                DetachPiece(b, k);
                EXPECT_EQ(b.pieces[piece].group, fresh);
                EXPECT_EQ(b.order[b.count - 1], piece);
                ++detaches;
                break;
            }
        }
    }
};

}  // namespace

TEST(BoardRandom, IncrementalPictureMatchesARecompositionAfterEveryStep) {
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        RandomRun run(seed);
        for (int step = 0; step < 150; ++step) {
            run.Step();
            ASSERT_EQ(fixture::Invariants(run.b), "") << "seed " << seed << " step " << step;
            ASSERT_EQ(run.t.Mismatches(), 0) << "seed " << seed << " step " << step;
        }
        EXPECT_GT(std::min(std::min(run.joins, run.detaches), std::min(run.turns, run.sweeps)), 5) << seed;
    }
    // A fixed seed gives the same board every time.
    RandomRun run(2024);
    for (int step = 0; step < 200; ++step) run.Step();
    EXPECT_EQ(fixture::Fnv1a(run.t.picture), 150132299u);
}
