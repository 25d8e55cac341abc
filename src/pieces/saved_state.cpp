#include "pieces/saved_state.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <vector>

#include "base/digest.h"
#include "base/file_io.h"
#include "image/mybit.h"
#include "image/picture_limits.h"
#include "pieces/board.h"
#include "pieces/board_ops.h"
#include "pieces/board_places.h"

namespace {

// A neighbour list names each piece at most once (the piece itself
// included), then -1: a piece bordering every other piece of a full board
// has kMaxPieces + 1 values.
constexpr int32_t kMaxListValues = kMaxPieces + 1;

// Where a saved game is read from: an open file or a buffer.
class Source {
  public:
    virtual ~Source() = default;
    virtual bool Read(void* dst, size_t n) = 0;
    virtual bool Skip(uint64_t n) = 0;
    virtual uint64_t Remaining() const = 0;

    bool ReadInt(int32_t& v) {
        uint8_t b[4];
        if (!Read(b, 4)) return false;
        v = static_cast<int32_t>(static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                                 (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24));
        return true;
    }
};

class FileSource : public Source {
  public:
    FileSource(std::FILE* f, uint64_t length) : f_(f), left_(length) {}
    bool Read(void* dst, size_t n) override {
        if (n > left_ || std::fread(dst, 1, n, f_) != n) return false;
        left_ -= n;
        return true;
    }
    bool Skip(uint64_t n) override {
        if (n > left_ || std::fseek(f_, static_cast<long>(n), SEEK_CUR) != 0) return false;
        left_ -= n;
        return true;
    }
    uint64_t Remaining() const override { return left_; }

  private:
    std::FILE* f_;
    uint64_t left_;
};

class MemorySource : public Source {
  public:
    MemorySource(const uint8_t* data, size_t size) : p_(data), left_(size) {}
    bool Read(void* dst, size_t n) override {
        if (n > left_) return false;
        if (n) std::memcpy(dst, p_, n);
        p_ += n;
        left_ -= n;
        return true;
    }
    bool Skip(uint64_t n) override {
        if (n > left_) return false;
        p_ += n;
        left_ -= n;
        return true;
    }
    uint64_t Remaining() const override { return left_; }

  private:
    const uint8_t* p_;
    size_t left_;
};

// The rules a saved game keeps, checked by the reader on what it read and
// by the writer on the board before it writes: what one side takes, the
// other does too.

// A picture block's size: within the readers' picture limits, never empty.
bool PictureSizeFits(int32_t width, int32_t height) {
    if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide) return false;
    return static_cast<uint64_t>(width) * static_cast<uint64_t>(height) <= kMaxPicturePixels;
}

bool PictureIsSound(const MYBIT& pic) {
    return PictureSizeFits(pic.Width(), pic.Height()) &&
           pic.PixelCount() == static_cast<uint64_t>(pic.Width()) * static_cast<uint64_t>(pic.Height());
}

bool InRange(int32_t v) {
    return v >= -kMaxCoordinate && v <= kMaxCoordinate;
}

bool RectInRange(int32_t l, int32_t t, int32_t r, int32_t b) {
    return InRange(l) && InRange(t) && InRange(r) && InRange(b);
}

// The neighbours as the file holds them: the values before the first -1
// (or all of them), then -1.  Each names one of the n pieces.
bool NeighboursAreSound(const std::vector<int32_t>& list, int32_t n) {
    int32_t values = 1;  // the -1
    for (int32_t v : list) {
        if (v == -1) break;
        if (v < 0 || v >= n || ++values > kMaxListValues) return false;
    }
    return true;
}

// What never changes in play of one piece of n: its pictures, neighbours
// and home rectangle.  Its place is checked by PlaceIsSound.
bool PartsAreSound(const Piece& p, int32_t n) {
    for (const MYBIT& pic : p.pictures)
        if (!PictureIsSound(pic)) return false;
    // Pictures of quarter-turned orientations are the plain one turned.
    const int w = p.pictures[0].Width(), h = p.pictures[0].Height();
    for (int o = 1; o < 8; ++o) {
        const bool quarter = o & 1;
        if (p.pictures[o].Width() != (quarter ? h : w) || p.pictures[o].Height() != (quarter ? w : h))
            return false;
    }
    if (!NeighboursAreSound(p.neighbours, n)) return false;
    return RectInRange(p.homeLeft, p.homeTop, p.homeRight, p.homeBottom) && p.homeRight >= p.homeLeft &&
           p.homeBottom >= p.homeTop;
}

// The head of a bitmap block: its headers and pixel count, checked against
// the limits and the bytes left, before anything is allocated.
bool ReadBlockHead(Source& src, BmpHeaders& hdr, uint32_t& count) {
    uint8_t head[BmpHeaders::kBytes];
    int32_t n = 0;
    if (!src.Read(head, sizeof head) || !src.ReadInt(n)) return false;
    hdr = BmpHeaders::Read(head);
    count = static_cast<uint32_t>(n);
    if (hdr.infoSize != 40 || hdr.bitCount != 32 || hdr.compression != 0) return false;
    if (!PictureSizeFits(hdr.width, hdr.height)) return false;
    const uint64_t pixels = static_cast<uint64_t>(hdr.width) * static_cast<uint64_t>(hdr.height);
    return pixels == count && pixels * 4 <= src.Remaining();
}

bool ReadBlock(Source& src, MYBIT& picture) {
    BmpHeaders hdr;
    uint32_t count = 0;
    if (!ReadBlockHead(src, hdr, count)) return false;
    picture.Free();
    picture.pixels.resize(count);
    if (!src.Read(picture.pixels.data(), static_cast<size_t>(count) * 4)) {
        picture.Free();
        return false;
    }
    picture.hdr = hdr;
    return true;
}

bool ReadRect(Source& src, int32_t& l, int32_t& t, int32_t& r, int32_t& b) {
    return src.ReadInt(l) && src.ReadInt(t) && src.ReadInt(r) && src.ReadInt(b);
}

bool ReadPiece(Source& src, Piece& p, int32_t n, int32_t& orderEntry) {
    for (MYBIT& pic : p.pictures)
        if (!ReadBlock(src, pic)) return false;
    if (!ReadRect(src, p.left, p.top, p.right, p.bottom) || !src.ReadInt(p.orientation) ||
        !src.ReadInt(p.group))
        return false;
    p.neighbours.clear();
    for (;;) {
        int32_t v = 0;
        if (p.neighbours.size() >= static_cast<size_t>(kMaxListValues) || !src.ReadInt(v)) return false;
        p.neighbours.push_back(v);
        if (v == -1) break;
    }
    return ReadRect(src, p.homeLeft, p.homeTop, p.homeRight, p.homeBottom) && src.ReadInt(orderEntry) &&
           PartsAreSound(p, n) && PlaceIsSound(PlaceOf(p), p);
}

ReadResult ReadAll(Source& src, Board& board, MYBIT& picture, SavedStateHead& head) {
    board.Empty();
    picture.Free();
    int32_t n = 0;
    bool ok = ReadBlock(src, picture) && src.ReadInt(head.groupsLeft) && src.ReadInt(head.totalPieces) &&
              src.ReadInt(head.elapsedMs) && src.ReadInt(n) && n >= 0 && n <= kMaxPieces;
    for (int32_t i = 0; ok && i < n; ++i) ok = ReadPiece(src, board.pieces[i], n, board.order[i]);
    if (ok) {
        board.count = n;
        BoardPlaces places;
        TakePlaces(board, places);
        ok = OrderIsSound(places);
    }
    if (!ok) {
        board.Empty();
        picture.Free();
        return ReadResult::kBadFile;
    }
    return ReadResult::kOk;
}

// Writes through an atomic file and digests what it writes.
class Writer {
  public:
    explicit Writer(const std::string& path) : file_(path) {}
    void Int(int32_t v) {
        uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                        static_cast<uint8_t>(v >> 24)};
        Put(b, 4);
    }
    void Block(const MYBIT& pic) {
        uint8_t head[BmpHeaders::kBytes];
        BmpHeaders h = pic.hdr;
        // The head always tells the truth, so that it reads as a BMP: a
        // 32-bit picture, uncompressed, of this size.
        h.infoSize = 40;
        h.bitCount = 32;
        h.compression = 0;
        h.width = pic.Width();
        h.height = pic.Height();
        h.fileSize = static_cast<uint32_t>(pic.PixelCount() * 4 + 54);
        h.Write(head);
        Put(head, sizeof head);
        Int(static_cast<int32_t>(pic.PixelCount()));
        Put(pic.pixels.data(), pic.PixelCount() * 4);
    }
    void Rect4(int32_t l, int32_t t, int32_t r, int32_t b) {
        Int(l);
        Int(t);
        Int(r);
        Int(b);
    }
    bool Commit() { return file_.Commit(); }
    FileId Written() const { return IdOf(digest_); }

  private:
    void Put(const void* data, size_t size) {
        file_.Write(data, size);
        digest_.Add(data, size);
    }

    AtomicFile file_;
    Digest digest_;
};

}  // namespace

std::string SavedStateName(const std::string& picturePath) {
    size_t slash = picturePath.find_last_of("\\/");
    size_t name = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = picturePath.find_last_of('.');
    if (dot == std::string::npos || dot < name) return picturePath + ".pko";
    return picturePath.substr(0, dot) + ".pko";
}

bool IsSavedStatePath(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".pko";
}

bool WriteSavedState(const Board& board, const std::string& path, const MYBIT& picture, int32_t totalPieces,
                     int32_t elapsedMs) {
    if (board.count < 0 || board.count > kMaxPieces) return false;
    BoardPlaces places;
    TakePlaces(board, places);
    return WriteSavedStateWith(board, places, path, picture, totalPieces, elapsedMs);
}

bool WriteSavedStateWith(const Board& board, const BoardPlaces& places, const std::string& path,
                         const MYBIT& picture, int32_t totalPieces, int32_t elapsedMs,
                         const std::atomic<bool>* cancel, FileId* written) {
    const int32_t n = places.Count();
    // Never a file the reader would refuse: the old one stays instead.
    if (!PictureIsSound(picture) || n > kMaxPieces) return false;
    for (int i = 0; i < n; ++i)
        if (!PartsAreSound(board.pieces[i], n) || !PlaceIsSound(places.pieces[i], board.pieces[i]))
            return false;
    if (!OrderIsSound(places)) return false;
    const auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };
    Writer w(path);
    w.Block(picture);
    w.Int(places.groupsLeft);
    w.Int(totalPieces);
    w.Int(elapsedMs);
    w.Int(n);
    for (int i = 0; i < n; ++i) {
        // Dropped unfinished, the temporary file goes and the old file stays.
        if (cancelled()) return false;
        const Piece& p = board.pieces[i];
        const PiecePlace& q = places.pieces[i];
        for (const MYBIT& pic : p.pictures) w.Block(pic);
        w.Rect4(q.left, q.top, q.right, q.bottom);
        w.Int(q.orientation);
        w.Int(q.group);
        for (int32_t v : p.neighbours) {
            if (v == -1) break;
            w.Int(v);
        }
        w.Int(-1);
        w.Rect4(p.homeLeft, p.homeTop, p.homeRight, p.homeBottom);
        w.Int(places.order[i]);
    }
    if (cancelled() || !w.Commit()) return false;
    if (written) *written = w.Written();
    return true;
}

ReadResult ReadSavedState(Board& board, const std::string& path, MYBIT& picture, SavedStateHead& head) {
    FilePtr f = OpenFile(path, "rb");
    if (!f) {
        board.Empty();
        picture.Free();
        return ReadResult::kCannotOpen;
    }
    int64_t len = FileLength(f.get());
    FileSource src(f.get(), len < 0 ? 0 : static_cast<uint64_t>(len));
    return ReadAll(src, board, picture, head);
}

ReadResult ReadSavedStateFromMemory(Board& board, const uint8_t* data, size_t size, MYBIT& picture,
                                    SavedStateHead& head) {
    MemorySource src(data, size);
    return ReadAll(src, board, picture, head);
}

bool ReadSavedCounts(const std::string& path, int32_t& remaining, int32_t& total) {
    FilePtr f = OpenFile(path, "rb");
    if (!f) return false;
    int64_t len = FileLength(f.get());
    FileSource src(f.get(), len < 0 ? 0 : static_cast<uint64_t>(len));
    BmpHeaders hdr;
    uint32_t count = 0;
    return ReadBlockHead(src, hdr, count) && src.Skip(static_cast<uint64_t>(count) * 4) &&
           src.ReadInt(remaining) && src.ReadInt(total);
}
