// Starting a puzzle from a picture, with or without a cutting pattern, and
// the start of play once the making steps are done.
#pragma once

#include <functional>
#include <string>

#include "game/puzzle_game.h"

// Drops the current puzzle and starts making a new one (a saved game,
// named by its .pko path, is resumed instead): the picture is read
// at the size setting, the mask made from the cutting lines for the
// piece-count setting or from the pattern (its odd last column or row
// dropped, tiled when it is at most half the picture's size, else the
// picture fitted to it), the grey hint and the board shown, and the making
// steps started (state 1, MSG_MAKE_1 posted); the guide opens when its
// setting is on and the waiting sound plays.  The generator is seeded from
// the host's clock.  0 when nothing was started (a file that could not be
// read or a mask that cannot be cut; the user has been told).
int StartPuzzle(PuzzleGame& g, const std::string& picturePath, const std::string& patternPath = {});

// MSG_MAKE_DONE: play starts: the window comes to the front, the clock
// starts and the title shows the pieces.  Nothing when making has not just
// finished.
void OnMakeDone(PuzzleGame& g);

// The window procedure's entry for the six making messages (MSG_MAKE_1 ..
// MSG_MAKE_DONE): runs the step; 1 when msg was one of them.
int MakingStep(PuzzleGame& g, unsigned msg);

// Without a window: runs the posted making steps to the end and starts play.
// For hosts whose PostStep does not deliver messages (tests, the
// command-line maker).  afterStep, when given, is called after each making
// step with the message just handled (MSG_MAKE_1 .. MSG_MAKE_5), so a caller
// can time the stages.  1 when play started.
int RunMakingToPlay(PuzzleGame& g, const std::function<void(unsigned)>& afterStep = {});
