// MYBIT: the outline walk, the bevel of a piece's rim and the luma / hue /
// chroma colour model the shading works in.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "image/mybit.h"

namespace {

// The eight walking directions (y downwards), counter-clockwise on screen
// starting upwards.
constexpr int kDx[8] = {0, -1, -1, -1, 0, 1, 1, 1};
constexpr int kDy[8] = {-1, -1, 0, 1, 1, 1, 0, -1};

// The bevel percentage deep inside a piece: no edge within the radius.
constexpr uint32_t kFlat = 50;

using yhc::kPi;

}  // namespace

int& TraceDirection() {
    // Pieces are cut on several threads at once, each walking its own.
    thread_local int direction = 0;
    return direction;
}

int MYBIT::TraceContour(Point& point, uint32_t key, int first) const {
    const int w = Width(), h = Height();
    // A point may lie anywhere, even at the ends of the int range: its
    // neighbours are found, and it moves, without overflowing.
    auto isKey = [&](int d) {
        const int64_t x = int64_t{point.x} + kDx[d], y = int64_t{point.y} + kDy[d];
        return x >= 0 && y >= 0 && x < w && y < h && At(static_cast<int>(x), static_cast<int>(y)) == key;
    };
    auto step = [](int32_t v, int d) {
        return static_cast<int32_t>(std::clamp<int64_t>(int64_t{v} + d, INT32_MIN, INT32_MAX));
    };
    int& dir = TraceDirection();
    dir &= 7;  // whatever a caller stored, only 0 .. 7 address the tables
    if (first) {
        int k = 0;
        while (k < 8 && !isKey((dir + k) & 7)) ++k;
        if (k == 8) return 0;
        dir = (dir + k + 7) & 7;
    }
    for (int k = 0; k < 8; ++k) {
        dir = (dir + 1) & 7;
        if (isKey(dir)) continue;
        point.x = step(point.x, kDx[dir]);
        point.y = step(point.y, kDy[dir]);
        dir = (dir + 4) & 7;
        return 1;
    }
    return 0;
}

// For a pixel (x, y) and the square window of side 2r + 1 round it, with
// (u, v) the offsets from the centre, the percentage compares
//   a = non-zero pixels with u + v >= 0 (lower right half, diagonal included)
//   b = non-zero pixels with u + v <= 0 (upper left half, diagonal included).
// Pixels outside the picture count as zero, which is the clipping.
//
// Moving the centre one pixel right changes the halves by whole columns and
// whole anti-diagonals of the window:
//   a(x + 1) = a(x) - diagonal(x + y) + column(x + r + 1)
//   b(x + 1) = b(x) - column(x - r) + diagonal(x + y + 1)
// where column(i) counts rows y - r .. y + r of column i and diagonal(s)
// counts the pixels with i + j = s in those rows.  Both are kept as running
// sums from row to row, so each pixel costs a constant amount of work.  A
// centre at x = -r - 1 sees nothing, which starts every row at a = b = 0.
void MYBIT::BevelMap(int radius) {
    const int w = Width(), h = Height();
    if (Empty()) return;
    // A window reaching past the picture on every side sees the same pixels
    // whatever its size, and its corners are never inside: any radius from
    // the larger side on gives the same map.
    const int r = std::clamp(radius, 0, std::max(w, h));
    // column[i + pad] and diagonal[s + pad]; pad covers the indexes left of
    // the picture (down to -2r - 1) and the room on the right, which stay 0.
    const int pad = 2 * r + 2;
    std::vector<int> column(static_cast<size_t>(w) + 2 * pad, 0);
    std::vector<int> diagonal(static_cast<size_t>(w) + h + 2 * pad, 0);
    auto addRow = [&](int j, int sign) {
        if (j < 0 || j >= h) return;
        const uint32_t* row = Row(j);
        for (int i = 0; i < w; ++i) {
            int nz = row[i] != 0 ? sign : 0;
            column[i + pad] += nz;
            diagonal[i + j + pad] += nz;
        }
    };
    // A half-window holds at most the whole picture; past 2^31 / 100 pixels
    // its count times 100 needs 64 bits.
    const int64_t side = 2 * int64_t{r} + 1;
    const int64_t most = std::min(side * side, int64_t{w} * h);
    const bool wide = most > std::numeric_limits<int32_t>::max() / 100;
    for (int j = 0; j < r && j < h; ++j) addRow(j, 1);
    for (int y = 0; y < h; ++y) {
        // The window's rows become y - r .. y + r.
        addRow(y + r, 1);
        addRow(y - r - 1, -1);
        uint32_t* row = Row(y);
        const uint32_t* up = y - r >= 0 ? Row(y - r) : nullptr;
        const uint32_t* down = y + r < h ? Row(y + r) : nullptr;
        int a = 0, b = 0;
        for (int x = -r - 1; x < w - 1; ++x) {
            a += column[x + r + 1 + pad] - diagonal[x + y + pad];
            b += diagonal[x + y + 1 + pad] - column[x - r + pad];
            const int cx = x + 1;
            if (cx < 0 || row[cx] == 0) continue;
            uint32_t percent;
            if (up && down && cx - r >= 0 && cx + r < w && up[cx - r] && up[cx + r] && down[cx - r] &&
                down[cx + r]) {
                // All four window corners inside the piece: taken as deep inside.
                percent = kFlat;
            } else if (wide) {
                percent = static_cast<uint32_t>(int64_t{a} * 100 / (a + b));
            } else {
                // The centre counts in both halves, so a + b >= 2.
                percent = static_cast<uint32_t>(a * 100 / (a + b));
            }
            row[cx] |= percent << 16;
        }
    }
}

void MYBIT::ApplyBevel(const MYBIT& source, const MYBIT& map, int edgeLight) {
    if (&source == this || &map == this) {
        MYBIT copy;
        copy.CopyFrom(*this);
        ApplyBevel(&source == this ? copy : source, &map == this ? copy : map, edgeLight);
        return;
    }
    CopyFrom(source);
    const int w = Width(), h = Height();
    for (int y = 0; y < h; ++y) {
        uint32_t* row = Row(y);
        // A map smaller than the picture leaves the rest outside the piece.
        const uint32_t* m = y < map.Height() ? map.Row(y) : nullptr;
        const int mw = m ? std::min(w, map.Width()) : 0;
        for (int x = 0; x < w; ++x) {
            const uint32_t mv = x < mw ? m[x] : 0;
            const uint32_t alpha = mv & 0xFF000000u;
            if (alpha == 0) {
                row[x] = 0;
                continue;
            }
            const uint32_t percent = (mv >> 16) & 0xFF;
            if (percent != kFlat) {
                double luma, hue, chroma;
                RgbToYhc(row[x], luma, hue, chroma);
                luma += (percent / 100.0 - 0.5) * edgeLight;
                row[x] = YhcToPixel(luma, hue, chroma);
            }
            row[x] |= alpha;
        }
    }
}

void RgbToYhc(uint32_t pixel, double& y, double& hue, double& chroma) {
    double d, e;
    yhc::LumaChroma(pixel, y, chroma, d, e);
    const double angle = d != 0 ? std::atan2(d, e) + kPi : 0;
    hue = angle * 100 / (2 * kPi);
}

ChromaOffsets ChromaOffsetsOf(double hue, double chroma) {
    const double theta = yhc::HueAngle(hue);
    return yhc::OffsetsAt(std::sin(theta), std::cos(theta), chroma);
}

uint32_t YhcToPixel(double y, double hue, double chroma) {
    return LumaToPixel(y, ChromaOffsetsOf(hue, chroma));
}

ColorRef YhcToColorref(double y, double hue, double chroma) {
    const uint32_t p = YhcToPixel(y, hue, chroma);
    return ((p >> 16) & 0xFF) | (p & 0xFF00) | ((p & 0xFF) << 16);
}
