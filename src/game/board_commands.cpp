#include "game/board_commands.h"

#include <unordered_map>
#include <vector>

#include "game/clock.h"
#include "game/making_steps.h"
#include "game/view_commands.h"
#include "pieces/board_ops.h"
#include "pieces/layout.h"
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
        const Size area = GamePlayArea(g);
        for (int k = 0; k < b.count; ++k)
            ScatterPiece(b, b.order[k], g.settings->rotation, g.settings->flip, area, g.rng);
    }
    RefreshBoard(g);
    g.startTick = g.lastTick = host.TickCount();
    // The clock starts again, and so does the count of pieces found.
    g.hintCount = 0;
    g.totalPieces = CountGroups(b);
    UpdateTitle(g);
    host.SetTimer(IDT_CLOCK, 1000);
}

namespace {

// The layout commands act on a puzzle in progress outside arrange mode,
// and not under a piece the pointer holds.
bool CanLayOut(const PuzzleGame& g) {
    return InProgress(g) && g.board.count > 0 && !g.settings->arrangeMode && g.held < 0;
}

// Whether each piece number is a group of its own.
std::vector<char> LoosePieces(const Board& b) {
    std::unordered_map<int32_t, int> members;
    for (int a = 0; a < b.count; ++a) ++members[b.pieces[a].group];
    std::vector<char> loose(b.count, 0);
    for (int a = 0; a < b.count; ++a) loose[a] = members[b.pieces[a].group] == 1;
    return loose;
}

// The pieces laid out in rows clear of the obstacles and of the windows
// that lie over the board (an open strip, the guide), and put on top in
// that order; the board drawn again once.
void LayOutAndRedraw(PuzzleGame& g, const std::vector<int>& pieces, std::vector<Rect> obstacles) {
    if (pieces.empty()) return;
    Board& b = g.board;
    SyncView(g);
    for (const Rect& r : g.host->CoveredAreas()) obstacles.push_back(g.view.ClientToTableRect(r));
    std::vector<Size> sizes;
    sizes.reserve(pieces.size());
    for (int a : pieces)
        sizes.push_back(Size{b.pieces[a].right - b.pieces[a].left, b.pieces[a].bottom - b.pieces[a].top});
    const RowLayout rows = PackInRows(sizes, GamePlayArea(g), obstacles);
    if (rows.at.size() != pieces.size()) return;  // a window with no room at all
    PlaceOnTop(b, pieces, rows.at);
    RefreshBoard(g);
}

}  // namespace

void GatherEdgesCommand(PuzzleGame& g) {
    if (!CanLayOut(g)) return;
    const Board& b = g.board;
    const std::vector<char> loose = LoosePieces(b);
    std::vector<int> candidates;
    for (int a = 0; a < b.count; ++a)
        if (loose[a] && !IsSpeck(b.pieces[a])) candidates.push_back(a);
    const std::vector<int> edges = EdgePiecesInOrder(b, candidates);
    std::vector<char> moving(b.count, 0);
    for (int a : edges) moving[a] = 1;
    std::vector<Rect> obstacles;
    for (int a = 0; a < b.count; ++a)
        if (!moving[a] && !IsSpeck(b.pieces[a])) obstacles.push_back(b.pieces[a].BoardRect());
    LayOutAndRedraw(g, edges, obstacles);
}

void LayOutCommand(PuzzleGame& g) {
    if (!CanLayOut(g)) return;
    const Board& b = g.board;
    const std::vector<char> loose = LoosePieces(b);
    std::vector<int> candidates;  // in drawing order, bottom first
    std::vector<Rect> obstacles;
    for (int k = 0; k < b.count; ++k) {
        const int a = b.order[k];
        if (IsSpeck(b.pieces[a])) continue;
        if (loose[a])
            candidates.push_back(a);
        else
            obstacles.push_back(b.pieces[a].BoardRect());
    }
    std::vector<int> pieces = EdgePiecesInOrder(b, candidates);
    std::vector<char> edge(b.count, 0);
    for (int a : pieces) edge[a] = 1;
    for (int a : candidates)
        if (!edge[a]) pieces.push_back(a);
    LayOutAndRedraw(g, pieces, obstacles);
}

void RefreshBoard(PuzzleGame& g) {
    if (!g.background || !g.host) return;
    ComposeBoard(*g.background, *g.host);
    const MYBIT& board = g.background->boardPicture;
    if (g.board.count > 0)
        RedrawRegion(g.board, Rect{0, 0, board.Width(), board.Height()}, 0, g.board.count - 1);
    g.board.changed = Rect{};
    g.host->InvalidateBoard();
}

void GreyCommand(PuzzleGame& g) {
    if (!InProgress(g) || !g.background) return;
    SetGreyPicture(*g.background, *g.settings, *g.host, g.picture);
    RefreshBoard(g);
}
