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

// After the neighbour search: a grid's pieces list the pieces of the cells
// beside theirs, whatever their shared outline; then, while the pieces fall
// into groups that no chain of neighbours connects, the two pieces of
// different groups with the narrowest gap of non-area words between them
// (in the labelled mask) become neighbours.  Returns the number of pairs
// linked.
int32_t LinkApartPieces(MakingState& m);
