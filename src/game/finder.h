// The guide as a finder of pieces, with the "ヒント" setting on and a puzzle
// in progress.
//
// Which piece goes here: a click on the guide's picture finds the piece
// whose home covers that picture pixel by its own shape; its group comes to
// the top, a ring round it blinks on the board, and the view moves to it
// when it lies wholly out of sight.  A piece of the biggest group only
// blinks: it is found already.
//
// Where this piece goes: while a group is held, the guide marks its home
// area.
//
// The blink is drawn on the board picture and taken off by recomposing the
// ring's pixels from the clean board and every piece, so that once it ends
// the board picture is again the clean board with every piece pasted.
#pragma once

#include "base/geom.h"
#include "pieces/board.h"

struct PuzzleGame;

// The blink: kBlinkPhases phases of kBlinkMs, the ring drawn in the first,
// third and fifth (three times in 1.5 s), kBlinkWidth screen pixels wide at
// 96 DPI, whatever the view's scale.
constexpr int kBlinkPhases = 6;
constexpr unsigned kBlinkMs = 250;
constexpr int kBlinkWidth = 3;

// The piece whose home covers picture pixel `at` by its own shape: of the
// pieces whose home rectangle holds the pixel, the one whose orientation-0
// picture has the largest alpha there (the lowest number among equals);
// never a speck.  -1 where no piece covers it.
int PieceAtHome(const Board& b, Point at);

// The union of the home rectangles of the pieces of group g (picture
// pixels): where the group belongs, whatever its orientation.
Rect GroupHome(const Board& b, int g);

// Whether piece a belongs to the biggest group: the one of the most pieces
// (specks not counted), at least two; on a tie each of them.
bool InBiggestGroup(const Board& b, int a);

// Whether the aids answer: "ヒント" on and a puzzle in progress.
bool HintsOn(const PuzzleGame& g);

// MSG_GUIDE_PICK: a click on picture pixel `at` of the guide.  Nothing
// while a piece is pressed or held.
void OnGuidePick(PuzzleGame& g, Point at);

// IDT_BLINK: the blink's next phase.
void BlinkStep(PuzzleGame& g);

// A blink still running stops, its ring taken off the board.
void EndBlink(PuzzleGame& g);

// The held group's home marked on the guide (the host is called only when
// the mark changes); UnmarkHome takes the mark away.
void MarkHeldHome(PuzzleGame& g);
void UnmarkHome(PuzzleGame& g);
