// The guide's picture fitted into its window's client area.
#include "views/guide.h"

#include <gtest/gtest.h>

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
