// The piece-shape dialog's state: the working lines, the rim buttons, OK and
// Cancel, dragging the handles, and the preview picture.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "image/mybit.h"
#include "making/shape_dialog.h"
#include "support/picture_hash.h"

namespace {

constexpr uint32_t kCovered = 0xFF000000;  // alpha of a pixel the piece covers whole

struct ShapeDialog : ::testing::Test {
    Settings s = DefaultSettings();
    ShapeDialogState d;
    void SetUp() override { BeginShapeDialog(d, s); }

    bool LinesEqualSettings() const { return std::memcmp(d.lines, s.lineInitial, sizeof d.lines) == 0; }
    // Drags point i of the selected line from where it is drawn to (mx, my).
    void Drag(int i, int mx, int my) {
        const int32_t* p = d.lines[d.selected][i];
        ASSERT_EQ(PressHandle(d, p[0] + kPreviewOrigin, p[1] + kPreviewOrigin), i);
        EXPECT_EQ(MoveHandle(d, mx, my, true), 1);
        ReleaseHandle(d);
    }
};

}  // namespace

TEST_F(ShapeDialog, RimChangesAtOnceAndCancelRestoresIt) {
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ShapeCommand(d, s, MSG_SHAPE_WIDER), ShapeAction::kRepaint);
    EXPECT_EQ(ShapeCommand(d, s, MSG_SHAPE_WEAKER), ShapeAction::kRepaint);
    EXPECT_EQ(s.edgeThick, 13);
    EXPECT_EQ(s.edgeLight, 149);
    EXPECT_EQ(ShapeCommand(d, s, MSG_SHAPE_CANCEL), ShapeAction::kClose);
    EndShapeDialog(d, s);
    EXPECT_EQ(s.edgeThick, 10);
    EXPECT_EQ(s.edgeLight, 150);

    // Down stops at 0, up at the end of the int range.
    s.edgeThick = 0;
    s.edgeLight = 0;
    ShapeCommand(d, s, MSG_SHAPE_NARROWER);
    ShapeCommand(d, s, MSG_SHAPE_WEAKER);
    EXPECT_EQ(s.edgeThick, 0);
    EXPECT_EQ(s.edgeLight, 0);
    s.edgeThick = INT_MAX;
    ShapeCommand(d, s, MSG_SHAPE_WIDER);
    EXPECT_EQ(s.edgeThick, INT_MAX);
    EXPECT_EQ(ShapeCommand(d, s, 0x5105), ShapeAction::kNone);
}

TEST_F(ShapeDialog, EachLineKeepsItsEditsUntilOk) {
    EXPECT_EQ(ShapeCommand(d, s, MSG_SHAPE_LINE_1 + 1), ShapeAction::kRepaint);
    EXPECT_EQ(d.selected, 1);
    Drag(4, 200, 300);  // line 2, point 4 to (90, 190)
    ShapeCommand(d, s, MSG_SHAPE_LINE_1 + 3);
    Drag(8, 300, 100);  // line 4, point 8 to (190, -10)
    ShapeCommand(d, s, MSG_SHAPE_LINE_1 + 1);
    EXPECT_EQ(d.lines[1][4][0], 90);
    EXPECT_EQ(d.lines[1][4][1], 190);
    EXPECT_EQ(d.lines[3][8][0], 190);
    EXPECT_EQ(d.lines[3][8][1], -10);
    EXPECT_EQ(s.lineInitial[1][4][0], 64);  // the settings wait for OK
    EXPECT_EQ(ShapeCommand(d, s, MSG_SHAPE_OK), ShapeAction::kClose);
    EXPECT_TRUE(LinesEqualSettings());
    EXPECT_EQ(s.lineInitial[3][8][1], -10);

    // OK without a drag writes the lines back unchanged; the rim stays as
    // the buttons left it.
    BeginShapeDialog(d, s);
    ShapeCommand(d, s, MSG_SHAPE_STRONGER);
    const Settings before = s;
    ShapeCommand(d, s, MSG_SHAPE_OK);
    EndShapeDialog(d, s);
    EXPECT_EQ(std::memcmp(&before, &s, sizeof s), 0);
}

TEST_F(ShapeDialog, APressMoreThanFourPixelsFromEveryHandleStartsNoDrag) {
    // Line 1, point 1 (24, -12) is drawn at (134, 98): its 9 x 9 square.
    EXPECT_EQ(PressHandle(d, 130, 94), 1);
    EXPECT_EQ(PressHandle(d, 138, 102), 1);
    EXPECT_EQ(PressHandle(d, 129, 98), -1);
    EXPECT_EQ(PressHandle(d, 134, 103), -1);
    // Between points 1 and 2 (at (218, 86)), far from both.
    EXPECT_EQ(PressHandle(d, 176, 92), -1);
    EXPECT_EQ(MoveHandle(d, 180, 92, true), 0);
    // The cell corners (points 0 and 9) never move.
    EXPECT_EQ(PressHandle(d, 110, 110), -1);
    EXPECT_EQ(PressHandle(d, 326, 110), -1);
    // Points 2 and 7 of line 1 lie on each other: the first one wins.
    EXPECT_EQ(PressHandle(d, 218, 86), 2);
    // A move without the button (released outside the window) ends the drag.
    EXPECT_EQ(MoveHandle(d, 250, 250, false), 0);
    EXPECT_EQ(d.dragIndex, -1);
    EXPECT_EQ(d.lines[0][2][0], 108);
    EXPECT_TRUE(LinesEqualSettings());
}

TEST_F(ShapeDialog, DialogControlsBecomePreviewMessages) {
    EXPECT_EQ(ShapeDialogMessage(1), MSG_SHAPE_OK);
    EXPECT_EQ(ShapeDialogMessage(2), MSG_SHAPE_CANCEL);
    for (unsigned id : {20737u, 20740u, 20742u, 20745u}) EXPECT_EQ(ShapeDialogMessage(id), id);
    for (unsigned id : {0u, 3u, 20736u, 20741u, 20746u}) EXPECT_EQ(ShapeDialogMessage(id), 0u) << id;
}

TEST_F(ShapeDialog, PreviewShowsTheLineItsGridAndTheSamplePiece) {
    MYBIT p;
    DrawShapePreview(d, s, p);
    ASSERT_EQ(p.Width(), 436);
    ASSERT_EQ(p.Height(), 436);
    const uint32_t blue = ColorRefToPixel(kPreviewLightBlue), green = ColorRefToPixel(kPreviewLightGreen);
    EXPECT_EQ(p.At(164, 56), blue);                          // the diamond
    EXPECT_EQ(p.At(218, 50), green);                         // the vertical middle line
    EXPECT_EQ(p.At(260, 110), green);                        // the horizontal one, the line's own border
    EXPECT_EQ(p.At(230, 50), blue);                          // the grid, 12 pixels on
    EXPECT_EQ(p.At(134, 98), ColorRefToPixel(kPreviewRed));  // point 1
    EXPECT_EQ(p.At(184, 134), 0u);                           // point 3 (74, 24), black
    EXPECT_EQ(p.At(400, 400), 0x00FFFFFFu);
    EXPECT_EQ(p.At(0, 0), ColorRefToPixel(kSampleBack));
    EXPECT_EQ(p.At(55, 55), kCovered | ColorRefToPixel(kSampleGrey));  // the sample's middle, flat
    EXPECT_EQ(PictureHash(p), 15755654339757551493ull);

    // The sample follows the rim: unshaded without strength or without
    // width, shaded with both.
    MYBIT a, b;
    DrawSamplePiece(d.lines[0], 10, 0, a);
    DrawSamplePiece(d.lines[0], 0, 150, b);
    EXPECT_EQ(a.At(30, 30), kCovered | ColorRefToPixel(kSampleGrey));
    EXPECT_EQ(a.At(5, 5), ColorRefToPixel(kSampleBack));
    EXPECT_EQ(PictureHash(a), PictureHash(b));
    DrawSamplePiece(d.lines[0], 10, 150, b);
    EXPECT_NE(PictureHash(a), PictureHash(b));
    // A control point dragged onto the preview's edges, or one pixel
    // beyond: its dot is drawn where it lies in the picture and nowhere else
    // on the picture's border (a write past an edge would land on the
    // opposite side or outside the pixels).
    const uint32_t red = ColorRefToPixel(kPreviewRed);
    for (auto [mx, my] : {std::pair{435, 200}, {434, 200}, {436, 200}, {0, 200}, {1, 200}, {-1, 200},
                          {200, 435}, {200, 434}, {200, 436}, {200, 0}, {200, 1}, {200, -1}, {435, 435},
                          {0, 435}, {435, 0}}) {
        SCOPED_TRACE(testing::Message() << mx << ", " << my);
        BeginShapeDialog(d, s);
        Drag(1, mx, my);
        DrawShapePreview(d, s, p);
        int wrong = 0;
        for (int y = 0; y < kPreviewSide; ++y)
            for (int x = 0; x < kPreviewSide; ++x) {
                const bool dot = std::abs(x - mx) <= 1 && std::abs(y - my) <= 1;
                const bool border = x == 0 || y == 0 || x == kPreviewSide - 1 || y == kPreviewSide - 1;
                if (dot || border) wrong += (p.At(x, y) == red) != dot;
            }
        EXPECT_EQ(wrong, 0);
    }
    BeginShapeDialog(d, s);

    // A line that crosses the centre leaves no piece, only the background.
    for (int j = 1; j < 9; ++j) d.lines[0][j][1] = 110;
    DrawSamplePiece(d.lines[0], 10, 150, a);
    for (uint32_t v : a.pixels) ASSERT_EQ(v, ColorRefToPixel(kSampleBack));
}
