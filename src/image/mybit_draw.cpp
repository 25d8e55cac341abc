// MYBIT: flood fills, lines and Bezier curves drawn straight on the pixel
// array.  Lines are one pixel wide and 8-connected and leave out their last
// point; fills spread 4-connected.  So a drawn cutting line always separates
// the white areas on its two sides for the 4-connected labelling fill.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "image/mybit.h"

namespace {

// Which pixels a border fill has already taken.  The fill colour may occur in
// the area before the fill, so "already fill-coloured" cannot tell a taken
// pixel from an untaken one.  A row's bits are cleared only when the fill
// first writes to that row, so a small area in a big mask costs little.
class TakenRows {
  public:
    TakenRows(int width, int height)
        : words_((static_cast<size_t>(width) + 63) / 64),
          bits_(std::make_unique_for_overwrite<uint64_t[]>(words_ * static_cast<size_t>(height))),
          ready_(static_cast<size_t>(height), 0) {}

    bool Taken(int x, int y) const {
        if (!ready_[y]) return false;
        return (bits_[Index(y) + (x >> 6)] >> (x & 63)) & 1;
    }
    // Marks x0 .. x1 (inclusive) of row y.
    void Take(int y, int x0, int x1) {
        uint64_t* row = bits_.get() + Index(y);
        if (!ready_[y]) {
            std::memset(row, 0, words_ * sizeof(uint64_t));
            ready_[y] = 1;
        }
        for (int x = x0; x <= x1;) {
            int bit = x & 63;
            int n = std::min(64 - bit, x1 - x + 1);
            uint64_t m = n == 64 ? ~uint64_t{0} : ((uint64_t{1} << n) - 1) << bit;
            row[x >> 6] |= m;
            x += n;
        }
    }

  private:
    size_t Index(int y) const { return static_cast<size_t>(y) * words_; }
    size_t words_;
    std::unique_ptr<uint64_t[]> bits_;
    std::vector<uint8_t> ready_;
};

// A run of row parent (pixels x1 .. x2) that has been filled; row parent + dy
// is to be searched over the same columns.
struct Segment {
    int parent, x1, x2, dy;
};

// Span fill with an explicit stack of segments (no recursion: one area can
// be a whole 4000 x 3000 mask).  inside(row, x, y) says whether the pixel
// belongs to the area and has not been filled yet; fillSpan(row, y, x0, x1)
// fills a run of such pixels so that they stop being inside.
//
// Each filled run hands on the row beyond it in the same direction and,
// where it sticks out past its parent run, the row back towards the parent;
// only pixels directly above or below a filled pixel are ever searched, so
// the fill spreads 4-connected, and each pixel is looked at a small constant
// number of times.
template <class Inside, class FillSpan>
int64_t ScanlineFill(MYBIT& bit, int x, int y, Rect* box, Inside inside, FillSpan fillSpan) {
    const int w = bit.Width(), h = bit.Height();
    int64_t filled = 0;
    Rect bounds{x, y, x, y};
    std::vector<Segment> stack;
    auto push = [&](int parent, int x1, int x2, int dy) {
        if (parent + dy >= 0 && parent + dy < h) stack.push_back({parent, x1, x2, dy});
    };
    // Searching the seed's row "from below" starts the fill; its runs then
    // hand on both rows next to it.
    push(y, x, x, 1);
    push(y + 1, x, x, -1);
    while (!stack.empty()) {
        const Segment s = stack.back();
        stack.pop_back();
        const int dy = s.dy, ry = s.parent + dy;
        uint32_t* row = bit.Row(ry);
        int cx = s.x1, l = 0;
        bool inRun = inside(row, cx, ry);
        if (inRun) {
            l = cx;
            while (l > 0 && inside(row, l - 1, ry)) --l;
            if (l < s.x1) push(ry, l, s.x1 - 1, -dy);
            ++cx;
        }
        for (;;) {
            if (inRun) {
                while (cx < w && inside(row, cx, ry)) ++cx;
                // The run is l .. cx - 1.
                fillSpan(row, ry, l, cx - 1);
                filled += cx - l;
                bounds.left = std::min(bounds.left, l);
                bounds.right = std::max(bounds.right, cx);
                bounds.top = std::min(bounds.top, ry);
                bounds.bottom = std::max(bounds.bottom, ry + 1);
                push(ry, l, cx - 1, dy);
                if (cx > s.x2 + 1) push(ry, s.x2 + 1, cx - 1, -dy);
            }
            // On to the next inside pixel under the parent run.
            for (++cx; cx <= s.x2 && !inside(row, cx, ry); ++cx) {
            }
            if (cx > s.x2) break;
            l = cx;
            inRun = true;
        }
    }
    if (box) *box = filled ? bounds : Rect{};
    return filled;
}

bool InPicture(const MYBIT& bit, int x, int y) {
    return x >= 0 && y >= 0 && x < bit.Width() && y < bit.Height();
}

}  // namespace

int64_t MYBIT::FloodFillBorderWord(int x, int y, uint32_t fill, uint32_t border, Rect* box) {
    if (box) *box = Rect{};
    if (!InPicture(*this, x, y) || At(x, y) == border) return 0;
    TakenRows taken(Width(), Height());
    return ScanlineFill(
        *this, x, y, box,
        [&](const uint32_t* row, int px, int py) {
            return row[px] != border && (row[px] != fill || !taken.Taken(px, py));
        },
        [&](uint32_t* row, int py, int x0, int x1) {
            std::fill(row + x0, row + x1 + 1, fill);
            taken.Take(py, x0, x1);
        });
}

int64_t MYBIT::FloodFillSurfaceWord(int x, int y, uint32_t fill, uint32_t surface, Rect* box) {
    if (box) *box = Rect{};
    if (!InPicture(*this, x, y) || At(x, y) != surface) return 0;
    if (fill == surface) {
        // Nothing would change; only the extent is worth finding.
        if (!box) return 0;
        TakenRows taken(Width(), Height());
        return ScanlineFill(
            *this, x, y, box,
            [&](const uint32_t* row, int px, int py) { return row[px] == surface && !taken.Taken(px, py); },
            [&](uint32_t*, int py, int x0, int x1) { taken.Take(py, x0, x1); });
    }
    return ScanlineFill(
        *this, x, y, box, [&](const uint32_t* row, int px, int) { return row[px] == surface; },
        [&](uint32_t* row, int, int x0, int x1) { std::fill(row + x0, row + x1 + 1, fill); });
}

void MYBIT::FloodFillBorder(int x, int y, ColorRef fill, ColorRef border) {
    FloodFillBorderWord(x, y, ColorRefToPixel(fill), ColorRefToPixel(border));
}

void MYBIT::FloodFillSurface(int x, int y, ColorRef fill, ColorRef surface) {
    FloodFillSurfaceWord(x, y, ColorRefToPixel(fill), ColorRefToPixel(surface));
}

// Bresenham with the rounding made explicit: the pixel at major step k
// (0 <= k < n, n the major length) lies at minor offset
// floor((2 k |dminor| + n) / (2 n)), i.e. the nearest pixel with halves
// rounded away from the start.  Only the steps inside the picture along the
// major axis are walked, so a line of any length costs at most one pass over
// the picture's side.
void MYBIT::DrawLineWord(int x1, int y1, int x2, int y2, uint32_t word) {
    const int64_t dx = int64_t{x2} - x1, dy = int64_t{y2} - y1;
    if ((dx == 0 && dy == 0) || Empty()) return;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const int64_t n = xMajor ? std::llabs(dx) : std::llabs(dy);
    const int64_t m = xMajor ? std::llabs(dy) : std::llabs(dx);
    const int64_t majorStart = xMajor ? x1 : y1, minorStart = xMajor ? y1 : x1;
    const int64_t majorStep = (xMajor ? dx : dy) > 0 ? 1 : -1;
    const int64_t minorStep = (xMajor ? dy : dx) >= 0 ? 1 : -1;
    const int64_t majorLimit = xMajor ? Width() : Height();
    const int64_t minorLimit = xMajor ? Height() : Width();

    // Steps k whose major coordinate majorStart + k * majorStep is in the picture.
    int64_t k0, k1;  // inclusive range
    if (majorStep > 0) {
        k0 = std::max<int64_t>(0, -majorStart);
        k1 = std::min<int64_t>(n - 1, majorLimit - 1 - majorStart);
    } else {
        k0 = std::max<int64_t>(0, majorStart - (majorLimit - 1));
        k1 = std::min<int64_t>(n - 1, majorStart);
    }
    if (k0 > k1) return;

    // q and rem of (2 k0 m + n) / (2 n).  k0 and m are below 2^32, so
    // 2 k0 m can pass 2^63; with k0 m = a n + b it is a + (2 b + n) / (2 n).
    const int64_t den = 2 * n;
    const uint64_t km = static_cast<uint64_t>(k0) * static_cast<uint64_t>(m);
    const int64_t whole = static_cast<int64_t>(km / static_cast<uint64_t>(n));
    const int64_t part = 2 * static_cast<int64_t>(km % static_cast<uint64_t>(n)) + n;
    int64_t q = whole + part / den, rem = part % den;
    for (int64_t k = k0; k <= k1; ++k) {
        int64_t major = majorStart + k * majorStep;
        int64_t minor = minorStart + q * minorStep;
        if (minor >= 0 && minor < minorLimit) {
            if (xMajor)
                At(static_cast<int>(major), static_cast<int>(minor)) = word;
            else
                At(static_cast<int>(minor), static_cast<int>(major)) = word;
        }
        rem += 2 * m;
        if (rem >= den) {
            rem -= den;
            ++q;
        }
    }
}

void MYBIT::DrawLine(int x1, int y1, int x2, int y2, ColorRef color) {
    DrawLineWord(x1, y1, x2, y2, ColorRefToPixel(color));
}

namespace {

struct PointD {
    double x, y;
};

// Collects the pixels of one polyline: consecutive duplicates are dropped
// and a pixel whose two neighbours in the sequence already touch (a corner
// of an L) is dropped too, so the line stays one pixel wide and 8-connected.
// Pinned pixels (the joints between cubic segments) are always kept, as a
// polyline passes through its points.  The newest pixel is held back until
// the next one arrives, which is what leaves out the last point.
class PixelPath {
  public:
    explicit PixelPath(MYBIT& bit, uint32_t word) : bit_(bit), word_(word) {}

    void Add(Point p, bool pinned = false) {
        if (count_ > 0 && p == last_) {
            lastPinned_ |= pinned;
            return;
        }
        if (count_ >= 2 && !lastPinned_ && Touch(prev_, p)) {
            // last_ is a corner between prev_ and p: replace it.
            last_ = p;
            lastPinned_ = pinned;
            return;
        }
        if (count_ >= 2) Plot(prev_);
        prev_ = last_;
        last_ = p;
        lastPinned_ = pinned;
        count_ = std::min(count_ + 1, 2);
    }
    // Draws what is held except the final pixel.
    void Finish() {
        if (count_ >= 2) Plot(prev_);
        count_ = 0;
    }

  private:
    // Points may lie at opposite ends of the int range (curves far off).
    static bool Touch(Point a, Point b) {
        return std::llabs(int64_t{a.x} - b.x) <= 1 && std::llabs(int64_t{a.y} - b.y) <= 1;
    }
    void Plot(Point p) {
        if (p.x >= 0 && p.y >= 0 && p.x < bit_.Width() && p.y < bit_.Height()) bit_.At(p.x, p.y) = word_;
    }

    MYBIT& bit_;
    uint32_t word_;
    int count_ = 0;  // pixels held: 0, 1 (last_) or 2 (prev_, last_)
    Point prev_, last_;
    bool lastPinned_ = false;
};

Point RoundPoint(PointD p) {
    return Point{static_cast<int32_t>(std::floor(p.x + 0.5)), static_cast<int32_t>(std::floor(p.y + 0.5))};
}

PointD Lerp(PointD a, PointD b) {
    return {(a.x + b.x) * 0.5, (a.y + b.y) * 0.5};
}

// Samples per segment are chosen so that no step moves more than one pixel
// along either axis (the curve's speed is at most three times the longest
// control leg); rounded samples are then 8-neighbours of each other and
// each lies within half a pixel of the curve on both axes.  Segments too
// long for that are halved first, and halves entirely off the picture are
// dropped (a cubic lies inside the box of its control points).
constexpr double kMaxSamples = 4096;

void FlattenCubic(const PointD c[4], PixelPath& path, int width, int height) {
    struct Piece {
        PointD p[4];
    };
    std::vector<Piece> stack;
    stack.push_back({{c[0], c[1], c[2], c[3]}});
    while (!stack.empty()) {
        Piece s = stack.back();
        stack.pop_back();
        double minX = s.p[0].x, maxX = minX, minY = s.p[0].y, maxY = minY, leg = 0;
        for (int i = 1; i < 4; ++i) {
            minX = std::min(minX, s.p[i].x);
            maxX = std::max(maxX, s.p[i].x);
            minY = std::min(minY, s.p[i].y);
            maxY = std::max(maxY, s.p[i].y);
            leg = std::max({leg, std::abs(s.p[i].x - s.p[i - 1].x), std::abs(s.p[i].y - s.p[i - 1].y)});
        }
        bool off = maxX < -1 || maxY < -1 || minX > width || minY > height;
        double samples = std::ceil(3 * leg);
        if (samples > kMaxSamples && !off) {
            // de Casteljau halves, the first half on top of the stack.
            PointD ab = Lerp(s.p[0], s.p[1]), bc = Lerp(s.p[1], s.p[2]), cd = Lerp(s.p[2], s.p[3]);
            PointD abc = Lerp(ab, bc), bcd = Lerp(bc, cd), mid = Lerp(abc, bcd);
            stack.push_back({{mid, bcd, cd, s.p[3]}});
            stack.push_back({{s.p[0], ab, abc, mid}});
            continue;
        }
        if (off) {
            // Nothing of it shows; keep only its end so the path resumes there.
            path.Add(RoundPoint(s.p[0]));
            path.Add(RoundPoint(s.p[3]));
            continue;
        }
        int n = std::max(1, static_cast<int>(samples));
        for (int i = 0; i <= n; ++i) {
            double t = static_cast<double>(i) / n, u = 1 - t;
            double b0 = u * u * u, b1 = 3 * u * u * t, b2 = 3 * u * t * t, b3 = t * t * t;
            path.Add(RoundPoint({b0 * s.p[0].x + b1 * s.p[1].x + b2 * s.p[2].x + b3 * s.p[3].x,
                                 b0 * s.p[0].y + b1 * s.p[1].y + b2 * s.p[2].y + b3 * s.p[3].y}));
        }
    }
}

}  // namespace

void MYBIT::DrawBeziersWord(const CutList& curves, uint32_t word) {
    if (Empty()) return;
    for (const CutLine& line : curves) {
        const std::vector<Point>& p = line.points;
        // A polyline of k cubics has 3k + 1 points; anything else draws nothing.
        if (p.size() < 4 || (p.size() - 1) % 3 != 0) continue;
        PixelPath path(*this, word);
        for (size_t i = 0; i + 3 < p.size(); i += 3) {
            if (i > 0) path.Add(p[i], true);
            PointD c[4];
            for (int j = 0; j < 4; ++j)
                c[j] = {static_cast<double>(p[i + j].x), static_cast<double>(p[i + j].y)};
            FlattenCubic(c, path, Width(), Height());
        }
        path.Finish();
    }
}

void MYBIT::DrawBeziers(const CutList& curves, ColorRef color) {
    DrawBeziersWord(curves, ColorRefToPixel(color));
}

void MYBIT::FillFrameWord(const Rect& outer, int width, uint32_t word) {
    if (width <= 0) return;
    Rect r;
    if (!IntersectRect(&r, outer, Rect{0, 0, Width(), Height()})) return;
    // Rows within `width` of the top or bottom edge are filled whole; the
    // rows between only at the two sides.
    for (int y = r.top; y < r.bottom; ++y) {
        uint32_t* row = Row(y);
        const bool band = y < outer.top + width || y >= outer.bottom - width;
        if (band) {
            std::fill(row + r.left, row + r.right, word);
            continue;
        }
        std::fill(row + r.left, row + std::min(r.right, std::max(r.left, outer.left + width)), word);
        std::fill(row + std::max(r.left, std::min(r.right, outer.right - width)), row + r.right, word);
    }
}
