// Setting up the one game record when the main window is created, and
// clearing it before every new puzzle.
#pragma once

#include "game/puzzle_game.h"

// At WM_CREATE: the record takes the host (the main window), the settings,
// the background and the browser slots, makes the background's surfaces and
// points the board at its pictures.
void InitGame(PuzzleGame& g, Host& host, Settings& settings, Background& background,
              BrowserSet* browsers = nullptr);

// Drops the current puzzle: the making record and the board emptied, every
// picture freed, pointer state, clock and completion cleared, the guide
// closed, the grey hint removed and the board shown without pieces, the
// title back to the program's name, the count of pieces found through the
// guide back to 0, and the clock, slide and blink timers killed.
void ResetGame(PuzzleGame& g);
