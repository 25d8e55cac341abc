// The making steps: preparing the picture and the mask, then the chain of
// posted messages that labels the mask, cuts the pieces one by one, lays each
// on the board as soon as it is cut, and finds the neighbours.
//
// Every step is one message: its handler does a small piece of work and posts
// its successor through the host, so the window repaints and the progress bar
// moves between steps.  The chain is
//   MSG_MAKE_1 (one mask row, repeated while rows remain), MSG_MAKE_2 (rim
//   width), MSG_MAKE_3 (cutting order), MSG_PLACE_PIECE (one piece, repeated
//   for every piece), MSG_MAKE_5 (neighbours; repeated while pieces that no
//   chain of neighbours joins are linked across their gaps), MSG_MAKE_DONE
//   (play starts).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "base/geom.h"

class MYBIT;
class Rand;
struct Board;
struct PuzzleGame;

// A grid puzzle from a picture file: read at the size setting (its longer
// side scaled to it; at its own size for "no scaling"), then as
// PrepareFromPicture.  0 when the picture could not be read (its reader has
// said so) or is too large.
int PrepareFromCurves(PuzzleGame& g, const std::string& picturePath);

// A grid puzzle from a picture already loaded at its playing size: the
// cutting lines for the piece-count setting are drawn into a white mask of
// twice the picture's size (the game's pattern) with their meeting points
// closed, the grid is kept in the game for the cutting, and the game's
// picture becomes the loaded picture's centre trimmed to whole cells.  The
// pattern preparers below leave the game without a grid.  Refused with a
// message (result 0) when the mask would exceed kMaxMaskPixels; 0 without a
// message for an empty picture (its reader has reported it).
int PrepareFromPicture(PuzzleGame& g, const MYBIT& loaded);

// A pattern puzzle whose pattern (the game's pattern, even-sized) is repeated
// nx times across and ny times down (both at least 2) to make the mask; the
// picture is trimmed to half the mask, keeping its centre.  0 with a message
// when the mask would be too large.
int TilePattern(PuzzleGame& g, int pw, int ph, int qw, int qh, int nx, int ny);

// A pattern puzzle whose pattern is the mask as it is: the picture is scaled
// to cover half the pattern's size, keeping its proportions, and trimmed to
// it round the centre.  Nothing changes when it already has that size.  0
// with a message when the scaled picture would be too large.
int FitPictureToPattern(PuzzleGame& g, int pw, int ph, int qw, int qh);

// Placing a piece for play.  Scattered pieces land in the left half of the
// play area (the client area, or the whole of a table larger than the
// screen), at least 50 pixels from its left and top edges, turned at random
// as the rotation and flip settings allow; a piece at home lies at its
// place in the finished picture, unturned.  Either way the piece becomes a
// group of its own.
void ScatterPiece(Board& table, int b, int rotation, int flip, Size area, Rand& rng);
void PlaceAtHome(Board& table, int a);

// The step handlers.  Each checks that the making is at its stage, so a step
// left over from a reset puzzle does nothing.
// Those that post return the message they posted, 0 when they did nothing.
unsigned LabelStep(PuzzleGame& g);      // MSG_MAKE_1
unsigned EdgeWidthStep(PuzzleGame& g);  // MSG_MAKE_2
unsigned OrderPieces(PuzzleGame& g);    // MSG_MAKE_3
unsigned MakeOnePiece(PuzzleGame& g);   // MSG_PLACE_PIECE, first half
void PlaceMadePiece(PuzzleGame& g);     // MSG_PLACE_PIECE, second half
unsigned FinishCutting(PuzzleGame& g);  // MSG_MAKE_5

// Runs the handler of one making message (MSG_MAKE_1 .. MSG_MAKE_5) and
// returns the message it posted, 0 when none (or msg is not one of them).
// MSG_MAKE_DONE, the start of play, belongs to the game.  A step that runs
// out of memory, on this thread or on a cutting worker, ends the making
// through MakingFailed (result 0).
unsigned MakingStage(PuzzleGame& g, unsigned msg);

// Making failed for want of memory: the game is reset as before a new
// puzzle (the cutting workers stopped, every picture and piece released,
// the guide closed, the board shown empty), the progress bar closed, and
// the player told in a message box of the main window.  The start screen
// is where a picture that cannot be cut leaves the player too.
void MakingFailed(PuzzleGame& g);

// The chain without a window: runs MakingStage from `first` for every
// successor until MSG_MAKE_DONE is posted (result 1) or the chain stops
// (result 0).  afterStep, when given, is called after each step with the
// message just handled.  Only for hosts whose PostStep does not itself
// deliver the messages (tests, benchmarks, the command-line maker).
int RunMakingSteps(PuzzleGame& g, unsigned first, const std::function<void(unsigned)>& afterStep = {});

// A whole grid puzzle from a picture in memory, without a window: prepare,
// start cutting and run the chain to its end (state 3, every piece cut,
// placed and given its neighbours).  g must have its host and settings; the
// board picture is drawn on when the game has one.  The random generator is
// used as it stands, so a fixed seed gives the same puzzle.  Result 1 when
// the puzzle was made.
int MakePuzzleFromPicture(PuzzleGame& g, const MYBIT& picture);
