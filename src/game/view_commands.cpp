#include "game/view_commands.h"

#include <algorithm>
#include <cmath>

#include "game/puzzle_game.h"
#include "pieces/join.h"
#include "views/background.h"

namespace {

// Whether the pointer lies in the client; otherwise its centre stands in.
Point PointOrCentre(const TableView& v, Point at) {
    if (at.x >= 0 && at.y >= 0 && at.x < v.client.cx && at.y < v.client.cy) return at;
    return Point{v.client.cx / 2, v.client.cy / 2};
}

// A view over a table: zooming makes sense while a puzzle is made or played.
bool HasTable(const PuzzleGame& g) {
    return g.host && g.State() != kStateNone;
}

}  // namespace

void SetPuzzleTable(PuzzleGame& g) {
    if (!g.host) return;
    Host& host = *g.host;
    const Size screen = host.ScreenSize();
    const Size table =
        g.picture.Empty() ? screen : TableSizeFor(screen, Size{g.picture.Width(), g.picture.Height()});
    if (g.background) SetTableSize(*g.background, host, table);
    g.board.changed = Rect{};
    StartView(g.view, table, host.ClientSize(), screen);
}

void SyncView(PuzzleGame& g) {
    if (!g.host) return;
    const Size client = g.host->ClientSize();
    // A minimised window keeps its view for when it comes back.
    if (client.cx <= 0 || client.cy <= 0) return;
    if (client != g.view.client) ResizeView(g.view, client);
}

Size GamePlayArea(PuzzleGame& g) {
    Host& host = *g.host;
    const Size screen = host.ScreenSize();
    const Size table = g.view.table.cx > 0 ? g.view.table : screen;
    return PlayArea(table, screen, host.ClientSize());
}

void OnZoomCommand(PuzzleGame& g, ZoomCommand command, Point at) {
    if (!HasTable(g)) return;
    SyncView(g);
    TableView& v = g.view;
    at = PointOrCentre(v, at);
    bool changed = false;
    switch (command) {
        case ZoomCommand::kFit:
            FitView(v);
            changed = true;
            break;
        case ZoomCommand::kActualSize:
            changed = ZoomAt(v, 1.0, at);
            break;
        case ZoomCommand::kIn:
            changed = ZoomStepAt(v, 1, at);
            break;
        case ZoomCommand::kOut:
            changed = ZoomStepAt(v, -1, at);
            break;
    }
    if (changed) g.host->InvalidateBoard();
}

void OnWheel(PuzzleGame& g, int delta, Point at) {
    if (!HasTable(g)) return;
    SyncView(g);
    const int total = g.wheelRest + delta;
    const int steps = total / 120;
    g.wheelRest = total - steps * 120;
    if (steps != 0 && ZoomStepAt(g.view, steps, PointOrCentre(g.view, at))) g.host->InvalidateBoard();
}

void OnClientResized(PuzzleGame& g) {
    SyncView(g);
    if (g.host) g.host->InvalidateBoard();
}

void ShowBoardChanges(PuzzleGame& g) {
    const Rect changed = g.board.changed;
    g.board.changed = Rect{};
    if (!g.host || changed.IsEmpty()) return;
    const Rect r = g.view.TableToClient(changed);
    if (!r.IsEmpty()) g.host->InvalidateArea(r);
}

int SnapReach(const PuzzleGame& g) {
    const double s = g.view.scale > 0 ? g.view.scale : 1.0;
    // Within that many screen pixels: whole table pixels, a hair of
    // rounding allowed for scales such as 0.8 that doubles do not hold.
    return static_cast<int>(std::floor(JoinReach(g.dpi) / s + 1e-9));
}

void ShowFinished(PuzzleGame& g, const Rect& r, int frame) {
    SyncView(g);
    if (g.view.Shows(r)) return;
    const int t = std::clamp(frame, 0, 4096);
    FitViewTo(g.view, Rect{r.left - t, r.top - t, r.right + t, r.bottom + t});
    if (g.host) g.host->InvalidateBoard();
}
