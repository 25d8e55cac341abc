#include "pieces/layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "board_fixture.h"
#include "support/board_rects.h"

using fixture::TestBoard;

namespace {

// The border walked by hand: the four corners (top left, top right, bottom
// right, bottom left), then the top row rightwards, the right column
// downwards, the bottom row leftwards, the left column upwards.  A cell met
// twice (one row or one column) keeps its first place.
std::vector<int> BorderWalk(int cols, int rows) {
    std::vector<int> cells = {0, cols - 1, rows * cols - 1, (rows - 1) * cols};
    for (int c = 1; c < cols - 1; ++c) cells.push_back(c);
    for (int r = 1; r < rows - 1; ++r) cells.push_back(r * cols + cols - 1);
    for (int c = cols - 2; c >= 1; --c) cells.push_back((rows - 1) * cols + c);
    for (int r = rows - 2; r >= 1; --r) cells.push_back(r * cols);
    std::vector<int> out;
    for (int a : cells)
        if (std::find(out.begin(), out.end(), a) == out.end()) out.push_back(a);
    return out;
}

// For each rectangle, how many of its pixels no later rectangle covers.
std::vector<int> UncoveredPixels(const std::vector<Rect>& rects, Size area) {
    std::vector<int> owner(size_t(area.cx) * area.cy, -1);
    for (int i = 0; i < int(rects.size()); ++i)
        for (int y = std::max(0, rects[i].top); y < std::min(area.cy, rects[i].bottom); ++y)
            for (int x = std::max(0, rects[i].left); x < std::min(area.cx, rects[i].right); ++x)
                owner[size_t(y) * area.cx + x] = i;
    std::vector<int> shown(rects.size(), 0);
    for (int o : owner)
        if (o >= 0) ++shown[o];
    return shown;
}

}  // namespace

TEST(EdgePieces, FoundFromTheHomesAndWalkedRoundTheBorder) {
    const int shapes[][2] = {{1, 1}, {1, 2}, {2, 1}, {1, 6}, {6, 1}, {2, 2}, {3, 3}, {4, 3}, {7, 5}};
    for (const auto& shape : shapes) {
        const int cols = shape[0], rows = shape[1];
        TestBoard t(40, 40);
        // Homes overlap their neighbours' by the soft edge, as cut pieces'
        // tabs do; only the border cells reach the picture's outer edge.
        t.AddGrid(cols, rows, 12, 10, 2);
        std::vector<int> all(cols * rows);
        for (int a = 0; a < cols * rows; ++a) all[a] = a;
        std::reverse(all.begin(), all.end());  // the order asked in does not matter
        EXPECT_EQ(EdgePiecesInOrder(t.board, all), BorderWalk(cols, rows)) << cols << " x " << rows;
        // Only the pieces asked about are considered.
        std::vector<int> some = {cols * rows - 1};
        if (rows >= 3 && cols >= 3) some.push_back(cols + 1);  // an inner piece
        EXPECT_EQ(EdgePiecesInOrder(t.board, some), std::vector<int>{cols * rows - 1})
            << cols << " x " << rows;
    }
}

TEST(PackInRows, ApartWhereTheyFitEvenlyTighterWhereNot) {
    // Piece sizes alternate as turned pieces do, or a row's later pieces
    // stand one pixel taller than its first (or level with it, or one
    // shorter, as the row happens to begin); obstacles stand for joined
    // groups: none, a block in the middle, a wall down the left.
    const Size areas[] = {{1920, 1080}, {800, 600}, {300, 200}};
    const int counts[] = {1, 9, 100, 1000};
    const std::vector<std::vector<Rect>> obstacleSets = {
        {}, {{100, 80, 260, 150}}, {{0, 0, 60, 5000}, {120, 40, 180, 90}}};
    Size (*const kinds[])(int) = {
        [](int i) {
            return i % 3 ? Size{34, 26} : Size{26, 34};
        },
        [](int i) {
            return Size{30, 20 + i % 2};
        },
    };
    for (Size area : areas)
        for (int n : counts)
            for (const auto& obstacles : obstacleSets)
                for (const auto& kind : kinds) {
                    if (area.cx < 800 && n > 100) continue;  // below the least step beside obstacles
                    std::vector<Size> sizes;
                    long long need = 0;
                    for (int i = 0; i < n; ++i) {
                        sizes.push_back(kind(i));
                        need += (34 + kLayoutGap) * (34 + kLayoutGap);
                    }
                    const RowLayout out = PackInRows(sizes, area, obstacles);
                    SCOPED_TRACE(testing::Message()
                                 << area.cx << "x" << area.cy << " n=" << n
                                 << " obstacles=" << obstacles.size() << " sizes " << sizes[0].cx);
                    ASSERT_EQ(out.at.size(), sizes.size());
                    ASSERT_TRUE(out.clearOfObstacles);
                    std::vector<Rect> rects;
                    for (int i = 0; i < n; ++i) {
                        const Rect r{out.at[i].x, out.at[i].y, out.at[i].x + sizes[i].cx,
                                     out.at[i].y + sizes[i].cy};
                        rects.push_back(r);
                        EXPECT_TRUE(r.left >= kLayoutGap && r.top >= kLayoutGap &&
                                    r.right <= area.cx - kLayoutGap && r.bottom <= area.cy - kLayoutGap)
                            << i;
                        for (const Rect& o : obstacles) EXPECT_FALSE(Meet(r, o)) << i;
                    }
                    // Half the free area is room enough for rows; more pieces than
                    // the whole area holds cannot lie apart.
                    const long long free = (long long)area.cx * area.cy - (obstacles.empty() ? 0 : 160 * 70);
                    if (need * 2 <= free) {
                        EXPECT_EQ(out.step, 1.0);
                    }
                    if (need > (long long)area.cx * area.cy) {
                        EXPECT_LT(out.step, 1.0);
                    }
                    if (out.step == 1.0) {
                        // Apart: the gap free between any two.
                        for (int i = 0; i < n; ++i) {
                            const Rect& a = rects[i];
                            const Rect grown{a.left - kLayoutGap, a.top - kLayoutGap, a.right + kLayoutGap,
                                             a.bottom + kLayoutGap};
                            for (int j = i + 1; j < n; ++j)
                                ASSERT_FALSE(Meet(grown, rects[j])) << i << " " << j;
                        }
                    } else {
                        // Each shows at least its top-left step x step share.
                        const std::vector<int> shown = UncoveredPixels(rects, area);
                        for (int i = 0; i < n; ++i) {
                            const int least = int(out.step * sizes[i].cx) * int(out.step * sizes[i].cy);
                            ASSERT_GE(shown[i], std::max(1, least)) << i;
                        }
                    }
                }
}

// Two rows of two 30-pixel-wide pieces fill a 72 x 52 window exactly when
// all are 20 high.  A second row whose later piece is one pixel taller than
// its first does not fit: the rows close up.
TEST(PackInRows, ARowsLaterPieceTallerThanItsFirstMustFitToo) {
    for (const auto& [last, apart] : {std::pair{19, true}, {20, true}, {21, false}}) {
        const std::vector<Size> sizes = {{30, 20}, {30, 20}, {30, 20}, {30, last}};
        const RowLayout out = PackInRows(sizes, Size{72, 52}, {});
        ASSERT_EQ(out.at.size(), 4u);
        EXPECT_EQ(out.step == 1.0, apart) << last;
        EXPECT_LE(out.at[3].y + last, 52 - kLayoutGap) << last;
        if (apart) {
            EXPECT_EQ(out.at[3], (Point{38, 28})) << last;
        }
    }
}

TEST(PackInRows, NoRoomBesideTheObstaclesOrTheWindowTooSmall) {
    // A group over the whole window: the pieces go over it, still inside.
    const std::vector<Size> sizes(20, Size{30, 30});
    const RowLayout over = PackInRows(sizes, Size{200, 150}, {{0, 0, 200, 150}});
    ASSERT_EQ(over.at.size(), sizes.size());
    EXPECT_FALSE(over.clearOfObstacles);
    for (Point p : over.at) EXPECT_TRUE(p.x >= 0 && p.y >= 0 && p.x + 30 <= 200 && p.y + 30 <= 150);
    // A piece larger than the window stays at its top-left corner.
    const RowLayout huge = PackInRows({Size{500, 400}, Size{20, 20}}, Size{300, 200}, {});
    ASSERT_EQ(huge.at.size(), 2u);
    EXPECT_EQ(huge.at[0], (Point{kLayoutGap, kLayoutGap}));
    EXPECT_TRUE(PackInRows({}, Size{300, 200}, {}).at.empty());
}

TEST(PlaceOnTop, MovesInTheirOrientationAndRaisesInTheOrderGiven) {
    TestBoard t(200, 100);
    t.AddGrid(4, 1, 20, 16, 1);
    fixture::Place(t.board.pieces[2], 50, 40, 1);  // turned: 18 wide, 22 high
    fixture::SetOrder(t.board, {3, 2, 1, 0});
    PlaceOnTop(t.board, {2, 3}, {Point{100, 5}, Point{7, 60}});
    EXPECT_EQ(fixture::Order(t.board), (std::vector<int>{1, 0, 2, 3}));
    EXPECT_EQ(t.board.pieces[2].BoardRect(), (Rect{100, 5, 118, 27}));
    EXPECT_EQ(t.board.pieces[2].orientation, 1);
    EXPECT_EQ(t.board.pieces[3].BoardRect(), (Rect{7, 60, 29, 78}));
    EXPECT_EQ(t.board.pieces[0].BoardRect(), (Rect{-1, -1, 21, 17}));
    EXPECT_EQ(fixture::Invariants(t.board), "");
}
