// The drawing of the pattern-creation window: a white canvas showing the
// current stroke as its smooth curve in black with the mouse positions it
// was made from in red.  Only the current stroke is ever visible: every move
// redraws it from white.  A move to a monitor of another scale draws the
// same stroke again, scaled, on the canvas of the new size.
#pragma once

#include <vector>

#include "image/mybit.h"
#include "pattern/stroke.h"

// Commands of the window's toolbar; the window forwards each to its canvas
// as the message of the same number.
enum : unsigned {
    kPatternClear = 0x5201,    // "クリア"
    kPatternInput = 0x5202,    // "入力"
    kPatternOutput = 0x5203,   // "出力"
    kPatternDraw = 0x5204,     // "描く"
    kPatternProcess = 0x5205,  // "加工"
};
constexpr int kPatternToolCount = 5;
inline constexpr const char* kPatternToolTexts[kPatternToolCount] = {"クリア", "入力", "出力", "描く",
                                                                     "加工"};
inline constexpr const char kPatternTitle[] = "パターン作成";

constexpr ColorRef kCurveColor = 0x000000;        // black
constexpr ColorRef kStrokePointColor = 0x0000FF;  // red

struct PatternCanvas {
    MYBIT picture;  // the canvas, y from the top as the window's client area
    Stroke stroke;
    bool pressed = false;      // the button went down on the canvas and is still down
    bool shown = false;        // the picture shows the stroke (not white since a clear)
    std::vector<Point> curve;  // the smoothed current stroke
    CurveScratch scratch;
};

// A white canvas of w x h pixels with no stroke.
void CreateCanvas(PatternCanvas& c, int w, int h);

// The canvas becomes white; the stroke is kept until the next press.
void ClearCanvas(PatternCanvas& c);

// The window moved to a monitor of another scale and its canvas is now
// w x h: the stroke and its curve are scaled by toDpi / fromDpi (rounded
// half away from zero) and, unless the canvas was cleared, drawn again, so
// the player's drawing keeps its place and size on the screen.
void RescaleCanvas(PatternCanvas& c, int w, int h, int fromDpi, int toDpi);

// The button goes down on the canvas: a new stroke starts at p.  Nothing is
// drawn yet.
void PressCanvas(PatternCanvas& c, Point p);

// The mouse moves to p with the button down: p joins the stroke and the
// canvas shows the stroke's curve alone.  0, with the canvas unchanged,
// when the stroke already has its 999 moves, or when the button did not go
// down on the canvas: a press elsewhere dragged onto it draws nothing.
int DragCanvas(PatternCanvas& c, Point p);

// The button comes up (or the canvas loses the mouse): the stroke stays as
// drawn, and only a new press on the canvas starts the next one.
void ReleaseCanvas(PatternCanvas& c);

// The canvas from white: the curve as one polyline (each segment leaves out
// its last point, as the next one starts there), a curve of no length as its
// single point, then every stroke point in red.  Points off the canvas are
// clipped.
void DrawStroke(PatternCanvas& c);
