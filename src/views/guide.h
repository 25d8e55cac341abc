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

struct GuideView {
    MYBIT picture;  // copy of the puzzle's picture, taken when the guide opens
    MYBIT canvas;   // the client area: the picture fitted and centred on grey
};

// The size of a picture fitted into a box, keeping its proportions:
// wider than tall, it is first fitted to the box's width, otherwise to its
// height; when that overflows the other side, it is fitted to the other
// side instead.  Integer arithmetic, truncating.  {0, 0} when either size
// has no area.
Size FitInBox(Size picture, Size box);

// The canvas becomes width x height of grey with the picture stretched to
// its fitted size and pasted at the centre (halves truncated).  A box with
// no area empties the canvas.
void FitGuideCanvas(GuideView& guide, int width, int height);

// Where a window of the given outer size stands so that its bottom-right
// corner lies on corner (screen pixels).
Rect GuideWindowRect(Point corner, Size outer);
