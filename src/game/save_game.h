// Saving the game being played to its .pko file and resuming one.
#pragma once

#include <string>

#include "game/puzzle_game.h"

// The menu's save (showMessage 1: the confirmation box) and the save on exit
// (0).  Nothing while a puzzle is being made or when none is played.  Saving
// stops the clock; the title keeps the time it shows, which is the time
// stored.  1 when the file was written.
int SaveGame(PuzzleGame& g, int showMessage);

// The player leaves the game in progress for another puzzle ("開く", a
// pick in a strip, a dropped file): with "終了時状態保存" on it is saved
// silently first, as when the window closes; otherwise, and when no puzzle
// is in progress, nothing happens.
void SaveBeforeLeaving(PuzzleGame& g);

// Resumes a saved game into a reset game record: board, picture, total and
// carried time from the file, play started with the clock counting on from
// the carried time.  A file that cannot be read or is not a sound saved game
// is refused with a message and leaves no puzzle.  1 when play started.
int RestoreGame(PuzzleGame& g, const std::string& path);

struct SavedStateHead;
// Play of a board just read into a reset game record begins: the total and
// carried time from head, the table, the board drawn, the guide, the clock
// and the title, as RestoreGame does once it has read its file.
void StartRestoredPlay(PuzzleGame& g, const SavedStateHead& head);
