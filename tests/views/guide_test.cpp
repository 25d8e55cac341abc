// The guide's picture fitted into its window's client area.
#include "views/guide.h"

#include <gtest/gtest.h>

namespace {

// The canvas is width x height of grey with the picture stretched into fit.
void ExpectFitted(const GuideView& guide, int width, int height, Rect fit) {
    ASSERT_EQ(guide.canvas.Width(), width);
    ASSERT_EQ(guide.canvas.Height(), height);
    MYBIT want, fitted;
    want.CreateFilled(kGuideGrey, width, height);
    fitted.StretchFrom(guide.picture, fit.Width(), fit.Height());
    want.Paste(fitted, fit.left, fit.top);
    EXPECT_TRUE(guide.canvas.pixels == want.pixels) << fit.left << ", " << fit.top;
}

}  // namespace

TEST(Guide, PicturesFitTheirLongerSideFirstAndTheOtherWhenItOverflows) {
    EXPECT_EQ(FitInBox({3, 1}, {10, 10}), (Size{10, 3}));  // truncated
    EXPECT_EQ(FitInBox({200, 400}, {120, 120}), (Size{60, 120}));
    EXPECT_EQ(FitInBox({30000, 20000}, {100000, 100000}), (Size{100000, 66666}));
    EXPECT_EQ(FitInBox({0, 10}, {120, 120}), Size{});
    EXPECT_EQ(FitInBox({10, 10}, {120, 0}), Size{});

    GuideView guide;
    guide.picture.Create(400, 200);
    for (size_t i = 0; i < guide.picture.PixelCount(); ++i)
        guide.picture.pixels[i] = uint32_t(i * 2654435761u);
    FitGuideCanvas(guide, kGuideStartSide, kGuideStartSide);  // bands above and below
    ExpectFitted(guide, 120, 120, Rect{0, 30, 120, 90});
    FitGuideCanvas(guide, 300, 100);  // 300 x 150 overflows: bands left and right
    ExpectFitted(guide, 300, 100, Rect{50, 0, 250, 100});
    FitGuideCanvas(guide, 121, 301);  // the odd pixel of the margin goes below
    ExpectFitted(guide, 121, 301, Rect{0, 120, 121, 180});

    guide.picture.Create(80, 80);  // square in a tall window: fitted to the width
    FitGuideCanvas(guide, 100, 200);
    ExpectFitted(guide, 100, 200, Rect{0, 50, 100, 150});
    guide.picture.Create(1000, 1);  // thinner than a pixel here: only grey
    FitGuideCanvas(guide, 120, 120);
    ExpectFitted(guide, 120, 120, Rect{});
    FitGuideCanvas(guide, 0, 40);  // a client area of no pixels
    EXPECT_TRUE(guide.canvas.Empty());
}
