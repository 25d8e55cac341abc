// Saved games (.pko): the picture and the whole board in one file.
//
// Layout, all integers 32-bit little-endian:
//   picture block | groups left | total pieces | elapsed ms | piece count n |
//   n piece blocks
// A picture block is the 14 + 40 bytes of a BMP's headers, the pixel count N
// and N pixel words, bottom row first; so a saved game begins like a 32-bit
// BMP whose pixel data starts at offset 54.  A piece block holds the eight
// orientation pictures, the board rectangle, orientation, group, the
// neighbour list ended by -1, the home rectangle, and entry i of the drawing
// order (the order is stored interleaved with the pieces).
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "base/digest.h"

struct Board;
struct BoardPlaces;
class MYBIT;

// The saved game's name for a picture or saved-game path: the extension of
// the file name replaced by ".pko" (appended when the name has none).
std::string SavedStateName(const std::string& picturePath);

// True when the path names a saved game (ends in ".pko", any case).
bool IsSavedStatePath(const std::string& path);

// Writes the board and the picture.  The new file replaces an old one only
// once it is complete.  A board or picture that ReadSavedState would refuse
// is not written at all (false, the old file kept): both sides keep the same
// rules, so whatever is written can be read.
bool WriteSavedState(const Board& board, const std::string& path, const MYBIT& picture, int32_t totalPieces,
                     int32_t elapsedMs);

// The same file for a board whose pieces lie at places (taken from it
// earlier with TakePlaces): the pictures, neighbours and home rectangles
// come from the board, which may meanwhile be played on another thread,
// since those never change in play.  The same bytes as WriteSavedState on
// the board as it stood.  A cancel flag that becomes true stops the write
// between two pieces (false, the old file kept); written, when given,
// receives the new file's length and digest.
bool WriteSavedStateWith(const Board& board, const BoardPlaces& places, const std::string& path,
                         const MYBIT& picture, int32_t totalPieces, int32_t elapsedMs,
                         const std::atomic<bool>* cancel = nullptr, FileId* written = nullptr);

struct SavedStateHead {
    int32_t groupsLeft = 0;
    int32_t totalPieces = 0;
    int32_t elapsedMs = 0;
};

enum class ReadResult {
    kOk,
    kCannotOpen,
    kBadFile,  // truncated, beyond the limits, or inconsistent
};

// Reads a whole saved game into the board (its pieces, order; the board's
// picture pointers are left as they are) and the picture.  A file is taken
// only when every count and size is within the limits and the file, every
// orientation is 0..7, every neighbour names a piece (a list holds at most
// kMaxPieces + 1 values with its -1, as a piece bordering every piece of a
// full board does), the drawing order is a permutation, every board
// rectangle has the size of its current picture and the turned pictures
// have the turned size.  Otherwise the board is left empty and the picture
// freed.
ReadResult ReadSavedState(Board& board, const std::string& path, MYBIT& picture, SavedStateHead& head);
ReadResult ReadSavedStateFromMemory(Board& board, const uint8_t* data, size_t size, MYBIT& picture,
                                    SavedStateHead& head);

// Only the head: the two counts after the picture block, without reading or
// allocating the picture.
bool ReadSavedCounts(const std::string& path, int32_t& remaining, int32_t& total);
