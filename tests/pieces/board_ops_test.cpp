#include "pieces/board_ops.h"

#include <gtest/gtest.h>

#include "board_fixture.h"

using fixture::Order;
using fixture::TestBoard;

namespace {

// Three pieces of 20 x 20 in a row at home (one grid row), drawn 0, 1, 2,
// on a board of 100 x 60.
void Row3(TestBoard& t) {
    t.AddGrid(3, 1, 18, 18, 1, 10, 10);
    t.Redraw();
}

void JoinAll(Board& b, std::initializer_list<int> pieces, int group) {
    for (int p : pieces) b.pieces[p].group = group;
}

}  // namespace

TEST(HitTest, FindsTheTopmostOwnPixelStrictlyInside) {
    TestBoard t(100, 60);
    t.AddGrid(2, 1, 18, 18, 1, 10, 10);  // piece 0 at 9..29, piece 1 at 27..47
    Board& b = t.board;
    EXPECT_EQ(HitTest(b, 28, 15), 1);  // the overlap: the upper piece
    EXPECT_EQ(HitTest(b, 20, 20), 0);
    EXPECT_EQ(HitTest(b, 9, 20), -1);   // on piece 0's left edge
    EXPECT_EQ(HitTest(b, 20, 9), -1);   // on its top edge
    EXPECT_EQ(HitTest(b, 10, 10), 0);   // one pixel inside both edges
    EXPECT_EQ(HitTest(b, 29, 20), 1);   // piece 0's right edge lies inside piece 1
    EXPECT_EQ(HitTest(b, 60, 20), -1);  // bare board

    // A transparent pixel of the upper piece finds the piece below it.
    b.pieces[1].pictures[0].At(1, 5) = 0;
    EXPECT_EQ(HitTest(b, 28, 14), 0);

    b.count = 0;
    EXPECT_EQ(HitTest(b, 20, 20), -1);
}

TEST(RaiseGroup, MovesTheGroupToTheTopKeepingBothOrders) {
    TestBoard t(100, 60);
    t.AddGrid(5, 1, 18, 18, 1, 5, 10);
    Board& b = t.board;
    b.order[0] = 3, b.order[1] = 0, b.order[2] = 4, b.order[3] = 1, b.order[4] = 2;
    JoinAll(b, {3, 0}, 3);
    t.Redraw();

    // Piece 4 (its own group) from position 2 to the top.
    EXPECT_EQ(RaiseGroup(b, 2), 4);
    EXPECT_EQ(Order(b), (std::vector<int>{3, 0, 1, 2, 4}));
    // Group 3 (pieces 3 and 0, positions 0 and 1): clicked on piece 0.
    EXPECT_EQ(RaiseGroup(b, 1), 4);
    EXPECT_EQ(Order(b), (std::vector<int>{1, 2, 4, 3, 0}));
    EXPECT_EQ(t.Mismatches(), 0);

    // Already on top: nothing changes, and the position comes back.
    EXPECT_EQ(RaiseGroup(b, 3), 3);
    EXPECT_EQ(Order(b), (std::vector<int>{1, 2, 4, 3, 0}));
    EXPECT_EQ(fixture::Invariants(b), "");

    EXPECT_EQ(RaiseGroup(b, -1), -1);
    EXPECT_EQ(RaiseGroup(b, 5), -1);
}

TEST(RedrawRegion, ClipsToTheBoardAndToThePositionsInUse) {
    TestBoard t(60, 40);
    t.AddGrid(2, 1, 18, 18, 1, -12, 25);  // piece 0 hangs off the left and bottom edges
    Board& b = t.board;
    t.picture.CopyFrom(t.clean);
    RedrawRegion(b, Rect{-100, -100, 200, 200}, -3, 7);
    EXPECT_EQ(t.Mismatches(false), 0);

    // Only the rectangle and the positions asked for are drawn.
    t.picture.CopyFrom(t.clean);
    RedrawRegion(b, Rect{0, 0, 60, 40}, 1, 1);
    EXPECT_EQ(t.picture.At(3, 30), t.clean.At(3, 30));  // piece 0 alone there
    EXPECT_NE(t.picture.At(20, 30), t.clean.At(20, 30));
    MYBIT before;
    before.CopyFrom(t.picture);
    RedrawRegion(b, Rect{0, 0, 60, 40}, 2, 1);
    RedrawRegion(b, Rect{5, 5, 5, 30}, 0, 1);
    EXPECT_EQ(fixture::Fnv1a(t.picture), fixture::Fnv1a(before));
}

TEST(ErasePiece, PastesTheCleanBoardAtTheClippedCorner) {
    TestBoard t(60, 40);
    t.AddGrid(2, 1, 18, 18, 1, -12, -5);
    Board& b = t.board;
    t.Redraw();
    ErasePiece(b, b.pieces[1], 1);  // piece 1 is on top; piece 0 stays visible under it
    b.pieces[1].left += 500;        // as if it had gone elsewhere
    b.pieces[1].right += 500;
    EXPECT_EQ(t.Mismatches(false), 0);
    ErasePiece(b, b.pieces[0], 0);
    b.pieces[0].left -= 500;
    b.pieces[0].right -= 500;
    EXPECT_EQ(fixture::Fnv1a(t.picture), fixture::Fnv1a(t.clean));
}

TEST(DetachPiece, TheMiddleOfAChainOfThreeLeavesTwoNewGroups) {
    TestBoard t(100, 60);
    Row3(t);
    Board& b = t.board;
    JoinAll(b, {0, 1, 2}, 7);
    const Rect was = b.pieces[1].BoardRect();
    DetachPiece(b, 1);
    // Fresh numbers: 8 for the detached piece, then 9 and 10 for the parts.
    EXPECT_EQ(b.pieces[1].group, 8);
    EXPECT_EQ(b.pieces[0].group, 9);
    EXPECT_EQ(b.pieces[2].group, 10);
    EXPECT_EQ(Order(b), (std::vector<int>{0, 2, 1}));
    EXPECT_EQ(b.pieces[1].BoardRect(), (Rect{was.left + 5, was.top + 5, was.right + 5, was.bottom + 5}));
    EXPECT_EQ(HitTest(b, was.right + 3, was.bottom + 3), 2);
    EXPECT_EQ(fixture::Invariants(b), "");
    EXPECT_EQ(t.Mismatches(), 0);
}

TEST(DetachPiece, SplitsWhatRemainsIntoItsConnectedParts) {
    // A plus of five pieces in a 3 x 3 grid: 1, 3, 4, 5, 7.  Taking out the
    // centre leaves four parts; taking out an arm leaves one part of four.
    TestBoard t(120, 120);
    t.AddGrid(3, 3, 20, 20, 1, 20, 20);
    Board& b = t.board;
    JoinAll(b, {1, 3, 4, 5, 7}, 4);
    b.order = {0, 2, 6, 8, 1, 3, 4, 5, 7};
    b.order.resize(kMaxPieces, -1);
    t.Redraw();

    DetachPiece(b, 6);  // piece 4, the centre; the fresh number is 9
    EXPECT_EQ(b.pieces[4].group, 9);
    EXPECT_EQ(Order(b), (std::vector<int>{0, 2, 6, 8, 1, 3, 5, 7, 4}));
    for (int p : {1, 3, 5, 7}) EXPECT_EQ(b.pieces[p].group, 10 + (p - 1) / 2);
    EXPECT_EQ(fixture::Invariants(b), "");

    // Join 1-0-3 back (home places are kept; groups are labels): the walk
    // starts at the lowest piece and follows the lists, 3 -> 0 -> 1.
    JoinAll(b, {0, 1, 3}, 3);
    b.order = {2, 6, 8, 5, 7, 4, 3, 0, 1};
    b.order.resize(kMaxPieces, -1);
    t.Redraw();
    DetachPiece(b, 8);  // piece 1, an end: 3-0 stays one part with a new number
    EXPECT_EQ(b.pieces[1].group, 14);
    EXPECT_EQ(b.pieces[3].group, 15);
    EXPECT_EQ(b.pieces[0].group, 15);
    EXPECT_EQ(Order(b), (std::vector<int>{2, 6, 8, 5, 7, 4, 3, 0, 1}));
    EXPECT_EQ(t.Mismatches(), 0);
}

TEST(DetachPiece, ALonePieceGetsANewNumberAndIsRaisedAndShifted) {
    TestBoard t(100, 60);
    Row3(t);
    Board& b = t.board;
    b.pieces[2].group = 40;
    DetachPiece(b, 0);
    EXPECT_EQ(b.pieces[0].group, 41);
    EXPECT_EQ(Order(b), (std::vector<int>{1, 2, 0}));
    EXPECT_EQ(b.pieces[0].left, 9 + 5);
    EXPECT_EQ(t.Mismatches(false), 0);

    DetachPiece(b, 3);  // no such position
    DetachPiece(b, -1);
    EXPECT_EQ(Order(b), (std::vector<int>{1, 2, 0}));
    b.count = 1;
    b.order[0] = 0;
    DetachPiece(b, 0);
    EXPECT_EQ(b.pieces[0].group, 42);  // the largest number in use, 41, plus one
}

TEST(OrientRect, AgreesWithTheOrientationPictures) {
    // A pixel at home point (hx, hy) must be found in picture o at its home
    // point turned by o, relative to the turned home rectangle.
    Piece p;
    fixture::MakeRectPiece(p, 30, 10, 7, 4, 1);
    const Rect home = p.HomeRect();
    for (int o = 0; o < 8; ++o) {
        const Rect r = OrientRect(home, o);
        ASSERT_EQ(r.Width(), p.pictures[o].Width()) << o;
        ASSERT_EQ(r.Height(), p.pictures[o].Height()) << o;
        for (int hy = home.top; hy < home.bottom; ++hy)
            for (int hx = home.left; hx < home.right; ++hx) {
                const Rect dot = OrientRect(Rect{hx, hy, hx + 1, hy + 1}, o);
                EXPECT_EQ(p.pictures[o].At(dot.left - r.left, dot.top - r.top),
                          p.pictures[0].At(hx - home.left, hy - home.top))
                    << "orientation " << o << " at " << hx << "," << hy;
            }
    }
}
