// The eight piece pictures with their rim, made in one pass, against the
// definition: each orientation turned, bevel-mapped, halved and shaded on
// its own.
#include "making/piece_pictures.h"

#include <gtest/gtest.h>

#include <memory>

#include "base/rand.h"
#include "image/mybit.h"
#include "making/cutting.h"
#include "making/making_steps.h"
#include "making_fixture.h"

namespace {

// The bevel percentage of one word straight from its definition.
int BevelAt(const MYBIT& m, int x, int y, int r) {
    const int w = m.Width(), h = m.Height();
    auto nz = [&](int i, int j) { return i >= 0 && j >= 0 && i < w && j < h && m.At(i, j) != 0; };
    if (nz(x - r, y - r) && nz(x + r, y - r) && nz(x - r, y + r) && nz(x + r, y + r)) return 50;
    int a = 0, b = 0;
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
            if (!nz(x + dx, y + dy)) continue;
            if (dx + dy >= 0) ++a;
            if (dx + dy <= 0) ++b;
        }
    return a * 100 / (a + b);
}

// The eight turned copies of a mask: index 0 the mask itself.
void Turned(const MYBIT& m, MYBIT out[8]) {
    out[0].CopyFrom(m);
    MYBIT* r[7] = {&out[1], &out[2], &out[3], &out[4], &out[5], &out[6], &out[7]};
    m.MakeOrientations(r);
}

// Where word (x, y) of a w x h picture goes in orientation o.
Point TurnedAt(int o, int x, int y, int w, int h) {
    switch (o) {
        case 1:
            return {y, w - 1 - x};
        case 2:
            return {w - 1 - x, h - 1 - y};
        case 3:
            return {h - 1 - y, x};
        case 4:
            return {w - 1 - x, y};
        case 5:
            return {h - 1 - y, w - 1 - x};
        case 6:
            return {x, h - 1 - y};
        case 7:
            return {y, x};
        default:
            return {x, y};
    }
}

MYBIT RandomMask(Rand& rng, int w, int h) {
    MYBIT m;
    m.Create(w, h);
    // Overlapping blobs with holes and ragged edges, some touching the border.
    for (int i = 0; i < 6; ++i) {
        int cx = rng.Next() % w, cy = rng.Next() % h, rr = 2 + rng.Next() % (w / 3);
        bool hole = rng.Next() % 3 == 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < rr * rr)
                    m.At(x, y) = hole ? 0 : ((rng.Next() % 7) ? kMaskInside : kMaskOutline);
    }
    return m;
}

TEST(BevelPercentages, EqualTheDefinitionInEveryOrientation) {
    Rand rng(5);
    for (int round = 0; round < 12; ++round) {
        const int w = 2 * (4 + rng.Next() % 20), h = 2 * (4 + rng.Next() % 20);
        MYBIT m = RandomMask(rng, w, h);
        MYBIT turned[8];
        Turned(m, turned);
        for (int r : {0, 1, 3, 7, w / 2, w + h + 5}) {
            std::vector<uint8_t> map[4];
            BevelPercentages(m, r, map);
            for (int o = 0; o < 8; ++o)
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        if (m.At(x, y) == 0) {
                            ASSERT_EQ(map[0][static_cast<size_t>(y) * w + x], 0);
                            continue;
                        }
                        Point t = TurnedAt(o, x, y, w, h);
                        ASSERT_EQ(map[kBevelMapOf[o]][static_cast<size_t>(y) * w + x],
                                  BevelAt(turned[o], t.x, t.y, r))
                            << "round " << round << " r " << r << " o " << o << " at " << x << "," << y;
                    }
        }
    }
}

// The pictures of one piece made orientation by orientation with the
// picture operations.
void ReferencePictures(const MYBIT& mask, const MYBIT& picture, int px, int py, int r, int light,
                       MYBIT out[8]) {
    MYBIT m[8], q[8];
    Turned(mask, m);
    MYBIT part;
    part.CropFrom(picture, px, py, mask.Width() / 2, mask.Height() / 2);
    Turned(part, q);
    for (int o = 0; o < 8; ++o) {
        m[o].BevelMap(r);
        m[o].HalveInPlace();
        out[o].ApplyBevel(q[o], m[o], light);
    }
}

TEST(MakePiecePictures, EqualTheTurnedAndShadedReference) {
    Rand rng(11);
    // Colours at random, greys and the extremes among them, so the shading
    // meets every clamp.
    MYBIT picture;
    picture.Create(64, 64);
    for (uint32_t& v : picture.pixels) {
        uint32_t r = rng.Next() & 0xFF, g = rng.Next() & 0xFF, b = rng.Next() & 0xFF;
        int kind = rng.Next() % 8;
        if (kind == 0) g = b = r;
        if (kind == 1) r = g = b = (rng.Next() & 1) ? 255 : 0;
        v = r << 16 | g << 8 | b;
    }
    for (int round = 0; round < 10; ++round) {
        const int w = 2 * (3 + rng.Next() % 28), h = 2 * (3 + rng.Next() % 28);
        MYBIT m = RandomMask(rng, w, h);
        const int px = rng.Next() % (64 - w / 2 + 1), py = rng.Next() % (64 - h / 2 + 1);
        for (int r : {3, 10, 100}) {
            for (int light : {1, 150, 400}) {
                MYBIT fast[8], ref[8];
                MakePiecePictures(m, picture, px, py, r, light, fast);
                ReferencePictures(m, picture, px, py, r, light, ref);
                for (int o = 0; o < 8; ++o) {
                    ASSERT_EQ(fast[o].Width(), ref[o].Width());
                    ASSERT_EQ(fast[o].Height(), ref[o].Height());
                    ASSERT_EQ(fast[o].pixels, ref[o].pixels)
                        << "round " << round << " r " << r << " light " << light << " o " << o;
                }
            }
        }
    }
}

TEST(MakePiecePictures, RealPiecesEqualTheReference) {
    MakingFixture f(31);
    MYBIT picture;
    MakeTestPicture(picture, 200, 150);
    f.settings.pieceCount = 20;
    ASSERT_EQ(MakePuzzleFromPicture(f.g(), picture), 1);
    const MakingState& m = f.g().making;
    for (int k = 0; k < m.areaCount; ++k) {
        const AreaBox& b = m.boxes[k];
        MYBIT ref[8];
        ReferencePictures(RebuildPieceMask(m, k), m.picture, b.minX / 2, b.minY / 2, m.edgeWidth, 150, ref);
        for (int o = 0; o < 8; ++o)
            ASSERT_EQ(f.g().board.pieces[k].pictures[o].pixels, ref[o].pixels) << k << " " << o;
    }
}

TEST(MakePiecePictures, WithoutEdgeLightOnlyCoverageIsAdded) {
    MYBIT picture;
    MakeTestPicture(picture, 20, 20);
    MYBIT m;
    m.Create(20, 16);
    for (int y = 2; y < 14; ++y)
        for (int x = 3; x < 17; ++x) m.At(x, y) = kMaskInside;
    MYBIT out[8];
    MakePiecePictures(m, picture, 2, 1, 5, 0, out);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            uint32_t v = out[0].At(x, y);
            if (v >> 24) {
                EXPECT_EQ(v & 0xFFFFFF, picture.At(2 + x, 1 + y) & 0xFFFFFF);
            } else {
                EXPECT_EQ(v, 0u);
            }
        }
    // Half-covered columns at the left and right edges (x = 3 and 16).
    EXPECT_EQ(out[0].At(1, 4) >> 24, 127u);
    EXPECT_EQ(out[0].At(8, 4) >> 24, 127u);
    EXPECT_EQ(out[0].At(0, 4), 0u);
}

}  // namespace
