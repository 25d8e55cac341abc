// Keys and mouse input of the main window: the pointer state machine over
// the board's operations, and the key table.
#include "game/input.h"

#include <cstdlib>

#include "config/settings.h"
#include "config/sounds.h"
#include "config/switches.h"
#include "game/arrange.h"
#include "game/clock.h"
#include "game/finder.h"
#include "game/frame.h"
#include "game/puzzle_game.h"
#include "game/recovery_writer.h"
#include "game/save_game.h"
#include "game/start_screen.h"
#include "game/view_commands.h"
#include "making/shape_dump.h"
#include "pieces/board_ops.h"
#include "pieces/drag.h"
#include "pieces/join.h"
#include "pieces/turn.h"

namespace {

// How far (screen pixels at 96 DPI) the pointer goes from a press beside
// every piece before the view follows it.
constexpr int kPanStart = 4;

// Space: the piece under the cursor (client pixels) leaves its group.
void DetachPieceAt(PuzzleGame& g, Point cursor) {
    SyncView(g);
    const Point at = g.view.ClientToTable(cursor);
    int k = HitTest(g.board, at.x, at.y);
    if (k < 0) return;
    DetachPiece(g.board, k);
    // The detached piece went to the top and those above it moved down one:
    // a piece pressed or held meanwhile keeps being the same piece.
    if (g.held == k)
        g.held = g.board.count - 1;
    else if (g.held > k)
        --g.held;
    ShowBoardChanges(g);
}

// F5: the top piece as it lies, written beside the program.
void WritePieceBitmap(PuzzleGame& g) {
    if (g.board.count <= 0) return;
    const Piece& top = g.board.pieces[g.board.order[g.board.count - 1]];
    const std::string path = BaseFolder(*g.settings) + "\\piece.bmp";
    if (top.Current().SaveFile(path))
        g.host->MessageBox("piece.bmp出力しました。", "pukko", kMbOk, Owner::kNone);
    else
        g.host->MessageBox("piece.bmpを出力できませんでした。", "pukko", kMbOk, Owner::kNone);
}

bool Playing(const PuzzleGame& g) {
    return g.State() == kStatePlaying;
}

// The arrow keys: frame adjustments on a completed puzzle (the amounts are
// added to end_waku_L1, L2, H, S and t, and the frame is drawn again), the arranged
// picture's offsets in arrange mode (up and down only), nothing otherwise.
void OnArrowKey(PuzzleGame& g, int vk, bool ctrl, bool shift) {
    if (IsComplete(g)) {
        int sign = (vk == kVkRight || vk == kVkUp) ? 1 : -1;
        if (vk == kVkLeft || vk == kVkRight) {
            if (ctrl)
                DrawCompletionFrame(g, 0, 0, 0, 0, sign);
            else
                DrawCompletionFrame(g, 0, 0, sign, 0, 0);
        } else if (ctrl) {
            DrawCompletionFrame(g, 0, 0, 0, 0, sign);
        } else if (shift) {
            DrawCompletionFrame(g, 10.0 * sign, 10.0 * sign, 0, 0, 0);
        } else {
            DrawCompletionFrame(g, 0, 0, 0, sign, 0);
        }
    }
    if (g.settings->arrangeMode && (vk == kVkUp || vk == kVkDown)) {
        int sign = vk == kVkUp ? 1 : -1;
        if (shift)
            ArrangeAdjust(g, sign, 0, 0, 0);
        else
            ArrangeAdjust(g, 0, 0, sign, 0);
    }
}

// Ctrl with 0, 1, + and - (the main keyboard's or the keypad's): the view.
bool OnZoomKey(PuzzleGame& g, int vk, Point cursor) {
    switch (vk) {
        case kVk0:
        case kVkNumpad0:
            OnZoomCommand(g, ZoomCommand::kFit, cursor);
            return true;
        case kVk1:
        case kVkNumpad1:
            OnZoomCommand(g, ZoomCommand::kActualSize, cursor);
            return true;
        case kVkOemPlus:
        case kVkAdd:
            OnZoomCommand(g, ZoomCommand::kIn, cursor);
            return true;
        case kVkOemMinus:
        case kVkSubtract:
            OnZoomCommand(g, ZoomCommand::kOut, cursor);
            return true;
        default:
            return false;
    }
}

// The press becomes a hold: its group comes to the top.
void EndPressWait(PuzzleGame& g) {
    g.host->KillTimer(IDT_PRESS);
    g.pressPending = 0;
    g.held = RaiseGroup(g.board, g.held);
}

}  // namespace

void OnKeyDown(PuzzleGame& g, int vk, bool ctrl, bool shift, Point cursor) {
    if (ctrl && OnZoomKey(g, vk, cursor)) return;
    switch (vk) {
        case kVkSpace:
            if (g.settings->arrangeMode)
                ArrangeAdjust(g, 0, 0, 0, 1);
            else if (!g.Making())
                DetachPieceAt(g, cursor);
            break;
        case kVkLeft:
        case kVkRight:
        case kVkUp:
        case kVkDown:
            OnArrowKey(g, vk, ctrl, shift);
            break;
        case kVkF5:
            WritePieceBitmap(g);
            break;
        case kVkF6:
            DumpShapeSettingsCommand(*g.settings, *g.host);
            break;
        case kVkF7:
            SwitchArrangeMode(*g.settings, *g.host);
            break;
        case kVkF8:
            if (g.settings->arrangeMode) ArrangeOutput(g);
            break;
        case kVkF9:
            SwitchTrace(*g.host);
            break;
        default:
            break;
    }
}

// The pointer is converted once, here, from client to table pixels; the
// board's operations never see client pixels.
void OnPress(PuzzleGame& g, uint8_t button, int x, int y) {
    if (!Playing(g)) return;
    EndBlink(g);
    SyncView(g);
    const Point at = g.view.ClientToTable({x, y});
    g.buttonBits |= button;
    if (!g.pressPending) {
        g.current = at;
        g.held = HitTest(g.board, at.x, at.y);
        if (g.held >= 0) {
            g.dragRef = at;
            g.pressPending = 1;
            g.host->SetTimer(IDT_PRESS, 300);
        } else if (!g.panning) {
            // Beside every piece a drag moves the view.
            g.panning = 1;
            g.panned = 0;
            g.panRef = {x, y};
        }
    }
    g.last = at;
}

void OnMouseMove(PuzzleGame& g, unsigned keyState, bool ctrl, int x, int y) {
    if (!Playing(g)) return;
    if (g.pressPending) EndPressWait(g);
    if (!(keyState & kMouseButtonMask)) return;
    SyncView(g);
    const Point at = g.view.ClientToTable({x, y});
    g.current = at;
    if (ctrl) {
        SweepGroups(g.board, g.last.x, g.last.y, at.x, at.y);
        g.last = at;
        ShowBoardChanges(g);
    } else if (g.held >= 0) {
        MarkHeldHome(g);
        MoveGroup(g.board, at.x - g.dragRef.x, at.y - g.dragRef.y);
        g.dragRef = at;
        ShowBoardChanges(g);
    } else if (g.panning) {
        // A hand's tremor on a click is no drag: the view follows only
        // from kPanStart screen pixels on, then by the whole way.
        const int start = ScalePx(kPanStart, g.dpi);
        if (g.panning == 1 && std::abs(x - g.panRef.x) < start && std::abs(y - g.panRef.y) < start) return;
        g.panning = 2;
        if (PanBy(g.view, x - g.panRef.x, y - g.panRef.y)) {
            g.panned = 1;
            g.host->InvalidateBoard();
        }
        g.panRef = {x, y};
    }
}

void OnRelease(PuzzleGame& g) {
    if (g.pressPending) {
        // A click without movement: turn with one button, mirror otherwise.
        EndPressWait(g);
        bool oneButton = g.buttonBits == kButtonLeft || g.buttonBits == kButtonRight;
        if (oneButton ? g.settings->rotation : g.settings->flip)
            g.held = TurnGroup(g.board, g.held, g.dragRef.x, g.dragRef.y, g.buttonBits);
        ShowBoardChanges(g);
    }
    if (g.held >= 0) {
        UnmarkHome(g);
        g.jointSound = TryJoin(g.board, SnapReach(g));
        g.held = -1;
        if (CountGroups(g.board) == 1) {
            Complete(g);
        } else {
            UpdateTitle(g);
            ShowBoardChanges(g);
        }
    } else if (IsComplete(g) && g.slideX == 0 && g.slideY == 0 && !g.panned) {
        // A click beside the finished picture chooses the next one; a drag
        // that moved the view was no click.
        OpenCommand(g);
    }
    g.buttonBits = 0;
    g.panning = g.panned = 0;
}

void OnTimer(PuzzleGame& g, unsigned id) {
    switch (id) {
        case IDT_PRESS:
            if (g.pressPending) {
                EndPressWait(g);
                MarkHeldHome(g);
                ShowBoardChanges(g);
            }
            break;
        case IDT_BLINK:
            BlinkStep(g);
            break;
        case IDT_CLOCK:
            ClockTick(g);
            break;
        case IDT_SLIDE:
            SlideStep(g);
            break;
        default:
            break;
    }
}

void AfterPaint(PuzzleGame& g) {
    if (g.jointSound == 1) {
        PlayJointSound(TheSounds(), *g.settings, *g.host);
        g.jointSound = 0;
    }
}

void OnClose(PuzzleGame& g) {
    PlayCloseSound(TheSounds(), *g.settings, *g.host, g.rng);
    // A clean end leaves no recovery record, unless the save on exit was
    // refused: then the record is what keeps the game for the next start.
    if (g.settings->saveOnExit && InProgress(g) && !SaveGame(g, 0))
        StopRecordWorker(g.recovery);
    else
        DiscardRecord(g.recovery);
    // No piece is cut after the window is gone.
    StopCuttingWorkers(g.making);
}
