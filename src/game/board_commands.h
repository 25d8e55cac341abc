// The menu's commands on the board of the puzzle being played: the pieces
// scattered again, the grey hint switched, and the board drawn again after
// its background changed.
#pragma once

#include "game/puzzle_game.h"

// "ﾊﾞﾗﾊﾞﾗにする": every join undone and every piece put down again as a group
// of its own: scattered over the left half of the window with orientations
// as the rotation and flip settings allow, or, in arrange mode, at its home
// place unturned.  Play and the clock start again from here, and the count
// of pieces found through the guide; the time carried from a saved game is
// kept.  Nothing while a puzzle is being made
// or when no puzzle is on the board.  A completion slide still running
// stops, so that it does not paste the finished picture over the pieces.
void ScatterCommand(PuzzleGame& g);

// "端ﾋﾟｰｽを集める": every edge piece that is a group of its own goes into
// the part of the window no other piece covers, in rows, corners first and
// then along the border (top, right, bottom, left), on top of the others.
// "ﾋﾟｰｽを並べる": every piece that is a group of its own is laid out in rows
// round the joined groups, edge pieces first, the rest in their drawing
// order.  Orientations, groups and the clock are left alone and nothing
// joins; the board is drawn again once.  Both act only while a puzzle is in
// progress and not in arrange mode.
void GatherEdgesCommand(PuzzleGame& g);
void LayOutCommand(PuzzleGame& g);

// The background drawn again (colour, tiles, grey hint) and every piece
// over it, and the window invalidated.
void RefreshBoard(PuzzleGame& g);

// "背景にｸﾞﾚｰ表示" once its setting has been switched: while a puzzle is in
// progress the hint is made or removed at once and the board drawn again.
void GreyCommand(PuzzleGame& g);
