#include "pieces/board_ops.h"

#include <gtest/gtest.h>

#include "board_fixture.h"

using fixture::Order;
using fixture::TestBoard;

TEST(HitTest, FindsTheTopmostOwnPixelStrictlyInside) {
    TestBoard t(100, 60);
    t.AddGrid(2, 1, 18, 18, 1, 10, 10);  // piece 0 at 9 .. 29, piece 1 at 27 .. 47
    Board& b = t.board;
    b.pieces[1].pictures[0].At(1, 5) = 0;  // a transparent pixel of the upper piece over the lower
    const int x[] = {28, 20, 9, 20, 10, 29, 60, 28};
    const int y[] = {15, 20, 20, 9, 10, 20, 20, 14};
    const int want[] = {1, 0, -1, -1, 0, 1, -1, 0};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(HitTest(b, x[i], y[i]), want[i]) << x[i] << "," << y[i];
    b.pieces[0].right += 30;  // a rectangle wider than its picture: nothing past the picture hits
    EXPECT_EQ(HitTest(b, 55, 20), -1);
    b.count = 0;
    EXPECT_EQ(HitTest(b, 20, 20), -1);
}

TEST(RaiseGroup, MovesTheGroupToTheTopKeepingBothOrders) {
    TestBoard t(100, 60);
    t.AddGrid(5, 1, 18, 18, 1, 5, 10);
    Board& b = t.board;
    fixture::SetOrder(b, {3, 0, 4, 1, 2});
    b.pieces[0].group = 3;
    t.Redraw();
    EXPECT_EQ(RaiseGroup(b, 2), 4);  // piece 4
    EXPECT_EQ(RaiseGroup(b, 1), 4);  // piece 0 of group 3
    EXPECT_EQ(Order(b), (std::vector<int>{1, 2, 4, 3, 0}));
    EXPECT_EQ(RaiseGroup(b, 3), 3);  // already on top: unchanged
    EXPECT_EQ(Order(b), (std::vector<int>{1, 2, 4, 3, 0}));
    EXPECT_EQ(t.Mismatches(false), 0);
    EXPECT_EQ(RaiseGroup(b, -1), -1);
    EXPECT_EQ(RaiseGroup(b, 5), -1);
}

TEST(DetachPiece, SplitsWhatRemainsIntoConnectedPartsWithFreshNumbers) {
    // A chain of three: the middle one out leaves two single pieces.
    TestBoard t(100, 60);
    t.AddGrid(3, 1, 18, 18, 1, 10, 10);
    Board& b = t.board;
    for (int p = 0; p < 3; ++p) b.pieces[p].group = 7;
    t.Redraw();
    DetachPiece(b, 1);
    EXPECT_EQ(b.pieces[1].group, 8);
    EXPECT_EQ(b.pieces[0].group, 9);
    EXPECT_EQ(b.pieces[2].group, 10);
    EXPECT_EQ(Order(b), (std::vector<int>{0, 2, 1}));
    EXPECT_EQ(b.pieces[1].BoardRect(), (Rect{27 + 5, 9 + 5, 47 + 5, 29 + 5}));
    EXPECT_EQ(t.Mismatches(false), 0);
    // A piece alone: a new number, raised and shifted all the same.
    DetachPiece(b, 0);
    EXPECT_EQ(b.pieces[0].group, 11);
    EXPECT_EQ(Order(b), (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(b.pieces[0].left, 9 + 5);
    EXPECT_EQ(t.Mismatches(false), 0);
    DetachPiece(b, 3);
    EXPECT_EQ(Order(b), (std::vector<int>{2, 1, 0}));
}

TEST(OrientRect, AgreesWithTheOrientationPictures) {
    // The pixel at home point (x, y) must be found in picture o at the point
    // turned by o, relative to the turned home rectangle.
    Piece p;
    fixture::MakeRectPiece(p, 30, 10, 9, 6, 1);
    const Rect home = p.HomeRect();
    for (int o = 0; o < 8; ++o) {
        const Rect r = OrientRect(home, o);
        ASSERT_EQ(r.Width(), p.pictures[o].Width());
        ASSERT_EQ(r.Height(), p.pictures[o].Height());
        for (int y = home.top; y < home.bottom; ++y)
            for (int x = home.left; x < home.right; ++x) {
                const Rect dot = OrientRect(Rect{x, y, x + 1, y + 1}, o);
                ASSERT_EQ(p.pictures[o].At(dot.left - r.left, dot.top - r.top),
                          p.pictures[0].At(x - home.left, y - home.top))
                    << "orientation " << o;
            }
    }
}

TEST(RedrawRegion, BlendsEveryAlphaExactlyAsPasteBlend) {
    // Rows of 23 to 253 words (groups of four and every count of words left
    // after them), each alpha from 0 to 255 over backgrounds of every alpha,
    // the colours of both sides running through their byte values.
    TestBoard t(256, 130);
    Board& b = t.board;
    Piece& p = b.pieces[0];
    MYBIT& pic = p.pictures[0];
    pic.Create(256, 130);
    for (int y = 0; y < 130; ++y)
        for (int x = 0; x < 256; ++x) {
            const uint32_t alpha = uint32_t(x + y * 37) & 0xFF;
            pic.At(x, y) = alpha << 24 | fixture::PictureColour(x * 5 + y, y * 3 + x);
            t.clean.At(x, y) = uint32_t(y * 29 + x) << 24 | fixture::PictureColour(y, x);
        }
    fixture::Place(p, 0, 0, 0);
    b.order[0] = 0;
    b.count = 1;
    MYBIT want;
    want.CopyFrom(t.clean);
    t.picture.CopyFrom(t.clean);
    for (int y = 0, w = 1; y < 130; y += 2, w = w % 11 + 1) {
        const Rect r{y % 7, y, y % 7 + w * 23, y + 2};
        RedrawRegion(b, r, 0, 0);
        MYBIT part;
        part.CropFrom(pic, r.left, r.top, r.Width(), r.Height());
        want.PasteBlend(part, r.left, r.top);
    }
    EXPECT_EQ(fixture::Fnv1a(t.picture), fixture::Fnv1a(want));
    EXPECT_EQ(fixture::Fnv1a(t.picture), 14481981u);
}
