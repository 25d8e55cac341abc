// The guide's picture fitted into its window's client area.
#include "views/guide.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "pieces/board_ops.h"

namespace {

constexpr uint32_t kPictureWord = 0x3366CC;

// A picture of one colour: however it is stretched, the canvas must be
// exactly that colour inside fit and grey everywhere else.
void ExpectFitted(const GuideView& guide, int width, int height, Rect fit) {
    ASSERT_EQ(guide.canvas.Width(), width);
    ASSERT_EQ(guide.canvas.Height(), height);
    int wrong = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool inside = x >= fit.left && x < fit.right && y >= fit.top && y < fit.bottom;
            wrong += (guide.canvas.At(x, y) & 0xFFFFFF) !=
                     (inside ? kPictureWord : ColorRefToPixel(kGuideGrey));
        }
    EXPECT_EQ(wrong, 0) << fit.left << ", " << fit.top << ", " << fit.right << ", " << fit.bottom;
}

void Plain(GuideView& guide, int w, int h) {
    guide.picture.Create(w, h);
    for (uint32_t& p : guide.picture.pixels) p = kPictureWord;
}

}  // namespace

TEST(Guide, PicturesFitTheirLongerSideFirstAndTheOtherWhenItOverflows) {
    // {picture, box, fitted}: truncated; a side that exactly fills the box
    // does not overflow it, one pixel more does; products past 32 bits.
    struct Case {
        Size picture, box, fitted;
    };
    for (const Case& c : {Case{{3, 1}, {10, 10}, {10, 3}},
                          {{200, 400}, {120, 120}, {60, 120}},
                          {{200, 100}, {200, 100}, {200, 100}},
                          {{200, 100}, {200, 101}, {200, 100}},
                          {{200, 100}, {200, 99}, {198, 99}},
                          {{100, 200}, {100, 200}, {100, 200}},
                          {{100, 200}, {99, 200}, {99, 198}},
                          {{100, 200}, {101, 200}, {100, 200}},
                          {{80, 80}, {100, 200}, {100, 100}},
                          {{80, 80}, {200, 100}, {100, 100}},
                          {{30000, 20000}, {100000, 100000}, {100000, 66666}},
                          {{40000, 30000}, {100000, 100000}, {100000, 75000}},
                          {{30000, 40000}, {100000, 100000}, {75000, 100000}},
                          {{100000, 30000}, {90000, 20000}, {66666, 20000}},
                          {{0, 10}, {120, 120}, {}},
                          {{10, 0}, {120, 120}, {}},
                          {{10, 10}, {120, 0}, {}},
                          {{10, 10}, {0, 120}, {}}})
        EXPECT_EQ(FitInBox(c.picture, c.box), c.fitted)
            << c.picture.cx << "x" << c.picture.cy << " in " << c.box.cx << "x" << c.box.cy;

    GuideView guide;
    Plain(guide, 400, 200);
    FitGuideCanvas(guide, kGuideStartSide, kGuideStartSide);  // bands above and below
    ExpectFitted(guide, 120, 120, Rect{0, 30, 120, 90});
    FitGuideCanvas(guide, 300, 100);  // 300 x 150 overflows: bands left and right
    ExpectFitted(guide, 300, 100, Rect{50, 0, 250, 100});
    FitGuideCanvas(guide, 121, 301);  // the odd pixel of the margin goes below
    ExpectFitted(guide, 121, 301, Rect{0, 120, 121, 180});
    FitGuideCanvas(guide, 200, 100);  // exactly the window's shape: no band
    ExpectFitted(guide, 200, 100, Rect{0, 0, 200, 100});

    Plain(guide, 80, 80);  // square in a tall window: fitted to the width
    FitGuideCanvas(guide, 100, 200);
    ExpectFitted(guide, 100, 200, Rect{0, 50, 100, 150});
    // Thin pictures: one row of a pixel, or thinner than a pixel and only grey.
    Plain(guide, 120, 1);
    FitGuideCanvas(guide, 120, 120);
    ExpectFitted(guide, 120, 120, Rect{0, 59, 120, 60});
    Plain(guide, 1, 120);
    FitGuideCanvas(guide, 120, 120);
    ExpectFitted(guide, 120, 120, Rect{59, 0, 60, 120});
    Plain(guide, 1000, 1);
    FitGuideCanvas(guide, 120, 120);
    ExpectFitted(guide, 120, 120, Rect{});
    Plain(guide, 3, 3);
    FitGuideCanvas(guide, 1, 1);  // a client area of one pixel
    ExpectFitted(guide, 1, 1, Rect{0, 0, 1, 1});
    FitGuideCanvas(guide, 0, 40);  // a client area of no pixels
    EXPECT_TRUE(guide.canvas.Empty());
    FitGuideCanvas(guide, 40, 0);
    EXPECT_TRUE(guide.canvas.Empty());
}

TEST(Guide, AMarkIsARingRoundTheHomeOnACopyAndRepaintsOnlyItsRing) {
    GuideView guide;
    Plain(guide, 40, 20);
    FitGuideCanvas(guide, 120, 120);
    const std::vector<uint32_t> canvas = guide.canvas.pixels;
    // The canvas pixels (and how many) where what the window shows differs
    // from the canvas, each of them the mark's colour.
    auto ring = [&] {
        Rect box;
        int n = 0;
        for (int y = 0; y < guide.canvas.Height(); ++y)
            for (int x = 0; x < guide.canvas.Width(); ++x)
                if (GuideShown(guide).At(x, y) != guide.canvas.At(x, y)) {
                    EXPECT_EQ(GuideShown(guide).At(x, y), ColorRefToPixel(kHintColour));
                    box = UnionRect(box, Rect{x, y, x + 1, y + 1});
                    ++n;
                }
        return std::pair{box, n};
    };
    // Picture pixel (5, 2) shows on (15, 36) .. (18, 39); the ring is 2 wide round it.
    EXPECT_EQ(SetGuideMark(guide, Rect{5, 2, 6, 3}, 2), (Rect{13, 34, 20, 41}));
    EXPECT_EQ(ring(), std::pair(Rect{13, 34, 20, 41}, 7 * 7 - 3 * 3));
    // At the corner the ring is cut by the canvas, never drawn over the home.
    EXPECT_EQ(SetGuideMark(guide, Rect{0, 0, 2, 1}, 2), (Rect{0, 28, 20, 41}));
    EXPECT_EQ(ring(), std::pair(Rect{0, 28, 8, 35}, 8 * 7 - 6 * 3));
    // A new fit draws it again at the new size.
    FitGuideCanvas(guide, 240, 240);
    EXPECT_EQ(ring(), std::pair(Rect{0, 58, 14, 68}, 14 * 10 - 12 * 6));
    EXPECT_EQ(SetGuideMark(guide, Rect{}, 2), (Rect{0, 58, 14, 68}));
    EXPECT_EQ(&GuideShown(guide), &guide.canvas);
    FitGuideCanvas(guide, 120, 120);
    EXPECT_EQ(guide.canvas.pixels, canvas);
}
