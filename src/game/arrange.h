// Arrange mode on the game: the arranged picture built when making ends,
// adjusted by the keys, and written out as two BMP files.
#pragma once

#include "game/puzzle_game.h"

// Files F8 writes into the current folder: the inner rectangle, and the whole.
inline constexpr const char kArrangedInnerFile[] = "seiretu.bmp";
inline constexpr const char kArrangedWholeFile[] = "seiretu_all.bmp";

// The end of making in arrange mode: the canvas of the whole rectangle's
// size with the pieces as laid, the arranged picture a copy of it, the hue
// directions found, and the board shows the canvas at its top-left corner.
// Nothing (0) while the whole rectangle's right edge is 0: no grid puzzle
// was made in arrange mode.
int BuildArrangedPicture(PuzzleGame& g);

// Space, Up and Down in arrange mode: the deltas join the offsets (totals
// since the puzzle was made) and step 1 adds a blur pass; the arranged
// picture is recomputed from the canvas with the totals, blurred as many
// times as counted, and shown on the board.  Nothing (0) without a canvas.
int ArrangeAdjust(PuzzleGame& g, double lumaDelta, double hueDelta, double chromaDelta, int blurStep);

// F8 in arrange mode: the inner rectangle of the arranged picture to
// kArrangedInnerFile and the whole to kArrangedWholeFile, then a message
// saying so, or naming each file that could not be written (an existing
// file is then left as it was).  No arranged picture: nothing written, no
// message, 0.  1 when both files were written.
int ArrangeOutput(PuzzleGame& g);
