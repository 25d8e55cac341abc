#include "pieces/recovery_record.h"

#include <cstring>

#include "base/file_io.h"
#include "image/mybit.h"
#include "pieces/board.h"

namespace {

constexpr char kMagic[4] = {'P', 'K', 'R', 'C'};
constexpr int32_t kVersion = 1;
constexpr uint64_t kMaxRecordBytes =
    kRecordFixedBytes + kMaxRecordPath + kRecordBytesPerPiece * static_cast<uint64_t>(kMaxPieces);

// Writes little-endian words into a buffer made to the record's length.
struct Filler {
    uint8_t* p;
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i) *p++ = static_cast<uint8_t>(v >> (8 * i));
    }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void U64(uint64_t v) {
        U32(static_cast<uint32_t>(v));
        U32(static_cast<uint32_t>(v >> 32));
    }
};

// Reads little-endian words from a buffer whose length has been checked.
struct Cursor {
    const uint8_t* p;
    uint32_t U32() {
        uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                     static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
        p += 4;
        return v;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    uint64_t U64() {
        const uint64_t low = U32();
        return low | static_cast<uint64_t>(U32()) << 32;
    }
};

}  // namespace

RecoveryFiles RecoveryFilesIn(const std::string& folder) {
    return RecoveryFiles{folder + "\\recovery.pko", folder + "\\recovery.dat"};
}

std::vector<uint8_t> EncodeRecoveryRecord(const RecoveryRecord& r) {
    const size_t n = r.places.pieces.size();
    std::vector<uint8_t> out(kRecordFixedBytes + r.pictureFile.size() + kRecordBytesPerPiece * n);
    std::memcpy(out.data(), kMagic, 4);
    Filler f{out.data() + 4};
    f.I32(kVersion);
    f.U64(r.full.size);
    f.U64(r.full.hash);
    f.I32(r.totalPieces);
    f.I32(r.elapsedMs);
    f.I32(r.hintCount);
    f.U32(static_cast<uint32_t>(r.pictureFile.size()));
    if (!r.pictureFile.empty()) std::memcpy(f.p, r.pictureFile.data(), r.pictureFile.size());
    f.p += r.pictureFile.size();
    f.U32(static_cast<uint32_t>(n));
    for (const PiecePlace& q : r.places.pieces)
        for (int32_t v : {q.left, q.top, q.right, q.bottom, q.orientation, q.group}) f.I32(v);
    for (size_t i = 0; i < n; ++i) f.I32(r.places.order[i]);
    Digest d;
    d.Add(out.data(), out.size() - 8);
    f.U64(d.Value());
    return out;
}

bool DecodeRecoveryRecord(const uint8_t* data, size_t size, RecoveryRecord& out) {
    // The head up to the path's length, then the path, then the count.
    constexpr size_t kHead = 40;
    if (size < kRecordFixedBytes || size > kMaxRecordBytes || std::memcmp(data, kMagic, 4) != 0) return false;
    Cursor c{data + 4};
    if (c.I32() != kVersion) return false;
    RecoveryRecord r;
    r.full.size = c.U64();
    r.full.hash = c.U64();
    r.totalPieces = c.I32();
    r.elapsedMs = c.I32();
    r.hintCount = c.I32();
    if (r.hintCount < 0) return false;
    const uint32_t pathBytes = c.U32();
    if (pathBytes > kMaxRecordPath || kRecordFixedBytes + pathBytes > size) return false;
    r.pictureFile.assign(reinterpret_cast<const char*>(c.p), pathBytes);
    if (r.pictureFile.find('\0') != std::string::npos) return false;
    c.p += pathBytes;
    const int32_t n = c.I32();
    if (n < 0 || n > kMaxPieces) return false;
    if (size != kRecordFixedBytes + pathBytes + kRecordBytesPerPiece * static_cast<size_t>(n)) return false;
    Digest d;
    d.Add(data, size - 8);
    if (Cursor{data + size - 8}.U64() != d.Value()) return false;
    static_assert(kHead + 4 + 8 == kRecordFixedBytes);
    r.places.pieces.resize(static_cast<size_t>(n));
    r.places.order.resize(static_cast<size_t>(n));
    for (PiecePlace& q : r.places.pieces) {
        q.left = c.I32();
        q.top = c.I32();
        q.right = c.I32();
        q.bottom = c.I32();
        q.orientation = c.I32();
        q.group = c.I32();
    }
    for (int32_t& k : r.places.order) k = c.I32();
    out = std::move(r);
    return true;
}

bool WriteRecoveryRecord(const std::string& path, const RecoveryRecord& record) {
    const std::vector<uint8_t> bytes = EncodeRecoveryRecord(record);
    return WriteFileAtomic(path, bytes.data(), bytes.size());
}

ReadResult ReadRecoveryRecord(const std::string& path, RecoveryRecord& out) {
    if (!FileExists(path)) return ReadResult::kCannotOpen;
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, &bytes, kMaxRecordBytes)) return ReadResult::kBadFile;
    return DecodeRecoveryRecord(bytes.data(), bytes.size(), out) ? ReadResult::kOk : ReadResult::kBadFile;
}

bool IdentifyFile(const std::string& path, FileId& id) {
    FilePtr f = OpenFile(path, "rb");
    if (!f) return false;
    Digest d;
    std::vector<uint8_t> chunk(1 << 20);
    size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), f.get())) > 0) d.Add(chunk.data(), got);
    if (std::ferror(f.get())) return false;
    id = IdOf(d);
    return true;
}

ReadResult FindRecoveryRecord(const RecoveryFiles& files, RecoveryRecord& record) {
    const ReadResult r = ReadRecoveryRecord(files.small, record);
    if (r != ReadResult::kOk) return r;
    FilePtr f = OpenFile(files.full, "rb");
    if (!f || FileLength(f.get()) != static_cast<int64_t>(record.full.size)) return ReadResult::kBadFile;
    return ReadResult::kOk;
}

ReadResult ReadRecovery(const RecoveryFiles& files, Board& board, MYBIT& picture, RecoveryRecord& record) {
    board.Empty();
    picture.Free();
    const ReadResult r = ReadRecoveryRecord(files.small, record);
    if (r != ReadResult::kOk) return r;
    FileId id;
    SavedStateHead head;
    if (!IdentifyFile(files.full, id) || id != record.full ||
        ReadSavedState(board, files.full, picture, head) != ReadResult::kOk)
        return ReadResult::kBadFile;
    if (!ApplyPlaces(board, record.places)) {
        board.Empty();
        picture.Free();
        return ReadResult::kBadFile;
    }
    return ReadResult::kOk;
}

void RemoveRecoveryFiles(const RecoveryFiles& files) {
    for (const std::string& f : {files.small, files.full}) {
        DeleteFileAt(f);
        DeleteFileAt(TemporaryNameFor(f));
    }
}
