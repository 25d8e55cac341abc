// A file dropped on the main window.
#pragma once

#include <string>

#include "game/puzzle_game.h"

// The first dropped file starts a puzzle from a picture, or resumes a saved
// game; a puzzle in progress is first saved as on leaving it
// (SaveBeforeLeaving).  Refused with a message while a puzzle is being
// made, and while the piece count is "use a pattern" (a drop never starts
// a pattern puzzle).
// The name may come wrapped in double quotes.
void OnDropFile(PuzzleGame& g, std::string name);
