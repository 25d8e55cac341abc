// The guide: the finished picture of the puzzle being played, fitted into a
// small window of its own.  This is the window's picture work; the window
// is guide_window_win.
#pragma once

#include "base/geom.h"
#include "image/mybit.h"

// Grey around the fitted picture.
constexpr ColorRef kGuideGrey = 0x808080;
// The client area the guide opens with, pixels a side.
constexpr int kGuideStartSide = 120;

// The mark of the held group's home: a ring in a colour few pictures have,
// kGuideMarkWidth client pixels wide at 96 DPI.  The blink on the board
// takes the same colour.
constexpr ColorRef kHintColour = 0xFF00FF;
constexpr int kGuideMarkWidth = 2;

struct GuideView {
    MYBIT picture;  // copy of the puzzle's picture, taken when the guide opens
    MYBIT canvas;   // the client area: the picture fitted and centred on grey
    // A home area marked on the guide (picture pixels; empty: none), drawn
    // on `marked`, a copy of the canvas: the canvas itself is never drawn
    // on, so taking the mark away copies its pixels back.
    Rect mark;
    int markWidth = 2;  // client pixels
    MYBIT marked;
};

// The size of a picture fitted into a box, keeping its proportions:
// wider than tall, it is first fitted to the box's width, otherwise to its
// height; when that overflows the other side, it is fitted to the other
// side instead.  Integer arithmetic, truncating.  {0, 0} when either size
// has no area.
Size FitInBox(Size picture, Size box);

// The canvas becomes width x height of grey with the picture stretched to
// its fitted size and pasted at the centre (halves truncated).  A box with
// no area empties the canvas.  A mark is drawn again on the new canvas.
void FitGuideCanvas(GuideView& guide, int width, int height);

// Where FitGuideCanvas puts the picture in a canvas of the given size:
// the fitted size, centred (halves truncated).  Empty when it shows none.
Rect GuidePictureRect(Size picture, Size canvas);

// The picture pixel that canvas pixel `at` shows: the one under its centre
// as the stretch maps it.  False on the grey margin.
bool GuideToPicture(Size picture, Size canvas, Point at, Point* pixel);

// The canvas pixels that show any part of picture rectangle r.
Rect PictureToGuide(Size picture, Size canvas, const Rect& r);

// What the window shows: the marked copy while there is a mark, else the
// canvas.
const MYBIT& GuideShown(const GuideView& guide);

// The home area `home` (picture pixels; empty takes the mark away) is marked
// with a ring `width` pixels wide round the canvas pixels showing it.
// Returns the canvas pixels to repaint: those of the old ring and the new.
Rect SetGuideMark(GuideView& guide, const Rect& home, int width);

// Where a window of the given outer size stands so that its bottom-right
// corner lies on corner (screen pixels).
Rect GuideWindowRect(Point corner, Size outer);
