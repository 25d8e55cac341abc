#include "game/start_screen.h"

#include <string>

#include "browser/browser_view.h"
#include "config/settings.h"
#include "game/board_commands.h"
#include "game/game_record.h"
#include "game/save_game.h"
#include "game/start_puzzle.h"
#include "pieces/saved_state.h"
#include "views/background.h"

namespace {

constexpr char kMakingText[] = "ただいま作成中";

enum : int { kPictureSlot = 0, kPatternSlot = 1, kTileSlot = 2 };

// A strip already listed is only shown again; one never opened, closed, or
// whose window is gone opens afresh.
void ShowStrip(PuzzleGame& g, int slot, char* folder, Point at) {
    BrowserView& v = (*g.browsers)[slot];
    if (v.state != kBrowserNever && v.state != kBrowserClosed && g.host->ShowBrowser(slot)) {
        v.shown = 1;
        return;
    }
    g.host->OpenBrowser(slot, folder, at, 1);
}

// The file of a listed entry, or empty when the index names none (the
// strip was listed anew after the choice was posted).
std::string ChosenFile(PuzzleGame& g, int slot, int index) {
    if (!g.browsers || index < 0) return {};
    const BrowserView& v = (*g.browsers)[slot];
    if (index >= v.Count()) return {};
    const BrowserEntry& e = v.entries[static_cast<size_t>(index)];
    return e.type == 'F' ? e.name : std::string();
}

}  // namespace

void OpenCommand(PuzzleGame& g) {
    if (g.Making()) {
        // The queued making steps would work on a cleared record.
        g.host->MessageBox(kMakingText, "pukko", kMbOk, Owner::kMainWindow);
        return;
    }
    // The record is cleared here, before any pick: the game is kept now
    // or never.
    SaveBeforeLeaving(g);
    ResetGame(g);
    g.pictureChoice = -1;
    g.patternChoice = -1;
    if (!g.browsers) return;
    Settings& s = *g.settings;
    ShowStrip(g, kPictureSlot, s.imageFolder, Point{0, 0});
    if (s.pieceCount == 0) ShowStrip(g, kPatternSlot, s.patternFolder, g.host->BrowserCorner(kPictureSlot));
}

void OnPick(PuzzleGame& g, int slot, int index) {
    Host& host = *g.host;
    if (g.Making()) {
        host.MessageBox(kMakingText, "pukko", kMbOk, Owner::kMainWindow);
        return;
    }
    if (index == PICK_NONE) {
        if (slot == kPatternSlot) g.patternChoice = -1;
        if (slot == kPictureSlot) g.pictureChoice = -1;
        return;
    }
    if (slot == kTileSlot) {
        const std::string tile = ChosenFile(g, slot, index);
        if (tile.empty()) return;
        LoadTile(*g.background, *g.settings, host, tile);
        RefreshBoard(g);
        return;
    }
    if (slot != kPictureSlot && slot != kPatternSlot) return;
    if (ChosenFile(g, slot, index).empty()) return;
    (slot == kPictureSlot ? g.pictureChoice : g.patternChoice) = index;

    if (g.pictureChoice < 0) return;
    // Copies: the start clears the record the choices live in.
    const std::string picture = ChosenFile(g, kPictureSlot, g.pictureChoice);
    if (picture.empty()) return;
    // Each start below may leave a puzzle in progress: the strips stay open
    // over the game a dropped file started.  It is saved first.
    //
    // A saved game is taken up as it was saved: it needs no pattern.  The
    // start screen ends with it, whatever came of it: the pattern strip goes,
    // and a pattern picked all the same waits for a new picture, so that no
    // click there throws the game away unsaved.
    if (IsSavedStatePath(picture)) {
        SaveBeforeLeaving(g);
        StartPuzzle(g, picture);
        g.pictureChoice = -1;
        g.patternChoice = -1;
        g.host->HideBrowser(kPatternSlot);
        (*g.browsers)[kPatternSlot].shown = 0;
        return;
    }
    if (g.settings->pieceCount != 0) {
        SaveBeforeLeaving(g);
        StartPuzzle(g, picture);
        return;
    }
    if (g.patternChoice < 0) return;
    const std::string pattern = ChosenFile(g, kPatternSlot, g.patternChoice);
    if (pattern.empty()) return;
    SaveBeforeLeaving(g);
    StartPuzzle(g, picture, pattern);
}
