// Random sequences of raising, dragging, sweeping, turning, joining and
// detaching.  After every step the invariants must hold and the board
// picture, kept up incrementally, must equal one recomposed from scratch
// (except where a soft edge may have been blended twice).
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
    std::mt19937 rng;
    int joins = 0, nearMisses = 0, detaches = 0, turns = 0, sweeps = 0;

    explicit RandomRun(uint32_t seed) : rng(seed) {
        t.AddGrid(4, 3, 24, 20, 1);
        Board& b = t.board;
        // Scattered in random orientations, some partly off the board, and
        // drawn in a shuffled order.
        for (int i = 0; i < b.count; ++i)
            fixture::Place(b.pieces[i], Pick(-25, 185), Pick(-25, 145), Pick(0, 7));
        for (int i = b.count - 1; i > 0; --i) std::swap(b.order[i], b.order[Pick(0, i)]);
        t.Redraw();
    }

    // Uniform in lo .. hi from the raw generator, the same on every library.
    int Pick(int lo, int hi) { return lo + static_cast<int>(rng() % static_cast<uint32_t>(hi - lo + 1)); }

    int RaiseAny() {
        Board& b = t.board;
        const int k = Pick(0, b.count - 1);
        const int piece = b.order[k];
        const int now = RaiseGroup(b, k);
        EXPECT_EQ(b.order[now], piece);
        return now;
    }

    // Brings the held group within (jx, jy) of its place beside a neighbour
    // in another group, turning it to the neighbour's orientation first.
    void DropNearNeighbour() {
        RaiseAny();
        Board& b = t.board;
        const int n = b.count;
        const int32_t g = b.pieces[b.order[n - 1]].group;
        int c = -1;
        for (int k = n - 1; k >= 0 && c < 0 && b.pieces[b.order[k]].group == g; --k)
            for (int32_t nb : b.pieces[b.order[k]].neighbours)
                if (nb >= 0 && b.pieces[nb].group != g) c = nb;
        if (c < 0) return;
        const Piece& pc = b.pieces[c];
        const Piece& d = b.pieces[b.order[n - 1]];
        if ((d.orientation >= 4) != (pc.orientation >= 4)) TurnGroup(b, n - 1, d.left, d.top, 0x20);
        while (d.orientation != pc.orientation) TurnGroup(b, n - 1, d.left, d.top, kTurnLeft);
        const Rect hd = OrientRect(d.HomeRect(), d.orientation),
                   hc = OrientRect(pc.HomeRect(), d.orientation);
        const int ex = (hd.left - hc.left) + (pc.left - d.left), ey = (hd.top - hc.top) + (pc.top - d.top);
        const int jx = Pick(-8, 8), jy = Pick(-8, 8);
        MoveGroup(b, ex - jx, ey - jy);
        const int joined = TryJoin(b);
        if (std::abs(jx) <= kJoinReach && std::abs(jy) <= kJoinReach) {
            EXPECT_EQ(joined, 1) << jx << "," << jy;
        }
        joins += joined;
        nearMisses += 1 - joined;
    }

    void Step() {
        Board& b = t.board;
        switch (Pick(0, 6)) {
            case 0:
                RaiseAny();
                break;
            case 1: {
                // To a random place, so that the groups stay about the board
                // instead of wandering off it.
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
            case 3: {
                // About a point near the clicked piece, as a click would be.
                const int buttons[] = {kTurnLeft, kTurnRight, 0x20, 0xE0};
                const int k = RaiseAny();
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
                const int fresh = NextGroupNumber(b);
                const int k = Pick(0, b.count - 1);
                const int piece = b.order[k];
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
            ASSERT_EQ(fixture::Invariants(run.t.board), "") << "seed " << seed << " step " << step;
            ASSERT_EQ(run.t.Mismatches(), 0) << "seed " << seed << " step " << step;
        }
        // The sequence must have reached every operation, joins included.
        EXPECT_GT(run.joins, 5) << seed;
        EXPECT_GT(run.detaches, 5) << seed;
        EXPECT_GT(run.turns, 5) << seed;
        EXPECT_GT(run.sweeps, 5) << seed;
    }
}

TEST(BoardRandom, AFixedSeedGivesTheSameBoard) {
    RandomRun run(2024);
    for (int step = 0; step < 200; ++step) run.Step();
    EXPECT_NE(fixture::Fnv1a(run.t.picture), fixture::Fnv1a(run.t.clean));
    EXPECT_EQ(fixture::Fnv1a(run.t.picture), 3274513182u);
}
