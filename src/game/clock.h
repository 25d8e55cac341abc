// The clock and the title bar, and the completion, which rests on the
// board's group count (pieces/board_ops.h): the finished picture slides to
// the centre of the window and gets its frame.
#pragma once

#include <cstdint>
#include <string>

#include "game/puzzle_game.h"

// Interval of the slide timer (ms) and how far each tick moves the picture
// (board pixels).
constexpr unsigned kSlideInterval = 10;
constexpr int kSlideStep = 4;

// 1 when a puzzle is played and exactly one group is left.
int IsComplete(const PuzzleGame& g);
// 1 when a puzzle is played and not complete.
int InProgress(const PuzzleGame& g);

// Milliseconds played: last tick + carried time - start tick, in 32-bit
// unsigned arithmetic so that a wrapped tick count still gives the span.
uint32_t ElapsedMs(const PuzzleGame& g);

// The title for an elapsed time, the groups left and the total.  With one
// group or none left it takes the complete form, which names the pieces
// found through the guide when there were any.  Hours are not limited.
std::string FormatTitle(uint32_t elapsedMs, int groups, int total, int hints = 0);

void UpdateTitle(PuzzleGame& g);

// IDT_CLOCK: the time shown moves on to this tick.
void ClockTick(PuzzleGame& g);

// The union of the board rectangles of every piece but the specks; empty
// (all zero) when there is none.
Rect FinishedRect(const Board& board);

// The last drop left one group: the clock stops, the title takes the
// complete form, the finished picture is taken from the board and every
// piece record moves to where the picture will come to rest (centred in the
// client area when it fits), the slide timer starts, and a saved game that
// is finished this way is deleted.
void Complete(PuzzleGame& g);

// One slide offset moved a step toward 0: 4 pixels, and whatever is then
// within 3 pixels of 0 becomes 0.
int SlideToward(int offset);

// IDT_SLIDE: the finished picture a step nearer its resting place; at rest
// the timer stops and the frame is drawn.
void SlideStep(PuzzleGame& g);
