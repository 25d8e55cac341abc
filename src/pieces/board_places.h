// What moves on a board during play: each piece's board rectangle,
// orientation and group, and the drawing order.  A piece's pictures,
// neighbours and home rectangle never change once the puzzle is made, so
// these few words per piece are all that tells one moment of a game from
// another.  A copy of them is what the window's thread hands a writer that
// runs beside it (a few tens of kilobytes at 1000 pieces).
#pragma once

#include <cstdint>
#include <vector>

#include "pieces/board.h"

// Board coordinates further out than this cannot come from play; refusing
// them keeps every later sum and negation of a rectangle inside 32 bits.
constexpr int32_t kMaxCoordinate = 1 << 24;
// Group numbers are 0 .. kMaxGroup - 1.
constexpr int32_t kMaxGroup = 1 << 30;

struct PiecePlace {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    int32_t orientation = 0;
    int32_t group = 0;
    bool operator==(const PiecePlace&) const = default;
};

struct BoardPlaces {
    std::vector<PiecePlace> pieces;  // by piece number
    std::vector<int32_t> order;      // piece numbers by drawing position, bottom first
    int32_t groupsLeft = 0;          // CountGroups of the board they were taken from
    int32_t Count() const { return static_cast<int32_t>(pieces.size()); }
    bool operator==(const BoardPlaces&) const = default;
};

PiecePlace PlaceOf(const Piece& p);

// The places of the board's count pieces, into out's storage (no
// allocation once it has held as many).  The board's count must be 0 ..
// kMaxPieces.
void TakePlaces(const Board& board, BoardPlaces& out);

// The rules a place keeps, the same for the saved-game reader and writer
// and for the recovery record: coordinates within kMaxCoordinate,
// orientation 0..7, group 0 .. kMaxGroup - 1, and the rectangle the size of
// the piece's picture in that orientation.
bool PlaceIsSound(const PiecePlace& place, const Piece& piece);

// Positions 0..n-1 hold every piece once, and each group's pieces lie on
// consecutive positions (n = places.Count(), the order as long).
bool OrderIsSound(const BoardPlaces& places);

// Places that fit this board: as many pieces, every place sound for its
// piece's pictures, the order sound.
bool PlacesFit(const Board& board, const BoardPlaces& places);

// The places put on the board when they fit it (true); otherwise the board
// is left as it was.  The board picture is not redrawn.
bool ApplyPlaces(Board& board, const BoardPlaces& places);
