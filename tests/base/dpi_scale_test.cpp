// Sizes at 96 DPI scaled to a window's DPI.
#include "base/dpi_scale.h"

#include <gtest/gtest.h>

#include <climits>

TEST(DpiScale, RoundsHalvesAwayFromZeroAndUnscalesBack) {
    // s = 1: every size as it is; s = 1.5: 6 * 1.5 = 9, 5 * 1.5 = 7.5 up to 8,
    // -5 * 1.5 down to -8; s = 2: twice.
    for (int px : {-110, -5, -1, 0, 1, 5, 6, 100, 436}) EXPECT_EQ(ScalePx(px, 96), px) << px;
    EXPECT_EQ(ScalePx(6, 144), 9);
    EXPECT_EQ(ScalePx(5, 144), 8);
    EXPECT_EQ(ScalePx(-5, 144), -8);
    EXPECT_EQ(ScalePx(1, 144), 2);
    EXPECT_EQ(ScalePx(100, 192), 200);
    EXPECT_EQ(ScalePx(-12, 192), -24);
    // 125 %: 100 * 1.25, and 2 * 1.25 = 2.5 up to 3.
    EXPECT_EQ(ScalePx(100, 120), 125);
    EXPECT_EQ(ScalePx(2, 120), 3);

    // Back: 9 / 1.5 = 6; 10 / 1.5 = 6.67 to 7; -10 / 1.5 to -7; 3 / 2 = 1.5 to 2.
    EXPECT_EQ(UnscalePx(9, 144), 6);
    EXPECT_EQ(UnscalePx(10, 144), 7);
    EXPECT_EQ(UnscalePx(-10, 144), -7);
    EXPECT_EQ(UnscalePx(3, 192), 2);
    EXPECT_EQ(UnscalePx(-3, 192), -2);
    for (int px = -300; px <= 300; ++px)
        for (int dpi : {96, 120, 144, 192, 288}) ASSERT_EQ(UnscalePx(ScalePx(px, dpi), dpi), px) << dpi;

    // A file's point at any DPI: no overflow in the wide form.
    EXPECT_EQ(ScalePxWide(INT32_MAX, 192), int64_t{INT32_MAX} * 2);
    EXPECT_EQ(ScalePxWide(INT32_MIN, 192), int64_t{INT32_MIN} * 2);
    EXPECT_FLOAT_EQ(ScaleSpeed(1.0f, 144), 1.5f);
    EXPECT_FLOAT_EQ(ScaleSpeed(-0.5f, 192), -1.0f);
}

TEST(DpiScale, ADpiNotToldCountsAs96) {
    EXPECT_EQ(KnownDpi(0), 96);
    EXPECT_EQ(KnownDpi(-1), 96);
    EXPECT_EQ(KnownDpi(1), 1);
    EXPECT_EQ(ScalePx(100, 0), 100);
    EXPECT_EQ(UnscalePx(100, 0), 100);
}
