#include "making/cutting.h"

#include <algorithm>

#include "base/host.h"
#include "image/mybit.h"
#include "making/piece_pictures.h"
#include "pieces/board.h"

namespace {

constexpr const char* kNotTwice = "マスクの大きさが原画の２倍でない";
constexpr const char* kTooLarge =
    "画像が大きすぎるため、パズルを作成できません。\n大きさの設定を小さくしてください。";
constexpr const char* kNoWhite = "ピースになる白い部分がないため、パズルを作成できません。";
constexpr const char* kTooManyAreas =
    "区切られた部分が10000を超えました。\n最初の10000ピースだけで作成します。";

// Progress bar colours (COLORREF): labelling and neighbours.
constexpr ColorRef kLabelBack = 0x81F8B0, kLabelBar = 0x0DD75E;
constexpr ColorRef kNeighbourBack = 0xF9A080, kNeighbourBar = 0xD9430B;

// Work pictures larger than this (words) are released after their piece.
constexpr size_t kKeptWords = size_t{4} << 20;

// Two pieces are neighbours when they share this many outline words.
constexpr int kSharedOutline = 11;

// Fills the white area containing array word (x, ar) with label, spreading
// 4-connected, and returns its bounding box (y from the top).  A scanline fill
// with an explicit stack: one area can be the whole mask.
AreaBox FillArea(MYBIT& mask, int x, int ar, uint32_t label) {
    const int W = mask.Width(), H = mask.Height();
    uint32_t* base = mask.pixels.data();
    int minX = x, maxX = x, minAr = ar, maxAr = ar;
    struct Seed {
        int x, ar;
    };
    std::vector<Seed> stack;
    stack.push_back({x, ar});
    while (!stack.empty()) {
        Seed s = stack.back();
        stack.pop_back();
        uint32_t* row = base + static_cast<size_t>(s.ar) * W;
        if (row[s.x] != kMaskWhite) continue;
        int l = s.x, r = s.x;
        while (l > 0 && row[l - 1] == kMaskWhite) --l;
        while (r + 1 < W && row[r + 1] == kMaskWhite) ++r;
        std::fill(row + l, row + r + 1, label);
        minX = std::min(minX, l);
        maxX = std::max(maxX, r);
        minAr = std::min(minAr, s.ar);
        maxAr = std::max(maxAr, s.ar);
        for (int nar : {s.ar - 1, s.ar + 1}) {
            if (nar < 0 || nar >= H) continue;
            const uint32_t* next = base + static_cast<size_t>(nar) * W;
            for (int i = l; i <= r; ++i)
                if (next[i] == kMaskWhite && (i == l || next[i - 1] != kMaskWhite)) stack.push_back({i, nar});
        }
    }
    // Array rows run bottom-up.
    return AreaBox{minX, H - 1 - maxAr, maxX, H - 1 - minAr};
}

}  // namespace

void ResetMaking(MakingState& m) {
    // The workers read the mask and picture and write the board's pieces.
    StopCuttingWorkers(m);
    m.apartSearch.reset();
    m.mask.Free();
    m.picture.Free();
    if (m.table) m.table->Empty();
    m.table = nullptr;
    m.maskWidth = m.maskHeight = 0;
    m.areaCount = 0;
    m.stage = kStateNone;
    std::fill(m.boxes.begin(), m.boxes.end(), AreaBox{});
    for (MYBIT& b : m.pieceMasks) b.Free();
    for (std::vector<uint32_t>& o : m.outlines) std::vector<uint32_t>().swap(o);
    m.edgeWidth = 0;
    m.labelRow = 0;
    m.labelCursor = 0;
    m.cutPosition = 0;
    m.areasFull = 0;
    std::vector<MeetingWord>().swap(m.meetingWords);
    std::vector<int32_t>().swap(m.cellAreas);
    m.cellColumns = 0;
    std::vector<Rect>().swap(m.looseRects);
}

int64_t MakeTwoLevel(MYBIT& mask) {
    int64_t white = 0;
    for (uint32_t& v : mask.pixels) {
        // Luma with the weights of the colour conversion, scaled by 10^6.
        uint32_t y = ((v >> 16) & 0xFF) * 298912u + ((v >> 8) & 0xFF) * 586611u + (v & 0xFF) * 114478u;
        bool light = y >= 128000000u;
        v = light ? kMaskWhite : kMaskLine;
        white += light;
    }
    return white;
}

int StartCutting(MakingState& m, const MYBIT& picture, MYBIT mask, Board& table, Host& host) {
    if (static_cast<int64_t>(mask.Width()) * mask.Height() > kMaxMaskPixels) {
        host.MessageBox(kTooLarge, "pukko", kMbOk, Owner::kNone);
        return 0;
    }
    if (mask.Width() != 2 * picture.Width() || mask.Height() != 2 * picture.Height())
        host.MessageBox(kNotTwice, "", kMbOk, Owner::kNone);

    // The workers of a making still running read the record: they stop
    // before anything of it changes, and the board it pointed to is emptied.
    ResetMaking(m);
    table.Empty();
    // Piece rectangles have even corners inside the mask, so the mask's own
    // size must be even.
    if ((mask.Width() | mask.Height()) & 1) {
        MYBIT even;
        even.CropFrom(mask, 0, 0, mask.Width() & ~1, mask.Height() & ~1);
        mask = std::move(even);
    }
    if (MakeTwoLevel(mask) == 0) {
        host.MessageBox(kNoWhite, "pukko", kMbOk, Owner::kNone);
        return 0;
    }
    m.mask = std::move(mask);
    m.maskWidth = m.mask.Width();
    m.maskHeight = m.mask.Height();
    // The picture is exactly half the mask, so every piece's part of it is
    // whole; a picture of another size is trimmed or padded with black.
    if (picture.Width() * 2 == m.maskWidth && picture.Height() * 2 == m.maskHeight) {
        m.picture.CopyFrom(picture);
    } else {
        m.picture.Create(m.maskWidth / 2, m.maskHeight / 2);
        m.picture.Paste(picture, 0, 0);
    }
    m.table = &table;
    m.stage = kStateLabelling;
    m.labelCursor = 0;
    m.labelRow = m.maskHeight - 1;
    host.ShowProgress(m.maskHeight, kLabelBack, kLabelBar);
    host.PostStep(MSG_MAKE_1);
    return 1;
}

int LabelRow(MakingState& m, Host& host) {
    if (m.labelRow < 0 || m.mask.Empty()) return 0;
    const int W = m.maskWidth;
    const int y = m.labelRow;
    const int ar = m.maskHeight - 1 - y;  // the cursor's array row
    uint32_t* row = m.mask.pixels.data() + m.labelCursor;
    for (int x = 0; x < W; ++x) {
        if (row[x] != kMaskWhite) continue;
        if (m.areaCount >= kMaxAreas) {
            host.MessageBox(kTooManyAreas, "pukko", kMbOk, Owner::kNone);
            m.areasFull = 1;
            m.labelRow = -1;
            return 0;
        }
        m.boxes[m.areaCount] = FillArea(m.mask, x, ar, static_cast<uint32_t>(m.areaCount + 1));
        ++m.areaCount;
    }
    m.labelCursor += static_cast<size_t>(W);
    m.labelRow = y - 1;
    return y > 0;
}

int32_t ComputeEdgeWidth(MakingState& m, int32_t edgeThick) {
    int64_t sum = 0;
    for (int i = 0; i < m.areaCount; ++i) {
        const AreaBox& b = m.boxes[i];
        sum += (b.maxX - b.minX) + (b.maxY - b.minY);
    }
    int64_t side = m.areaCount > 0 ? sum / (2 * static_cast<int64_t>(m.areaCount)) : 0;
    int64_t v = std::min<int64_t>(side, 100) * std::max(edgeThick, 0);
    // v / 100 is at most edgeThick, which is a 32-bit value.
    m.edgeWidth = v < 300 ? 3 : static_cast<int32_t>(v / 100);
    return m.edgeWidth;
}

void MarkOutline(MYBIT& pieceMask, std::vector<Point>* marked) {
    MYBIT work;
    MarkOutline(pieceMask, marked, work);
}

void MarkOutline(MYBIT& pieceMask, std::vector<Point>* marked, MYBIT& work) {
    const int w = pieceMask.Width(), h = pieceMask.Height();
    if (w == 0 || h == 0) return;
    // A border of zero words on all four sides, so every contour is closed
    // inside the work copy.
    work.CreateInPlace(w + 2, h + 2);
    work.Paste(pieceMask, 1, 1);
    const int WW = w + 2, WH = h + 2;
    const size_t total = static_cast<size_t>(WW) * WH;
    // Each piece's walk starts from the same direction, so its outline does
    // not depend on the order in which pieces are cut.
    TraceDirection() = 0;
    const uint32_t* words = work.pixels.data();
    for (size_t i = 1; i < total; ++i) {
        // An inside word whose left neighbour is outside and not yet walked.
        if (words[i] != kMaskInside || words[i - 1] != kMaskLine) continue;
        const int x = static_cast<int>(i % WW);
        const int y = WH - static_cast<int>(i / WW) - 1;
        Point p{x, y};
        work.TraceContour(p, kMaskInside, 1);
        work.TraceContour(p, kMaskInside, 0);
        work.TraceContour(p, kMaskInside, 0);
        const Point stop = p;
        // A closed walk passes at most eight times through each word.
        for (size_t guard = 8 * total + 16; guard > 0; --guard) {
            if (work.TraceContour(p, kMaskInside, 0) && p.x >= 1 && p.x <= w && p.y >= 1 && p.y <= h) {
                uint32_t& v = pieceMask.At(p.x - 1, p.y - 1);
                if (v != kMaskOutline) {
                    v = kMaskOutline;
                    if (marked) marked->push_back(Point{p.x - 1, p.y - 1});
                }
            }
            if (p == stop) break;
        }
        // The outside touching this contour is filled so it starts no other
        // contour; holes inside the piece stay 0 and are walked when met.
        work.FloodFillSurface(x - 1, y, 0x000000FF, 0);
    }
}

namespace {

// The scratch of the thread that runs the making steps.
CutScratch& StepsScratch() {
    static CutScratch scratch;
    return scratch;
}

}  // namespace

void CutPiece(MakingState& m, int k, int32_t edgeLight) {
    CutPiece(m, k, edgeLight, StepsScratch());
}

void ReleaseCutScratch() {
    StepsScratch() = CutScratch{};
}

void CutPiece(MakingState& m, int k, int32_t edgeLight, CutScratch& scratch) {
    if (k < 0 || k >= m.areaCount || !m.table) return;
    const int W = m.maskWidth, H = m.maskHeight;
    const AreaBox b = m.boxes[k];
    // One mask pixel of margin round the area (right and bottom exclusive),
    // corners even so the rectangle is whole picture pixels.
    int left = std::max(b.minX - 1, 0);
    int top = std::max(b.minY - 1, 0);
    int right = std::min(b.maxX + 2, W);
    int bottom = std::min(b.maxY + 2, H);
    left -= left & 1;
    top -= top & 1;
    right += right & 1;
    bottom += bottom & 1;
    m.boxes[k] = AreaBox{left, top, right, bottom};
    const int w = right - left, h = bottom - top;

    MYBIT& pm = scratch.pieceMask;
    pm.CreateInPlace(w, h);
    const uint32_t label = static_cast<uint32_t>(k + 1);
    for (int y = 0; y < h; ++y) {
        const uint32_t* src = m.mask.Row(top + y) + left;
        uint32_t* dst = pm.Row(y);
        for (int x = 0; x < w; ++x) dst[x] = src[x] == label ? kMaskInside : kMaskLine;
    }
    std::vector<Point>& marked = scratch.marked;
    marked.clear();
    MarkOutline(pm, &marked, scratch.work);
    // The words a grid's meeting point gives this piece join its outline.
    const auto given =
        std::equal_range(m.meetingWords.begin(), m.meetingWords.end(), MeetingWord{k, 0},
                         [](const MeetingWord& a, const MeetingWord& b) { return a.area < b.area; });
    for (auto it = given.first; it != given.second; ++it) {
        const int x = static_cast<int>(it->word % static_cast<uint32_t>(W)) - left;
        const int y = static_cast<int>(it->word / static_cast<uint32_t>(W)) - top;
        if (x < 0 || y < 0 || x >= w || y >= h) continue;
        uint32_t& v = pm.At(x, y);
        if (v == kMaskOutline) continue;
        v = kMaskOutline;
        marked.push_back(Point{x, y});
    }
    std::vector<uint32_t>& outline = m.outlines[k];
    outline.clear();
    outline.reserve(marked.size());
    for (const Point& p : marked)
        outline.push_back(static_cast<uint32_t>(top + p.y) * static_cast<uint32_t>(W) +
                          static_cast<uint32_t>(left + p.x));
    std::sort(outline.begin(), outline.end());

    Piece& piece = m.table->pieces[k];
    MakePiecePictures(pm, m.picture, left / 2, top / 2, m.edgeWidth, edgeLight, piece.pictures, scratch.pictures);
    piece.left = piece.homeLeft = left / 2;
    piece.top = piece.homeTop = top / 2;
    piece.right = piece.homeRight = left / 2 + w / 2;
    piece.bottom = piece.homeBottom = top / 2 + h / 2;
    // The outline list is all the neighbour search needs of the piece mask;
    // the work pictures of a very large piece (a puzzle of a few pieces)
    // are not kept.
    if (pm.pixels.capacity() > kKeptWords) {
        pm.Free();
        scratch.work.Free();
    }
}

namespace {

// Buckets of a uniform grid over the mask, each listing the pieces whose
// rectangle meets it, so that only pieces with meeting rectangles are
// compared.  The comparison itself decides; the buckets only save work.
struct BoxGrid {
    int side = 1, cols = 1, rows = 1;
    std::vector<std::vector<int>> cells;

    void Build(const MakingState& m) {
        int64_t sum = 0;
        int n = m.areaCount;
        for (int i = 0; i < n; ++i) {
            const AreaBox& b = m.boxes[i];
            sum += std::max(b.maxX - b.minX, b.maxY - b.minY);
        }
        side = std::max<int>(16, n ? static_cast<int>(sum / n) : 16);
        cols = std::max(1, (m.maskWidth + side - 1) / side);
        rows = std::max(1, (m.maskHeight + side - 1) / side);
        cells.assign(static_cast<size_t>(cols) * rows, {});
        for (int i = 0; i < n; ++i) ForEachCell(m.boxes[i], [&](std::vector<int>& c) { c.push_back(i); });
    }
    template <class F>
    void ForEachCell(const AreaBox& b, F f) {
        if (b.maxX <= b.minX || b.maxY <= b.minY) return;
        int c0 = std::clamp(b.minX / side, 0, cols - 1), c1 = std::clamp((b.maxX - 1) / side, 0, cols - 1);
        int r0 = std::clamp(b.minY / side, 0, rows - 1), r1 = std::clamp((b.maxY - 1) / side, 0, rows - 1);
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c) f(cells[static_cast<size_t>(r) * cols + c]);
    }
};

Rect BoxRect(const AreaBox& b) {
    return Rect{b.minX, b.minY, b.maxX, b.maxY};
}

// Outline words pieces e and h have in common, counted up to the neighbour
// threshold.  A word that is outline of both lies in both rectangles, so
// this is the count over the common part of the rectangles.
//
// The shorter list is walked and each of its words sought in the longer one
// by galloping: one piece can surround hundreds of others (the ground of a
// pattern of rings), and stepping through its whole outline once for each
// of them would make the search quadratic.  Lists of like length cost about
// what a plain merge costs.
int CountShared(const MakingState& m, int e, int h) {
    if (e == h) return static_cast<int>(std::min<size_t>(m.outlines[e].size(), kSharedOutline));
    const std::vector<uint32_t>* shortList = &m.outlines[e];
    const std::vector<uint32_t>* longList = &m.outlines[h];
    if (shortList->size() > longList->size()) std::swap(shortList, longList);
    const uint32_t* next = longList->data();
    const uint32_t* const end = next + longList->size();
    int count = 0;
    if (longList->size() <= 8 * shortList->size()) {
        for (const uint32_t word : *shortList) {
            while (next != end && *next < word) ++next;
            if (next == end) break;
            if (*next == word && ++count == kSharedOutline) break;
        }
        return count;
    }
    for (const uint32_t word : *shortList) {
        // Steps of 1, 2, 4, ... until past the word, then a binary search
        // of the last step.
        size_t step = 1;
        while (static_cast<size_t>(end - next) > step && next[step] < word) {
            next += step;
            step *= 2;
        }
        next = std::lower_bound(next, std::min(next + step + 1, end), word);
        if (next == end) break;
        if (*next == word && ++count == kSharedOutline) break;
    }
    return count;
}

}  // namespace

void FindNeighbours(MakingState& m, Host& host) {
    if (!m.table) return;
    const int n = m.areaCount;
    host.ShowProgress(n, kNeighbourBack, kNeighbourBar);
    BoxGrid grid;
    grid.Build(m);
    std::vector<int> candidates;
    std::vector<int32_t> list;
    for (int e = 0; e < n; ++e) {
        candidates.clear();
        grid.ForEachCell(m.boxes[e], [&](std::vector<int>& c) {
            candidates.insert(candidates.end(), c.begin(), c.end());
        });
        std::sort(candidates.begin(), candidates.end());
        candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
        list.clear();
        const Rect re = BoxRect(m.boxes[e]);
        for (int h : candidates) {
            Rect common;
            if (!IntersectRect(&common, re, BoxRect(m.boxes[h]))) continue;
            if (CountShared(m, e, h) >= kSharedOutline) list.push_back(h);
        }
        list.push_back(-1);
        m.table->pieces[e].neighbours = list;
        host.StepProgress();
    }
    host.CloseProgress();
}
