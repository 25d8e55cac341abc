// The start screen: the picture strip (and, for a pattern puzzle, the
// pattern strip below it) and what a choice in a strip starts.
#pragma once

#include "game/puzzle_game.h"

// "開く...", the start of the program, and a click beside a finished
// puzzle: the current puzzle is dropped without a question (one in
// progress saved first as on leaving it, SaveBeforeLeaving), both choices
// are forgotten, and the picture strip is shown (opened on the image folder
// when it has never been opened or was closed); with the piece count
// "ﾊﾟﾀｰﾝ使用" the pattern strip likewise, just below it.  While a puzzle is
// being made the player is told so and nothing changes.
void OpenCommand(PuzzleGame& g);

// MSG_PICK: entry index of browser slot (or PICK_NONE when the strip was
// closed without a press).  Slot 0 chooses the picture and slot 1 the
// pattern; a puzzle starts once the choices it needs are made.  A saved
// game needs no pattern, whatever the piece count: it is taken up at once,
// the pattern strip is hidden and both choices are forgotten, so a pattern
// picked afterwards starts nothing until a picture is chosen again.  Slot 2
// makes the chosen file the background tile.  A puzzle in progress (a
// strip stays open over the game a dropped file started) is saved as on
// leaving it before another starts.  Refused with a message while a puzzle
// is being made.
void OnPick(PuzzleGame& g, int slot, int index);
