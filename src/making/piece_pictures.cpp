#include "making/piece_pictures.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/mybit.h"

namespace {

PieceScratch& TheScratch() {
    static PieceScratch scratch;
    return scratch;
}

// Work arrays of a very large piece (a puzzle of a few pieces) are not kept.
constexpr size_t kKeptScratch = size_t{4} << 20;  // elements of the padded arrays

// The four bevel percentages of a word are packed into one 64-bit word,
// map j in bits 16 j and up; 0 outside the piece.
constexpr uint64_t kAllFlat = 0x0032003200320032ull;  // 50 in every map

// One row step of a running triangle count, over a row of w words:
//   run[x] += (rowIn[x + R] - rowIn[x - R - 1]) - (diagA[x + a] - diagB[x + b]).
// The arrays never overlap; saying so lets the loop run in vector registers.
void StepRun(int32_t* __restrict run, const int32_t* __restrict rowIn, const int32_t* __restrict diagA,
             const int32_t* __restrict diagB, int w, int R, int a, int b) {
    for (int x = 0; x < w; ++x) run[x] += (rowIn[x + R] - rowIn[x - R - 1]) - (diagA[x + a] - diagB[x + b]);
}

// One row of two maps' percentages, branch-free so that it runs in vector
// registers: near[x] * 100 / sum with sum = total[x] + diag, the far side's
// 100 less that rounded up, ORed into out[x] at bits nearShift and farShift;
// words outside the piece get nothing, words deep inside 50 in every map.
// The quotients are exact in double precision: a true quotient just below
// an integer lies at least 1 / sum below it, far more than the rounding.
// Wide is a 64-bit integer when a window's count times 100 could pass 2^31.
template <class Wide>
void RowPercentages(uint64_t* __restrict out, const int32_t* __restrict near, const int32_t* __restrict total,
                    const int32_t* __restrict diagA, const int32_t* __restrict diagB,
                    const uint8_t* __restrict inside, const uint8_t* __restrict deep, int w, int a, int b,
                    int nearShift, int farShift) {
    for (int x = 0; x < w; ++x) {
        // The word itself lies on both diagonals, so inside the piece no sum is 0.
        const Wide sum = total[x] + (diagA[x + a] - diagB[x + b]);
        const Wide scaled = 100 * static_cast<Wide>(near[x]);
        const Wide q =
            static_cast<Wide>(static_cast<double>(scaled) / static_cast<double>(sum > 0 ? sum : 1));
        const uint64_t nearPart = static_cast<uint64_t>(q);
        const uint64_t farPart = 100 - nearPart - (scaled != q * sum);
        const uint64_t word = nearPart << nearShift | farPart << farShift;
        out[x] |= inside[x] ? (deep[x] ? kAllFlat : word) : 0;
    }
}

// The bevel map of a mask in orientation o is, word for word, a percentage
// a * 100 / (a + b) of two half-window counts: a the non-zero words of the
// (2R + 1)-square window (clipped to the mask) on one side of a diagonal
// through the centre, b those on the other side, the diagonal counting in
// both.  Turning the mask turns the window, so in the unturned frame only
// the two diagonals, each seen from either side, occur:
//   map 0: dx + dy >= 0 against <= 0 (orientations 0 and 7),
//   map 1: the same the other way round (2 and 5),
//   map 2: dx - dy <= 0 against >= 0 (1 and 4),
//   map 3: dx - dy >= 0 against <= 0 (3 and 6).
// With T the window's count and G the count on the diagonal, the far side
// is T + G minus the near side, so per word only S+ = #(dx + dy >= 0) and
// D+ = #(dx - dy >= 0) are needed besides T and G.
//
// S+ is the triangle with its right angle at the window's bottom-right
// corner: moving the window down a row adds its new bottom row and drops the
// anti-diagonal it leaves, so S+ follows from the row above in constant time
// with prefix sums along rows and anti-diagonals.  D+ is the triangle at the
// top-right corner and follows the same way from the row below, along main
// diagonals.  Outside the mask every count is 0, which is the clipping; the
// arrays are padded by 2R + 1 (one more row below) so no index leaves them.
// The packed words let the four sums of a 2 x 2 block take three additions.
void Percentages(const MYBIT& pieceMask, int edgeWidth, std::vector<uint64_t>& map, PieceScratch& sc) {
    const int w = pieceMask.Width(), h = pieceMask.Height();
    const size_t n = static_cast<size_t>(w) * h;
    map.assign(n, 0);
    if (n == 0) return;
    // A radius reaching past the whole mask behaves as one just reaching it:
    // no word is deep inside and every window holds the whole mask.
    const int R = std::clamp(edgeWidth, 0, std::max(w, h));

    std::vector<uint8_t>& B = sc.B;
    B.resize(n);
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = pieceMask.Row(y);
        uint8_t* b = B.data() + static_cast<size_t>(y) * w;
        for (int x = 0; x < w; ++x) b[x] = row[x] != 0;
    }

    const int P = 2 * R + 1;
    const int PW = w + 2 * P, PH = h + 2 * P + 1;
    const size_t PN = static_cast<size_t>(PW) * PH;
    // rowSum[Y][X]: B over row Y, columns up to X; antiSum[Y][X]: B over
    // (X - t, Y + t); mainSum[Y][X]: B over (X + t, Y + t); t >= 0, padded
    // coordinates X = x + P, Y = y + P.
    sc.rowSum.assign(PN, 0);
    sc.antiSum.assign(PN, 0);
    sc.mainSum.assign(PN, 0);
    for (int y = 0; y < h; ++y) {
        int32_t* row = sc.rowSum.data() + static_cast<size_t>(y + P) * PW;
        const uint8_t* b = B.data() + static_cast<size_t>(y) * w;
        int32_t run = 0;
        for (int x = 0; x < w; ++x) {
            run += b[x];
            row[x + P] = run;
        }
        std::fill(row + P + w, row + PW, run);
    }
    for (int Y = PH - 2; Y >= 0; --Y) {
        int32_t* a = sc.antiSum.data() + static_cast<size_t>(Y) * PW;
        int32_t* d = sc.mainSum.data() + static_cast<size_t>(Y) * PW;
        const int32_t* aBelow = a + PW;
        const int32_t* dBelow = d + PW;
        for (int X = 1; X < PW; ++X) a[X] = aBelow[X - 1];
        for (int X = 0; X + 1 < PW; ++X) d[X] = dBelow[X + 1];
        const int y = Y - P;
        if (y < 0 || y >= h) continue;
        const uint8_t* b = B.data() + static_cast<size_t>(y) * w;
        for (int x = 0; x < w; ++x) {
            a[x + P] += b[x];
            d[x + P] += b[x];
        }
    }
    auto rowAt = [&](const std::vector<int32_t>& v, int Y) {
        return v.data() + static_cast<size_t>(Y) * PW + P;
    };
    // Deep inside: the piece reaches the radius diagonally every way.
    sc.deep.assign(w, 0);
    auto deepRow = [&](int y) {
        uint8_t* deep = sc.deep.data();
        std::fill(deep, deep + w, 0);
        if (y - R >= 0 && y + R < h) {
            const uint8_t* up = B.data() + static_cast<size_t>(y - R) * w;
            const uint8_t* down = B.data() + static_cast<size_t>(y + R) * w;
            for (int x = R; x + R < w; ++x) deep[x] = up[x - R] & up[x + R] & down[x - R] & down[x + R];
        }
        return deep;
    };
    std::vector<int32_t>& run = sc.runD;
    std::vector<int32_t>& total = sc.runT;
    // A window holds at most (2R + 1)^2 words, and at most the whole mask.
    const int64_t most = std::min<int64_t>(int64_t{2 * R + 1} * (2 * R + 1), static_cast<int64_t>(n));
    using RowFn = void (*)(uint64_t*, const int32_t*, const int32_t*, const int32_t*, const int32_t*,
                           const uint8_t*, const uint8_t*, int, int, int, int, int);
    RowFn rowPercentages = RowPercentages<int64_t>;
    if (most * 100 < INT32_MAX) rowPercentages = RowPercentages<int32_t>;

    // Maps 2 and 3 from the bottom up: D+ and the window count T follow from
    // the row below; the window centred R rows below the mask sees nothing.
    run.assign(w, 0);
    total.assign(w, 0);
    for (int y = h + R - 1; y >= 0; --y) {
        const int Y = y + P;
        const int32_t* rowIn = rowAt(sc.rowSum, Y - R);  // the window's new top row
        const int32_t* rowOut = rowAt(sc.rowSum, Y + R + 1);
        StepRun(run.data(), rowIn, rowAt(sc.mainSum, Y + 1 - R), rowAt(sc.mainSum, Y + 2 + R), w, R, -R,
                R + 1);
        StepRun(total.data(), rowIn, rowOut, rowOut, w, R, R, -R - 1);
        if (y >= h) continue;
        rowPercentages(map.data() + static_cast<size_t>(y) * w, run.data(), total.data(),
                       rowAt(sc.mainSum, Y - R), rowAt(sc.mainSum, Y + R + 1),
                       B.data() + static_cast<size_t>(y) * w, deepRow(y), w, -R, R + 1, 48, 32);
    }

    // Maps 0 and 1 from the top down, with S+ and T from the row above.
    run.assign(w, 0);
    total.assign(w, 0);
    for (int y = -R; y < h; ++y) {
        const int Y = y + P;
        const int32_t* rowIn = rowAt(sc.rowSum, Y + R);  // the window's new bottom row
        const int32_t* rowOut = rowAt(sc.rowSum, Y - R - 1);
        StepRun(run.data(), rowIn, rowAt(sc.antiSum, Y - 1 - R), rowAt(sc.antiSum, Y + R), w, R, R, -R - 1);
        StepRun(total.data(), rowIn, rowOut, rowOut, w, R, R, -R - 1);
        if (y < 0) continue;
        rowPercentages(map.data() + static_cast<size_t>(y) * w, run.data(), total.data(),
                       rowAt(sc.antiSum, Y - R), rowAt(sc.antiSum, Y + R + 1),
                       B.data() + static_cast<size_t>(y) * w, deepRow(y), w, R, -R - 1, 0, 16);
    }
}

}  // namespace

void BevelPercentages(const MYBIT& pieceMask, int edgeWidth, std::vector<uint8_t> map[4]) {
    std::vector<uint64_t> packed;
    PieceScratch scratch;
    Percentages(pieceMask, edgeWidth, packed, scratch);
    for (int j = 0; j < 4; ++j) {
        map[j].resize(packed.size());
        for (size_t i = 0; i < packed.size(); ++i) map[j][i] = static_cast<uint8_t>(packed[i] >> (16 * j));
    }
}

namespace {

// One picture word shaded by bevel percentage p with strength L, as the rim
// shading does it: luma moved by (p / 100 - 0.5) * L on the 0 .. 100 scale,
// hue and chroma kept.  Only the luma differs between the orientations of a
// word, so its hue and chroma become channel offsets once, not a sine and
// cosine per orientation.  Without a change of luma (p = 50, or no
// strength) the colour is kept as it is: the round trip through luma, hue
// and chroma could move a channel by one.
struct Shade {
    explicit Shade(uint32_t colour) : source(colour) {}

    uint32_t source;
    bool ready = false;
    double luma = 0;
    ChromaOffsets offsets;

    // shift[p] = (p / 100 - 0.5) * L, the luma change for percentage p.
    uint32_t At(int p, const double* shift) {
        if (p == 50) return source;
        if (!ready) {
            double hue, chroma;
            RgbToYhc(source, luma, hue, chroma);
            offsets = ChromaOffsetsOf(hue, chroma);
            ready = true;
        }
        return LumaToPixel(luma + shift[p], offsets);
    }
};

}  // namespace

void MakePiecePictures(const MYBIT& pieceMask, const MYBIT& picture, int px, int py, int edgeWidth,
                       int edgeLight, MYBIT out[8]) {
    MakePiecePictures(pieceMask, picture, px, py, edgeWidth, edgeLight, out, TheScratch());
}

void MakePiecePictures(const MYBIT& pieceMask, const MYBIT& picture, int px, int py, int edgeWidth,
                       int edgeLight, MYBIT out[8], PieceScratch& scratch) {
    const int w = pieceMask.Width(), h = pieceMask.Height();
    const int W2 = w / 2, H2 = h / 2;
    for (int o = 0; o < 8; ++o) {
        if (o % 2 == 0)
            out[o].Create(W2, H2);
        else
            out[o].Create(H2, W2);
    }
    if (W2 == 0 || H2 == 0) return;

    std::vector<uint64_t>& map = scratch.packed;
    Percentages(pieceMask, edgeWidth, map, scratch);
    double shift[101];
    for (int p = 0; p <= 100; ++p) shift[p] = (p / 100.0 - 0.5) * edgeLight;

    // Where each orientation's picture takes the word of block (bx, by):
    // out[o] at start[o] + bx * step[o] for the row by.  The quarter-turned
    // pictures are H2 wide and W2 high.
    uint32_t* start[8];
    std::ptrdiff_t step[8];
    static constexpr uint32_t kCoverage[5] = {0, 63, 127, 191, 255};
    // sum / n for sums up to 4 * 100, as a multiplication.
    static constexpr uint32_t kPerCount[5] = {0, 65536, 32768, 21846, 16384};
    for (int by = 0; by < H2; ++by) {
        const int ry = H2 - 1 - by;
        start[0] = out[0].Row(by), step[0] = 1;
        start[1] = out[1].pixels.data() + by, step[1] = H2;
        start[2] = out[2].Row(ry) + W2 - 1, step[2] = -1;
        start[3] = out[3].Row(0) + ry, step[3] = -H2;
        start[4] = out[4].Row(by) + W2 - 1, step[4] = -1;
        start[5] = out[5].pixels.data() + ry, step[5] = H2;
        start[6] = out[6].Row(ry), step[6] = 1;
        start[7] = out[7].Row(0) + by, step[7] = -H2;
        const uint32_t* m0 = pieceMask.Row(2 * by);
        const uint32_t* m1 = pieceMask.Row(2 * by + 1);
        const uint32_t* src = picture.Row(py + by) + px;
        const uint64_t* p0 = map.data() + static_cast<size_t>(2 * by) * w;
        const uint64_t* p1 = p0 + w;
        for (int bx = 0; bx < W2; ++bx) {
            const int x0 = 2 * bx;
            const uint32_t n = (m0[x0] != 0) + (m0[x0 + 1] != 0) + (m1[x0] != 0) + (m1[x0 + 1] != 0);
            if (n == 0) continue;
            const uint32_t alpha = kCoverage[n] << 24;
            const uint64_t sum = p0[x0] + p0[x0 + 1] + p1[x0] + p1[x0 + 1];
            uint32_t c[4];
            if (sum == n * kAllFlat || edgeLight == 0) {
                c[0] = c[1] = c[2] = c[3] = src[bx] | alpha;
            } else {
                Shade shade(src[bx]);
                for (int j = 0; j < 4; ++j) {
                    const uint32_t p = (static_cast<uint32_t>(sum >> (16 * j)) & 0xFFFF) * kPerCount[n] >> 16;
                    c[j] = shade.At(static_cast<int>(p), shift) | alpha;
                }
            }
            for (int o = 0; o < 8; ++o) start[o][bx * step[o]] = c[kBevelMapOf[o]];
        }
    }
    if (scratch.rowSum.capacity() > kKeptScratch) scratch = PieceScratch{};
}
