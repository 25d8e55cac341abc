// The grid of square cells a picture is cut into, and the knobbed cutting
// lines along its inner borders.
//
// All sizes here are mask pixels: the mask is twice the picture's width and
// height, so a cell side of s mask pixels is s / 2 picture pixels.
#pragma once

#include <cstdint>

#include "base/geom.h"
#include "image/mybit.h"

class Host;
class Rand;
struct Settings;

// The narrowest cell (mask pixels; three picture pixels) that still holds
// an area of its own between its cutting lines.
constexpr int32_t kMinCellSide = 6;

struct GridDivision {
    int32_t cellWidth = 0;  // always equal to cellHeight and even
    int32_t cellHeight = 0;
    int32_t columns = 0;
    int32_t rows = 0;
};

// The cell side for about `count` pieces on a W x H mask.  In arrange mode the
// side must divide W and H exactly; when no even side of 10 or more does, the
// player is told so and the general rule is used.  The side is at least
// kMinCellSide, unless the mask is narrower, and no larger than the shorter
// side of the mask, so every mask of at least 2 x 2 pixels gets at least one
// cell.  A mask smaller than that gets no cells.
// Counts above kMaxAreas count as kMaxAreas, and in arrange mode no side
// that gives more than kMaxAreas cells is taken.
GridDivision DivideGrid(int32_t count, int32_t maskWidth, int32_t maskHeight, int32_t arrange, Host& host);

// Sixteen unit shapes of 10 points each, in cell units.  Horizontal shapes run
// from (0, 0) to (1, 0) with positive y into the cell below the border;
// vertical shapes from (0, 0) to (0, 1) with positive x into the cell on the
// right.  Index k = base line (k % 4) + 4 * reversed + 8 * knob on the other side.
constexpr int kShapeCount = 16;
struct UnitPoint {
    double x = 0;
    double y = 0;
};
struct ShapeTables {
    UnitPoint h[kShapeCount][10];
    UnitPoint v[kShapeCount][10];
};

// The shapes from the four base lines of the settings (216 units per cell
// side).  The end points of the base lines are not read: every shape starts
// and ends exactly on the cell corners.
ShapeTables BuildShapeTables(const Settings& settings);

// The rectangles arrange mode works with, in picture pixels.
struct ArrangeRects {
    Rect whole;  // the whole trimmed picture
    Rect inner;  // without the outer ring of cells
};

// The cutting lines of a grid puzzle: per row, per column, the vertical cut to
// the right of the cell (when there is a cell to its right), then the
// horizontal cut below it (when there is a cell below).  Every line has 10
// points (three cubic segments); there is no terminating entry, the list's
// size is the number of lines.  One random draw per line picks its shape.
//
// On return count = rows * columns (the pieces actually made) and the mask
// size is trimmed to whole cells.  The arrange rectangles are written only in
// arrange mode, where the first and last cut of every row and of every column
// share one shape so that the arranged picture's edges match.
// The division itself is written to *division when it is given.
CutList BuildCutLines(int32_t& count, int32_t& maskWidth, int32_t& maskHeight, int32_t arrange,
                      ArrangeRects& rects, const Settings& settings, Rand& rng, Host& host,
                      GridDivision* division = nullptr);

// The same lines for a grid already divided (no message, no trimming).
CutList CutLinesForGrid(const GridDivision& grid, int32_t arrange, const ShapeTables& shapes, Rand& rng);
