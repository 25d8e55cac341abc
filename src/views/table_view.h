// The window's view of the table: the pieces lie on a table of picture
// pixels (the board picture and the clean board), and the main window shows
// a part of it, scaled.
//
//     table, tw x th picture pixels
//     +-----------------------------------------------+
//     |   origin (ox, oy): the table point at the      |
//     |   client's top-left corner                     |
//     |      +------------------+                      |
//     |      |  what the client |  cw / s x ch / s     |
//     |      |  shows           |  table pixels        |
//     |      +------------------+                      |
//     +-----------------------------------------------+
//
// client = (table - origin) * s, and back: table = origin + client / s.
// A zoom changes the scale s, and the origin so that one table point stays
// under the pointer; a scroll (panning) changes the origin alone.  The
// window never scales by itself: it asks the view to convert points and
// rectangles, both ways.
//
// At a scale of 1 the origin is kept whole, so that one table pixel is one
// client pixel, exactly as a board the size of the screen was always shown.
#pragma once

#include <vector>

#include "base/geom.h"

// The zoom runs between the fit scale and kMaxZoom, in steps of kZoomStep.
constexpr double kMaxZoom = 2.0;
constexpr double kZoomStep = 1.25;

struct TableView {
    Size table;   // picture pixels
    Size client;  // the main window's client area, screen pixels
    double scale = 1;
    double originX = 0, originY = 0;
    // The view shows the whole table and keeps doing so when the client
    // changes size.
    bool fitted = false;

    // The table pixel under a client pixel (its centre taken).
    Point ClientToTable(Point c) const;
    // The client pixels a table rectangle shows on, grown by what the
    // filters read beside each pixel; empty for an empty rectangle.
    Rect TableToClient(const Rect& r) const;
    // The table pixels a client rectangle shows (all it touches).
    Rect ClientToTableRect(const Rect& r) const;
    // The table pixels the client shows, clipped to the table.
    Rect VisibleTable() const;
    // Whether the client shows all of a table rectangle.
    bool Shows(const Rect& r) const;
    bool OneToOne() const;
};

// The table a picture of pw x ph is played on, for a screen of sw x sh:
// max(sw, 2 pw) x max(sh, 2 ph).  Pictures up to half the screen keep the
// board the size of the screen.
Size TableSizeFor(Size screen, Size picture);

// Where pieces are scattered and laid out: the whole table when it is
// larger than the screen; otherwise the part of it the client shows at
// 100 %, which is the client itself unless the window is larger than the
// screen.  Nothing goes where it is not drawn.
Size PlayArea(Size table, Size screen, Size client);

// min(1, cw / tw, ch / th): the scale that shows the whole table.
double FitScale(Size table, Size client);

// The scales the zoom steps through for a fit scale: the fit scale, 100 %
// and 200 %, and the powers of 1.25 between them, leaving out those closer
// than half a step to one of the three.  Ascending.
std::vector<double> ZoomSteps(double fit);

// A new table or client size: the view shows the table at 100 % from its
// top-left corner when it is no larger than the screen, and fitted
// otherwise.
void StartView(TableView& v, Size table, Size client, Size screen);

// The client changed size: a fitted view fits again, another keeps its
// scale and is kept within its limits.
void ResizeView(TableView& v, Size client);

// The whole table, centred.
void FitView(TableView& v);

// The scale s with the table point under the client point `at` kept under
// it; s is held between the fit scale and kMaxZoom.  At 100 % the origin is
// rounded to whole pixels.  Returns whether the view changed.
bool ZoomAt(TableView& v, double s, Point at);

// One step of ZoomSteps up (steps > 0) or down from the scale now, at the
// client point `at`.  Returns whether the view changed.
bool ZoomStepAt(TableView& v, int steps, Point at);

// The view moved by dx, dy client pixels (the table follows the pointer).
// Returns whether the origin changed.
bool PanBy(TableView& v, int dx, int dy);

// The largest scale up to 100 % that shows the table rectangle r whole
// (never below the fit scale), centred on r.
void FitViewTo(TableView& v, const Rect& r);

// The view keeps its scale and moves to show the centre of the table
// rectangle r at the client's centre, as near as the table's edges let it
// (ClampView).  Nothing for an empty rectangle.
void CentreViewOn(TableView& v, const Rect& r);

// Holds the origin where the view shows as much of the table as it can:
// along an axis where the scaled table is longer than the client no edge
// of the client lies beyond the table's; where it is shorter the table
// lies wholly inside the client.
void ClampView(TableView& v);
