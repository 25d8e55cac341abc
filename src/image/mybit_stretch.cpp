// MYBIT: resizing a picture to any size with halftone quality.  Each axis is
// filtered on its own: an axis that shrinks averages the source pixels each
// target pixel covers (weighted by the covered length), an axis that grows
// interpolates linearly between the two nearest source pixels (pixel
// centres aligned).  All four bytes of a pixel are filtered alike.
//
// Fixed point throughout: weights are fractions of 2^15 that sum exactly to
// 2^15 for every target pixel.  The first pass keeps 8 extra bits per
// channel in 32-bit lanes (value * 256); the second rounds back to bytes.
// Rows are streamed, so the only buffers are a few rows long.
#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>

#include "image/mybit.h"

namespace {

// Pixel words are read as their bytes blue, green, red, alpha, and a pixel
// of four 32-bit lanes as two 64-bit words (blue | green << 32, red | alpha
// << 32).
static_assert(std::endian::native == std::endian::little);

constexpr int kWeightBits = 15;
constexpr uint32_t kOne = 1u << kWeightBits;
// Bytes -> lanes holding value * 256 (at most 65280); lanes -> bytes.  A
// lane's sum stays below 65280 * 2^15 + 2^22 < 2^32, so the two lanes of a
// 64-bit word never carry into each other.
constexpr int kToWideShift = kWeightBits - 8;
constexpr int kToByteShift = kWeightBits + 8;

// For every target index along one axis, the source indexes it reads and
// their weights.
struct AxisFilter {
    std::vector<int> first;         // first source index
    std::vector<int> count;         // number of taps
    std::vector<size_t> offset;     // into weights
    std::vector<uint16_t> weights;  // each at most kOne = 2^15
    double meanTaps = 0;

    void Add(int start, const uint32_t* w, int n) {
        // Zero weights at either end read nothing useful.
        while (n > 1 && w[n - 1] == 0) --n;
        while (n > 1 && w[0] == 0) {
            ++w;
            ++start;
            --n;
        }
        first.push_back(start);
        count.push_back(n);
        offset.push_back(weights.size());
        weights.insert(weights.end(), w, w + n);
    }
};

// Turns the exact fractions parts[k] / whole (which sum to 1) into weights
// that sum to exactly kOne.  The running sums are rounded, not the single
// fractions, so the rounding errors cannot pile up over many taps: every
// partial sum of weights is within half a unit of the exact one.
void Normalise(const int64_t* parts, int n, int64_t whole, uint32_t* out) {
    int64_t running = 0, given = 0;
    for (int k = 0; k < n; ++k) {
        running += parts[k];
        int64_t upTo = (running * kOne + whole / 2) / whole;
        out[k] = static_cast<uint32_t>(upTo - given);
        given = upTo;
    }
}

AxisFilter MakeFilter(int src, int dst) {
    AxisFilter f;
    f.first.reserve(dst);
    f.count.reserve(dst);
    f.offset.reserve(dst);
    std::vector<int64_t> parts;
    std::vector<uint32_t> w;
    if (dst < src) {
        // Target pixel i covers source [i * src / dst, (i + 1) * src / dst);
        // in units of 1 / dst that is [i * src, (i + 1) * src), and source
        // pixel j covers [j * dst, (j + 1) * dst).
        for (int i = 0; i < dst; ++i) {
            int64_t a = int64_t{i} * src, b = a + src;
            int j0 = static_cast<int>(a / dst), j1 = static_cast<int>((b - 1) / dst);
            int n = j1 - j0 + 1;
            parts.resize(n);
            w.resize(n);
            for (int k = 0; k < n; ++k) {
                int64_t lo = std::max(a, int64_t{j0 + k} * dst), hi = std::min(b, int64_t{j0 + k + 1} * dst);
                parts[k] = hi - lo;
            }
            Normalise(parts.data(), n, src, w.data());
            f.Add(j0, w.data(), n);
        }
    } else {
        // Centre of target pixel i in source pixels: (i + 0.5) * src / dst - 0.5,
        // in units of 1 / (2 dst): (2 i + 1) * src - dst.
        const int64_t unit = 2 * int64_t{dst};
        for (int i = 0; i < dst; ++i) {
            int64_t pos = (2 * int64_t{i} + 1) * src - dst;
            uint32_t one[1] = {kOne};
            if (pos <= 0) {
                f.Add(0, one, 1);
                continue;
            }
            int j0 = static_cast<int>(pos / unit);
            if (j0 >= src - 1) {
                f.Add(src - 1, one, 1);
                continue;
            }
            int64_t frac[2] = {unit - pos % unit, pos % unit};
            uint32_t two[2];
            Normalise(frac, 2, unit, two);
            f.Add(j0, two, 2);
        }
    }
    f.meanTaps = static_cast<double>(f.weights.size()) / dst;
    return f;
}

// One target row from several rows of n channels each:
// out[c] = (sum of w_k * in_k[c] + half) >> kShift.  Written as plain loops
// over c so that they vectorise; one and two taps (every growing axis and
// most shrinking ones) get loops of their own.
template <class In, class Out, int kShift>
void FilterRows(const In* const* rows, const uint16_t* w, int taps, size_t n, uint32_t* acc, Out* out) {
    constexpr uint32_t kHalf = 1u << (kShift - 1);
    const In* r0 = rows[0];
    const uint32_t w0 = w[0];
    if (taps == 1) {
        for (size_t c = 0; c < n; ++c) out[c] = static_cast<Out>((w0 * r0[c] + kHalf) >> kShift);
        return;
    }
    const In* r1 = rows[1];
    const uint32_t w1 = w[1];
    if (taps == 2) {
        for (size_t c = 0; c < n; ++c) out[c] = static_cast<Out>((w0 * r0[c] + w1 * r1[c] + kHalf) >> kShift);
        return;
    }
    for (size_t c = 0; c < n; ++c) acc[c] = w0 * r0[c] + w1 * r1[c];
    for (int k = 2; k < taps; ++k) {
        const In* rk = rows[k];
        const uint32_t wk = w[k];
        for (size_t c = 0; c < n; ++c) acc[c] += wk * rk[c];
    }
    for (size_t c = 0; c < n; ++c) out[c] = static_cast<Out>((acc[c] + kHalf) >> kShift);
}

// Lanes live in arrays of uint32_t and are read and written two at a time
// through memcpy, which compiles to one 64-bit move.
uint64_t Load64(const uint32_t* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
void Store64(uint32_t* p, uint64_t v) {
    std::memcpy(p, &v, sizeof v);
}

// A row of pixel words filtered along its length into lanes: the channels
// are spread into two 64-bit words so that one multiplication weighs two.
void WordsToLanes(const uint32_t* in, const AxisFilter& f, int width, uint32_t* out) {
    constexpr uint64_t kHalf = (uint64_t{1} << (kToWideShift - 1)) * 0x100000001ull;
    constexpr uint64_t kLane = 0x00FFFFFF00FFFFFFull;
    for (int x = 0; x < width; ++x) {
        const uint32_t* p = in + f.first[x];
        const uint16_t* w = f.weights.data() + f.offset[x];
        const int taps = f.count[x];
        uint64_t bg = 0, ra = 0;
        for (int k = 0; k < taps; ++k) {
            const uint64_t v = p[k], wk = w[k];
            bg += wk * ((v & 0xFF) | ((v & 0xFF00) << 24));
            ra += wk * (((v >> 16) & 0xFF) | ((v >> 24) << 32));
        }
        Store64(out + 4 * static_cast<size_t>(x), ((bg + kHalf) >> kToWideShift) & kLane);
        Store64(out + 4 * static_cast<size_t>(x) + 2, ((ra + kHalf) >> kToWideShift) & kLane);
    }
}

// A row of lanes filtered along its length back into pixel words.
void LanesToWords(const uint32_t* in, const AxisFilter& f, int width, uint32_t* out) {
    constexpr uint64_t kHalf = (uint64_t{1} << (kToByteShift - 1)) * 0x100000001ull;
    for (int x = 0; x < width; ++x) {
        const uint32_t* p = in + 4 * static_cast<size_t>(f.first[x]);
        const uint16_t* w = f.weights.data() + f.offset[x];
        const int taps = f.count[x];
        uint64_t bg = 0, ra = 0;
        for (int k = 0; k < taps; ++k) {
            bg += w[k] * Load64(p + 4 * k);
            ra += w[k] * Load64(p + 4 * k + 2);
        }
        bg += kHalf;
        ra += kHalf;
        out[x] = static_cast<uint32_t>(((bg >> kToByteShift) & 0xFF) | ((bg >> (32 + kToByteShift)) << 8) |
                                       (((ra >> kToByteShift) & 0xFF) << 16) |
                                       ((ra >> (32 + kToByteShift)) << 24));
    }
}

const uint8_t* Bytes(const uint32_t* row) {
    return reinterpret_cast<const uint8_t*>(row);
}
uint8_t* Bytes(uint32_t* row) {
    return reinterpret_cast<uint8_t*>(row);
}

// Columns first: each target row is made from its source rows, then
// filtered along its length.  Cheaper when the height shrinks.
void ColumnsFirst(const MYBIT& source, const AxisFilter& fx, const AxisFilter& fy, MYBIT& target) {
    const size_t channels = static_cast<size_t>(source.Width()) * 4;
    std::vector<uint32_t> lanes(channels);
    std::vector<uint32_t> acc(channels);
    std::vector<const uint8_t*> rows;
    for (int y = 0; y < target.Height(); ++y) {
        const int taps = fy.count[y];
        rows.resize(taps);
        for (int k = 0; k < taps; ++k) rows[k] = Bytes(source.Row(fy.first[y] + k));
        FilterRows<uint8_t, uint32_t, kToWideShift>(rows.data(), fy.weights.data() + fy.offset[y], taps,
                                                    channels, acc.data(), lanes.data());
        LanesToWords(lanes.data(), fx, target.Width(), target.Row(y));
    }
}

// Rows first: each source row a target row reads is filtered along its
// length once and kept in a ring (the rows read only move downwards), then
// the target row is made from them.  Cheaper when the height grows.
void RowsFirst(const MYBIT& source, const AxisFilter& fx, const AxisFilter& fy, MYBIT& target) {
    const size_t channels = static_cast<size_t>(target.Width()) * 4;
    int ring = 1;
    for (int n : fy.count) ring = std::max(ring, n);
    std::vector<uint32_t> store(channels * ring);
    std::vector<int> held(ring, -1);  // source row in each ring slot
    std::vector<uint32_t> acc(channels);
    std::vector<const uint32_t*> rows;
    for (int y = 0; y < target.Height(); ++y) {
        const int taps = fy.count[y];
        rows.resize(taps);
        for (int k = 0; k < taps; ++k) {
            int sy = fy.first[y] + k;
            int slot = sy % ring;
            uint32_t* r = store.data() + channels * slot;
            if (held[slot] != sy) {
                WordsToLanes(source.Row(sy), fx, target.Width(), r);
                held[slot] = sy;
            }
            rows[k] = r;
        }
        FilterRows<uint32_t, uint8_t, kToByteShift>(rows.data(), fy.weights.data() + fy.offset[y], taps,
                                                    channels, acc.data(), Bytes(target.Row(y)));
    }
}

}  // namespace

void MYBIT::StretchFrom(const MYBIT& source, int width, int height) {
    if (&source == this) {
        MYBIT copy;
        copy.CopyFrom(source);
        StretchFrom(copy, width, height);
        return;
    }
    // The target starts as zeros: an empty source leaves a black picture of
    // the asked size (what a failed load then shows).
    SetSize(width, height);
    if (Empty() || source.Empty()) return;
    if (width == source.Width() && height == source.Height()) {
        std::memcpy(pixels.data(), source.pixels.data(), pixels.size() * sizeof(uint32_t));
        return;
    }
    const AxisFilter fx = MakeFilter(source.Width(), width);
    const AxisFilter fy = MakeFilter(source.Height(), height);
    // Work of each order, in channel multiplications per target column/row.
    double columnsFirst =
        double(height) * (double(source.Width()) * fy.meanTaps + double(width) * fx.meanTaps);
    double rowsFirst = double(width) * (double(source.Height()) * fx.meanTaps + double(height) * fy.meanTaps);
    if (columnsFirst <= rowsFirst)
        ColumnsFirst(source, fx, fy, *this);
    else
        RowsFirst(source, fx, fy, *this);
}

namespace {

// The filter of one axis of a scaled view: target index i (from `begin` to
// `end`) shows source [origin + i / s, origin + (i + 1) / s).  Targets whose
// centre lies off the source (0 .. n) are left out: the filter covers
// [first, last) only.  Shrinking averages the covered source pixels by the
// covered length; growing, and a scale of 1, interpolate between the two
// source pixels nearest the target's centre (one when it falls on a pixel).
struct ViewAxis {
    int first = 0, last = 0;
    AxisFilter filter;
};

ViewAxis MakeViewAxis(double s, double origin, int n, int begin, int end) {
    // Sub-pixel lengths in fixed point; they only need to keep their ratios.
    constexpr double kUnit = 1 << 20;
    ViewAxis a;
    auto centre = [&](int i) { return origin + (i + 0.5) / s; };
    a.first = begin;
    while (a.first < end && centre(a.first) < 0) ++a.first;
    a.last = a.first;
    while (a.last < end && centre(a.last) < n) ++a.last;
    std::vector<int64_t> parts;
    std::vector<uint32_t> w;
    for (int i = a.first; i < a.last; ++i) {
        if (s < 1) {
            const double lo = std::max(origin + i / s, 0.0), hi = std::min(origin + (i + 1) / s, double(n));
            const int j0 = std::min(static_cast<int>(lo), n - 1);
            const int j1 = std::max(j0, std::min(static_cast<int>(std::ceil(hi)) - 1, n - 1));
            parts.assign(j1 - j0 + 1, 0);
            int64_t whole = 0;
            for (int j = j0; j <= j1; ++j) {
                const double part = std::min(hi, j + 1.0) - std::max(lo, double(j));
                parts[j - j0] = std::max<int64_t>(std::llround(part * kUnit), 0);
                whole += parts[j - j0];
            }
            if (whole == 0) {  // a sliver of a pixel: the pixel itself
                parts.assign(1, 1);
                whole = 1;
            }
            w.resize(parts.size());
            Normalise(parts.data(), static_cast<int>(parts.size()), whole, w.data());
            a.filter.Add(j0, w.data(), static_cast<int>(parts.size()));
        } else {
            const double pos = centre(i) - 0.5;
            uint32_t one[1] = {kOne};
            if (pos <= 0) {
                a.filter.Add(0, one, 1);
            } else if (pos >= n - 1) {
                a.filter.Add(n - 1, one, 1);
            } else {
                const int j0 = static_cast<int>(pos);
                const int64_t frac = std::llround((pos - j0) * kUnit);
                int64_t two[2] = {static_cast<int64_t>(kUnit) - frac, frac};
                uint32_t weights[2];
                Normalise(two, 2, static_cast<int64_t>(kUnit), weights);
                a.filter.Add(j0, weights, 2);
            }
        }
    }
    if (a.last > a.first)
        a.filter.meanTaps = static_cast<double>(a.filter.weights.size()) / (a.last - a.first);
    return a;
}

void FillSpan(uint32_t* row, int from, int to, uint32_t word) {
    if (from < to) std::fill(row + from, row + to, word);
}

// The filtered part of a view, columns first: each target row from its
// source rows over the source columns it reads, then along its length.
void ViewColumnsFirst(const MYBIT& source, const ViewAxis& ax, const ViewAxis& ay, int sx0, int sx1, int y0,
                      int y1, MYBIT& target) {
    AxisFilter fx = ax.filter;
    for (int& f : fx.first) f -= sx0;
    const size_t channels = static_cast<size_t>(sx1 - sx0) * 4;
    std::vector<uint32_t> lanes(channels), acc(channels);
    std::vector<const uint8_t*> rows;
    for (int y = y0; y < y1; ++y) {
        const int fy = y - ay.first;
        const int taps = ay.filter.count[fy];
        rows.resize(taps);
        for (int k = 0; k < taps; ++k) rows[k] = Bytes(source.Row(ay.filter.first[fy] + k) + sx0);
        FilterRows<uint8_t, uint32_t, kToWideShift>(rows.data(),
                                                    ay.filter.weights.data() + ay.filter.offset[fy], taps,
                                                    channels, acc.data(), lanes.data());
        LanesToWords(lanes.data(), fx, ax.last - ax.first, target.Row(y) + ax.first);
    }
}

// Rows first: each source row a target row reads is filtered along its
// length once and kept in a ring (the rows read only move downwards).
void ViewRowsFirst(const MYBIT& source, const ViewAxis& ax, const ViewAxis& ay, int y0, int y1,
                   MYBIT& target) {
    const int width = ax.last - ax.first;
    const size_t channels = static_cast<size_t>(width) * 4;
    int ring = 1;
    for (int n : ay.filter.count) ring = std::max(ring, n);
    std::vector<uint32_t> store(channels * ring);
    std::vector<int> held(ring, -1);  // source row in each ring slot
    std::vector<uint32_t> acc(channels);
    std::vector<const uint32_t*> rows;
    for (int y = y0; y < y1; ++y) {
        const int fy = y - ay.first;
        const int taps = ay.filter.count[fy];
        rows.resize(taps);
        for (int k = 0; k < taps; ++k) {
            const int sy = ay.filter.first[fy] + k;
            const int slot = sy % ring;
            uint32_t* lanes = store.data() + channels * slot;
            if (held[slot] != sy) {
                WordsToLanes(source.Row(sy), ax.filter, width, lanes);
                held[slot] = sy;
            }
            rows[k] = lanes;
        }
        FilterRows<uint32_t, uint8_t, kToByteShift>(rows.data(),
                                                    ay.filter.weights.data() + ay.filter.offset[fy], taps,
                                                    channels, acc.data(), Bytes(target.Row(y) + ax.first));
    }
}

}  // namespace

void StretchView(const MYBIT& source, const ViewMap& map, MYBIT& target, const Rect& area, uint32_t outside) {
    Rect r;
    if (!IntersectRect(&r, area, Rect{0, 0, target.Width(), target.Height()})) return;
    if (source.Empty() || !(map.scale > 0)) {
        for (int y = r.top; y < r.bottom; ++y) FillSpan(target.Row(y), r.left, r.right, outside);
        return;
    }
    const ViewAxis ax = MakeViewAxis(map.scale, map.originX, source.Width(), r.left, r.right);
    const ViewAxis ay = MakeViewAxis(map.scale, map.originY, source.Height(), r.top, r.bottom);
    // The margins: whole rows above and below the source, and either side.
    for (int y = r.top; y < r.bottom; ++y) {
        uint32_t* out = target.Row(y);
        if (y < ay.first || y >= ay.last || ax.first >= ax.last) {
            FillSpan(out, r.left, r.right, outside);
        } else {
            FillSpan(out, r.left, ax.first, outside);
            FillSpan(out, ax.last, r.right, outside);
        }
    }
    if (ax.first >= ax.last || ay.first >= ay.last) return;
    // The source columns and rows read, and the work of each order in
    // channel multiplications, as for StretchFrom; but a pass along the rows
    // (a pixel's channels weighed in two 64-bit lanes) costs about three
    // times one down the columns (bytes side by side, which vectorises).
    int sx1 = 0, sy1 = 0;
    for (size_t i = 0; i < ax.filter.first.size(); ++i)
        sx1 = std::max(sx1, ax.filter.first[i] + ax.filter.count[i]);
    for (size_t i = 0; i < ay.filter.first.size(); ++i)
        sy1 = std::max(sy1, ay.filter.first[i] + ay.filter.count[i]);
    const int sx0 = ax.filter.first.front(), sy0 = ay.filter.first.front();
    const double w = ax.last - ax.first, h = ay.last - ay.first;
    constexpr double kAlongRows = 3;
    const double columnsFirst =
        h * (double(sx1 - sx0) * ay.filter.meanTaps + kAlongRows * w * ax.filter.meanTaps);
    const double rowsFirst =
        w * (kAlongRows * double(sy1 - sy0) * ax.filter.meanTaps + h * ay.filter.meanTaps);
    const bool byColumns = columnsFirst <= rowsFirst;
    auto band = [&](int y0, int y1) {
        if (byColumns)
            ViewColumnsFirst(source, ax, ay, sx0, sx1, y0, y1, target);
        else
            ViewRowsFirst(source, ax, ay, y0, y1, target);
    };
    // A large part (a zoom repaints the whole window) is made in bands, one
    // per core, at most four; a pointer move's few thousand pixels on this
    // thread alone.
    constexpr double kPixelsPerBand = 250000;
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int bands = std::clamp(static_cast<int>(w * h / kPixelsPerBand), 1, std::min(cores, 4));
    if (bands == 1) {
        band(ay.first, ay.last);
        return;
    }
    std::vector<std::thread> helpers;
    const int rowsPerBand = (ay.last - ay.first + bands - 1) / bands;
    auto rowOf = [&](int b) { return std::min(ay.first + b * rowsPerBand, ay.last); };
    // A helper that runs out of memory leaves its band as it was: a paint
    // is not worth ending the program for.
    auto helperBand = [&](int y0, int y1) {
        try {
            band(y0, y1);
        } catch (const std::bad_alloc&) {
        }
    };
    try {
        for (int b = 1; b < bands; ++b) helpers.emplace_back(helperBand, rowOf(b), rowOf(b + 1));
    } catch (const std::system_error&) {
        // No thread to be had: the bands not handed out are made here.
    }
    band(rowOf(0), rowOf(1));
    band(rowOf(1 + static_cast<int>(helpers.size())), ay.last);
    for (std::thread& t : helpers) t.join();
}
