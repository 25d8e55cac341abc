// The piece-shape dialog: a preview window in which the player drags the
// control points of one of the four base cutting lines, and a small dialog
// that picks the line, widens, narrows, strengthens or weakens the rim, and
// confirms or cancels.
//
// Line edits live in a working copy until OK copies them into the settings.
// Rim edits change the settings at once, so a puzzle made meanwhile uses
// them, and are undone when the dialog closes without OK.
//
// The preview shows the edited line at full size, 216 pixels to a cell side,
// with its point (x, y) at (x + 110, y + 110): the line runs from (110, 110)
// to (326, 110).  Those are pixels at 96 DPI; at another DPI the preview,
// its points and the reach of a press on them are scaled alike (dpi_scale.h),
// while the line's own coordinates stay what the settings hold.
#pragma once

#include <cstdint>

#include "base/dpi_scale.h"
#include "base/geom.h"
#include "config/settings.h"

class MYBIT;

// Private messages of the preview window.  The dialog forwards each of its
// commands as one of them: the line buttons and rim buttons as their own
// control identifier, OK and Cancel as the last two.
enum : unsigned {
    MSG_SHAPE_LINE_1 = 0x5101,  // .. MSG_SHAPE_LINE_1 + 3 for line 4
    MSG_SHAPE_NARROWER = 0x5106,
    MSG_SHAPE_WIDER = 0x5107,
    MSG_SHAPE_WEAKER = 0x5108,
    MSG_SHAPE_STRONGER = 0x5109,
    MSG_SHAPE_OK = 0x5198,
    MSG_SHAPE_CANCEL = 0x5199,
};

// Dialog controls (the identifiers of LINEDLG).
enum : unsigned {
    kShapeOkButton = 1,
    kShapeCancelButton = 2,
    kShapeLine1Button = 20737,
    kShapeEdgeGroup = 20741,
    kShapeStrongerButton = 20745,
};

inline constexpr const char kShapeTitle[] = "ピース形状";

constexpr int kPreviewSide = 436;    // client pixels of the preview
constexpr int kPreviewOrigin = 110;  // where point (0, 0) of the line is drawn
constexpr int kPreviewFar = 326;     // kPreviewOrigin + 216: the far cell corner
constexpr int kHandleReach = 4;      // a press hits a point within 4 pixels each way
constexpr int kSampleSide = 110;     // the half-scale sample piece's picture

// Colours of the preview (ColorRef).
constexpr ColorRef kPreviewLightBlue = 0xFF9696;
constexpr ColorRef kPreviewLightGreen = 0x96FF96;
constexpr ColorRef kPreviewRed = 0x0000FF;
constexpr ColorRef kSampleGrey = 0x808080;
constexpr ColorRef kSampleBack = 0xC8C8C8;

struct ShapeDialogState {
    int32_t lines[kBaseLines][kBaseLinePoints][2] = {};  // working copy of line_initial
    int32_t selected = 0;                                // 0 .. 3
    int32_t dragIndex = -1;                              // point being dragged, or -1
    int32_t savedEdgeThick = 0;                          // the rim as the dialog found it
    int32_t savedEdgeLight = 0;
    uint8_t ok = 0;  // 1 once OK is pressed
    int dpi = kBaseDpi;  // of the preview window; kept by BeginShapeDialog
};

// The preview's side in client pixels at the state's DPI.
int PreviewSide(const ShapeDialogState& d);

// The dialog opens: the working lines are copied from the settings, line 1
// is selected, no drag, the rim saved, OK not pressed.
void BeginShapeDialog(ShapeDialogState& d, const Settings& s);

// What the preview window does after a command.
enum class ShapeAction { kNone, kRepaint, kClose };

// One of the MSG_SHAPE_ messages.  Line buttons select a line; the rim
// buttons change edge_thick or edge_light by one, never below 0 (and never
// past the int range); OK copies the working lines into the settings and
// marks the dialog confirmed.  Any other message changes nothing (kNone).
ShapeAction ShapeCommand(ShapeDialogState& d, Settings& s, unsigned msg);

// The message the dialog sends on for one of its control identifiers, 0
// for none (the group box, or any other).
unsigned ShapeDialogMessage(unsigned controlId);

// The left button goes down at (mx, my), client pixels: points 1 to 8 of
// the selected line are tried in order, and the first one within
// kHandleReach pixels (scaled) along both axes of where it is drawn becomes the
// dragged point.  The cell corners, points 0 and 9, never move.  Returns
// the drag index, -1 when no point was hit.
int PressHandle(ShapeDialogState& d, int mx, int my);

// The mouse moves to (mx, my): the dragged point goes there (in the line's
// coordinates: the client pixels scaled back to 96 DPI).  A move without
// the button down ends the drag instead (the button was let go outside the
// window, where the release was not seen).  1 when a point moved.
int MoveHandle(ShapeDialogState& d, int mx, int my, bool buttonDown);

void ReleaseHandle(ShapeDialogState& d);

// The dialog closes: without OK the rim goes back to what it was at the
// start.  Idempotent.
void EndShapeDialog(ShapeDialogState& d, Settings& s);

// The preview's picture, PreviewSide square: on white, the diamond and the
// 12-pixel grid of the line's square in light blue with the two middle lines
// in light green, the selected line's ten points as 3 x 3 dots (cell corners
// and segment ends black, control points red), the line drawn in black as
// the four sides of the square from (110, 110) to (326, 326) with its knobs
// inwards, and the sample piece in the top-left corner.
void DrawShapePreview(const ShapeDialogState& d, const Settings& s, MYBIT& out);

// The sample piece of one base line at half scale, kSampleSide square: a
// 108-pixel square whose four sides are the line with its knobs inwards,
// cut out of a mask of twice the size as the making cuts a piece, with the
// rim of radius edgeThick mask pixels and strength edgeLight, in grey on
// light grey.
void DrawSamplePiece(const int32_t (&line)[kBaseLinePoints][2], int32_t edgeThick, int32_t edgeLight,
                     MYBIT& out);
