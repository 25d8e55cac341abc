#include "game/recovery.h"

#include "config/shell_texts.h"
#include "game/game_record.h"
#include "game/puzzle_game.h"
#include "game/recovery_writer.h"
#include "game/save_game.h"
#include "pieces/recovery_record.h"
#include "pieces/saved_state.h"

bool AskToResume(Host& host, const std::string& folder) {
    if (folder.empty()) return false;
    const RecoveryFiles files = RecoveryFilesIn(folder);
    RecoveryRecord record;
    switch (FindRecoveryRecord(files, record)) {
        case ReadResult::kCannotOpen:
            RemoveRecoveryFiles(files);
            return false;
        case ReadResult::kBadFile:
            RemoveRecoveryFiles(files);
            host.MessageBox(kRecoveryBrokenText, kProgramName, kMbOk | kMbIconHand, Owner::kNone);
            return false;
        case ReadResult::kOk:
            break;
    }
    if (host.MessageBox(kRecoveryOfferText, kProgramName, kMbYesNo | kMbIconQuestion | kMbDefButton1,
                        Owner::kNone) == kIdYes)
        return true;
    RemoveRecoveryFiles(files);
    return false;
}

int ResumeRecovery(PuzzleGame& g) {
    Host& host = *g.host;
    ResetGame(g);
    const RecoveryFiles files = RecoveryFilesIn(g.recovery.folder);
    RecoveryRecord record;
    if (g.recovery.folder.empty() || ReadRecovery(files, g.board, g.picture, record) != ReadResult::kOk) {
        if (!g.recovery.folder.empty()) RemoveRecoveryFiles(files);
        host.MessageBox(kRecoveryBrokenText, kProgramName, kMbOk | kMbIconHand, Owner::kMainWindow);
        return 0;
    }
    g.pictureFile = record.pictureFile;
    // As a game started from its file: a later scatter draws afresh.
    g.rng.Seed(host.TickCount());
    SavedStateHead head;
    head.totalPieces = record.totalPieces;
    head.elapsedMs = record.elapsedMs;
    StartRestoredPlay(g, head);
    g.hintCount = record.hintCount;
    AdoptRecord(g.recovery, g.board, record);
    return 1;
}
