// Labelling, piece masks and outlines, the rim width and the neighbour rule.
#include "making/cutting.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "game/making_steps.h"
#include "making_fixture.h"
#include "pieces/board.h"

namespace {

// '#' a cutting line, anything else white; rows from the top.
MYBIT MaskFrom(const std::vector<std::string>& rows) {
    MYBIT m;
    m.Create(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (int y = 0; y < m.Height(); ++y)
        for (int x = 0; x < m.Width(); ++x) m.At(x, y) = rows[y][x] == '#' ? kMaskLine : kMaskWhite;
    return m;
}

struct Cutter {
    FakeHost host;
    std::unique_ptr<MakingState> m = std::make_unique<MakingState>();
    std::unique_ptr<Board> board = std::make_unique<Board>();

    int Start(MYBIT mask) {
        MYBIT picture;
        MakeTestPicture(picture, mask.Width() / 2, mask.Height() / 2);
        return StartCutting(*m, picture, std::move(mask), *board, host);
    }
    int LabelAll() {  // the number of steps
        int steps = 1;
        while (LabelRow(*m, host)) ++steps;
        return steps;
    }
    uint32_t Label(int x, int y) const { return m->mask.At(x, y); }
};

TEST(Labelling, AreasAreNumberedByTheirFirstWordFromTheBottomLeft) {
    Cutter c;
    // An outer U whose feet both reach the bottom row, a pocket between them,
    // an inner area closed at the bottom.
    ASSERT_EQ(c.Start(MaskFrom(
                  {"..........", ".########.", ".#......#.", ".#.####.#.", ".#.#..#.#.", ".###..###."})),
              1);
    EXPECT_EQ(c.host.posted, std::vector<unsigned>{MSG_MAKE_1});
    EXPECT_EQ(c.LabelAll(), 6);  // one step per row
    EXPECT_EQ(c.m->areaCount, 3);
    EXPECT_EQ(
        (std::vector<uint32_t>{c.Label(0, 5), c.Label(9, 5), c.Label(5, 0), c.Label(4, 5), c.Label(2, 4)}),
        (std::vector<uint32_t>{1, 1, 1, 2, 3}));
    const AreaBox& u = c.m->boxes[0];  // inclusive bounding box, y from the top
    EXPECT_EQ((std::vector<int>{u.minX, u.minY, u.maxX, u.maxY}), (std::vector<int>{0, 0, 9, 5}));
    EXPECT_EQ(LabelRow(*c.m, c.host), 0);
    // A one-pixel diagonal separates: the fill spreads 4-connected.
    Cutter d;
    ASSERT_EQ(d.Start(MaskFrom({"....#...", "...#....", "..#.....", ".#......", "#.......", "........"})), 1);
    d.LabelAll();
    EXPECT_EQ(d.m->areaCount, 2);
    EXPECT_EQ(d.Label(0, 0), 2u);
}

TEST(Labelling, StopsAtTheAreaLimit) {
    auto dots = [](int w, int h) {  // an isolated white word on every even column and row
        MYBIT m;
        m.Create(w, h);
        for (int y = 0; y < h; y += 2)
            for (int x = 0; x < w; x += 2) m.At(x, y) = kMaskWhite;
        return m;
    };
    Cutter at;
    ASSERT_EQ(at.Start(dots(200, 200)), 1);
    at.LabelAll();
    EXPECT_EQ(at.m->areaCount, kMaxAreas);
    EXPECT_TRUE(at.host.boxes.empty());
    Cutter past;  // one more dot in the bottom row: the top-right dot is the 10001st
    MYBIT m;
    m.Create(200, 202);
    m.Paste(dots(200, 200), 0, 0);
    m.At(0, 201) = kMaskWhite;
    ASSERT_EQ(past.Start(std::move(m)), 1);
    past.LabelAll();
    EXPECT_EQ(past.m->areaCount, kMaxAreas);
    EXPECT_EQ(past.m->areasFull, 1);
    EXPECT_EQ(past.host.boxes.size(), 1u);
    EXPECT_EQ(past.Label(198, 0), kMaskWhite);
}

TEST(StartCutting, RefusesWhatItCannotCutAndTrimsWhatItCan) {
    Cutter black;
    MYBIT m;
    m.Create(20, 20);
    EXPECT_EQ(black.Start(std::move(m)), 0);
    EXPECT_EQ(black.host.boxes.size(), 1u);
    EXPECT_EQ(black.m->stage, kStateNone);
    EXPECT_TRUE(black.host.posted.empty());
    // The size limit: the sizes alone decide, so headers are enough.
    auto headerOnly = [](int w, int h) {
        MYBIT b;
        b.hdr.width = w;
        b.hdr.height = h;
        return b;
    };
    Cutter at, past;
    MYBIT none;
    EXPECT_EQ(StartCutting(*past.m, none, headerOnly(10000, 10001), *past.board, past.host), 0);
    ASSERT_EQ(past.host.boxes.size(), 1u);
    EXPECT_NE(past.host.boxes[0].text.find("大きすぎる"), std::string::npos);
    // At the limit the size passes: not twice the picture, and no white.
    EXPECT_EQ(StartCutting(*at.m, none, headerOnly(10000, 10000), *at.board, at.host), 0);
    ASSERT_EQ(at.host.boxes.size(), 2u);
    EXPECT_EQ(at.host.boxes[1].text.find("大きすぎる"), std::string::npos);
    // Odd and not twice the picture: reported, trimmed, cut.
    Cutter odd;
    MYBIT picture, white;
    MakeTestPicture(picture, 10, 10);
    white.CreateFilled(0xFFFFFF, 41, 31);
    ASSERT_EQ(StartCutting(*odd.m, picture, std::move(white), *odd.board, odd.host), 1);
    ASSERT_EQ(odd.host.boxes.size(), 1u);
    EXPECT_EQ(odd.host.boxes[0].text, "マスクの大きさが原画の２倍でない");
    EXPECT_EQ(odd.host.boxes[0].caption, "");
    EXPECT_EQ(odd.m->maskWidth, 40);
    EXPECT_EQ(odd.m->picture.Width(), 20);  // padded with black to half the mask
    EXPECT_EQ(odd.m->picture.At(15, 12), 0u);
    EXPECT_EQ(odd.m->picture.At(9, 9), picture.At(9, 9));
}

TEST(MakeTwoLevel, LightBecomesWhiteAndAlphaIsIgnored) {
    MYBIT m;
    m.Create(8, 1);
    // Black, white with alpha, luma 128 and 127, red (76), yellow (225), a
    // word that looks like label 5, green with alpha (150).
    const uint32_t words[8] = {0, 0xFFFFFFFF, 0x808080, 0x7F7F7F, 0xFF0000, 0xFFFF00, 5, 0xFF00FF00};
    for (int x = 0; x < 8; ++x) m.At(x, 0) = words[x];
    EXPECT_EQ(MakeTwoLevel(m), 4);
    EXPECT_EQ(m.pixels, (std::vector<uint32_t>{0, kMaskWhite, kMaskWhite, 0, 0, kMaskWhite, 0, kMaskWhite}));
}

TEST(ComputeEdgeWidth, FollowsThePieceSizeWithinItsLimits) {
    Cutter c;
    MakingState& m = *c.m;
    m.areaCount = 2;  // average side (width + height) / 2: 150 counts as 100
    m.boxes[0] = AreaBox{0, 0, 300, 100};
    m.boxes[1] = AreaBox{10, 10, 110, 110};
    EXPECT_EQ(ComputeEdgeWidth(m, 10), 10);
    EXPECT_EQ(ComputeEdgeWidth(m, 0), 3);  // never below 3
    EXPECT_EQ(ComputeEdgeWidth(m, 1000), 1000);
    m.boxes[0] = AreaBox{0, 0, 40, 20};  // (60 + 100) / 4 = 40
    m.boxes[1] = AreaBox{10, 10, 30, 90};
    EXPECT_EQ(ComputeEdgeWidth(m, 10), 4);
    EXPECT_EQ(ComputeEdgeWidth(m, 7), 3);  // 280 < 300
    m.areaCount = 0;
    EXPECT_EQ(ComputeEdgeWidth(m, 10), 3);
}

TEST(MarkOutline, SurroundsTheAreaAndItsHoles) {
    const std::vector<std::string> shapes[] = {
        {"........", "..XXXX..", "..XXXX..", "........"},
        {"..........", ".XXXXXXXX.", ".XX....XX.", ".XX....XX.", ".XXXXXXXX.", ".........."},  // a hole
        {"..........", "...XXX....", "..XXXXX...", ".XXXXXXX..", "..XXX.XXX.", "...X...XX.", ".........."},
        {"XXXX....", "XXXX....", "........"},  // at the border: no outline there
    };
    for (const auto& rows : shapes) {
        MYBIT m;
        m.Create(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
        auto inside = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < m.Width() && y < m.Height() && rows[y][x] == 'X';
        };
        for (int y = 0; y < m.Height(); ++y)
            for (int x = 0; x < m.Width(); ++x) m.At(x, y) = inside(x, y) ? kMaskInside : 0;
        std::vector<Point> marked;
        MarkOutline(m, &marked);
        std::set<std::pair<int, int>> listed;
        for (const Point& p : marked) EXPECT_TRUE(listed.insert({p.x, p.y}).second);  // each once
        for (int y = 0; y < m.Height(); ++y)
            for (int x = 0; x < m.Width(); ++x) {
                const bool edge =
                    inside(x - 1, y) || inside(x + 1, y) || inside(x, y - 1) || inside(x, y + 1);
                bool touch = false;
                for (int d = 0; d < 9; ++d) touch |= inside(x + d % 3 - 1, y + d / 3 - 1);
                const uint32_t v = m.At(x, y);
                // Outline words touch the area; every word beside it is one.
                EXPECT_EQ(v, inside(x, y) ? kMaskInside : edge ? kMaskOutline : v) << x << "," << y;
                EXPECT_TRUE(v != kMaskOutline || (touch && listed.count({x, y}))) << x << "," << y;
            }
    }
}

TEST(CutPiece, AMaskWithoutLinesIsOnePieceWithoutNeighbours) {
    Cutter c;
    MYBIT white;
    white.CreateFilled(0xFFFFFF, 40, 30);
    ASSERT_EQ(c.Start(std::move(white)), 1);
    c.LabelAll();
    ComputeEdgeWidth(*c.m, 10);
    CutPiece(*c.m, 0, 150);
    FindNeighbours(*c.m, c.host);
    ASSERT_EQ(c.m->areaCount, 1);
    const Piece& p = c.board->pieces[0];
    EXPECT_EQ(p.HomeRect(), (Rect{0, 0, 20, 15}));  // the whole mask, no margin
    EXPECT_EQ(p.BoardRect(), p.HomeRect());
    EXPECT_TRUE(c.m->outlines[0].empty());
    EXPECT_EQ(p.neighbours, std::vector<int32_t>{-1});
    for (uint32_t v : p.pictures[3].pixels) EXPECT_EQ(v >> 24, 255u);
}

TEST(CutPiece, RectanglesAreEvenInsideTheMaskAndPicturesTransparentOutside) {
    MakingFixture f;
    MYBIT picture;
    MakeTestPicture(picture, 150, 100);
    f.settings.pieceCount = 12;
    ASSERT_EQ(MakePuzzleFromPicture(f.g(), picture), 1);
    const MakingState& m = f.g().making;
    for (int k = 0; k < m.areaCount; ++k) {
        const AreaBox& r = m.boxes[k];
        EXPECT_TRUE(r.minX % 2 == 0 && r.minY % 2 == 0 && r.maxX % 2 == 0 && r.maxY % 2 == 0) << k;
        EXPECT_TRUE(r.minX >= 0 && r.minY >= 0 && r.maxX <= m.maskWidth && r.maxY <= m.maskHeight) << k;
        EXPECT_TRUE(m.pieceMasks[k].Empty());  // released once cut
        const Piece& p = f.g().board.pieces[k];
        EXPECT_EQ(p.HomeRect(), (Rect{r.minX / 2, r.minY / 2, r.maxX / 2, r.maxY / 2}));
        // Alpha is the coverage of the 2 x 2 block of the piece mask.
        const MYBIT pm = RebuildPieceMask(m, k);
        for (int y = 0; y < p.pictures[0].Height(); ++y)
            for (int x = 0; x < p.pictures[0].Width(); ++x) {
                const int n = (pm.At(2 * x, 2 * y) != 0) + (pm.At(2 * x + 1, 2 * y) != 0) +
                              (pm.At(2 * x, 2 * y + 1) != 0) + (pm.At(2 * x + 1, 2 * y + 1) != 0);
                const uint32_t v = p.pictures[0].At(x, y);
                ASSERT_EQ(v >> 24, (std::vector<uint32_t>{0, 63, 127, 191, 255}[n])) << k;
                ASSERT_TRUE(n > 0 || v == 0) << k;
            }
    }
}

// The neighbour rule taken literally: both piece masks compared word by word
// over the common part of their rectangles.
void ExpectNeighboursAsTheRuleSays(const MakingState& m, const Board& board) {
    std::vector<MYBIT> masks;
    for (int k = 0; k < m.areaCount; ++k) masks.push_back(RebuildPieceMask(m, k));
    auto rect = [&](int k) {
        return Rect{m.boxes[k].minX, m.boxes[k].minY, m.boxes[k].maxX, m.boxes[k].maxY};
    };
    for (int e = 0; e < m.areaCount; ++e) {
        std::vector<int32_t> expected;
        for (int h = 0; h < m.areaCount; ++h) {
            Rect r, re = rect(e), rh = rect(h);
            int count = 0;
            if (IntersectRect(&r, re, rh))
                for (int y = r.top; y < r.bottom; ++y)
                    for (int x = r.left; x < r.right; ++x)
                        count += masks[e].At(x - re.left, y - re.top) == kMaskOutline &&
                                 masks[h].At(x - rh.left, y - rh.top) == kMaskOutline;
            if (count >= 11) expected.push_back(h);
        }
        expected.push_back(-1);
        EXPECT_EQ(board.pieces[e].neighbours, expected) << "piece " << e;
    }
}

TEST(FindNeighbours, GridPiecesListThemselvesAndTheCellsAcrossEachLine) {
    MakingFixture f(2024);
    MYBIT picture;
    MakeTestPicture(picture, 240, 180);
    f.settings.pieceCount = 12;  // 4 x 3 cells of 120 mask pixels
    ASSERT_EQ(MakePuzzleFromPicture(f.g(), picture), 1);
    const MakingState& m = f.g().making;
    ASSERT_EQ(m.areaCount, 12);
    // The area under each cell's centre (no knob reaches it).
    auto at = [&](int c, int r) { return static_cast<int32_t>(m.mask.At(c * 120 + 60, r * 120 + 60)) - 1; };
    EXPECT_EQ(at(0, 2), 0);  // bottom left
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c) {
            std::vector<int32_t> expected{at(c, r)};
            if (c > 0) expected.push_back(at(c - 1, r));
            if (c < 3) expected.push_back(at(c + 1, r));
            if (r > 0) expected.push_back(at(c, r - 1));
            if (r < 2) expected.push_back(at(c, r + 1));
            std::sort(expected.begin(), expected.end());
            expected.push_back(-1);
            EXPECT_EQ(f.g().board.pieces[at(c, r)].neighbours, expected) << c << "," << r;
        }
    ExpectNeighboursAsTheRuleSays(m, f.g().board);
}

TEST(FindNeighbours, IrregularAreasFollowTheElevenWordRule) {
    // Random strokes, and specks too small to list themselves.
    Cutter c;
    MYBIT mask;
    mask.CreateFilled(0xFFFFFF, 160, 120);
    Rand rng(77);
    for (int i = 0; i < 40; ++i) {
        int x = rng.Next() % 160, y = rng.Next() % 120, len = rng.Next() % 80, dir = rng.Next() % 3;
        for (int t = 0; t < len; ++t) {
            int px = x + (dir != 1 ? t : 0) / (dir == 2 ? 2 : 1), py = y + (dir != 0 ? t : 0);
            if (px < 160 && py < 120) mask.At(px, py) = 0;
        }
    }
    for (int y = 90; y < 110; ++y)
        for (int x = 120; x < 150; ++x) mask.At(x, y) = (x % 4 == 1 && y % 4 == 1) ? kMaskWhite : 0;
    ASSERT_EQ(c.Start(std::move(mask)), 1);
    c.LabelAll();
    ComputeEdgeWidth(*c.m, 10);
    for (int k = 0; k < c.m->areaCount; ++k) CutPiece(*c.m, k, 150);
    ASSERT_GT(c.m->areaCount, 40);
    FindNeighbours(*c.m, c.host);
    ExpectNeighboursAsTheRuleSays(*c.m, *c.board);
    EXPECT_EQ(c.host.progressSteps, c.m->areaCount);  // its bar steps once per piece
    EXPECT_EQ(c.host.progress.back(), "close");
}

TEST(FindNeighbours, AGroundAroundManyRingsListsEveryRingWithElevenSharedWords) {
    // Square rings of one-pixel lines on one white ground: the ground's
    // outline runs round all of them, far longer than any ring's.  Insides
    // of 3 x 3 and more share at least 11 outline words with the ground;
    // those of 1 x 1 and 2 x 2 have fewer than 11 and are nobody's
    // neighbours, not even their own.
    Cutter c;
    MYBIT mask;
    mask.CreateFilled(0xFFFFFF, 200, 100);
    for (int i = 0; i < 24; ++i) {
        const int inside = i % 6 + 1, x0 = 4 + 16 * (i % 12), y0 = 8 + 40 * (i / 12);
        for (int t = 0; t < inside + 2; ++t) {
            mask.At(x0 + t, y0) = mask.At(x0 + t, y0 + inside + 1) = 0;
            mask.At(x0, y0 + t) = mask.At(x0 + inside + 1, y0 + t) = 0;
        }
    }
    ASSERT_EQ(c.Start(std::move(mask)), 1);
    c.LabelAll();
    ComputeEdgeWidth(*c.m, 10);
    ASSERT_EQ(c.m->areaCount, 25);
    for (int k = 0; k < c.m->areaCount; ++k) CutPiece(*c.m, k, 150);
    FindNeighbours(*c.m, c.host);
    ExpectNeighboursAsTheRuleSays(*c.m, *c.board);
    ASSERT_GT(c.m->outlines[0].size(), 8 * c.m->outlines[1].size());
    const std::vector<int32_t>& ground = c.board->pieces[0].neighbours;
    EXPECT_EQ(ground.size(), 1u + 16 + 1);  // itself, the rings of 3 x 3 and more, the end
    for (int k = 1; k < c.m->areaCount; ++k) {
        const std::vector<int32_t> expected =
            c.m->outlines[k].size() < 11 ? std::vector<int32_t>{-1} : std::vector<int32_t>{0, k, -1};
        EXPECT_EQ(c.board->pieces[k].neighbours, expected) << k;
    }
}

}  // namespace
