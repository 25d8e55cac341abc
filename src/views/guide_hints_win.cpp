#include "views/guide_hints_win.h"

#include "base/dpi_scale.h"
#include "base/dpi_win.h"
#include "base/host.h"

void OnGuideClick(HWND window, const GuideView& view, int x, int y) {
    Point pixel;
    const Size picture{view.picture.Width(), view.picture.Height()};
    if (!GuideToPicture(picture, Size{view.canvas.Width(), view.canvas.Height()}, Point{x, y}, &pixel))
        return;
    if (HWND owner = GetWindow(window, GW_OWNER))
        SendMessageW(owner, MSG_GUIDE_PICK, static_cast<WPARAM>(pixel.x), static_cast<LPARAM>(pixel.y));
}

void MarkGuideWindow(HWND window, GuideView& view, const Rect& home) {
    if (!window || !IsWindow(window)) return;
    const Rect r = SetGuideMark(view, home, ScalePx(kGuideMarkWidth, WindowDpi(window)));
    if (r.IsEmpty()) return;
    RECT area{r.left, r.top, r.right, r.bottom};
    InvalidateRect(window, &area, FALSE);
}
