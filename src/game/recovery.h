// The recovery record at the next start: the player is offered the game a
// kill, a crash or a power cut interrupted, and it is brought back as it
// was a few seconds before (its record: game/recovery_writer.h and
// pieces/recovery_record.h).
#pragma once

#include <string>

#include "base/host.h"

struct PuzzleGame;

inline constexpr const char kRecoveryOfferText[] =
    "保存されていないパズルがあります。\n前回の続きから再開しますか？";
inline constexpr const char kRecoveryBrokenText[] =
    "保存されていないパズルの記録が壊れていたため、再開できません。\n記録は削除しました。";

// Before the start screen, with the program's folder: a record of a game
// is looked for.  None: nothing is said (the remains of a record never
// finished, a full file alone or a temporary, are cleared away).  One that
// cannot be taken up (unreadable, its full file missing or of another
// length): said once and removed.  Otherwise a Yes/No box asks whether to
// resume it; No removes it.  True when the player chose Yes.
bool AskToResume(Host& host, const std::string& folder);

// Yes: the game of the record in g.recovery.folder brought back into a
// reset game record and played on from where the record left it, the clock
// included; the record goes on being kept.  A record found damaged now (its
// full file not the one it names, places that do not fit) is said once and
// removed, and nothing is played (0).
int ResumeRecovery(PuzzleGame& g);
