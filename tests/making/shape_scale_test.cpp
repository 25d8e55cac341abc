// The piece-shape preview at 150 % and 200 %: drawn larger, and its points
// hit and dragged where they are drawn.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <tuple>

#include "image/mybit.h"
#include "making/shape_dialog.h"

namespace {

struct ShapeScale : ::testing::Test {
    Settings s = DefaultSettings();
    ShapeDialogState d;
    void SetUp() override { BeginShapeDialog(d, s); }
};

}  // namespace

TEST_F(ShapeScale, AtAnotherScaleHandlesAreHitAndDraggedWhereTheyAreDrawn) {
    // Line 1, point 1 (24, -12).  At 200 % the origin is at (220, 220) and
    // the point at (268, 196), hit within 8 pixels; at 150 % at (165, 165)
    // and (201, 147), within 6.
    d.dpi = 192;
    EXPECT_EQ(PreviewSide(d), 872);
    for (auto [mx, my, hit] : {std::tuple{260, 188, 1}, {276, 204, 1}, {259, 196, -1}, {268, 205, -1}})
        EXPECT_EQ(PressHandle(d, mx, my), hit) << mx << "," << my;
    EXPECT_EQ(PressHandle(d, 134, 98), -1);  // where it lies at 100 %
    ASSERT_EQ(PressHandle(d, 268, 196), 1);
    EXPECT_EQ(MoveHandle(d, 300, 250, true), 1);
    EXPECT_EQ(d.lines[0][1][0], 40);  // (300 - 220) / 2
    EXPECT_EQ(d.lines[0][1][1], 15);  // (250 - 220) / 2
    ReleaseHandle(d);
    EXPECT_EQ(PressHandle(d, 300, 250), 1);  // found where it was put
    ReleaseHandle(d);

    d.dpi = 144;
    EXPECT_EQ(PreviewSide(d), 654);
    // The moved point 1 (40, 15) is now at (225, 188): within 6 it is hit.
    for (auto [mx, my, hit] : {std::tuple{219, 182, 1}, {231, 194, 1}, {218, 188, -1}, {225, 195, -1}})
        EXPECT_EQ(PressHandle(d, mx, my), hit) << mx << "," << my;
    ASSERT_EQ(PressHandle(d, 225, 188), 1);
    EXPECT_EQ(MoveHandle(d, 200, 170, true), 1);
    EXPECT_EQ(d.lines[0][1][0], 23);  // 35 / 1.5 = 23.3
    EXPECT_EQ(d.lines[0][1][1], 3);   // 5 / 1.5 = 3.3
}

TEST_F(ShapeScale, AtTwiceTheDpiThePreviewIsDrawnTwiceAsLarge) {
    MYBIT at100, at200;
    BeginShapeDialog(d, s);
    DrawShapePreview(d, s, at100);
    d.dpi = 192;
    DrawShapePreview(d, s, at200);
    ASSERT_EQ(at200.Width(), 872);
    ASSERT_EQ(at200.Height(), 872);
    const uint32_t black = ColorRefToPixel(0x000000), red = ColorRefToPixel(kPreviewRed);
    // Point 1 of line 1 (a control point, red) at (268, 196) as a 5 x 5 dot;
    // the cell corner (0, 0), black, at (220, 220).
    EXPECT_EQ(at200.At(268, 196), red);
    EXPECT_EQ(at200.At(266, 194), red);
    EXPECT_EQ(at200.At(270, 198), red);
    EXPECT_EQ(at200.At(220, 220), black);
    // The grid every 24 pixels from y = 4: the green middle line down at
    // x = 436, blue ones at 412 and 460, white between (the diamond passes
    // y = 10 at x = 430 and 442).
    EXPECT_EQ(at200.At(436, 10), ColorRefToPixel(kPreviewLightGreen));
    EXPECT_EQ(at200.At(460, 10), ColorRefToPixel(kPreviewLightBlue));
    EXPECT_EQ(at200.At(446, 10), ColorRefToPixel(0xFFFFFF));
    EXPECT_EQ(at200.At(436, 3), ColorRefToPixel(0xFFFFFF));
    // The sample piece fills the top-left 220 x 220, light grey at its
    // corners; white beyond.
    EXPECT_EQ(at200.At(2, 2) & 0xFFFFFF, ColorRefToPixel(kSampleBack));
    EXPECT_EQ(at200.At(219, 2) & 0xFFFFFF, ColorRefToPixel(kSampleBack));
    EXPECT_EQ(at200.At(221, 2) & 0xFFFFFF, ColorRefToPixel(0xFFFFFF));
    EXPECT_EQ(at100.At(109, 2) & 0xFFFFFF, ColorRefToPixel(kSampleBack));
}

// Wherever on the preview a point is let go, at any scale, pukko.ini keeps
// it: the settings' box holds every place a drag can give, and its corners
// are reached (the box is no larger than the preview).
TEST_F(ShapeScale, EveryPlaceADragGivesIsInsideTheSettingsBox) {
    int32_t least = INT32_MAX, most = INT32_MIN;
    for (int dpi = 96; dpi <= 480; dpi += 24) {
        d.dpi = dpi;
        const int side = PreviewSide(d);
        for (int m = 0; m < side; m += side - 1) {
            d.dragIndex = 4;
            ASSERT_EQ(MoveHandle(d, m, side - 1 - m, true), 1);
            for (int32_t v : d.lines[0][4]) {
                least = std::min(least, v);
                most = std::max(most, v);
            }
        }
    }
    EXPECT_EQ(least, kBaseLineLeast);
    EXPECT_EQ(most, kBaseLineMost);
    EXPECT_EQ(ShapeCommand(d, s, MSG_SHAPE_OK), ShapeAction::kClose);
    EXPECT_FALSE(ResetDamagedSettings(s));
}
