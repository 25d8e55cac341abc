#include "game/save_game.h"

#include "browser/browser_view.h"
#include "config/settings.h"
#include "game/clock.h"
#include "game/recovery_writer.h"
#include "game/view_commands.h"
#include "pieces/board_ops.h"
#include "pieces/saved_state.h"
#include "views/background.h"

int SaveGame(PuzzleGame& g, int showMessage) {
    if (g.State() != kStatePlaying || g.pictureFile.empty()) return 0;
    Host& host = *g.host;
    host.KillTimer(IDT_CLOCK);
    const uint32_t elapsed = ElapsedMs(g);
    const std::string name = SavedStateName(g.pictureFile);
    if (!WriteSavedState(g.board, name, g.picture, g.totalPieces, static_cast<int32_t>(elapsed))) {
        // The previous file, if any, is still whole; say so rather than
        // pretend the game was kept.
        host.MessageBox("保存できませんでした。\n" + name, "pukko", kMbOk | kMbIconHand, Owner::kNone);
        return 0;
    }
    // A strip showing this folder lists the file the next time it is shown.
    if (g.browsers) NoteWrittenFile(*g.browsers, name);
    // The game is kept in its own file now: no record of it is needed.
    DiscardRecord(g.recovery);
    if (showMessage) host.MessageBox("保存しました。\n" + name, "pukko", kMbOk, Owner::kNone);
    return 1;
}

void SaveBeforeLeaving(PuzzleGame& g) {
    if (g.settings->saveOnExit && InProgress(g)) SaveGame(g, 0);
}

int RestoreGame(PuzzleGame& g, const std::string& path) {
    Host& host = *g.host;
    // The board is about to be filled: no record of the game before.
    DiscardRecord(g.recovery);
    SavedStateHead head;
    ReadResult r = ReadSavedState(g.board, path, g.picture, head);
    if (r != ReadResult::kOk) {
        g.pictureFile.clear();
        host.MessageBox(
            (r == ReadResult::kCannotOpen ? "開けません。\n" : "保存ファイルが壊れています。\n") + path,
            "pukko", kMbOk | kMbIconHand, Owner::kMainWindow);
        return 0;
    }
    StartRestoredPlay(g, head);
    return 1;
}

void StartRestoredPlay(PuzzleGame& g, const SavedStateHead& head) {
    Host& host = *g.host;
    g.totalPieces = head.totalPieces;
    g.carriedTime = head.elapsedMs;
    g.buttonBits = 0;
    g.held = -1;
    g.making.stage = kStatePlaying;

    // The table follows the picture by the same rule as a new game's, so a
    // game opens where it was saved.
    SetPuzzleTable(g);
    Background& bg = *g.background;
    SetGreyPicture(bg, *g.settings, host, g.picture);
    ComposeBoard(bg, host);
    if (g.board.count > 0 && g.board.boardPicture)
        RedrawRegion(g.board, Rect{0, 0, g.board.boardPicture->Width(), g.board.boardPicture->Height()}, 0,
                     g.board.count - 1);
    host.InvalidateBoard();
    if (g.settings->guide) host.OpenGuide(g.picture);

    g.startTick = g.lastTick = host.TickCount();
    UpdateTitle(g);
    host.SetTimer(IDT_CLOCK, 1000);
    // The board as opened is on the disk already; only a change is recorded.
    SetRecordBaseline(g.recovery, g.board, g.totalPieces);
}
