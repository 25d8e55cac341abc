// Keys and mouse input of the main window.  The pointer state machine is
// complete; the operations it calls on pieces, completion and arrange mode
// come with that work and are empty stubs in the namespace `pending` below.
#include "game/input.h"

#include "app/switches.h"
#include "game/puzzle_game.h"

namespace {
namespace pending {

// --- Stubs: each is replaced by the real operation when its part lands. ---
// Until then no piece can be hit, so a press never holds anything, and no
// puzzle is ever complete.

// Drawing position of the topmost piece under (x, y), or -1.
int HitTest(PuzzleGame&, int, int) {
    return -1;
}
// Brings held's group to the top; returns its new drawing position.
int RaiseGroup(PuzzleGame&, int held) {
    return held;
}
// A click turns (one button) or mirrors (middle or two buttons) the group.
int TurnGroup(PuzzleGame&, int held, Point, uint8_t) {
    return held;
}
void SweepGroups(PuzzleGame&, Point, Point) {}
void MoveGroup(PuzzleGame&, int, int) {}
// 1 when the dropped group joined a neighbour.
int TryJoin(PuzzleGame&) {
    return 0;
}
int CountGroups(PuzzleGame&) {
    return 0;
}
void Complete(PuzzleGame&) {}
void UpdateTitle(PuzzleGame&) {}
int IsComplete(const PuzzleGame&) {
    return 0;
}
void OpenCommand(PuzzleGame&) {}
void DetachPieceAt(PuzzleGame&, Point) {}
void ArrangeAdjust(PuzzleGame&, int, int, int, int) {}
void ArrangeOutput(PuzzleGame&) {}
void WritePieceBitmap(PuzzleGame&) {}   // F5: piece.bmp and its box
void DumpShapeSettings(PuzzleGame&) {}  // F6: pukko_ini.txt and its box
void ClockTick(PuzzleGame&) {}
void SlideStep(PuzzleGame&) {}
void PlayJointSound(PuzzleGame&) {}
void PlayCloseSound(PuzzleGame&) {}
void SaveOnExit(PuzzleGame&) {}  // silent save when a puzzle is in progress

}  // namespace pending
}  // namespace

namespace {

bool Playing(const PuzzleGame& g) {
    return g.State() == kStatePlaying;
}

void Invalidate(PuzzleGame& g) {
    g.host->InvalidateBoard();
}

// Frame adjustment of a completed puzzle: the amounts are added to
// end_waku_L1, L2, H, S and t, and the frame is drawn again.
void AdjustFrame(PuzzleGame& g, double dL1, double dL2, double dH, double dS, int dT) {
    if (g.drawCompletionFrame) g.drawCompletionFrame(g, dL1, dL2, dH, dS, dT);
}

// The arrow keys: frame adjustments on a completed puzzle, the arranged
// picture's offsets in arrange mode (up and down only), nothing otherwise.
void OnArrowKey(PuzzleGame& g, int vk, bool ctrl, bool shift) {
    if (pending::IsComplete(g)) {
        int sign = (vk == kVkRight || vk == kVkUp) ? 1 : -1;
        if (vk == kVkLeft || vk == kVkRight) {
            if (ctrl)
                AdjustFrame(g, 0, 0, 0, 0, sign);
            else
                AdjustFrame(g, 0, 0, sign, 0, 0);
        } else if (ctrl) {
            AdjustFrame(g, 0, 0, 0, 0, sign);
        } else if (shift) {
            AdjustFrame(g, 10.0 * sign, 10.0 * sign, 0, 0, 0);
        } else {
            AdjustFrame(g, 0, 0, 0, sign, 0);
        }
    }
    if (g.settings->arrangeMode && (vk == kVkUp || vk == kVkDown)) {
        int sign = vk == kVkUp ? 1 : -1;
        if (shift)
            pending::ArrangeAdjust(g, sign, 0, 0, 0);
        else
            pending::ArrangeAdjust(g, 0, 0, sign, 0);
    }
}

// The press becomes a hold: its group comes to the top.
void EndPressWait(PuzzleGame& g) {
    g.host->KillTimer(IDT_PRESS);
    g.pressPending = 0;
    g.held = pending::RaiseGroup(g, g.held);
}

}  // namespace

void OnKeyDown(PuzzleGame& g, int vk, bool ctrl, bool shift, Point cursor) {
    switch (vk) {
        case kVkSpace:
            if (g.settings->arrangeMode)
                pending::ArrangeAdjust(g, 0, 0, 0, 1);
            else if (!g.Making())
                pending::DetachPieceAt(g, cursor);
            break;
        case kVkLeft:
        case kVkRight:
        case kVkUp:
        case kVkDown:
            OnArrowKey(g, vk, ctrl, shift);
            break;
        case kVkF5:
            pending::WritePieceBitmap(g);
            break;
        case kVkF6:
            pending::DumpShapeSettings(g);
            break;
        case kVkF7:
            SwitchArrangeMode(*g.settings, *g.host);
            break;
        case kVkF8:
            if (g.settings->arrangeMode) pending::ArrangeOutput(g);
            break;
        case kVkF9:
            SwitchTrace(*g.host);
            break;
        default:
            break;
    }
}

void OnPress(PuzzleGame& g, uint8_t button, int x, int y) {
    if (!Playing(g)) return;
    g.buttonBits |= button;
    if (!g.pressPending) {
        g.current = {x, y};
        g.held = pending::HitTest(g, x, y);
        if (g.held >= 0) {
            g.dragRef = {x, y};
            g.pressPending = 1;
            g.host->SetTimer(IDT_PRESS, 300);
        }
    }
    g.last = {x, y};
}

void OnMouseMove(PuzzleGame& g, unsigned keyState, bool ctrl, int x, int y) {
    if (!Playing(g)) return;
    if (g.pressPending) EndPressWait(g);
    if (!(keyState & kMouseButtonMask)) return;
    g.current = {x, y};
    if (ctrl) {
        pending::SweepGroups(g, g.last, g.current);
        g.last = g.current;
        Invalidate(g);
    } else if (g.held >= 0) {
        pending::MoveGroup(g, x - g.dragRef.x, y - g.dragRef.y);
        g.dragRef = {x, y};
        Invalidate(g);
    }
}

void OnRelease(PuzzleGame& g) {
    if (g.pressPending) {
        // A click without movement: turn with one button, mirror otherwise.
        EndPressWait(g);
        bool oneButton = g.buttonBits == kButtonLeft || g.buttonBits == kButtonRight;
        if (oneButton ? g.settings->rotation : g.settings->flip)
            g.held = pending::TurnGroup(g, g.held, g.dragRef, g.buttonBits);
        Invalidate(g);
    }
    if (g.held >= 0) {
        g.jointSound = pending::TryJoin(g);
        g.held = -1;
        if (pending::CountGroups(g) == 1) {
            pending::Complete(g);
        } else {
            pending::UpdateTitle(g);
            Invalidate(g);
        }
    } else if (pending::IsComplete(g) && g.slideX == 0 && g.slideY == 0) {
        // A click beside the finished picture chooses the next one.
        pending::OpenCommand(g);
    }
    g.buttonBits = 0;
}

void OnTimer(PuzzleGame& g, unsigned id) {
    switch (id) {
        case IDT_PRESS:
            if (g.pressPending) {
                EndPressWait(g);
                Invalidate(g);
            }
            break;
        case IDT_CLOCK:
            pending::ClockTick(g);
            break;
        case IDT_SLIDE:
            pending::SlideStep(g);
            break;
        default:
            break;
    }
}

void AfterPaint(PuzzleGame& g) {
    if (g.jointSound == 1) {
        pending::PlayJointSound(g);
        g.jointSound = 0;
    }
}

void OnClose(PuzzleGame& g) {
    pending::PlayCloseSound(g);
    pending::SaveOnExit(g);
}
