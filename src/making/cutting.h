// Cutting a picture into pieces along the white areas of a mask twice its
// size: labelling the areas one mask row at a time, cutting one piece at a
// time, and finding which pieces touch.  The making steps call these in
// order; each call is short so that the window stays responsive between them.
#pragma once

#include <cstdint>
#include <vector>

#include "base/geom.h"
#include "image/mybit.h"
#include "making/making_state.h"
#include "making/piece_pictures.h"

class Host;
struct Board;

// Work pictures and lists of one thread that cuts pieces, kept from piece to
// piece so that cutting a thousand pieces does not allocate, fault in and
// give back a thousand sets of them.
struct CutScratch {
    MYBIT pieceMask;
    MYBIT work;  // the outline walk's copy with a border
    std::vector<Point> marked;
    PieceScratch pictures;
};

// Everything of the record released and zeroed, the board it pointed to
// emptied; state 0.
void ResetMaking(MakingState& m);

// Makes a mask two-level on its red, green and blue bytes (the alpha byte is
// ignored): words of luma 128 or more become white areas (kMaskWhite), all
// others cutting lines (kMaskLine).  Returns the number of white words.
int64_t MakeTwoLevel(MYBIT& mask);

// Resets the record, takes the mask and a copy of the picture, and starts
// labelling (state 1): shows the labelling progress bar and posts MSG_MAKE_1.
// The mask is taken over, not copied; callers that need it keep their own.
//
// A mask that is not twice the picture's size is reported and cut anyway
// (the picture is trimmed or padded with black to half the mask); a mask with
// an odd width or height loses its last column or row.  Refused with a
// message, leaving state 0 and posting nothing (result 0): a mask larger than
// kMaxMaskPixels, and a mask without any white area.
int StartCutting(MakingState& m, const MYBIT& picture, MYBIT mask, Board& table, Host& host);

// One mask row, from the bottom row up: each white word found starts a new
// area, which is flood-filled (4-connected) with its label.  Areas are
// therefore numbered in the order their first pixel is met scanning upwards
// from the bottom-left corner, and each area's box is its bounding box.
// Labelling stops with a message at kMaxAreas areas.  Returns 1 while rows
// remain to be scanned.
int LabelRow(MakingState& m, Host& host);

// The rim width in mask pixels: edgeThick percent of the average piece side
// (counted at most as 100), and at least 3.
int32_t ComputeEdgeWidth(MakingState& m, int32_t edgeThick);

// Cuts area k into piece k of the board: its piece mask with the outline
// marked, its rectangle (written to the record as board and home rectangle,
// picture pixels) and its eight orientation pictures with the bevelled rim.
//
// Pieces may be cut on several threads at once, each with a scratch of its
// own: a piece reads the labelled mask, the picture and the meeting words,
// and writes nothing but its own record, box and outline.  Without a
// scratch, the user-interface thread's is used.
void CutPiece(MakingState& m, int k, int32_t edgeLight, CutScratch& scratch);
void CutPiece(MakingState& m, int k, int32_t edgeLight);

// Releases what the user-interface thread's scratch kept once a puzzle's
// pieces are all cut; the workers' scratches go with the workers.
void ReleaseCutScratch();

// Marks the outline of a piece mask (kMaskInside words on kMaskLine): the
// words just outside each contour, as the eight-neighbour walk passes them,
// become kMaskOutline.  The newly marked positions are appended to marked
// when it is given.  Holes inside the piece get their outline too.
void MarkOutline(MYBIT& pieceMask, std::vector<Point>* marked = nullptr);
// The same with the caller's work picture.
void MarkOutline(MYBIT& pieceMask, std::vector<Point>* marked, MYBIT& work);

// Neighbour lists of all cut pieces: piece h is listed for piece e (h = e
// included) when their piece masks share at least 11 outline words.  Lists
// are in increasing order and end with -1.  Shows its own progress bar.
void FindNeighbours(MakingState& m, Host& host);
