#include "views/guide.h"

#include <cstdint>

namespace {

// 64-bit products: a picture side times a window side can pass 2^31.
int32_t Scaled(int32_t value, int32_t times, int32_t over) {
    return static_cast<int32_t>(int64_t{value} * times / over);
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
    const Size fit = FitInBox(Size{guide.picture.Width(), guide.picture.Height()}, Size{width, height});
    // A picture squeezed below one pixel a side shows only grey.
    if (fit.cx <= 0 || fit.cy <= 0) return;
    MYBIT fitted;
    fitted.StretchFrom(guide.picture, fit.cx, fit.cy);
    guide.canvas.Paste(fitted, (width - fit.cx) / 2, (height - fit.cy) / 2);
}

Rect GuideWindowRect(Point corner, Size outer) {
    return Rect{corner.x - outer.cx, corner.y - outer.cy, corner.x, corner.y};
}
