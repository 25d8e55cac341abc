#include "making/shape_dialog.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace {

// One step of a rim value: down never below 0, up never past the int range.
int32_t StepRim(int32_t v, int step) {
    if (step < 0) return v > 0 ? v - 1 : 0;
    return v < std::numeric_limits<int32_t>::max() ? v + 1 : v;
}

}  // namespace

void BeginShapeDialog(ShapeDialogState& d, const Settings& s) {
    std::memcpy(d.lines, s.lineInitial, sizeof d.lines);
    d.selected = 0;
    d.dragIndex = -1;
    d.savedEdgeThick = s.edgeThick;
    d.savedEdgeLight = s.edgeLight;
    d.ok = 0;
}

ShapeAction ShapeCommand(ShapeDialogState& d, Settings& s, unsigned msg) {
    switch (msg) {
        case MSG_SHAPE_LINE_1:
        case MSG_SHAPE_LINE_1 + 1:
        case MSG_SHAPE_LINE_1 + 2:
        case MSG_SHAPE_LINE_1 + 3:
            d.selected = static_cast<int32_t>(msg - MSG_SHAPE_LINE_1);
            return ShapeAction::kRepaint;
        case MSG_SHAPE_NARROWER:
            s.edgeThick = StepRim(s.edgeThick, -1);
            return ShapeAction::kRepaint;
        case MSG_SHAPE_WIDER:
            s.edgeThick = StepRim(s.edgeThick, 1);
            return ShapeAction::kRepaint;
        case MSG_SHAPE_WEAKER:
            s.edgeLight = StepRim(s.edgeLight, -1);
            return ShapeAction::kRepaint;
        case MSG_SHAPE_STRONGER:
            s.edgeLight = StepRim(s.edgeLight, 1);
            return ShapeAction::kRepaint;
        case MSG_SHAPE_OK:
            std::memcpy(s.lineInitial, d.lines, sizeof d.lines);
            d.ok = 1;
            return ShapeAction::kClose;
        case MSG_SHAPE_CANCEL:
            return ShapeAction::kClose;
        default:
            return ShapeAction::kNone;
    }
}

unsigned ShapeDialogMessage(unsigned controlId) {
    if (controlId == kShapeOkButton) return MSG_SHAPE_OK;
    if (controlId == kShapeCancelButton) return MSG_SHAPE_CANCEL;
    // The line and rim buttons are forwarded as their own identifier.
    if (controlId >= kShapeLine1Button && controlId <= kShapeStrongerButton && controlId != kShapeEdgeGroup)
        return controlId;
    return 0;
}

int PreviewSide(const ShapeDialogState& d) {
    return ScalePx(kPreviewSide, d.dpi);
}

int PressHandle(ShapeDialogState& d, int mx, int my) {
    const int32_t(&line)[kBaseLinePoints][2] = d.lines[d.selected];
    const int origin = ScalePx(kPreviewOrigin, d.dpi);
    const int reach = ScalePx(kHandleReach, d.dpi);
    d.dragIndex = -1;
    for (int i = 1; i <= kBaseLinePoints - 2; ++i) {
        // 64-bit: a point read from pukko.ini may lie anywhere.
        const int64_t dx = int64_t{mx} - origin - ScalePxWide(line[i][0], d.dpi);
        const int64_t dy = int64_t{my} - origin - ScalePxWide(line[i][1], d.dpi);
        if (dx >= -reach && dx <= reach && dy >= -reach && dy <= reach) {
            d.dragIndex = i;
            break;
        }
    }
    return d.dragIndex;
}

int MoveHandle(ShapeDialogState& d, int mx, int my, bool buttonDown) {
    if (d.dragIndex < 0) return 0;
    if (!buttonDown) {
        d.dragIndex = -1;
        return 0;
    }
    int32_t* p = d.lines[d.selected][d.dragIndex];
    const int origin = ScalePx(kPreviewOrigin, d.dpi);
    p[0] = UnscalePx(mx - origin, d.dpi);
    p[1] = UnscalePx(my - origin, d.dpi);
    return 1;
}

void ReleaseHandle(ShapeDialogState& d) {
    d.dragIndex = -1;
}

void EndShapeDialog(ShapeDialogState& d, Settings& s) {
    if (!d.ok) {
        s.edgeThick = d.savedEdgeThick;
        s.edgeLight = d.savedEdgeLight;
    }
    d.dragIndex = -1;
}
