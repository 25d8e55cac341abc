// MYBIT: resizing a picture to any size with halftone quality.  Each axis is
// filtered on its own: an axis that shrinks averages the source pixels each
// target pixel covers (weighted by the covered length), an axis that grows
// interpolates linearly between the two nearest source pixels (pixel
// centres aligned).  All four bytes of a pixel are filtered alike.
//
// Fixed point throughout: weights are fractions of 2^14 that sum exactly to
// 2^14 for every target pixel.  The first pass keeps 8 extra bits per
// channel in a 16-bit row; the second rounds back to bytes.  Rows are
// streamed, so the only buffers are a few rows long.
#include <algorithm>
#include <cstring>

#include "image/mybit.h"

namespace {

constexpr int kWeightBits = 14;
constexpr uint32_t kOne = 1u << kWeightBits;
// Bytes -> 16-bit rows holding value * 256; 16-bit rows -> bytes.
constexpr int kToWideShift = kWeightBits - 8;
constexpr int kToByteShift = kWeightBits + 8;

// For every target index along one axis, the source indexes it reads and
// their weights.
struct AxisFilter {
    std::vector<int> first;      // first source index
    std::vector<int> count;      // number of taps
    std::vector<size_t> offset;  // into weights
    std::vector<uint32_t> weights;
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

// Rounds the exact fractions parts[k] / whole to weights that sum to kOne,
// giving the rounding remainder to the largest weight.
void Normalise(const int64_t* parts, int n, int64_t whole, uint32_t* out) {
    int64_t sum = 0;
    int largest = 0;
    for (int k = 0; k < n; ++k) {
        out[k] = static_cast<uint32_t>((parts[k] * kOne + whole / 2) / whole);
        sum += out[k];
        if (parts[k] > parts[largest]) largest = k;
    }
    out[largest] = static_cast<uint32_t>(static_cast<int64_t>(out[largest]) + (kOne - sum));
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

// One target row from several source rows of the same length (n channels):
// out[c] = round(sum of w_k * in_k[c]) >> shift.  Vectorises over c.
template <class In, class Out, int kShift>
void FilterRows(const In* const* rows, const uint32_t* w, int taps, size_t n, uint32_t* acc, Out* out) {
    const In* r0 = rows[0];
    const uint32_t w0 = w[0];
    for (size_t c = 0; c < n; ++c) acc[c] = w0 * r0[c];
    for (int k = 1; k < taps; ++k) {
        const In* rk = rows[k];
        const uint32_t wk = w[k];
        for (size_t c = 0; c < n; ++c) acc[c] += wk * rk[c];
    }
    constexpr uint32_t kHalf = 1u << (kShift - 1);
    for (size_t c = 0; c < n; ++c) out[c] = static_cast<Out>((acc[c] + kHalf) >> kShift);
}

// One row filtered along its length: four channels per pixel.
template <class In, class Out, int kShift>
void FilterAlong(const In* in, const AxisFilter& f, int width, Out* out) {
    constexpr uint32_t kHalf = 1u << (kShift - 1);
    for (int x = 0; x < width; ++x) {
        const In* p = in + static_cast<size_t>(f.first[x]) * 4;
        const uint32_t* w = f.weights.data() + f.offset[x];
        const int taps = f.count[x];
        uint32_t a0 = 0, a1 = 0, a2 = 0, a3 = 0;
        for (int k = 0; k < taps; ++k, p += 4) {
            const uint32_t wk = w[k];
            a0 += wk * p[0];
            a1 += wk * p[1];
            a2 += wk * p[2];
            a3 += wk * p[3];
        }
        Out* o = out + static_cast<size_t>(x) * 4;
        o[0] = static_cast<Out>((a0 + kHalf) >> kShift);
        o[1] = static_cast<Out>((a1 + kHalf) >> kShift);
        o[2] = static_cast<Out>((a2 + kHalf) >> kShift);
        o[3] = static_cast<Out>((a3 + kHalf) >> kShift);
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
    const size_t srcBytes = static_cast<size_t>(source.Width()) * 4;
    std::vector<uint16_t> wide(srcBytes);
    std::vector<uint32_t> acc(srcBytes);
    std::vector<const uint8_t*> rows;
    for (int y = 0; y < target.Height(); ++y) {
        const int taps = fy.count[y];
        rows.resize(taps);
        for (int k = 0; k < taps; ++k) rows[k] = Bytes(source.Row(fy.first[y] + k));
        FilterRows<uint8_t, uint16_t, kToWideShift>(rows.data(), fy.weights.data() + fy.offset[y], taps,
                                                    srcBytes, acc.data(), wide.data());
        FilterAlong<uint16_t, uint8_t, kToByteShift>(wide.data(), fx, target.Width(), Bytes(target.Row(y)));
    }
}

// Rows first: each source row a target row reads is filtered along its
// length once and kept in a ring (the rows read only move downwards), then
// the target row is made from them.  Cheaper when the height grows.
void RowsFirst(const MYBIT& source, const AxisFilter& fx, const AxisFilter& fy, MYBIT& target) {
    const size_t dstBytes = static_cast<size_t>(target.Width()) * 4;
    int ring = 1;
    for (int n : fy.count) ring = std::max(ring, n);
    std::vector<uint16_t> store(dstBytes * ring);
    std::vector<int> held(ring, -1);  // source row in each ring slot
    std::vector<uint32_t> acc(dstBytes);
    std::vector<const uint16_t*> rows;
    for (int y = 0; y < target.Height(); ++y) {
        const int taps = fy.count[y];
        rows.resize(taps);
        for (int k = 0; k < taps; ++k) {
            int sy = fy.first[y] + k;
            int slot = sy % ring;
            uint16_t* r = store.data() + dstBytes * slot;
            if (held[slot] != sy) {
                FilterAlong<uint8_t, uint16_t, kToWideShift>(Bytes(source.Row(sy)), fx, target.Width(), r);
                held[slot] = sy;
            }
            rows[k] = r;
        }
        FilterRows<uint16_t, uint8_t, kToByteShift>(rows.data(), fy.weights.data() + fy.offset[y], taps,
                                                    dstBytes, acc.data(), Bytes(target.Row(y)));
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
