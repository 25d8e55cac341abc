#include "game/clock.h"

#include <algorithm>
#include <cstdio>

#include "base/file_io.h"
#include "browser/browser_view.h"
#include "game/frame.h"
#include "game/recovery_writer.h"
#include "game/view_commands.h"
#include "pieces/board_ops.h"
#include "pieces/saved_state.h"
#include "views/background.h"

namespace {

// The finished picture when part of the puzzle lies off the board picture:
// a crop would lose that part and put the rest out of place.  The picture is
// rendered instead, w x h, the pieces pasted in drawing order over the clean
// board under the place where it will come to rest.
void RenderFinished(PuzzleGame& g, const Rect& finished, const Rect& rest) {
    const Board& b = g.board;
    g.finished.Create(finished.Width(), finished.Height());
    if (b.cleanBoard) {
        MYBIT under;
        if (under.CropFrom(*b.cleanBoard, rest.left, rest.top, rest.Width(), rest.Height()))
            g.finished.Paste(under, std::max(rest.left, 0) - rest.left, std::max(rest.top, 0) - rest.top);
    }
    for (int k = 0; k < b.count; ++k) {
        const Piece& p = b.pieces[b.order[k]];
        g.finished.PasteBlend(p.Current(), p.left - finished.left, p.top - finished.top);
    }
}

}  // namespace

int IsComplete(const PuzzleGame& g) {
    return g.State() == kStatePlaying && CountGroups(g.board) == 1;
}

int InProgress(const PuzzleGame& g) {
    return g.State() == kStatePlaying && CountGroups(g.board) != 1;
}

uint32_t ElapsedMs(const PuzzleGame& g) {
    return g.lastTick + static_cast<uint32_t>(g.carriedTime) - g.startTick;
}

std::string FormatTitle(uint32_t elapsedMs, int groups, int total, int hints) {
    const unsigned hours = elapsedMs / 3600000u;
    const unsigned minutes = (elapsedMs / 60000u) % 60u;
    const unsigned seconds = (elapsedMs / 1000u) % 60u;
    char text[160];
    if (groups >= 2) {
        std::snprintf(text, sizeof text, "pukko %02u:%02u:%02u 残り%dﾋﾟｰｽ(全%dﾋﾟｰｽ)", hours, minutes, seconds,
                      groups, total);
        return text;
    }
    char used[32] = "";
    if (hints > 0) std::snprintf(used, sizeof used, " ヒント%d回", hints);
    std::snprintf(text, sizeof text, "pukko %02u:%02u:%02u (^o^)完成(^o^)%s (全%dﾋﾟｰｽ)", hours, minutes,
                  seconds, used, total);
    return text;
}

void UpdateTitle(PuzzleGame& g) {
    if (!g.host) return;
    g.host->SetTitle(FormatTitle(ElapsedMs(g), CountGroups(g.board), g.totalPieces, g.hintCount));
}

void ClockTick(PuzzleGame& g) {
    if (!g.host) return;
    g.lastTick = g.host->TickCount();
    UpdateTitle(g);
    if (InProgress(g))
        RecordIfDue(g.recovery, g.board, g.picture, g.pictureFile,
                    PlayMoment{g.totalPieces, static_cast<int32_t>(ElapsedMs(g)), g.lastTick, g.hintCount});
}

Rect FinishedRect(const Board& board) {
    Rect r{99999, 99999, -99999, -99999};
    bool any = false;
    for (int i = 0; i < board.count; ++i) {
        const Piece& p = board.pieces[i];
        if (IsSpeck(p)) continue;
        any = true;
        r.left = std::min(r.left, p.left);
        r.top = std::min(r.top, p.top);
        r.right = std::max(r.right, p.right);
        r.bottom = std::max(r.bottom, p.bottom);
    }
    return any ? r : Rect{};
}

void Complete(PuzzleGame& g) {
    if (!g.host) return;
    Host& host = *g.host;
    host.KillTimer(IDT_CLOCK);
    UpdateTitle(g);
    host.InvalidateBoard();

    const Rect fin = FinishedRect(g.board);
    if (fin.IsEmpty()) return;  // nothing countable lies on the board
    const int w = fin.Width(), h = fin.Height();

    // The picture comes to rest in the middle of what the window shows of
    // the table (at 100 % from the table's corner: the middle of the
    // client area); where it is larger than that, it stays.
    SyncView(g);
    const Rect shown = g.view.VisibleTable();
    if (w > shown.Width() || h > shown.Height()) {
        g.finalRect = fin;
        g.slideX = g.slideY = 0;
    } else {
        const int left = shown.left + (shown.Width() - w) / 2, top = shown.top + (shown.Height() - h) / 2;
        g.finalRect = Rect{left, top, left + w, top + h};
        g.slideX = fin.left - left;
        g.slideY = fin.top - top;
    }

    const MYBIT* board = g.board.boardPicture;
    const bool onBoard = board && fin.left >= 0 && fin.top >= 0 && fin.right <= board->Width() &&
                         fin.bottom <= board->Height();
    if (onBoard)
        g.finished.CropFrom(*board, fin.left, fin.top, w, h);
    else
        RenderFinished(g, fin, g.finalRect);

    // The records already hold the resting place; the board picture follows
    // as the slide goes.
    for (int i = 0; i < g.board.count; ++i) {
        Piece& p = g.board.pieces[i];
        p.left -= g.slideX;
        p.right -= g.slideX;
        p.top -= g.slideY;
        p.bottom -= g.slideY;
    }
    host.SetTimer(IDT_SLIDE, kSlideInterval);
    ShowFinished(g, g.finalRect, g.settings ? g.settings->endWakuT : 0);

    // A finished saved game cannot be taken up again; a missing file is no
    // matter.  Nor is there anything left to recover.
    if (IsSavedStatePath(g.pictureFile)) {
        DeleteFileAt(g.pictureFile);
        if (g.browsers) NoteRemovedFile(*g.browsers, g.pictureFile);
    }
    DiscardRecord(g.recovery);
}

int SlideToward(int offset) {
    if (offset >= kSlideStep)
        offset -= kSlideStep;
    else if (offset < 0)
        offset += kSlideStep;
    if (offset > -kSlideStep && offset < kSlideStep) offset = 0;
    return offset;
}

void SlideStep(PuzzleGame& g) {
    if (!g.host) return;
    Host& host = *g.host;
    if (g.slideX == 0 && g.slideY == 0) {
        host.KillTimer(IDT_SLIDE);
        DrawCompletionFrame(g, 0, 0, 0, 0, 0);
        return;
    }
    g.slideX = SlideToward(g.slideX);
    g.slideY = SlideToward(g.slideY);
    if (g.background) ComposeBoard(*g.background, host);
    if (g.boardPicture)
        g.boardPicture->Paste(g.finished, g.finalRect.left + g.slideX, g.finalRect.top + g.slideY);
    host.InvalidateBoard();
}
