// Every puzzle can be finished: what labelling and the neighbour rule leave
// behind is mended here.
//
// A grid's cutting lines are one word wide and drawn on cells that may be
// only a few words across, so where two lines come close they pinch off
// pockets of a few words that labelling takes for areas of their own; such
// a pocket would become a speck that never joins anything.  A cutting
// pattern drawn by hand can leave white specks in its lines the same way,
// and lines thicker than one word leave pieces that share no outline with
// any other.  Each of these would leave a puzzle that can never be
// completed.
#pragma once

#include <cstdint>

#include "making/grid.h"
#include "making/making_state.h"

class Host;

// A pattern's area that fits in a square of this side (mask words; two
// picture pixels) is a speck: too small to see, let alone to pick up.
constexpr int32_t kSpeckSide = 4;

// Grid puzzles, after labelling: areas are merged until every cell of the
// grid holds exactly one, and m.cellAreas tells which.  Each cell takes the
// area that covers most of it (largest cover first); an area no cell took is
// a pocket between lines and is dissolved into them.  The areas that stay
// keep their order of labelling.  Returns the number of areas dissolved.
//
// A dissolved area's words become line words, and its rectangle goes to
// m.looseRects: GiveMeetingWords gives the words there that no area touches
// across a side to the pieces nearest them, so the picture keeps no hole.
int32_t FitAreasToCells(MakingState& m, const GridDivision& grid);

// Pattern puzzles, after labelling: every speck is dissolved into the lines
// as a grid's pockets are, unless the mask holds nothing else.  Returns the
// number of specks dissolved.
int32_t DissolveSpecks(MakingState& m);

// After the neighbour search, in steps short enough for the window to stay
// responsive between them: a grid's pieces list the pieces of the cells
// beside theirs, whatever their shared outline; then, while the pieces fall
// into groups that no chain of neighbours connects, the two pieces of
// different groups with the narrowest gap of non-area words between them
// (in the labelled mask) become neighbours.
//
// The gaps are found by a search that spreads from every area through the
// words no area holds, each word taken by the area that reaches it first
// (ties go to the area met first scanning rows from the top, then to the
// word that reached it first); where the fronts of two groups meet, the gap
// between their areas is the words crossed from both sides.  Of all the
// gaps between two groups only the narrowest counts (ties to the lower
// piece numbers), and the narrowest gaps link the groups until they are
// one, as a spanning tree of the groups.  The search marks the words it
// takes in the labelled mask itself, which is all the memory it needs
// besides a few rows and layers of words, and gives them back when done.
//
// StartLinkingApart links a grid's cells and forms the groups: 1 when a
// search must follow (kept in m.apartSearch, its progress bar shown), 0
// when the pieces are already one group.  LinkApartStep then does one step
// of the search: 1 while steps remain; the last links the pieces, closes
// the bar and drops the search.  A reset of the making drops a search half
// done along with the mask.
int StartLinkingApart(MakingState& m, Host& host);
int LinkApartStep(MakingState& m, Host& host);
