// The guide's picture fitted into its window, and where the window stands.
#include "views/guide.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kGreyWord = 0x808080;

MYBIT Gradient(int w, int h) {
    MYBIT m;
    m.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            m.At(x, y) = uint32_t(x * 255 / w) << 16 | uint32_t(y * 255 / h) << 8 | 0x40;
    return m;
}

// The canvas holds the picture stretched to fit at (x, y, x + w, y + h) and
// grey everywhere else.  Pixels that break that, or -1 for a wrong size.
int Misplaced(const GuideView& guide, int width, int height, Rect fit) {
    const MYBIT& c = guide.canvas;
    if (c.Width() != width || c.Height() != height) return -1;
    MYBIT fitted;
    fitted.StretchFrom(guide.picture, fit.Width(), fit.Height());
    int bad = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool inside = x >= fit.left && x < fit.right && y >= fit.top && y < fit.bottom;
            bad += c.At(x, y) != (inside ? fitted.At(x - fit.left, y - fit.top) : kGreyWord);
        }
    return bad;
}

}  // namespace

TEST(Guide, FittingTakesTheLongerSideFirstAndTheOtherWhenItOverflows) {
    EXPECT_EQ(FitInBox({400, 200}, {120, 120}), (Size{120, 60}));
    EXPECT_EQ(FitInBox({400, 200}, {300, 100}), (Size{200, 100}));  // 300 x 150 overflows
    EXPECT_EQ(FitInBox({200, 400}, {120, 120}), (Size{60, 120}));
    EXPECT_EQ(FitInBox({100, 100}, {100, 200}), (Size{100, 100}));  // square: height overflows
    EXPECT_EQ(FitInBox({100, 100}, {200, 100}), (Size{100, 100}));
    EXPECT_EQ(FitInBox({3, 1}, {10, 10}), (Size{10, 3}));        // 10 / 3 truncated
    EXPECT_EQ(FitInBox({1000, 1}, {120, 120}), (Size{120, 0}));  // thinner than a pixel
    EXPECT_EQ(FitInBox({30000, 20000}, {100000, 100000}), (Size{100000, 66666}));
    for (Size none : {Size{0, 10}, Size{10, 0}, Size{-5, 10}})
        EXPECT_EQ(FitInBox(none, {120, 120}), Size{}) << none.cx << " x " << none.cy;
    EXPECT_EQ(FitInBox({10, 10}, {0, 120}), Size{});
}

TEST(Guide, TheCanvasCentresThePictureOnGreyAtEverySize) {
    GuideView guide;
    guide.picture = Gradient(400, 200);
    // At the start: 120 x 60, grey bands above and below.
    FitGuideCanvas(guide, kGuideStartSide, kGuideStartSide);
    EXPECT_EQ(Misplaced(guide, 120, 120, Rect{0, 30, 120, 90}), 0);
    // Resized to 300 x 100: 200 x 100, grey bands left and right.
    FitGuideCanvas(guide, 300, 100);
    EXPECT_EQ(Misplaced(guide, 300, 100, Rect{50, 0, 250, 100}), 0);
    // An odd margin: its half is truncated, the extra pixel goes below.
    FitGuideCanvas(guide, 121, 301);
    EXPECT_EQ(Misplaced(guide, 121, 301, Rect{0, 120, 121, 180}), 0);

    // A square picture in a window taller than wide is fitted to the width.
    guide.picture = Gradient(80, 80);
    FitGuideCanvas(guide, 100, 200);
    EXPECT_EQ(Misplaced(guide, 100, 200, Rect{0, 50, 100, 150}), 0);

    // No picture, or one thinner than a pixel here: only grey.
    guide.picture = Gradient(1000, 1);
    FitGuideCanvas(guide, 120, 120);
    EXPECT_EQ(Misplaced(guide, 120, 120, Rect{}), 0);
    guide.picture.Free();
    FitGuideCanvas(guide, 50, 40);
    EXPECT_EQ(Misplaced(guide, 50, 40, Rect{}), 0);
    // A client area with no pixels (a window sized to nothing).
    FitGuideCanvas(guide, 0, 40);
    EXPECT_TRUE(guide.canvas.Empty());
}

TEST(Guide, TheWindowStandsOnTheCorner) {
    EXPECT_EQ(GuideWindowRect(Point{1280, 900}, Size{136, 159}), (Rect{1144, 741, 1280, 900}));
    EXPECT_EQ(GuideWindowRect(Point{50, 60}, Size{136, 159}), (Rect{-86, -99, 50, 60}));
}
