// The eight orientation pictures of one piece, with the bevelled rim.
//
// Each orientation o is, by definition, the picture part turned by o and
// shaded through the bevel map of the piece mask turned by o, halved to
// picture size.  The light comes from the top-left whatever the turn, so the
// rim differs between orientations; but the bevel map of a turned mask is the
// turned map of one of only four half-window counts of the unturned mask
// (the two diagonals, each from either side).  They are computed here once,
// in constant time per mask pixel, and every orientation's picture is written
// straight to its turned place: no turned masks, no eight bevel maps.
#pragma once

#include <cstdint>
#include <vector>

class MYBIT;

// Work arrays of the rim shading, kept from piece to piece: a puzzle cuts up
// to thousands of pieces of similar size, and fresh arrays would cost a page
// fault per page.  One per thread that cuts.
struct PieceScratch {
    std::vector<uint8_t> B;
    std::vector<int32_t> rowSum, antiSum, mainSum;
    std::vector<int32_t> dPlus, mainDiag;   // per word
    std::vector<int32_t> runD, runS, runT;  // per column: the running counts
    std::vector<uint8_t> deep;
    std::vector<uint64_t> packed;
};

// pieceMask: mask resolution, even width and height, 0 outside the piece.
// picture: the whole picture; the piece's part starts at (px, py) and is half
// the mask's size (the caller guarantees it lies inside).  edgeWidth is the
// bevel radius in mask pixels, edgeLight the rim strength.  out[o] becomes
// the picture of orientation o: coverage alpha from the halved mask, 0
// outside the piece.
// The scratch given is the calling thread's own; without one, the program's
// one scratch of the user-interface thread is used.
void MakePiecePictures(const MYBIT& pieceMask, const MYBIT& picture, int px, int py, int edgeWidth,
                       int edgeLight, MYBIT out[8], PieceScratch& scratch);
void MakePiecePictures(const MYBIT& pieceMask, const MYBIT& picture, int px, int py, int edgeWidth,
                       int edgeLight, MYBIT out[8]);

// The bevel percentage of every mask word for the unturned orientation and
// for the three others that differ, in the unturned frame: map[j] holds, per
// mask word (top row first), the percentage that orientations kBevelMapOf[j]
// give that word (0 for words outside the piece).  For tests.
void BevelPercentages(const MYBIT& pieceMask, int edgeWidth, std::vector<uint8_t> map[4]);


// Which of the four maps each orientation uses.
constexpr int kBevelMapOf[8] = {0, 2, 1, 3, 2, 1, 3, 0};
