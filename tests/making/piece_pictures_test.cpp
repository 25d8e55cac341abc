// The eight piece pictures made in one pass, against the definition: each
// orientation turned, bevel-mapped, halved and shaded on its own.
#include "making/piece_pictures.h"

#include <gtest/gtest.h>

#include "base/rand.h"
#include "making_fixture.h"

namespace {

void Turned(const MYBIT& m, MYBIT out[8]) {
    out[0].CopyFrom(m);
    MYBIT* r[7] = {&out[1], &out[2], &out[3], &out[4], &out[5], &out[6], &out[7]};
    m.MakeOrientations(r);
}

// Overlapping blobs, holes among them, some at the border.
MYBIT RandomMask(Rand& rng, int w, int h) {
    MYBIT m;
    m.Create(w, h);
    for (int i = 0; i < 6; ++i) {
        int cx = rng.Next() % w, cy = rng.Next() % h, rr = 2 + rng.Next() % (w / 3),
            hole = rng.Next() % 3 == 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < rr * rr)
                    m.At(x, y) = hole ? 0 : (rng.Next() % 7 ? kMaskInside : kMaskOutline);
    }
    return m;
}

TEST(BevelPercentages, EqualTheDefinitionInEveryOrientation) {
    Rand rng(5);
    for (int round = 0; round < 8; ++round) {
        const int w = 2 * (4 + rng.Next() % 16), h = 2 * (4 + rng.Next() % 16);
        MYBIT m = RandomMask(rng, w, h), turned[8];
        Turned(m, turned);
        for (int r : {0, 1, 4, w / 2, w + h + 5}) {
            std::vector<uint8_t> map[4];
            BevelPercentages(m, r, map);
            for (int o = 0; o < 8; ++o) {
                // The definition on the turned mask, turned back word by word.
                MYBIT bevel;
                bevel.CopyFrom(turned[o]);
                bevel.BevelMap(r);
                MYBIT back[8];
                Turned(bevel, back);
                const int undo[8] = {0, 3, 2, 1, 4, 5, 6, 7};  // the inverse turn of each orientation
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x)
                        ASSERT_EQ(map[kBevelMapOf[o]][static_cast<size_t>(y) * w + x],
                                  (back[undo[o]].At(x, y) >> 16) & 0xFF)
                            << "round " << round << " r " << r << " o " << o << " at " << x << "," << y;
            }
        }
    }
}

TEST(MakePiecePictures, EqualTheTurnedAndShadedReference) {
    Rand rng(11);
    MYBIT picture;  // random colours, greys and the extremes: every clamp is met
    picture.Create(64, 64);
    for (uint32_t& v : picture.pixels) {
        uint32_t r = rng.Next() & 0xFF, g = rng.Next() & 0xFF, b = rng.Next() & 0xFF, kind = rng.Next() % 8;
        if (kind == 0) g = b = r;
        if (kind == 1) r = g = b = (rng.Next() & 1) * 255;
        v = r << 16 | g << 8 | b;
    }
    for (int round = 0; round < 10; ++round) {
        const int w = 2 * (3 + rng.Next() % 28), h = 2 * (3 + rng.Next() % 28);
        MYBIT m = RandomMask(rng, w, h), turnedMask[8], part, turnedPart[8];
        const int px = rng.Next() % (64 - w / 2 + 1), py = rng.Next() % (64 - h / 2 + 1);
        Turned(m, turnedMask);
        part.CropFrom(picture, px, py, w / 2, h / 2);
        Turned(part, turnedPart);
        for (int r : {3, 10, 100})
            for (int light : {0, 1, 150, 400}) {
                MYBIT fast[8];
                MakePiecePictures(m, picture, px, py, r, light, fast);
                // Without strength the colours stay as they are (the colour
                // conversion's round trip could move a channel by one).
                for (int o = 0; o < 8 && light == 0; ++o)
                    for (size_t i = 0; i < fast[o].pixels.size(); ++i)
                        ASSERT_EQ(fast[o].pixels[i] & 0xFFFFFF,
                                  fast[o].pixels[i] ? turnedPart[o].pixels[i] : 0);
                if (light == 0) continue;
                for (int o = 0; o < 8; ++o) {
                    MYBIT map, ref;
                    map.CopyFrom(turnedMask[o]);
                    map.BevelMap(r);
                    map.HalveInPlace();
                    ref.ApplyBevel(turnedPart[o], map, light);
                    ASSERT_EQ(fast[o].Width(), ref.Width());
                    ASSERT_EQ(fast[o].pixels, ref.pixels)
                        << round << " r " << r << " light " << light << " o " << o;
                }
            }
    }
}

}  // namespace
