#include "game/recovery_writer.h"

#include <atomic>
#include <thread>
#include <utility>

#include "base/file_io.h"
#include "pieces/saved_state.h"

// One record's work, shared by the window's thread and the worker.  The
// window's thread fills it, starts the worker and reads it again only after
// `done` (or after joining).
struct RecordJob {
    const Board* board = nullptr;
    const MYBIT* picture = nullptr;
    RecoveryFiles files;
    bool writeFull = false;
    RecoveryRecord record;
    std::atomic<bool> cancel{false};
    std::atomic<bool> done{false};
    bool ok = false;
    std::thread worker;
};

namespace {

void RunJob(RecordJob* job) {
    bool ok = true;
    if (job->writeFull) {
        // A small file of an earlier full file must never stand beside this
        // one, were the program killed before the new small file is written.
        DeleteFileAt(job->files.small);
        ok = WriteSavedStateWith(*job->board, job->record.places, job->files.full, *job->picture,
                                 job->record.totalPieces, job->record.elapsedMs, &job->cancel,
                                 &job->record.full);
    }
    if (ok && !job->cancel.load(std::memory_order_relaxed))
        ok = WriteRecoveryRecord(job->files.small, job->record);
    job->ok = ok;
    job->done.store(true, std::memory_order_release);
}

// A finished worker joined and what it did taken note of.
void Reap(RecoveryWriter& w) {
    if (!w.job || !w.job->done.load(std::memory_order_acquire)) return;
    RecordJob& job = *w.job;
    if (job.worker.joinable()) job.worker.join();
    if (job.ok) {
        ++w.recordsWritten;
        if (job.writeFull) {
            w.fullWritten = true;
            w.full = job.record.full;
        }
    } else if (job.writeFull) {
        // Not tried again every two seconds: a folder that cannot take the
        // whole game may stay so.
        w.failed = true;
        w.sentAny = false;
    } else {
        // The small file is tried again at the next due tick.
        w.sentAny = false;
    }
    w.job.reset();
}

void Start(RecoveryWriter& w, const Board& board, const MYBIT& picture, const std::string& pictureFile,
           const PlayMoment& now) {
    auto job = std::make_unique<RecordJob>();
    job->board = &board;
    job->picture = &picture;
    job->files = RecoveryFilesIn(w.folder);
    job->writeFull = !w.fullWritten;
    job->record.full = w.full;
    job->record.pictureFile = pictureFile;
    job->record.totalPieces = now.totalPieces;
    job->record.elapsedMs = now.elapsedMs;
    job->record.hintCount = now.hintCount;
    job->record.places = w.scratch;
    std::swap(w.lastSent, w.scratch);
    w.lastTotal = now.totalPieces;
    w.lastHints = now.hintCount;
    w.sentAny = true;
    w.startedAny = true;
    w.lastStart = now.tick;
    w.owned = true;
    job->worker = std::thread(RunJob, job.get());
    w.job = std::move(job);
}

}  // namespace

RecoveryWriter::RecoveryWriter() = default;

RecoveryWriter::~RecoveryWriter() {
    StopRecordWorker(*this);
}

void RecordIfDue(RecoveryWriter& w, const Board& board, const MYBIT& picture, const std::string& pictureFile,
                 const PlayMoment& now) {
    Reap(w);
    if (w.folder.empty() || w.job || board.count <= 0) return;
    if (w.failed && now.tick - w.lastStart < kRecordRetryMs) return;
    TakePlaces(board, w.scratch);
    if (w.sentAny && w.scratch == w.lastSent && now.totalPieces == w.lastTotal &&
        now.hintCount == w.lastHints)
        return;  // nothing moved
    if (w.startedAny && now.tick - w.lastStart < kRecordIntervalMs - kRecordSlackMs) return;
    w.failed = false;
    Start(w, board, picture, pictureFile, now);
}

void StopRecordWorker(RecoveryWriter& w) {
    if (!w.job) return;
    w.job->cancel.store(true, std::memory_order_relaxed);
    w.job->worker.join();
    w.job.reset();
}

void DiscardRecord(RecoveryWriter& w) {
    StopRecordWorker(w);
    if (w.owned && !w.folder.empty()) RemoveRecoveryFiles(RecoveryFilesIn(w.folder));
    w.owned = w.fullWritten = w.failed = w.sentAny = w.startedAny = false;
    w.full = FileId{};
    w.lastSent = BoardPlaces{};
    w.lastTotal = w.lastHints = 0;
    w.lastStart = 0;
}

void SetRecordBaseline(RecoveryWriter& w, const Board& board, int32_t totalPieces) {
    TakePlaces(board, w.lastSent);
    w.lastTotal = totalPieces;
    w.lastHints = 0;
    w.sentAny = true;
}

void AdoptRecord(RecoveryWriter& w, const Board& board, const RecoveryRecord& record) {
    w.owned = true;
    w.fullWritten = true;
    w.full = record.full;
    SetRecordBaseline(w, board, record.totalPieces);
    w.lastHints = record.hintCount;
}

bool RecordWorkerBusy(const RecoveryWriter& w) {
    return w.job && !w.job->done.load(std::memory_order_acquire);
}

void FinishRecordWork(RecoveryWriter& w) {
    if (!w.job) return;
    w.job->worker.join();
    Reap(w);
}
