#include "game/finder.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "base/dpi_scale.h"
#include "game/clock.h"
#include "game/puzzle_game.h"
#include "game/view_commands.h"
#include "pieces/board_ops.h"
#include "views/guide.h"

namespace {

int PositionOf(const Board& b, int a) {
    for (int k = 0; k < b.count; ++k)
        if (b.order[k] == a) return k;
    return -1;
}

// Where the group lies on the board (table pixels).
Rect GroupRect(const Board& b, int g) {
    Rect r;
    for (int a = 0; a < b.count; ++a)
        if (b.pieces[a].group == g) r = UnionRect(r, b.pieces[a].BoardRect());
    return r;
}

// The ring with outer edge r and width w as four bands that do not overlap.
std::array<Rect, 4> RingBands(const Rect& r, int w) {
    return {Rect{r.left, r.top, r.right, r.top + w}, Rect{r.left, r.bottom - w, r.right, r.bottom},
            Rect{r.left, r.top + w, r.left + w, r.bottom - w},
            Rect{r.right - w, r.top + w, r.right, r.bottom - w}};
}

// The ring round the blinking group drawn on the board picture, just
// outside the group's rectangle.
void ShowRing(PuzzleGame& g) {
    Board& b = g.board;
    if (g.blinkPiece < 0 || g.blinkPiece >= b.count || !b.boardPicture || b.boardPicture->Empty()) return;
    const Rect r = GroupRect(b, b.pieces[g.blinkPiece].group);
    const double s = g.view.scale > 0 ? g.view.scale : 1.0;
    const int w = std::max(1, static_cast<int>(std::ceil(ScalePx(kBlinkWidth, g.dpi) / s - 1e-9)));
    g.blinkWidth = w;
    g.blinkRing = Rect{r.left - w, r.top - w, r.right + w, r.bottom + w};
    MYBIT& picture = *b.boardPicture;
    picture.FillFrameWord(g.blinkRing, w, ColorRefToPixel(kHintColour));
    Rect drawn;
    if (IntersectRect(&drawn, g.blinkRing, Rect{0, 0, picture.Width(), picture.Height()}))
        b.changed = UnionRect(b.changed, drawn);
}

// The ring's pixels made again from the clean board and every piece.
void HideRing(PuzzleGame& g) {
    if (g.blinkRing.IsEmpty()) return;
    Board& b = g.board;
    for (const Rect& band : RingBands(g.blinkRing, g.blinkWidth)) {
        PasteClean(b, band);
        RedrawRegion(b, band, 0, b.count - 1);
    }
    g.blinkRing = Rect{};
}

}  // namespace

int PieceAtHome(const Board& b, Point at) {
    int best = -1;
    uint32_t most = 0;
    for (int a = 0; a < b.count; ++a) {
        const Piece& p = b.pieces[a];
        if (at.x < p.homeLeft || at.x >= p.homeRight || at.y < p.homeTop || at.y >= p.homeBottom) continue;
        if (IsSpeck(p)) continue;
        const MYBIT& home = p.pictures[0];
        const int x = at.x - p.homeLeft, y = at.y - p.homeTop;
        // A home rectangle that disagrees with its picture must not read outside it.
        if (x >= home.Width() || y >= home.Height()) continue;
        const uint32_t alpha = home.At(x, y) >> 24;
        if (alpha > most) {
            most = alpha;
            best = a;
        }
    }
    return best;
}

Rect GroupHome(const Board& b, int g) {
    Rect r;
    for (int a = 0; a < b.count; ++a)
        if (b.pieces[a].group == g) r = UnionRect(r, b.pieces[a].HomeRect());
    return r;
}

bool InBiggestGroup(const Board& b, int a) {
    if (a < 0 || a >= b.count) return false;
    // Each group lies on consecutive drawing positions: its size is the
    // length of its run.
    const int32_t mine = b.pieces[a].group;
    int most = 0, own = 0;
    for (int k = 0; k < b.count;) {
        const int32_t g = b.pieces[b.order[k]].group;
        int n = 0;
        for (; k < b.count && b.pieces[b.order[k]].group == g; ++k) n += !IsSpeck(b.pieces[b.order[k]]);
        most = std::max(most, n);
        if (g == mine) own = n;
    }
    return most >= 2 && own == most;
}

bool HintsOn(const PuzzleGame& g) {
    return g.host && g.settings && !g.settings->hintsOff && InProgress(g);
}

void OnGuidePick(PuzzleGame& g, Point at) {
    if (!HintsOn(g) || g.held >= 0 || g.pressPending) return;
    Board& b = g.board;
    const int a = PieceAtHome(b, at);
    if (a < 0) return;
    EndBlink(g);
    if (!InBiggestGroup(b, a)) {
        ++g.hintCount;
        RaiseGroup(b, PositionOf(b, a));
        SyncView(g);
        const Rect r = GroupRect(b, b.pieces[a].group);
        Rect seen;
        if (!IntersectRect(&seen, r, g.view.VisibleTable())) {
            CentreViewOn(g.view, r);
            g.host->InvalidateBoard();
        }
    }
    g.blinkPiece = a;
    g.blinkLeft = kBlinkPhases - 1;
    ShowRing(g);
    g.host->SetTimer(IDT_BLINK, kBlinkMs);
    ShowBoardChanges(g);
}

void BlinkStep(PuzzleGame& g) {
    if (g.blinkPiece < 0 || g.blinkLeft <= 0) {
        EndBlink(g);
        return;
    }
    --g.blinkLeft;
    HideRing(g);
    // Phases count from 0, the one the click showed; the even ones show the ring.
    if ((kBlinkPhases - 1 - g.blinkLeft) % 2 == 0) ShowRing(g);
    if (g.blinkLeft == 0) {
        g.blinkPiece = -1;
        g.host->KillTimer(IDT_BLINK);
    }
    ShowBoardChanges(g);
}

void EndBlink(PuzzleGame& g) {
    if (g.blinkPiece < 0 && g.blinkRing.IsEmpty()) return;
    HideRing(g);
    g.blinkPiece = -1;
    g.blinkLeft = 0;
    if (g.host) g.host->KillTimer(IDT_BLINK);
    ShowBoardChanges(g);
}

void MarkHeldHome(PuzzleGame& g) {
    if (g.held < 0 || g.held >= g.board.count || !HintsOn(g)) return;
    // Asked on every move: the guide hears only of a change (a button let
    // go outside the window is never reported, and the next press holds
    // another group without a drop between).
    const Rect home = GroupHome(g.board, g.board.pieces[g.board.order[g.held]].group);
    if (home == g.guideMark) return;
    g.guideMark = home;
    g.host->MarkGuide(home);
}

void UnmarkHome(PuzzleGame& g) {
    if (g.guideMark.IsEmpty()) return;
    g.guideMark = Rect{};
    if (g.host) g.host->MarkGuide(Rect{});
}
