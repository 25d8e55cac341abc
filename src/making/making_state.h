// The making record: what the steps of cutting a picture into pieces share.
// Mask coordinates are twice the picture's; labels 1 .. 10000 name areas.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/geom.h"
#include "image/mybit.h"

struct Board;
class CuttingPool;
struct ApartSearch;

constexpr int kMaxAreas = 10000;

// The largest mask making accepts, in mask pixels (a picture of a quarter of
// that).  Labelling, the piece masks and the copies of a larger mask would
// take gigabytes.
constexpr int64_t kMaxMaskPixels = 100000000;

// Pixel words of the masks.
constexpr uint32_t kMaskLine = 0x00000000;     // cutting line; outside a piece
constexpr uint32_t kMaskWhite = 0x00FFFFFF;    // not yet labelled
constexpr uint32_t kMaskInside = 0xFF00FF00;   // inside the piece (piece masks)
constexpr uint32_t kMaskOutline = 0xFF0000FF;  // outline just outside the piece's area

// Game states; the stage field of the making record.
enum : int32_t {
    kStateNone = 0,
    kStateLabelling = 1,
    kStateCutting = 2,
    kStatePlaying = 3,
};

struct AreaBox {
    int32_t minX = 0, minY = 0, maxX = 0, maxY = 0;  // inclusive while labelling
};

// A line word at a meeting point of a grid's cutting lines that belongs to
// an area's piece (see meeting_points.h): mask word index y * maskWidth + x.
struct MeetingWord {
    int32_t area = 0;
    uint32_t word = 0;
    friend bool operator<(const MeetingWord& a, const MeetingWord& b) {
        return a.area != b.area ? a.area < b.area : a.word < b.word;
    }
};

struct MakingState {
    MakingState() : boxes(kMaxAreas), pieceMasks(kMaxAreas), outlines(kMaxAreas) {}
    MakingState(const MakingState&) = delete;
    MakingState& operator=(const MakingState&) = delete;

    MYBIT mask;     // the full mask; labelling writes the labels into it
    MYBIT picture;  // copy of the picture
    Board* table = nullptr;
    int32_t maskWidth = 0;
    int32_t maskHeight = 0;
    int32_t areaCount = 0;
    int32_t stage = kStateNone;
    std::vector<AreaBox> boxes;     // kMaxAreas; replaced by the cut rectangle when cut
    std::vector<MYBIT> pieceMasks;  // kMaxAreas; piece k's mask while it is cut
    int32_t edgeWidth = 0;          // mask pixels
    int32_t labelRow = 0;           // the mask row the next labelling step scans
    size_t labelCursor = 0;         // index of the next mask word to read
    int32_t cutPosition = 0;        // pieces cut so far

    // Outline pixels of each cut piece, each listed once, as mask word
    // indices y * maskWidth + x (y from the top), in increasing order.  They
    // are the marked words of the piece mask: the neighbour search needs
    // nothing else of it, so the piece mask is released once the piece is
    // cut (a 1000-piece puzzle would keep a hundred megabytes of them).
    std::vector<std::vector<uint32_t>> outlines;  // kMaxAreas
    int32_t areasFull = 0;                        // 1 when labelling stopped at kMaxAreas areas

    // The line words at the meeting points of a grid's cutting lines and
    // where areas were dissolved that no area touches across a side, each
    // listed with every area it is given to; sorted.
    std::vector<MeetingWord> meetingWords;

    // Grid puzzles only: the area of each cell, row after row from the top
    // (columns * rows entries); -1 for a cell no area covers.  Empty for a
    // cutting pattern.
    std::vector<int32_t> cellAreas;
    int32_t cellColumns = 0;

    // Where areas were dissolved into the cutting lines after labelling (a
    // grid's pockets, a pattern's specks): each area's box, one word wider
    // all round, right and bottom exclusive.
    std::vector<Rect> looseRects;

    // The search that links pieces apart (area_repair.h) while it runs in
    // steps, after the last piece is cut; it marks words of the mask.
    std::shared_ptr<ApartSearch> apartSearch;

    // Threads that cut pieces: 0 one per core (see CutThreadCount), 1 the
    // making steps' own thread alone.  Not part of the reset.
    int32_t cutThreads = 0;
    // The workers cutting ahead of the steps while pieces are cut (state 2);
    // declared last, so that it goes first, before what it works on.  (Held
    // shared only so that this header needs no more of it than its name.)
    std::shared_ptr<CuttingPool> pool;
};

// Stops the workers cutting pieces once the pieces they are on are done,
// and waits for them; a piece not yet begun is left for the making steps.
inline void StopCuttingWorkers(MakingState& m) {
    m.pool.reset();
}
