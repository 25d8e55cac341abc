// The recovery record of a game in play: two files in the program's folder.
//
//   recovery.pko  a whole saved game (WriteSavedStateWith), written once per
//                 game: the pictures never change in play, so they are
//                 written only here;
//   recovery.dat  what has moved since: every piece's place, the drawing
//                 order, the clock, the total and the pieces found through
//                 the guide, the file the game was
//                 started from, and the length and digest of recovery.pko,
//                 which tie the two together.  About 28 bytes a piece.
//
// Both are written through a temporary file, flushed and renamed (base's
// AtomicFile), recovery.pko before recovery.dat, and recovery.dat removed
// before recovery.pko: recovery.dat alone says that a record exists, so a
// kill before it was first written leaves no record, only a file to clear
// away.
//
// recovery.dat, integers little-endian:
//   "PKRC" | version 1 | .pko length (u64) | .pko digest (u64) |
//   total pieces | elapsed ms | pieces found through the guide |
//   path length L | L bytes of UTF-8 path |
//   piece count n | n x (left, top, right, bottom, orientation, group) |
//   n x order entry | digest (u64) of every byte before it
// so its length is exactly 52 + L + 28 n.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/digest.h"
#include "pieces/board_places.h"
#include "pieces/saved_state.h"

// The longest path a record keeps (bytes of UTF-8); Windows' own limit for
// a long path is 32767 UTF-16 units, far beyond what the game is given.
constexpr size_t kMaxRecordPath = 4096;
constexpr size_t kRecordFixedBytes = 52;  // everything but the path and the pieces
constexpr size_t kRecordBytesPerPiece = 28;

struct RecoveryRecord {
    FileId full;              // recovery.pko as written
    std::string pictureFile;  // the picture or saved game the game was started from (UTF-8)
    int32_t totalPieces = 0;
    int32_t elapsedMs = 0;
    int32_t hintCount = 0;  // not kept in a saved game
    BoardPlaces places;  // groupsLeft is not kept (0 when read)
};

struct RecoveryFiles {
    std::string full;   // recovery.pko
    std::string small;  // recovery.dat
};
// The two files in a folder, joined as the program joins paths.
RecoveryFiles RecoveryFilesIn(const std::string& folder);

std::vector<uint8_t> EncodeRecoveryRecord(const RecoveryRecord& record);
// Taken only when the bytes are exactly one record: the head, a path of at
// most kMaxRecordPath bytes without a zero, 0 .. kMaxPieces pieces, the
// length to the byte and the closing digest.  The places themselves are
// checked against the board they are put on (ApplyPlaces).
bool DecodeRecoveryRecord(const uint8_t* data, size_t size, RecoveryRecord& out);

bool WriteRecoveryRecord(const std::string& path, const RecoveryRecord& record);
// kCannotOpen when there is no such file, kBadFile when it is not a record.
ReadResult ReadRecoveryRecord(const std::string& path, RecoveryRecord& out);

// The length and digest of a file as it lies on the disk.
bool IdentifyFile(const std::string& path, FileId& id);

// What the folder holds: no record (recovery.dat missing), a record whose
// small file reads and whose full file is there at its length (kOk,
// record filled), or a record that cannot be taken up (kBadFile).
ReadResult FindRecoveryRecord(const RecoveryFiles& files, RecoveryRecord& record);

// The game of the record brought back: recovery.dat read, recovery.pko
// found to be the very file it names (length and digest), read whole into
// the board and picture, and the places put on it.  Anything else leaves
// the board empty and the picture freed (kBadFile; kCannotOpen when there
// is no recovery.dat).
ReadResult ReadRecovery(const RecoveryFiles& files, Board& board, MYBIT& picture, RecoveryRecord& record);

// Both files and their temporaries removed, recovery.dat first.
void RemoveRecoveryFiles(const RecoveryFiles& files);
