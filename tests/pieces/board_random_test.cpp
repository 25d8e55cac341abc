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

    // The held group turned to a neighbour's orientation and moved to within
    // (jx, jy) of its place beside it; false when it has no neighbour left
    // outside itself.
    bool BringNearNeighbour(int& jx, int& jy) {
        RaiseAny();
        const int top = b.count - 1;
        const Piece& d = b.pieces[b.order[top]];
        int c = -1;
        for (int k = top; k >= 0 && b.pieces[b.order[k]].group == d.group; --k)
            for (int32_t nb : b.pieces[b.order[k]].neighbours)
                if (nb >= 0 && b.pieces[nb].group != d.group) c = nb;
        if (c < 0) return false;
        const Piece& pc = b.pieces[c];
        if ((d.orientation >= 4) != (pc.orientation >= 4)) TurnGroup(b, top, d.left, d.top, 0x20);
        while (d.orientation != pc.orientation) TurnGroup(b, top, d.left, d.top, kTurnLeft);
        const Rect hd = OrientRect(d.HomeRect(), d.orientation),
                   hc = OrientRect(pc.HomeRect(), d.orientation);
        jx = Pick(-8, 8), jy = Pick(-8, 8);
        MoveGroup(b, hd.left - hc.left + pc.left - d.left - jx, hd.top - hc.top + pc.top - d.top - jy);
        return true;
    }

    // Dropped there: within 6 it must join.
    void DropNearNeighbour() {
        int jx = 0, jy = 0;
        if (!BringNearNeighbour(jx, jy)) return;
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

namespace {

// The smallest rectangle around the pieces of group g.
Rect GroupBox(const Board& b, int g) {
    Rect box;
    for (int i = 0; i < b.count; ++i)
        if (b.pieces[i].group == g) box = UnionRect(box, b.pieces[i].BoardRect());
    return box;
}

Rect Shifted(const Rect& r, int dx, int dy) {
    return Rect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

}  // namespace

TEST(BoardRandom, EachOperationRewritesOnlyTheRectanglesOfWhatItMoves) {
    // Pixels outside the area an operation names are marked before it and
    // again after it: one that it rewrote keeps its mark and shows as a
    // mismatch, even when it wrote the same colour back.  An operation that
    // recomposed more than its pieces' rectangles (say the whole board)
    // would be caught here.
    RandomRun run(77);
    fixture::TestBoard& t = run.t;
    Board& b = run.b;
    auto check = [&](const char* what, const Rect& area, auto op) {
        fixture::MarkOutside(t.picture, area);
        op();
        fixture::MarkOutside(t.picture, area);
        EXPECT_EQ(t.Mismatches(), 0) << what;
    };
    int joins = 0;
    for (int round = 0; round < 30; ++round) {
        const int k = run.Pick(0, b.count - 1), g = b.pieces[b.order[k]].group;
        check("raise", GroupBox(b, g), [&] { RaiseGroup(b, k); });

        // Turned about a point near its top piece: where the group lies
        // before and after.
        const int top = b.count - 1;
        const int cx = b.pieces[b.order[top]].left + run.Pick(0, 20), cy = b.pieces[b.order[top]].top;
        Rect turned;
        for (int i = 0; i < b.count; ++i) {
            if (b.pieces[i].group != g) continue;
            const Piece& p = b.pieces[i];
            turned = UnionRect(turned, Shifted(OrientRect(Shifted(p.BoardRect(), -cx, -cy), 1), cx, cy));
        }
        check("turn", UnionRect(GroupBox(b, g), turned), [&] { TurnGroup(b, top, cx, cy, kTurnLeft); });

        const Rect moved = GroupBox(b, g);
        check("move", UnionRect(moved, Shifted(moved, 9, -4)), [&] { MoveGroup(b, 9, -4); });

        const Rect r = b.pieces[b.order[top]].BoardRect();
        check("detach", UnionRect(r, Shifted(r, 5, 5)), [&] { DetachPiece(b, top); });

        // A join: the held group where it lies and up to 6 pixels away, and
        // every group it could snap to.
        int jx = 0, jy = 0;
        if (!run.BringNearNeighbour(jx, jy)) continue;
        const Piece& d = b.pieces[b.order[b.count - 1]];
        const Rect held = GroupBox(b, d.group);
        Rect area{held.left - 6, held.top - 6, held.right + 6, held.bottom + 6};
        for (int i = 0; i < b.count; ++i) {
            if (b.pieces[i].group != d.group) continue;
            for (int32_t nb : b.pieces[i].neighbours)
                if (nb >= 0 && b.pieces[nb].orientation == d.orientation)
                    area = UnionRect(area, GroupBox(b, b.pieces[nb].group));
        }
        check("join", area, [&] { joins += TryJoin(b); });
    }
    EXPECT_GT(joins, 5);
}
