// The board: a fixed table of piece records and the drawing order.
//
// Invariants kept by every operation:
// - positions 0 .. count-1 of the drawing order hold a permutation of the
//   piece numbers 0 .. count-1, bottom first;
// - the pieces of one group lie on consecutive drawing positions;
// - the pieces of a group share one orientation, and their board rectangles
//   stand to each other as their home rectangles do turned by it;
// - the board picture is the clean board with every piece pasted on it
//   (PasteBlend) in drawing order.
#pragma once

#include <cstdint>
#include <vector>

#include "base/geom.h"
#include "image/mybit.h"

constexpr int kMaxPieces = 10000;

struct Piece {
    MYBIT pictures[8];  // index = orientation
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t orientation = 0;  // o mod 4 counter-clockwise quarter-turns, mirrored when o >= 4
    int32_t group = 0;
    std::vector<int32_t> neighbours;  // piece numbers, then -1
    int32_t homeLeft = 0, homeTop = 0, homeRight = 0, homeBottom = 0;

    Rect BoardRect() const { return Rect{left, top, right, bottom}; }
    Rect HomeRect() const { return Rect{homeLeft, homeTop, homeRight, homeBottom}; }
    const MYBIT& Current() const { return pictures[orientation & 7]; }
    void Clear();
};

struct Board {
    Board();

    int32_t count = 0;
    std::vector<Piece> pieces;   // kMaxPieces slots, indexed by piece number
    std::vector<int32_t> order;  // kMaxPieces entries; -1 where unused
    MYBIT* boardPicture = nullptr;
    MYBIT* cleanBoard = nullptr;
    // The part of the board picture changed since the window was last told
    // (board pixels): what the operations recomposed.  The caller shows it
    // and clears it.
    Rect changed;

    // Every piece's pictures and neighbours released, count 0, order all -1.
    void Empty();
};
