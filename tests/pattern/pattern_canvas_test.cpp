// The pattern window's canvas: only the current stroke, black on white with
// its mouse positions in red.
#include <gtest/gtest.h>

#include "pattern/pattern_canvas.h"
#include "support/picture_hash.h"

namespace {

constexpr uint32_t kWhite = 0x00FFFFFF, kBlack = 0, kRed = 0x00FF0000;

int Count(const MYBIT& b, uint32_t word) {
    int n = 0;
    for (uint32_t v : b.pixels) n += v == word;
    return n;
}

}  // namespace

TEST(PatternCanvas, ShowsTheCurrentStrokeOnly) {
    PatternCanvas c;
    CreateCanvas(c, 64, 48);
    EXPECT_EQ(Count(c.picture, kWhite), 64 * 48);
    EXPECT_EQ(DragCanvas(c, {5, 5}), 0);  // a move before any press
    PressCanvas(c, {4, 40});
    EXPECT_EQ(Count(c.picture, kWhite), 64 * 48);  // a press alone draws nothing
    for (Point p : {Point{4, 20}, Point{30, 6}, Point{58, 24}, Point{61, 60}}) EXPECT_EQ(DragCanvas(c, p), 1);
    // The raw points in red (one off the canvas), the curve black between.
    EXPECT_EQ(c.picture.At(4, 40), kRed);
    EXPECT_EQ(c.picture.At(30, 6), kRed);
    EXPECT_EQ(Count(c.picture, kRed), 4);
    EXPECT_GT(Count(c.picture, kBlack), 60);
    EXPECT_EQ(PictureHash(c.picture), 1245330810020170722ull);

    // A new press and move: the old stroke is gone.
    PressCanvas(c, {10, 10});
    EXPECT_EQ(DragCanvas(c, {20, 10}), 1);
    EXPECT_EQ(Count(c.picture, kRed), 2);
    for (int x = 11; x < 20; ++x) EXPECT_EQ(c.picture.At(x, 10), kBlack) << x;
    EXPECT_EQ(Count(c.picture, kBlack), 9);

    // Clearing whitens the canvas but keeps the stroke: the next move
    // draws it whole again.
    ClearCanvas(c);
    EXPECT_EQ(Count(c.picture, kWhite), 64 * 48);
    EXPECT_EQ(DragCanvas(c, {30, 10}), 1);
    EXPECT_EQ(Count(c.picture, kRed), 3);
    EXPECT_EQ(Count(c.picture, kBlack), 18);
}

TEST(PatternCanvas, MovesPastThe999thAreIgnored) {
    PatternCanvas c;
    CreateCanvas(c, 40, 40);
    PressCanvas(c, {0, 0});
    for (int i = 1; i <= kMaxStrokeMoves; ++i) ASSERT_EQ(DragCanvas(c, {i % 40, (i / 40) % 40}), 1);
    const uint64_t drawn = PictureHash(c.picture);
    EXPECT_EQ(DragCanvas(c, {39, 39}), 0);
    EXPECT_EQ(PictureHash(c.picture), drawn);
    EXPECT_EQ(c.stroke.points.size(), 1000u);
    EXPECT_EQ(c.curve.size(), 10000u);
}

TEST(PatternCanvas, AStrokeBeginsOnlyWithAPressOnTheCanvas) {
    PatternCanvas c;
    CreateCanvas(c, 40, 30);
    PressCanvas(c, {5, 5});
    ASSERT_EQ(DragCanvas(c, {25, 5}), 1);
    ReleaseCanvas(c);
    const uint64_t drawn = PictureHash(c.picture);
    const std::vector<Point> stroke = c.stroke.points;

    // The button went down off the canvas and was dragged onto it: the
    // stroke that ended stays as it was.
    EXPECT_EQ(DragCanvas(c, {25, 20}), 0);
    EXPECT_EQ(DragCanvas(c, {5, 20}), 0);
    EXPECT_EQ(c.stroke.points, stroke);
    EXPECT_EQ(PictureHash(c.picture), drawn);
    ReleaseCanvas(c);  // a second release changes nothing
    EXPECT_EQ(DragCanvas(c, {5, 25}), 0);

    // A press on the canvas starts the next stroke from its own point.
    PressCanvas(c, {10, 25});
    ASSERT_EQ(DragCanvas(c, {30, 25}), 1);
    EXPECT_EQ(c.stroke.points, (std::vector<Point>{{10, 25}, {30, 25}}));
    EXPECT_EQ(c.picture.At(20, 25), kBlack);
    EXPECT_EQ(c.picture.At(15, 5), kWhite);
}

// A move to a monitor of another scale keeps the drawing where the player
// sees it: every point scaled, the stroke drawn again on the new canvas.
TEST(PatternCanvas, TheDrawingOutlivesAChangeOfScale) {
    PatternCanvas c;
    CreateCanvas(c, 64, 48);
    PressCanvas(c, {10, 10});
    ASSERT_EQ(DragCanvas(c, {40, 10}), 1);
    const uint64_t at96 = PictureHash(c.picture);

    // At 200 % the straight stroke runs from (20, 20) to (80, 20).
    RescaleCanvas(c, 128, 96, 96, 192);
    ASSERT_EQ(c.picture.Width(), 128);
    EXPECT_EQ(c.picture.At(20, 20), kRed);
    EXPECT_EQ(c.picture.At(80, 20), kRed);
    for (int x = 21; x < 80; ++x) EXPECT_EQ(c.picture.At(x, 20), kBlack) << x;
    EXPECT_EQ(Count(c.picture, kBlack) + Count(c.picture, kRed), 61);

    // Back at 100 %: the points halve again; at 150 % they round half away
    // from zero (15 for 10, 53 for 35).
    RescaleCanvas(c, 64, 48, 192, 96);
    EXPECT_EQ(PictureHash(c.picture), at96);
    c.stroke.points = {{10, 10}, {35, -35}};
    c.curve.clear();
    RescaleCanvas(c, 96, 72, 96, 144);
    EXPECT_EQ(c.stroke.points, (std::vector<Point>{{15, 15}, {53, -53}}));

    // A cleared canvas stays white; its stroke still comes back with a move.
    ClearCanvas(c);
    RescaleCanvas(c, 128, 96, 144, 192);
    EXPECT_EQ(Count(c.picture, kWhite), 128 * 96);
    EXPECT_EQ(c.stroke.points, (std::vector<Point>{{20, 20}, {71, -71}}));
}
