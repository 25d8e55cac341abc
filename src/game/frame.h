// The frame drawn round the finished picture once it has come to rest.
#pragma once

struct PuzzleGame;

// Changes the frame's settings by the given amounts and draws it: the board
// picture becomes the background with the finished picture at the final
// rectangle and t rings of one-pixel lines round it, and one of the end
// sounds plays.  Called with all amounts 0 when the slide has ended, and
// with the arrow keys' amounts while the puzzle is complete.
//
// Luma L1 and L2 are not limited (the colour conversion clamps them); hue
// wraps (above 100 it becomes 0, below 0 it becomes 100); chroma is kept
// within 0 .. 100; the thickness t is at least 2.  The rings' luma runs from
// L2 outside to L1 inside on the top and left sides and the other way round
// on the bottom and right sides.
void DrawCompletionFrame(PuzzleGame& g, double dL1, double dL2, double dH, double dS, int dT);
