// The strip at 150 % and 200 %: its cells, the cell under the pointer and
// its motion scale so that it looks and moves as at 100 %.
#include <gtest/gtest.h>

#include "browser/browser_view.h"
#include "solid_listing.h"

namespace {

int EntryAt(const BrowserView& v, int x, int y) {
    const uint32_t word = v.canvas.At(x, y);
    return word == ColorRefToPixel(kCellGrey) ? -1 : static_cast<int>(word >> 16) - 1;
}

}  // namespace

TEST(StripScale, CellsClientAndCellUnderThePointerScale) {
    // {dpi, cell side}: 100 x 1, 1.5, 2.
    for (auto [dpi, side] : {std::pair{96, 100}, {144, 150}, {192, 200}}) {
        BrowserView v;
        SetStripDpi(v, dpi);
        EXPECT_EQ(v.cellSide, side);
        EXPECT_EQ(v.clientWidth, 5 * side) << dpi;  // five cells across, as at 100 %
        ListSolid(v, 8, side);
        ASSERT_TRUE(StepStrip(v));
        // Seven cells of side x side, entry k from x = side k.
        EXPECT_EQ(v.canvas.Width(), 7 * side);
        EXPECT_EQ(v.canvas.Height(), side);
        EXPECT_EQ(EntryAt(v, side - 1, side - 1), 0);
        EXPECT_EQ(EntryAt(v, side, 0), 1);
        EXPECT_EQ(CellUnderX(v, side - 1), 0);
        EXPECT_EQ(CellUnderX(v, side), 1);
        EXPECT_EQ(CellUnderX(v, 3 * side + side / 2), 3);
        // Pushed a fifth of a cell out: the second cell begins that much
        // earlier.
        v.offset = static_cast<float>(side / 5);
        EXPECT_EQ(CellUnderX(v, side - side / 5 - 1), 0);
        EXPECT_EQ(CellUnderX(v, side - side / 5), 1);
        // A click on the second cell picks the second entry.
        OnStripPress(v, side + side / 2, side / 2, 1000);
        const StripClick click = OnStripRelease(v, side + side / 2, 1100);
        EXPECT_EQ(click.kind, StripClick::kPick);
        EXPECT_EQ(click.index, 1);
    }
}

TEST(StripScale, MotionIsTheSameInCellsPerStep) {
    for (auto [dpi, side] : {std::pair{96, 100}, {144, 150}, {192, 200}}) {
        const float s = static_cast<float>(side) / 100;
        // The start screen's drift of 1 pixel a step at 100 %.
        BrowserView opened;
        SetStripDpi(opened, dpi);
        ResetListing(opened, 1);
        EXPECT_FLOAT_EQ(opened.dragSpeed, s) << dpi;

        BrowserView v;
        SetStripDpi(v, dpi);
        ListSolid(v, 20, side);
        // A fling is held to one pixel under a cell a step: 99, 149, 199.
        v.dragSpeed = 1000;
        StepStrip(v);
        EXPECT_FLOAT_EQ(v.offset, static_cast<float>(side - 1)) << dpi;
        EXPECT_EQ(v.firstIndex, 0);
        // Wrapping at a whole cell, not at 100 pixels.
        v.dragSpeed = 1;
        v.glideSpeed = 0;
        StepStrip(v);
        EXPECT_EQ(v.firstIndex, 1) << dpi;
        EXPECT_FLOAT_EQ(v.offset, 0);
        v.dragSpeed = -1;
        StepStrip(v);
        EXPECT_EQ(v.firstIndex, 0);
        EXPECT_FLOAT_EQ(v.offset, static_cast<float>(side - 1));
    }
}

TEST(StripScale, MovingToAnotherMonitorKeepsThePlaceAndSpeedInCells) {
    BrowserView v;
    v.clientWidth = 730;  // resized by the player at 100 %
    v.offset = 40;
    v.dragSpeed = 3;
    v.glideSpeed = -2;
    SetStripDpi(v, 192);
    EXPECT_EQ(v.cellSide, 200);
    EXPECT_EQ(v.clientWidth, 1460);
    EXPECT_FLOAT_EQ(v.offset, 80);
    EXPECT_FLOAT_EQ(v.dragSpeed, 6);
    EXPECT_FLOAT_EQ(v.glideSpeed, -4);
    // And on to 150 %: three quarters of that.
    SetStripDpi(v, 144);
    EXPECT_EQ(v.cellSide, 150);
    EXPECT_EQ(v.clientWidth, 1095);
    EXPECT_FLOAT_EQ(v.offset, 60);
    EXPECT_FLOAT_EQ(v.dragSpeed, 4.5f);
    // The same DPI again, or one not told, changes nothing further.
    SetStripDpi(v, 144);
    EXPECT_EQ(v.clientWidth, 1095);
    SetStripDpi(v, 0);
    EXPECT_EQ(v.cellSide, 100);
    EXPECT_EQ(v.clientWidth, 730);
}
