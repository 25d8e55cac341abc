// The strip's motion, the cell under the pointer and the click rule.
#include <gtest/gtest.h>

#include "browser/browser_view.h"
#include "solid_listing.h"

namespace {

int EntryAt(const BrowserView& v, int x) {
    const uint32_t word = v.canvas.At(x, 50);
    return word == ColorRefToPixel(kCellGrey) ? -1 : static_cast<int>(word >> 16) - 1;
}

}  // namespace

TEST(Strip, DriftsAndWrapsBothWaysOneCellAtMostPerStep) {
    BrowserView v;
    ListSolid(v, 8);
    v.dragSpeed = 30;
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(StepStrip(v));
    EXPECT_EQ(v.firstIndex, 1);
    EXPECT_FLOAT_EQ(v.offset, 20);
    // Seven cells: the leftmost pushed 20 pixels out, entries 1, 2, ...
    EXPECT_EQ(v.canvas.Width(), 700);
    EXPECT_EQ(EntryAt(v, 0), 1);
    EXPECT_EQ(EntryAt(v, 79), 1);
    EXPECT_EQ(EntryAt(v, 80), 2);

    // Past the last entry comes entry 0 again, and back again the other way.
    v.firstIndex = 7;
    StepStrip(v);
    StepStrip(v);
    StepStrip(v);
    EXPECT_EQ(v.firstIndex, 0);
    EXPECT_EQ(EntryAt(v, 0), 0);
    EXPECT_EQ(EntryAt(v, 99), 1);
    v.dragSpeed = -40;
    StepStrip(v);
    StepStrip(v);
    EXPECT_EQ(v.firstIndex, 7);
    EXPECT_EQ(EntryAt(v, 0), 7);
    EXPECT_EQ(EntryAt(v, 100 - static_cast<int>(v.offset)), 0);

    // A step is held to 99 pixels either way, and wraps once the offset
    // reaches a whole cell: {offset, speed} -> {first index, offset}.
    struct Case {
        float offset, speed;
        int first;
        float after;
    };
    for (const Case& k : {Case{0, 98, 7, 98}, {0, 99, 7, 99}, {0, 100, 7, 99}, {0, 500, 7, 99}, {1, 98, 7, 99},
                          {1, 99, 0, 0}, {1, 100, 0, 0}, {2, 99, 0, 1}, {0, -1, 6, 99}, {1, -1, 7, 0},
                          {99, -99, 7, 0}, {99, -100, 7, 0}, {0, -99, 6, 1}, {0, -100, 6, 1}}) {
        v.firstIndex = 7;
        v.offset = k.offset;
        v.dragSpeed = k.speed;
        v.glideSpeed = 0;
        StepStrip(v);
        EXPECT_EQ(v.firstIndex, k.first) << k.offset << " " << k.speed;
        EXPECT_FLOAT_EQ(v.offset, k.after) << k.offset << " " << k.speed;
    }
    v.dragSpeed = 500;

    // A press stops the drag at once; what it had glides out, 5 % less a step.
    OnStripPress(v, 10, 10, 0);
    EXPECT_EQ(v.dragSpeed, 0);
    EXPECT_FLOAT_EQ(v.glideSpeed, 500);
    v.glideSpeed = 20;
    v.offset = 0;
    StepStrip(v);
    EXPECT_FLOAT_EQ(v.offset, 20);
    EXPECT_FLOAT_EQ(v.glideSpeed, 19);
    StepStrip(v);
    EXPECT_FLOAT_EQ(v.offset, 39);
    // Moving the mouse left drags the pictures left.
    v.lastX = 100;
    v.dragSpeed = 0;
    OnStripMove(v, 60, 10);
    EXPECT_FLOAT_EQ(v.dragSpeed, 4);
    EXPECT_EQ(v.lastX, 60);
}

TEST(Strip, AListingThatFitsStandsStillFromTheLeftOnceComplete) {
    BrowserView v;
    ListSolid(v, 3, kCellSide, kBrowserListing);
    v.dragSpeed = 1;
    v.firstIndex = 2;
    // Still listing: only the grey ground, and the strip keeps its motion.
    ASSERT_TRUE(StepStrip(v));
    EXPECT_EQ(EntryAt(v, 0), -1);
    EXPECT_EQ(v.firstIndex, 2);

    // Five cells fill a 500-pixel strip exactly and stand still like four;
    // six scroll.  Drawn, pointed at and clicked alike.
    for (int n : {4, 5, 6}) {
        SCOPED_TRACE(n);
        ListSolid(v, n);
        v.firstIndex = 2;
        v.offset = 40;
        v.dragSpeed = 10;
        ASSERT_TRUE(StepStrip(v));
        const bool fits = n <= 5;
        EXPECT_EQ(v.firstIndex, fits ? 0 : 2);
        EXPECT_FLOAT_EQ(v.offset, fits ? 0 : 50);
        EXPECT_FLOAT_EQ(v.dragSpeed, fits ? 0 : 10);
        for (int x : {0, 99, 100, 399, 400, 449, 450, 499}) {
            const int cell = fits ? (x / 100 < n ? x / 100 : -1) : ((x + 50) / 100 + 2) % n;
            EXPECT_EQ(EntryAt(v, x), cell) << x;
            if (cell >= 0) {
                EXPECT_EQ(CellUnderX(v, x), cell) << x;
            }
        }
        // The last cell a fitting strip shows.
        const int x = n == 4 ? 350 : 450;
        OnStripPress(v, x, 50, 1000);
        const StripClick c = OnStripRelease(v, x, 1100);
        EXPECT_EQ(c.kind, StripClick::kPick);
        EXPECT_EQ(c.index, fits ? n - 1 : 1);
    }
    // Hidden or never opened: nothing to show, the motion goes on.
    v.shown = 0;
    EXPECT_FALSE(StepStrip(v));
    EXPECT_FLOAT_EQ(v.offset, 60);
}

TEST(Strip, AClickIsOnePressAndReleaseOnOneCellWithin999Ms) {
    BrowserView v;
    ListSolid(v, 8);
    v.entries[0] = {'A', ".."};
    v.entries[1] = {'B', "C:\\"};
    v.firstIndex = 6;
    v.offset = 30;
    EXPECT_EQ(CellUnderX(v, 0), 6);
    EXPECT_EQ(CellUnderX(v, 69), 6);
    EXPECT_EQ(CellUnderX(v, 70), 7);
    EXPECT_EQ(CellUnderX(v, 170), 0);
    EXPECT_EQ(CellUnderX(v, -31), 5);

    OnStripPress(v, 175, 50, 5000);
    EXPECT_EQ(v.pressedIndex, 0);
    StripClick c = OnStripRelease(v, 180, 5999);
    EXPECT_EQ(c.kind, StripClick::kNavigate);
    EXPECT_EQ(c.name, "..");
    OnStripPress(v, 275, 50, 7000);
    c = OnStripRelease(v, 275, 7999);
    EXPECT_EQ(c.kind, StripClick::kNavigate);
    EXPECT_EQ(c.name, "C:\\");
    // 1000 ms is too long; the release is remembered as a press instead.
    OnStripPress(v, 375, 50, 8000);
    c = OnStripRelease(v, 375, 9000);
    EXPECT_EQ(c.kind, StripClick::kNone);
    EXPECT_EQ(v.pressTime, 9000u);
    // Released over another cell, or outside the strip: no click.
    OnStripPress(v, 375, 50, 10000);
    EXPECT_EQ(OnStripRelease(v, 475, 10100).kind, StripClick::kNone);
    EXPECT_EQ(v.pressedIndex, 3);
    OnStripPress(v, 375, 50, 11000);
    EXPECT_EQ(OnStripRelease(v, 375, 11100, false).kind, StripClick::kNone);
    // A file is picked by its index.
    OnStripPress(v, 5, 50, 12000);
    c = OnStripRelease(v, 5, 12000);
    EXPECT_EQ(c.kind, StripClick::kPick);
    EXPECT_EQ(c.index, 6);
}

TEST(Strip, TheWheelStepsOneCellAndStopsTheStrip) {
    BrowserView v;
    ListSolid(v, 8);
    v.firstIndex = 7;
    v.offset = 40;
    v.dragSpeed = 3;
    v.glideSpeed = 2;
    OnStripWheel(v, true);
    EXPECT_EQ(v.firstIndex, 0);
    EXPECT_EQ(v.offset + v.dragSpeed + v.glideSpeed, 0);
    OnStripWheel(v, false);
    OnStripWheel(v, false);
    EXPECT_EQ(v.firstIndex, 6);

    // An empty strip, still being listed, takes every input without a cell
    // to point at.
    ListSolid(v, 0, kCellSide, kBrowserListing);
    v.dragSpeed = -5;
    for (int i = 0; i < 30; ++i) ASSERT_TRUE(StepStrip(v));
    EXPECT_EQ(v.firstIndex, 0);
    OnStripPress(v, 10, 10, 0);
    EXPECT_EQ(v.pressedIndex, -1);
    EXPECT_EQ(OnStripRelease(v, 10, 0).kind, StripClick::kNone);
    OnStripWheel(v, false);
    EXPECT_EQ(v.firstIndex, 0);
}
