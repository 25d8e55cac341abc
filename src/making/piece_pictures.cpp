#include "making/piece_pictures.h"

#include <algorithm>
#include <vector>

#include "image/mybit.h"

namespace {

// Per word of a w x h binary image B (top row first) and radius R, with the
// (2R + 1)-square window centred on the word and clipped to the image:
//   sp:    words of B in the window with dx + dy >= 0,
//   total: words of B in the window,
//   diag:  words of B in the window with dx + dy == 0.
// The region dx + dy >= 0 of the window is the triangle with its right angle
// at the window's bottom-right corner; moving the window down one row adds
// its new bottom row and drops the anti-diagonal it leaves behind, so each
// value follows from the one above in constant time, with prefix sums along
// rows and along anti-diagonals.  Outside the image everything is 0, which is
// the clipping; the image is padded by 2R + 1 so no index leaves the arrays.
struct HalfCounts {
    std::vector<int32_t> sp, total, diag;
};

void CountHalves(const std::vector<uint8_t>& B, int w, int h, int R, HalfCounts& out) {
    const int P = 2 * R + 1;
    const int PW = w + 2 * P, PH = h + 2 * P;
    // rowSum[Y][X]: B over row Y, columns 0 .. X (padded coordinates).
    // antiSum[Y][X]: B over (X - t, Y + t), t >= 0.
    std::vector<int32_t> rowSum(static_cast<size_t>(PW) * PH, 0);
    std::vector<int32_t> antiSum(static_cast<size_t>(PW) * PH, 0);
    for (int y = 0; y < h; ++y) {
        int32_t* row = rowSum.data() + static_cast<size_t>(y + P) * PW;
        const uint8_t* b = B.data() + static_cast<size_t>(y) * w;
        int32_t run = 0;
        for (int x = 0; x < w; ++x) {
            run += b[x];
            row[x + P] = run;
        }
        std::fill(row + P + w, row + PW, run);
    }
    for (int Y = PH - 1; Y >= 0; --Y) {
        int32_t* a = antiSum.data() + static_cast<size_t>(Y) * PW;
        const int y = Y - P;
        const uint8_t* b = (y >= 0 && y < h) ? B.data() + static_cast<size_t>(y) * w : nullptr;
        if (Y + 1 < PH) {
            const int32_t* below = a + PW;
            for (int X = 1; X < PW; ++X) a[X] = below[X - 1];
        }
        if (b)
            for (int x = 0; x < w; ++x) a[x + P] += b[x];
    }

    const size_t n = static_cast<size_t>(w) * h;
    out.sp.assign(n, 0);
    out.total.assign(n, 0);
    out.diag.assign(n, 0);
    std::vector<int32_t> sp(w, 0), total(w, 0);  // the window centred on row y - 1
    for (int y = -R; y < h; ++y) {
        const int Y = y + P;
        const int32_t* rowIn = rowSum.data() + static_cast<size_t>(Y + R) * PW + P;  // new bottom row
        const int32_t* rowOut = rowSum.data() + static_cast<size_t>(Y - R - 1) * PW + P;
        const int32_t* antiTop = antiSum.data() + static_cast<size_t>(Y - 1 - R) * PW + P;
        const int32_t* antiEnd = antiSum.data() + static_cast<size_t>(Y + R) * PW + P;
        for (int x = 0; x < w; ++x) {
            int32_t in = rowIn[x + R] - rowIn[x - R - 1];
            int32_t outRow = rowOut[x + R] - rowOut[x - R - 1];
            int32_t leaving = antiTop[x + R] - antiEnd[x - R - 1];
            sp[x] += in - leaving;
            total[x] += in - outRow;
        }
        if (y < 0) continue;
        const int32_t* dTop = antiSum.data() + static_cast<size_t>(Y - R) * PW + P;
        const int32_t* dEnd = antiSum.data() + static_cast<size_t>(Y + R + 1) * PW + P;
        int32_t* osp = out.sp.data() + static_cast<size_t>(y) * w;
        int32_t* ot = out.total.data() + static_cast<size_t>(y) * w;
        int32_t* od = out.diag.data() + static_cast<size_t>(y) * w;
        for (int x = 0; x < w; ++x) {
            osp[x] = sp[x];
            ot[x] = total[x];
            od[x] = dTop[x + R] - dEnd[x - R - 1];
        }
    }
}

}  // namespace

void BevelPercentages(const MYBIT& pieceMask, int edgeWidth, std::vector<uint8_t> map[4]) {
    const int w = pieceMask.Width(), h = pieceMask.Height();
    const size_t n = static_cast<size_t>(w) * h;
    for (int j = 0; j < 4; ++j) map[j].assign(n, 0);
    if (n == 0) return;
    // A radius reaching past the whole mask behaves as one just reaching it:
    // no word is deep inside and every window holds the whole mask.
    const int R = std::clamp(edgeWidth, 0, std::max(w, h));

    std::vector<uint8_t> B(n), flipped(n);
    for (int y = 0; y < h; ++y) {
        const uint32_t* row = pieceMask.Row(y);
        uint8_t* b = B.data() + static_cast<size_t>(y) * w;
        uint8_t* f = flipped.data() + static_cast<size_t>(h - 1 - y) * w;
        for (int x = 0; x < w; ++x) b[x] = f[x] = row[x] != 0;
    }
    // Turned upside down, dx + dy >= 0 becomes dx - dy >= 0: the counts of
    // the other diagonal.
    HalfCounts s, d;
    CountHalves(B, w, h, R, s);
    CountHalves(flipped, w, h, R, d);

    for (int y = 0; y < h; ++y) {
        const uint8_t* b = B.data() + static_cast<size_t>(y) * w;
        const size_t i0 = static_cast<size_t>(y) * w;
        const size_t f0 = static_cast<size_t>(h - 1 - y) * w;
        for (int x = 0; x < w; ++x) {
            if (!b[x]) continue;
            const size_t i = i0 + x;
            // Deep inside: the piece reaches the radius diagonally every way.
            bool deep =
                x - R >= 0 && x + R < w && y - R >= 0 && y + R < h &&
                B[static_cast<size_t>(y - R) * w + x - R] && B[static_cast<size_t>(y - R) * w + x + R] &&
                B[static_cast<size_t>(y + R) * w + x - R] && B[static_cast<size_t>(y + R) * w + x + R];
            if (deep) {
                map[0][i] = map[1][i] = map[2][i] = map[3][i] = 50;
                continue;
            }
            // The word itself lies on both diagonals, so no sum is 0.
            const int32_t sPlus = s.sp[i], sMinus = s.total[i] + s.diag[i] - sPlus;
            const int32_t dPlus = d.sp[f0 + x], dMinus = d.total[f0 + x] + d.diag[f0 + x] - dPlus;
            map[0][i] = static_cast<uint8_t>(sPlus * 100 / (sPlus + sMinus));
            map[1][i] = static_cast<uint8_t>(sMinus * 100 / (sPlus + sMinus));
            map[2][i] = static_cast<uint8_t>(dMinus * 100 / (dPlus + dMinus));
            map[3][i] = static_cast<uint8_t>(dPlus * 100 / (dPlus + dMinus));
        }
    }
}

namespace {

// One picture word shaded by bevel percentage p with strength L, as the rim
// shading does it: luma moved by (p / 100 - 0.5) * L on the 0 .. 100 scale,
// hue and chroma kept.  The colour is decomposed once for all orientations.
// Without a change of luma (p = 50, or no strength) the colour is kept as it
// is: the round trip through luma, hue and chroma could move a channel by one.
struct Shade {
    uint32_t source;
    bool ready = false;
    double y = 0, hue = 0, chroma = 0;

    uint32_t At(int p, int L) {
        if (p == 50 || L == 0) return source;
        if (!ready) {
            RgbToYhc(source, y, hue, chroma);
            ready = true;
        }
        return YhcToPixel(y + (p / 100.0 - 0.5) * L, hue, chroma);
    }
};

}  // namespace

void MakePiecePictures(const MYBIT& pieceMask, const MYBIT& picture, int px, int py, int edgeWidth,
                       int edgeLight, MYBIT out[8]) {
    const int w = pieceMask.Width(), h = pieceMask.Height();
    const int W2 = w / 2, H2 = h / 2;
    for (int o = 0; o < 8; ++o) {
        if (o % 2 == 0)
            out[o].Create(W2, H2);
        else
            out[o].Create(H2, W2);
    }
    if (W2 == 0 || H2 == 0) return;

    std::vector<uint8_t> map[4];
    BevelPercentages(pieceMask, edgeWidth, map);

    static constexpr uint32_t kCoverage[5] = {0, 63, 127, 191, 255};
    for (int by = 0; by < H2; ++by) {
        const uint32_t* m0 = pieceMask.Row(2 * by);
        const uint32_t* m1 = pieceMask.Row(2 * by + 1);
        const uint32_t* src = picture.Row(py + by) + px;
        const size_t top = static_cast<size_t>(2 * by) * w;
        for (int bx = 0; bx < W2; ++bx) {
            const int x0 = 2 * bx;
            const int n = (m0[x0] != 0) + (m0[x0 + 1] != 0) + (m1[x0] != 0) + (m1[x0 + 1] != 0);
            if (n == 0) continue;
            const uint32_t alpha = kCoverage[n] << 24;
            const size_t i = top + x0;
            int p[4];
            for (int j = 0; j < 4; ++j) {
                const uint8_t* mj = map[j].data();
                p[j] = (mj[i] + mj[i + 1] + mj[i + w] + mj[i + w + 1]) / n;
            }
            Shade shade{src[bx]};
            const uint32_t c0 = shade.At(p[0], edgeLight) | alpha;
            const uint32_t c1 = shade.At(p[1], edgeLight) | alpha;
            const uint32_t c2 = shade.At(p[2], edgeLight) | alpha;
            const uint32_t c3 = shade.At(p[3], edgeLight) | alpha;
            const int rx = W2 - 1 - bx, ry = H2 - 1 - by;
            out[0].At(bx, by) = c0;
            out[7].At(by, bx) = c0;
            out[2].At(rx, ry) = c1;
            out[5].At(ry, rx) = c1;
            out[1].At(by, rx) = c2;
            out[4].At(rx, by) = c2;
            out[3].At(ry, bx) = c3;
            out[6].At(bx, ry) = c3;
        }
    }
}
