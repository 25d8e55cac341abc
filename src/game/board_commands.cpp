#include "game/board_commands.h"

#include "game/clock.h"
#include "making/making_steps.h"
#include "pieces/board_ops.h"
#include "views/background.h"

void ScatterCommand(PuzzleGame& g) {
    Board& b = g.board;
    if (g.State() != kStatePlaying || b.count <= 0) return;
    Host& host = *g.host;
    host.KillTimer(IDT_CLOCK);
    host.KillTimer(IDT_SLIDE);
    g.slideX = g.slideY = 0;
    if (g.settings->arrangeMode) {
        for (int a = 0; a < b.count; ++a) PlaceAtHome(b, a);
    } else {
        const Size client = host.ClientSize();
        for (int k = 0; k < b.count; ++k)
            ScatterPiece(b, b.order[k], g.settings->rotation, g.settings->flip, client, g.rng);
    }
    RefreshBoard(g);
    g.startTick = g.lastTick = host.TickCount();
    g.totalPieces = CountGroups(b);
    UpdateTitle(g);
    host.SetTimer(IDT_CLOCK, 1000);
}

void RefreshBoard(PuzzleGame& g) {
    if (!g.background || !g.host) return;
    ComposeBoard(*g.background, *g.host);
    const MYBIT& board = g.background->boardPicture;
    if (g.board.count > 0)
        RedrawRegion(g.board, Rect{0, 0, board.Width(), board.Height()}, 0, g.board.count - 1);
    g.host->InvalidateBoard();
}

void GreyCommand(PuzzleGame& g) {
    if (!InProgress(g) || !g.background) return;
    SetGreyPicture(*g.background, *g.settings, *g.host, g.picture);
    RefreshBoard(g);
}
