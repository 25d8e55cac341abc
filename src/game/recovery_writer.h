// The recovery record kept while a puzzle is played, so that a kill, a
// crash or a power cut loses at most the last seconds of play (its files:
// pieces/recovery_record.h).
//
// Once a second the clock asks RecordIfDue.  When the board has changed
// since the last record and kRecordIntervalMs have passed since that
// record began (less kRecordSlackMs: the clock's ticks come late on a busy
// machine, and a tick just short of two seconds must not wait a third), the window's thread copies the places (a few
// microseconds at 1000 pieces) and hands them to a worker thread, which
// writes: for the game's first record the whole saved game and then the
// small file, afterwards only the small file.  The window's thread never
// waits on a file; while the worker is busy the tick simply looks again a
// second later.  So a change is on the disk within about two seconds and
// a tick's delay, and steady play writes one small file every two seconds.
//
// The worker reads the pieces' pictures, neighbours and home rectangles
// and the picture while the window's thread plays on: none of them changes
// in play.  Whatever frees or refills the board first stops the worker
// (StopRecordWorker, DiscardRecord): a cancel flag it checks between pieces,
// then a join.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/digest.h"
#include "pieces/board_places.h"
#include "pieces/recovery_record.h"

constexpr uint32_t kRecordIntervalMs = 2000;
constexpr uint32_t kRecordSlackMs = 500;
// After the whole game could not be written (a full disk, a folder that
// cannot be written, the old file held open by another program), the next
// try comes no sooner than this.
constexpr uint32_t kRecordRetryMs = 60000;

struct RecordJob;

struct RecoveryWriter {
    RecoveryWriter();
    ~RecoveryWriter();  // the worker stopped
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    // The folder the record lives in (the program's, beside pukko.ini);
    // empty: no record is kept.  Set by the program at start-up.
    std::string folder;

    // This game's record may have files in the folder.
    bool owned = false;
    // recovery.pko holds this game's pictures; its length and digest.
    bool fullWritten = false;
    FileId full;
    // The whole saved game could not be written; the next try waits.
    bool failed = false;
    // What was last handed to the worker (or found on the board when the
    // game was opened): the next record is due only when the board differs.
    bool sentAny = false;
    BoardPlaces lastSent;
    int32_t lastTotal = 0;
    int32_t lastHints = 0;
    bool startedAny = false;
    uint32_t lastStart = 0;          // tick the last record began
    BoardPlaces scratch;             // the board's places this tick
    std::unique_ptr<RecordJob> job;  // the worker's, until reaped
    int recordsWritten = 0;          // records completed (both kinds), in this run
};

// What the clock knows of the game at a tick.
struct PlayMoment {
    int32_t totalPieces = 0;
    int32_t elapsedMs = 0;
    uint32_t tick = 0;  // the host's tick count
    int32_t hintCount = 0;  // pieces found through the guide
};

// The clock's second, while a puzzle is in progress: a finished record
// taken note of, and a new one started when due.
void RecordIfDue(RecoveryWriter& w, const Board& board, const MYBIT& picture, const std::string& pictureFile,
                 const PlayMoment& now);

// The game's record is over: the worker stopped, the files this game wrote
// removed, and the next game starts from nothing.
void DiscardRecord(RecoveryWriter& w);

// The worker stopped (cancelled between pieces, then joined); the files
// stay as they are.
void StopRecordWorker(RecoveryWriter& w);

// A game opened from a file: the board as it lies is the starting point,
// and only a change brings the first record.
void SetRecordBaseline(RecoveryWriter& w, const Board& board, int32_t totalPieces);

// A game resumed from its record goes on with it: the full file is this
// game's already, and later records are small ones.
void AdoptRecord(RecoveryWriter& w, const Board& board, const RecoveryRecord& record);

// For tests and measurements: whether a worker is writing, and waiting for
// it to finish (no cancel) and taking note of what it did.
bool RecordWorkerBusy(const RecoveryWriter& w);
void FinishRecordWork(RecoveryWriter& w);
