#include "views/guide.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "pieces/board_ops.h"

namespace {

// 64-bit products: a picture side times a window side can pass 2^31.
int32_t Scaled(int32_t value, int32_t times, int32_t over) {
    return static_cast<int32_t>(int64_t{value} * times / over);
}

// The outer edge of the mark's ring on the canvas, which may reach past
// it: the ring lies round the pixels showing the home, never over them.
// Empty without a mark or where the mark shows on no canvas pixel.
Rect MarkRing(const GuideView& guide) {
    const Size canvas{guide.canvas.Width(), guide.canvas.Height()};
    if (guide.mark.IsEmpty() || guide.canvas.Empty()) return Rect{};
    const Rect home = PictureToGuide(Size{guide.picture.Width(), guide.picture.Height()}, canvas, guide.mark);
    if (home.IsEmpty()) return Rect{};
    const int w = guide.markWidth;
    return Rect{home.left - w, home.top - w, home.right + w, home.bottom + w};
}

Rect OnCanvas(const GuideView& guide, const Rect& r) {
    Rect part;
    IntersectRect(&part, r, Rect{0, 0, guide.canvas.Width(), guide.canvas.Height()});
    return part;
}

// Floor and ceiling of value * times / over for values of either sign;
// over > 0.
int32_t FloorScaled(int32_t value, int32_t times, int32_t over) {
    const int64_t p = int64_t{value} * times;
    return static_cast<int32_t>(p >= 0 ? p / over : -((-p + over - 1) / over));
}
int32_t CeilScaled(int32_t value, int32_t times, int32_t over) {
    return -FloorScaled(-value, times, over);
}

}  // namespace

Size FitInBox(Size picture, Size box) {
    const int32_t pw = picture.cx, ph = picture.cy, W = box.cx, H = box.cy;
    if (pw <= 0 || ph <= 0 || W <= 0 || H <= 0) return {};
    auto toWidth = [&] { return Size{W, Scaled(ph, W, pw)}; };
    auto toHeight = [&] { return Size{Scaled(pw, H, ph), H}; };
    const bool wide = pw > ph;
    Size s = wide ? toWidth() : toHeight();
    if (s.cx > W || s.cy > H) s = wide ? toHeight() : toWidth();
    return s;
}

void FitGuideCanvas(GuideView& guide, int width, int height) {
    if (width <= 0 || height <= 0) {
        guide.canvas.Free();
        return;
    }
    guide.canvas.CreateFilled(kGuideGrey, width, height);
    const Rect fit =
        GuidePictureRect(Size{guide.picture.Width(), guide.picture.Height()}, Size{width, height});
    // A picture squeezed below one pixel a side shows only grey.
    if (!fit.IsEmpty()) {
        MYBIT fitted;
        fitted.StretchFrom(guide.picture, fit.Width(), fit.Height());
        guide.canvas.Paste(fitted, fit.left, fit.top);
    }
    guide.marked.Free();
    if (!guide.mark.IsEmpty()) SetGuideMark(guide, guide.mark, guide.markWidth);
}

Rect GuidePictureRect(Size picture, Size canvas) {
    const Size fit = FitInBox(picture, canvas);
    if (fit.cx <= 0 || fit.cy <= 0) return Rect{};
    const int left = (canvas.cx - fit.cx) / 2, top = (canvas.cy - fit.cy) / 2;
    return Rect{left, top, left + fit.cx, top + fit.cy};
}

bool GuideToPicture(Size picture, Size canvas, Point at, Point* pixel) {
    const Rect f = GuidePictureRect(picture, canvas);
    if (at.x < f.left || at.x >= f.right || at.y < f.top || at.y >= f.bottom) return false;
    // The centre of canvas pixel d lies at d + 1/2 of the fitted width fw,
    // that is at (2d + 1) / (2 fw) of the picture's.
    const int64_t dx = at.x - f.left, dy = at.y - f.top;
    pixel->x = static_cast<int32_t>((2 * dx + 1) * picture.cx / (2 * int64_t{f.Width()}));
    pixel->y = static_cast<int32_t>((2 * dy + 1) * picture.cy / (2 * int64_t{f.Height()}));
    return true;
}

Rect PictureToGuide(Size picture, Size canvas, const Rect& r) {
    const Rect f = GuidePictureRect(picture, canvas);
    Rect part;
    if (f.IsEmpty() || !IntersectRect(&part, r, Rect{0, 0, picture.cx, picture.cy})) return Rect{};
    // Canvas pixel d covers picture pixels d pw / fw up to (d + 1) pw / fw.
    return Rect{f.left + FloorScaled(part.left, f.Width(), picture.cx),
                f.top + FloorScaled(part.top, f.Height(), picture.cy),
                f.left + CeilScaled(part.right, f.Width(), picture.cx),
                f.top + CeilScaled(part.bottom, f.Height(), picture.cy)};
}

const MYBIT& GuideShown(const GuideView& guide) {
    return guide.mark.IsEmpty() || guide.marked.Empty() ? guide.canvas : guide.marked;
}

Rect SetGuideMark(GuideView& guide, const Rect& home, int width) {
    const Rect old = guide.marked.Empty() ? Rect{} : OnCanvas(guide, MarkRing(guide));
    guide.mark = home.IsEmpty() ? Rect{} : home;
    guide.markWidth = std::max(width, 1);
    if (guide.mark.IsEmpty() || guide.canvas.Empty()) {
        guide.marked.Free();
        return old;
    }
    if (guide.marked.Width() != guide.canvas.Width() || guide.marked.Height() != guide.canvas.Height()) {
        guide.marked.CopyFrom(guide.canvas);
    } else {
        // Only the old ring's pixels differ from the canvas.
        const size_t bytes = sizeof(uint32_t) * static_cast<size_t>(std::max(old.Width(), 0));
        for (int y = old.top; y < old.bottom; ++y)
            std::memcpy(guide.marked.Row(y) + old.left, guide.canvas.Row(y) + old.left, bytes);
    }
    const Rect ring = MarkRing(guide);
    guide.marked.FillFrameWord(ring, guide.markWidth, ColorRefToPixel(kHintColour));
    return UnionRect(old, OnCanvas(guide, ring));
}

Rect GuideWindowRect(Point corner, Size outer) {
    return Rect{corner.x - outer.cx, corner.y - outer.cy, corner.x, corner.y};
}
