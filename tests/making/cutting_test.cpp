// Labelling, piece masks and outlines, the rim width and the neighbour rule.
#include "making/cutting.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "making/making_steps.h"
#include "making_fixture.h"
#include "pieces/board.h"

namespace {

const char* const kNotTwice = "マスクの大きさが原画の２倍でない";

// '#' a cutting line, anything else white; rows from the top.
MYBIT MaskFrom(const std::vector<std::string>& rows) {
    MYBIT m;
    m.Create(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
    for (int y = 0; y < m.Height(); ++y)
        for (int x = 0; x < m.Width(); ++x) m.At(x, y) = rows[y][x] == '#' ? kMaskLine : kMaskWhite;
    return m;
}

MYBIT WhiteMask(int w, int h) {
    MYBIT m;
    m.CreateFilled(0xFFFFFF, w, h);
    return m;
}

MYBIT PictureFor(const MYBIT& mask) {
    MYBIT p;
    MakeTestPicture(p, mask.Width() / 2, mask.Height() / 2);
    return p;
}

struct Cutter {
    FakeHost host;
    std::unique_ptr<MakingState> m = std::make_unique<MakingState>();
    std::unique_ptr<Board> board = std::make_unique<Board>();

    int Start(MYBIT mask) {
        MYBIT picture = PictureFor(mask);
        return StartCutting(*m, picture, std::move(mask), *board, host);
    }
    // Labels every row; returns the number of steps taken.
    int LabelAll() {
        int steps = 1;
        while (LabelRow(*m, host)) ++steps;
        return steps;
    }
    // Labels, then cuts every area in number order.
    void CutAll() {
        LabelAll();
        ComputeEdgeWidth(*m, 10);
        for (int k = 0; k < m->areaCount; ++k) CutPiece(*m, k, 150);
        board->count = m->areaCount;
    }
    uint32_t Label(int x, int y) const { return m->mask.At(x, y); }
};

TEST(Labelling, AreasAreNumberedUpwardsFromTheBottomLeft) {
    Cutter c;
    // A cross of lines: four areas.
    std::vector<std::string> rows(12, std::string(20, '.'));
    for (int x = 0; x < 20; ++x) rows[5][x] = '#';
    for (int y = 0; y < 12; ++y) rows[y][9] = '#';
    ASSERT_EQ(c.Start(MaskFrom(rows)), 1);
    EXPECT_EQ(c.m->stage, kStateLabelling);
    EXPECT_EQ(c.host.posted, std::vector<unsigned>{MSG_MAKE_1});
    ASSERT_FALSE(c.host.progress.empty());
    EXPECT_EQ(c.host.progress[0], "show 12 " + std::to_string(0x81F8B0) + " " + std::to_string(0x0DD75E));
    // One step per mask row.
    EXPECT_EQ(c.LabelAll(), 12);
    ASSERT_EQ(c.m->areaCount, 4);
    EXPECT_EQ(c.Label(0, 11), 1u);   // bottom left
    EXPECT_EQ(c.Label(19, 11), 2u);  // bottom right
    EXPECT_EQ(c.Label(0, 0), 3u);    // top left
    EXPECT_EQ(c.Label(19, 0), 4u);
    EXPECT_EQ(c.Label(9, 3), kMaskLine);
    // Boxes are the areas' inclusive bounding boxes, y from the top.
    const AreaBox& b = c.m->boxes[0];
    EXPECT_EQ(b.minX, 0);
    EXPECT_EQ(b.minY, 6);
    EXPECT_EQ(b.maxX, 8);
    EXPECT_EQ(b.maxY, 11);
    const AreaBox& t = c.m->boxes[3];
    EXPECT_EQ(t.minX, 10);
    EXPECT_EQ(t.minY, 0);
    EXPECT_EQ(t.maxX, 19);
    EXPECT_EQ(t.maxY, 4);
    // No more rows: nothing happens.
    EXPECT_EQ(LabelRow(*c.m, c.host), 0);
    EXPECT_EQ(c.m->areaCount, 4);
}

TEST(Labelling, AreasSpreadFourConnectedAndAreNumberedByTheirFirstWord) {
    Cutter c;
    // An outer U whose feet both reach the bottom row, a pocket between them
    // and an inner area closed at the bottom.
    ASSERT_EQ(c.Start(MaskFrom({
                  "..........",
                  ".########.",
                  ".#......#.",
                  ".#.####.#.",
                  ".#.#..#.#.",
                  ".###..###.",
              })),
              1);
    c.LabelAll();
    EXPECT_EQ(c.m->areaCount, 3);
    EXPECT_EQ(c.Label(0, 5), 1u);  // the U, met at its left foot
    EXPECT_EQ(c.Label(9, 5), 1u);  // its right foot is no new area
    EXPECT_EQ(c.Label(5, 0), 1u);
    EXPECT_EQ(c.Label(4, 5), 2u);  // the pocket
    EXPECT_EQ(c.Label(2, 4), 3u);  // the inner area
    EXPECT_EQ(c.Label(7, 2), 3u);
    const AreaBox& u = c.m->boxes[0];
    EXPECT_EQ(u.minX, 0);
    EXPECT_EQ(u.minY, 0);
    EXPECT_EQ(u.maxX, 9);
    EXPECT_EQ(u.maxY, 5);

    // A one-pixel diagonal line separates: the fill does not pass between
    // two words that touch only at a corner.
    Cutter d;
    ASSERT_EQ(d.Start(MaskFrom({"....#...", "...#....", "..#.....", ".#......", "#.......", "........"})), 1);
    d.LabelAll();
    EXPECT_EQ(d.m->areaCount, 2);
    EXPECT_EQ(d.Label(1, 4), 1u);
    EXPECT_EQ(d.Label(0, 0), 2u);
}

TEST(Labelling, StopsAtTheAreaLimit) {
    // Isolated white words on every even column and row: one area each.
    auto dots = [](int w, int h) {
        MYBIT m;
        m.Create(w, h);
        for (int y = 0; y < h; y += 2)
            for (int x = 0; x < w; x += 2) m.At(x, y) = kMaskWhite;
        return m;
    };
    {
        Cutter c;  // exactly the limit
        ASSERT_EQ(c.Start(dots(200, 200)), 1);
        c.LabelAll();
        EXPECT_EQ(c.m->areaCount, kMaxAreas);
        EXPECT_EQ(c.m->areasFull, 0);
        EXPECT_TRUE(c.host.boxes.empty());
    }
    {
        Cutter c;  // one past it: one more dot in the bottom row
        MYBIT taller;
        taller.Create(200, 202);
        taller.Paste(dots(200, 200), 0, 0);
        taller.At(0, 201) = kMaskWhite;
        ASSERT_EQ(c.Start(std::move(taller)), 1);
        c.LabelAll();
        EXPECT_EQ(c.m->areaCount, kMaxAreas);
        EXPECT_EQ(c.m->areasFull, 1);
        ASSERT_EQ(c.host.boxes.size(), 1u);
        EXPECT_EQ(c.host.boxes[0].caption, "pukko");
        // The 10001st dot (top row, right end) stays unlabelled.
        EXPECT_EQ(c.Label(198, 0), kMaskWhite);
        EXPECT_EQ(c.Label(196, 0), static_cast<uint32_t>(kMaxAreas));
        EXPECT_EQ(LabelRow(*c.m, c.host), 0);
    }
    {
        Cutter c;  // far past it: labelling ends before the top row
        ASSERT_EQ(c.Start(dots(200, 240)), 1);
        EXPECT_LT(c.LabelAll(), 240);
        EXPECT_EQ(c.m->areaCount, kMaxAreas);
        EXPECT_EQ(c.Label(0, 0), kMaskWhite);
        EXPECT_EQ(c.host.boxes.size(), 1u);
    }
}

TEST(StartCutting, RefusesMasksItCannotCut) {
    {
        Cutter c;  // no white at all
        MYBIT black;
        black.Create(20, 20);
        EXPECT_EQ(c.Start(std::move(black)), 0);
        ASSERT_EQ(c.host.boxes.size(), 1u);
        EXPECT_EQ(c.host.boxes[0].caption, "pukko");
        EXPECT_EQ(c.m->stage, kStateNone);
        EXPECT_TRUE(c.host.posted.empty());
        EXPECT_TRUE(c.host.progress.empty());
    }
    {
        Cutter c;  // an empty mask has no white either
        EXPECT_EQ(c.Start(MYBIT()), 0);
        EXPECT_EQ(c.host.boxes.size(), 1u);
    }
    // Beyond the size limit nothing is touched; the sizes alone decide, so
    // the headers are enough here.
    auto headerOnly = [](int w, int h) {
        MYBIT m;
        m.hdr.width = w;
        m.hdr.height = h;
        return m;
    };
    Cutter limit, past;
    MYBIT picture;
    EXPECT_EQ(StartCutting(*past.m, picture, headerOnly(10000, 10001), *past.board, past.host), 0);
    ASSERT_EQ(past.host.boxes.size(), 1u);
    EXPECT_NE(past.host.boxes[0].text.find("大きすぎる"), std::string::npos);
    // At the limit the size passes (the empty pixels then have no white).
    EXPECT_EQ(StartCutting(*limit.m, picture, headerOnly(10000, 10000), *limit.board, limit.host), 0);
    ASSERT_EQ(limit.host.boxes.size(), 2u);  // not twice the picture, no white
    EXPECT_EQ(limit.host.boxes[0].text, kNotTwice);
    EXPECT_EQ(limit.host.boxes[1].text.find("大きすぎる"), std::string::npos);
}

TEST(StartCutting, MasksOfAnotherSizeAreReportedAndCutAnyway) {
    Cutter c;
    MYBIT picture;
    MakeTestPicture(picture, 10, 10);
    // 41 x 31: not twice 10 x 10, and odd.
    ASSERT_EQ(StartCutting(*c.m, picture, WhiteMask(41, 31), *c.board, c.host), 1);
    ASSERT_EQ(c.host.boxes.size(), 1u);
    EXPECT_EQ(c.host.boxes[0].text, kNotTwice);
    EXPECT_EQ(c.host.boxes[0].caption, "");
    EXPECT_EQ(c.m->maskWidth, 40);
    EXPECT_EQ(c.m->maskHeight, 30);
    // The picture is trimmed or padded to half the mask.
    EXPECT_EQ(c.m->picture.Width(), 20);
    EXPECT_EQ(c.m->picture.Height(), 15);
    EXPECT_EQ(c.m->picture.At(9, 9), picture.At(9, 9));
    EXPECT_EQ(c.m->picture.At(15, 12), 0u);
    c.CutAll();
    ASSERT_EQ(c.m->areaCount, 1);
    EXPECT_EQ(c.board->pieces[0].pictures[0].Width(), 20);
    EXPECT_EQ(c.board->pieces[0].pictures[0].Height(), 15);
}

TEST(MakeTwoLevel, LightBecomesWhiteAndAlphaIsIgnored) {
    MYBIT m;
    m.Create(8, 1);
    const uint32_t words[8] = {
        0x00000000, 0xFFFFFFFF,  // black, white with alpha
        0x00808080, 0x007F7F7F,  // luma 128 is light, 127 dark
        0x00FF0000, 0x00FFFF00,  // red is dark (76), yellow light (225)
        0x00000005, 0xFF00FF00,  // a word that looks like a label; green (150)
    };
    for (int x = 0; x < 8; ++x) m.At(x, 0) = words[x];
    EXPECT_EQ(MakeTwoLevel(m), 4);
    const uint32_t expected[8] = {kMaskLine, kMaskWhite, kMaskWhite, kMaskLine,
                                  kMaskLine, kMaskWhite, kMaskLine,  kMaskWhite};
    for (int x = 0; x < 8; ++x) EXPECT_EQ(m.At(x, 0), expected[x]) << x;
}

TEST(Labelling, GreyAndLabelLikeWordsAreCuttingLines) {
    Cutter c;
    MYBIT m = WhiteMask(20, 10);
    // An anti-aliased line: a dark word that equals label 1, and grey.
    for (int y = 0; y < 10; ++y) {
        m.At(9, y) = 0x00000001;
        m.At(10, y) = 0x00404040;
    }
    ASSERT_EQ(c.Start(std::move(m)), 1);
    c.CutAll();
    ASSERT_EQ(c.m->areaCount, 2);
    // The line is no part of piece 0's area.
    const MYBIT pm = RebuildPieceMask(*c.m, 0);
    for (int y = 0; y < pm.Height(); ++y)
        for (int x = 0; x < pm.Width(); ++x)
            if (c.m->boxes[0].minX + x >= 9) {
                EXPECT_NE(pm.At(x, y), kMaskInside);
            }
}

TEST(ComputeEdgeWidth, FollowsThePieceSizeWithinItsLimits) {
    Cutter c;
    MakingState& m = *c.m;
    auto setSides = [&](int n, int side) {
        m.areaCount = n;
        for (int i = 0; i < n; ++i) m.boxes[i] = AreaBox{0, 0, side, side};
    };
    setSides(4, 300);
    EXPECT_EQ(ComputeEdgeWidth(m, 10), 10);  // the side counts as 100
    EXPECT_EQ(m.edgeWidth, 10);
    EXPECT_EQ(ComputeEdgeWidth(m, 0), 3);  // never below 3
    EXPECT_EQ(ComputeEdgeWidth(m, -5), 3);
    EXPECT_EQ(ComputeEdgeWidth(m, 1000), 1000);
    setSides(3, 50);
    EXPECT_EQ(ComputeEdgeWidth(m, 10), 5);
    EXPECT_EQ(ComputeEdgeWidth(m, 5), 3);  // 250 < 300
    // Mixed sizes average (width + height) / 2 over all areas.
    m.areaCount = 2;
    m.boxes[0] = AreaBox{0, 0, 40, 20};
    m.boxes[1] = AreaBox{10, 10, 30, 90};
    EXPECT_EQ(ComputeEdgeWidth(m, 10), 4);  // (60 + 100) / 4 = 40
    m.areaCount = 0;
    EXPECT_EQ(ComputeEdgeWidth(m, 10), 3);
}

TEST(CutPiece, AMaskWithoutLinesIsOnePieceWithoutNeighbours) {
    Cutter c;
    ASSERT_EQ(c.Start(WhiteMask(40, 30)), 1);
    c.CutAll();
    FindNeighbours(*c.m, c.host);
    ASSERT_EQ(c.m->areaCount, 1);
    const AreaBox& r = c.m->boxes[0];
    EXPECT_EQ(r.minX, 0);
    EXPECT_EQ(r.minY, 0);
    EXPECT_EQ(r.maxX, 40);
    EXPECT_EQ(r.maxY, 30);
    const Piece& p = c.board->pieces[0];
    EXPECT_EQ(p.HomeRect(), (Rect{0, 0, 20, 15}));
    EXPECT_EQ(p.BoardRect(), (Rect{0, 0, 20, 15}));
    EXPECT_TRUE(c.m->outlines[0].empty());
    EXPECT_EQ(p.neighbours, std::vector<int32_t>{-1});
    // Every pixel fully covered; the corners get the rim.
    for (int o = 0; o < 8; ++o)
        for (uint32_t v : p.pictures[o].pixels) EXPECT_EQ(v >> 24, 255u);
}

TEST(CutPiece, RectanglesAreEvenInsideTheMaskAndPicturesTransparentOutside) {
    MakingFixture f;
    MYBIT picture;
    MakeTestPicture(picture, 150, 100);
    f.settings.pieceCount = 12;
    ASSERT_EQ(MakePuzzleFromPicture(f.g(), picture), 1);
    const MakingState& m = f.g().making;
    ASSERT_GT(m.areaCount, 1);
    for (int k = 0; k < m.areaCount; ++k) {
        const AreaBox& r = m.boxes[k];
        EXPECT_EQ(r.minX % 2, 0);
        EXPECT_EQ(r.minY % 2, 0);
        EXPECT_EQ(r.maxX % 2, 0);
        EXPECT_EQ(r.maxY % 2, 0);
        EXPECT_GE(r.minX, 0);
        EXPECT_GE(r.minY, 0);
        EXPECT_LE(r.maxX, m.maskWidth);
        EXPECT_LE(r.maxY, m.maskHeight);
        const MYBIT pm = RebuildPieceMask(m, k);
        EXPECT_TRUE(m.pieceMasks[k].Empty());
        ASSERT_EQ(pm.Width(), r.maxX - r.minX);
        const Piece& p = f.g().board.pieces[k];
        EXPECT_EQ(p.HomeRect(), (Rect{r.minX / 2, r.minY / 2, r.maxX / 2, r.maxY / 2}));
        // Alpha is the coverage of the 2 x 2 block: 0 exactly where the
        // halved mask is empty.
        const MYBIT& pic = p.pictures[0];
        ASSERT_EQ(pic.Width() * 2, pm.Width());
        for (int y = 0; y < pic.Height(); ++y)
            for (int x = 0; x < pic.Width(); ++x) {
                int n = (pm.At(2 * x, 2 * y) != 0) + (pm.At(2 * x + 1, 2 * y) != 0) +
                        (pm.At(2 * x, 2 * y + 1) != 0) + (pm.At(2 * x + 1, 2 * y + 1) != 0);
                const uint32_t coverage[5] = {0, 63, 127, 191, 255};
                ASSERT_EQ(pic.At(x, y) >> 24, coverage[n]) << k << " " << x << "," << y;
                if (n == 0) {
                    ASSERT_EQ(pic.At(x, y), 0u);
                }
            }
    }
}

// Outline words are outside the area, touch it (8-connected), and every
// outside word that shares an edge with the area is one.
void CheckOutline(const MYBIT& before, const MYBIT& after) {
    const int w = before.Width(), h = before.Height();
    auto inside = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < w && y < h && before.At(x, y) == kMaskInside;
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bool edge = !inside(x, y) &&
                        (inside(x - 1, y) || inside(x + 1, y) || inside(x, y - 1) || inside(x, y + 1));
            bool touch = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) touch |= inside(x + dx, y + dy);
            uint32_t v = after.At(x, y);
            if (inside(x, y)) {
                EXPECT_EQ(v, kMaskInside);
            } else if (v == kMaskOutline) {
                EXPECT_TRUE(touch) << x << "," << y;
            } else {
                EXPECT_FALSE(edge) << x << "," << y;
                EXPECT_EQ(v, kMaskLine);
            }
        }
}

TEST(MarkOutline, SurroundsTheAreaAndItsHoles) {
    const std::vector<std::string> shapes[] = {
        {"........", "..XXXX..", "..XXXX..", "..XXXX..", "........"},
        // A ring: the hole gets its own outline.
        {"..........", ".XXXXXXXX.", ".XX....XX.", ".XX....XX.", ".XXXXXXXX.", ".........."},
        // Knob and diagonal steps.
        {"..........", "...XXX....", "..XXXXX...", ".XXXXXXX..", "..XXX.XXX.", "...X...XX.", ".........."},
        // Touching the border: no outline there.
        {"XXXX....", "XXXX....", "........"},
    };
    for (const auto& rows : shapes) {
        MYBIT m;
        m.Create(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
        for (int y = 0; y < m.Height(); ++y)
            for (int x = 0; x < m.Width(); ++x) m.At(x, y) = rows[y][x] == 'X' ? kMaskInside : kMaskLine;
        MYBIT before;
        before.CopyFrom(m);
        std::vector<Point> marked;
        MarkOutline(m, &marked);
        CheckOutline(before, m);
        // Each marked word is listed once.
        std::set<std::pair<int, int>> seen;
        for (const Point& p : marked) {
            EXPECT_EQ(m.At(p.x, p.y), kMaskOutline);
            EXPECT_TRUE(seen.insert({p.x, p.y}).second);
        }
        size_t total = 0;
        for (uint32_t v : m.pixels) total += v == kMaskOutline;
        EXPECT_EQ(marked.size(), total);
    }
    // The ring's hole: all four sides of the hole are outline.
    MYBIT ring;
    ring.Create(10, 6);
    for (int y = 1; y <= 4; ++y)
        for (int x = 1; x <= 8; ++x) ring.At(x, y) = (y >= 2 && y <= 3 && x >= 3 && x <= 6) ? 0 : kMaskInside;
    MarkOutline(ring);
    for (int x = 3; x <= 6; ++x) EXPECT_EQ(ring.At(x, 2), kMaskOutline);
}

// The neighbour rule taken literally: the words of both piece masks over the
// common part of their rectangles, compared one by one.
int SharedOutlineWords(const MakingState& m, const std::vector<MYBIT>& masks, int e, int h) {
    Rect re{m.boxes[e].minX, m.boxes[e].minY, m.boxes[e].maxX, m.boxes[e].maxY};
    Rect rh{m.boxes[h].minX, m.boxes[h].minY, m.boxes[h].maxX, m.boxes[h].maxY};
    Rect r;
    if (!IntersectRect(&r, re, rh)) return 0;
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (masks[e].At(x - re.left, y - re.top) == kMaskOutline &&
                masks[h].At(x - rh.left, y - rh.top) == kMaskOutline && ++count == 11)
                return count;
    return count;
}

void ExpectNeighboursAsTheRuleSays(const MakingState& m, const Board& board) {
    std::vector<MYBIT> masks;
    for (int k = 0; k < m.areaCount; ++k) masks.push_back(RebuildPieceMask(m, k));
    for (int e = 0; e < m.areaCount; ++e) {
        std::vector<int32_t> expected;
        for (int h = 0; h < m.areaCount; ++h)
            if (SharedOutlineWords(m, masks, e, h) >= 11) expected.push_back(h);
        expected.push_back(-1);
        EXPECT_EQ(board.pieces[e].neighbours, expected) << "piece " << e;
    }
}

TEST(FindNeighbours, GridPiecesListThemselvesAndTheCellsAcrossEachLine) {
    MakingFixture f(2024);
    MYBIT picture;
    MakeTestPicture(picture, 240, 180);
    f.settings.pieceCount = 12;  // 4 x 3 cells of 60 picture pixels
    ASSERT_EQ(MakePuzzleFromPicture(f.g(), picture), 1);
    const MakingState& m = f.g().making;
    ASSERT_EQ(m.areaCount, 12);
    const int side = 120, cols = 4, rows = 3;
    ASSERT_EQ(m.maskWidth, cols * side);
    // The area under each cell's centre (no knob reaches it).
    auto pieceAt = [&](int c, int r) {
        return static_cast<int>(m.mask.At(c * side + side / 2, r * side + side / 2)) - 1;
    };
    EXPECT_EQ(pieceAt(0, rows - 1), 0);  // bottom left
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            std::vector<int32_t> expected{pieceAt(c, r)};
            if (c > 0) expected.push_back(pieceAt(c - 1, r));
            if (c < cols - 1) expected.push_back(pieceAt(c + 1, r));
            if (r > 0) expected.push_back(pieceAt(c, r - 1));
            if (r < rows - 1) expected.push_back(pieceAt(c, r + 1));
            std::sort(expected.begin(), expected.end());
            expected.push_back(-1);
            EXPECT_EQ(f.g().board.pieces[pieceAt(c, r)].neighbours, expected) << c << "," << r;
        }
    ExpectNeighboursAsTheRuleSays(m, f.g().board);
}

TEST(FindNeighbours, IrregularAreasFollowTheElevenWordRule) {
    // Blobs of many sizes from a fixed seed, including specks with fewer
    // than 11 outline words and areas whose rectangles overlap widely.
    Cutter c;
    MYBIT mask = WhiteMask(160, 120);
    Rand rng(77);
    for (int i = 0; i < 40; ++i) {
        int x = rng.Next() % 160, y = rng.Next() % 120, len = rng.Next() % 80, dir = rng.Next() % 4;
        for (int t = 0; t < len; ++t) {
            int px = x + (dir == 0   ? t
                          : dir == 2 ? t / 2
                                     : 0),
                py = y + (dir == 1   ? t
                          : dir == 2 ? t / 2
                                     : 0);
            if (dir == 3) px = x - t / 3, py = y + t;
            if (px >= 0 && py >= 0 && px < 160 && py < 120) mask.At(px, py) = 0;
        }
    }
    // Specks: single white words in a black block, too small to list
    // themselves.
    for (int y = 90; y < 110; ++y)
        for (int x = 120; x < 150; ++x) mask.At(x, y) = (x % 4 == 1 && y % 4 == 1) ? kMaskWhite : kMaskLine;
    ASSERT_EQ(c.Start(std::move(mask)), 1);
    c.CutAll();
    ASSERT_GT(c.m->areaCount, 40);
    FindNeighbours(*c.m, c.host);
    ExpectNeighboursAsTheRuleSays(*c.m, *c.board);
    // One bar for the neighbours: shown with the piece count, stepped once
    // per piece, closed.
    EXPECT_EQ(c.host.progress.back(), "close");
    EXPECT_EQ(c.host.progressSteps, c.m->areaCount);
}

}  // namespace
