#include "views/arrange_pixels.h"

#include <cmath>
#include <utility>

#include "pieces/board.h"

namespace {

void ConvertWithDirections(MYBIT& out, const MYBIT& canvas, const ArrangeOffsets& o, const double* sinCos) {
    const uint32_t* in = canvas.pixels.data();
    uint32_t* to = out.pixels.data();
    const size_t n = canvas.PixelCount();
    for (size_t i = 0; i < n; ++i) {
        double y, chroma, d, e;
        yhc::LumaChroma(in[i], y, chroma, d, e);
        const ChromaOffsets co = yhc::OffsetsAt(sinCos[2 * i], sinCos[2 * i + 1], chroma + o.chroma);
        to[i] = LumaToPixel(y + o.luma, co);
    }
}

void ConvertPixelByPixel(MYBIT& out, const MYBIT& canvas, const ArrangeOffsets& o) {
    const uint32_t* in = canvas.pixels.data();
    uint32_t* to = out.pixels.data();
    const size_t n = canvas.PixelCount();
    for (size_t i = 0; i < n; ++i) {
        double y, hue, chroma;
        RgbToYhc(in[i], y, hue, chroma);
        to[i] = YhcToPixel(y + o.luma, hue + o.hue, chroma + o.chroma);
    }
}

// The blue, green and red bytes of a pixel in 16-bit lanes 0, 1 and 2: nine
// bytes sum to at most 2295, so lanes never carry into each other.
inline uint64_t Lanes(uint32_t p) {
    return (p & 0xFF) | uint64_t{(p >> 8) & 0xFF} << 16 | uint64_t{(p >> 16) & 0xFF} << 32;
}

// One blur pass from `from` into the interior of `to`; both are w x h with
// w, h >= 3, and to's border already equals from's.
void BlurPass(const MYBIT& from, MYBIT& to, std::vector<uint64_t>& columns) {
    const int w = from.Width(), h = from.Height();
    for (int y = 1; y < h - 1; ++y) {
        const uint32_t* up = from.Row(y - 1);
        const uint32_t* mid = from.Row(y);
        const uint32_t* down = from.Row(y + 1);
        // columns[x]: the three bytes of each colour summed down column x.
        for (int x = 0; x < w; ++x) columns[x] = Lanes(up[x]) + Lanes(mid[x]) + Lanes(down[x]);
        uint32_t* out = to.Row(y);
        for (int x = 1; x < w - 1; ++x) {
            const uint64_t s = columns[x - 1] + columns[x] + columns[x + 1];
            const uint32_t blue = static_cast<uint32_t>(s & 0xFFFF) / 9;
            const uint32_t green = static_cast<uint32_t>((s >> 16) & 0xFFFF) / 9;
            const uint32_t red = static_cast<uint32_t>((s >> 32) & 0xFFFF) / 9;
            out[x] = red << 16 | green << 8 | blue;
        }
    }
}

}  // namespace

void ComposeArrangedCanvas(MYBIT& canvas, const Board& board, int width, int height) {
    canvas.Create(width, height);
    for (int k = 0; k < board.count; ++k) {
        const Piece& piece = board.pieces[board.order[k]];
        canvas.PasteBlend(piece.Current(), piece.left, piece.top);
    }
}

int FindHueDirections(HueDirections& dirs, const MYBIT& canvas, double hueOffset) {
    const size_t n = canvas.PixelCount();
    if (n == 0 || n > kMaxDirectionPixels) {
        dirs.Free();
        return 0;
    }
    // Every entry is written below; a canvas of the last one's size reuses
    // its array.
    dirs.sinCos.resize(2 * n);
    const uint32_t* in = canvas.pixels.data();
    double* sc = dirs.sinCos.data();
    for (size_t i = 0; i < n; ++i) {
        // Runs of one colour (the gaps between pieces, flat areas) repeat
        // the last pixel's direction instead of three more transcendentals.
        if (i > 0 && in[i] == in[i - 1]) {
            sc[2 * i] = sc[2 * i - 2];
            sc[2 * i + 1] = sc[2 * i - 1];
            continue;
        }
        double y, hue, chroma;
        RgbToYhc(in[i], y, hue, chroma);
        const double theta = yhc::HueAngle(hue + hueOffset);
        sc[2 * i] = std::sin(theta);
        sc[2 * i + 1] = std::cos(theta);
    }
    dirs.source = in;
    dirs.count = n;
    dirs.hueOffset = hueOffset;
    return 1;
}

void ConvertArranged(MYBIT& out, const MYBIT& canvas, const ArrangeOffsets& offsets,
                     const HueDirections& dirs) {
    if (out.Width() != canvas.Width() || out.Height() != canvas.Height() ||
        out.PixelCount() != canvas.PixelCount())
        out.Create(canvas.Width(), canvas.Height());
    if (dirs.Fits(canvas, offsets.hue))
        ConvertWithDirections(out, canvas, offsets, dirs.sinCos.data());
    else
        ConvertPixelByPixel(out, canvas, offsets);
}

void BlurArranged(MYBIT& picture, int passes) {
    const int w = picture.Width(), h = picture.Height();
    // Without an interior pixel a pass changes nothing.
    if (passes <= 0 || w < 3 || h < 3) return;
    // A pass never changes the border, so both pictures keep the one they
    // start with and only interiors are written.
    MYBIT other;
    other.CopyFrom(picture);
    std::vector<uint64_t> columns(static_cast<size_t>(w));
    for (int pass = 0; pass < passes; ++pass) {
        BlurPass(picture, other, columns);
        std::swap(picture, other);
    }
}
