// The pictures of the piece-shape dialog: the preview of the edited line and
// the half-scale sample piece.
#include <algorithm>
#include <cstdint>
#include <utility>

#include "image/mybit.h"
#include "making/cutting.h"
#include "making/making_state.h"
#include "making/shape_dialog.h"

namespace {

using Line = int32_t[kBaseLinePoints][2];

constexpr int kMaskSide = 2 * kSampleSide;  // the sample's mask, twice the picture
constexpr int kSampleNear = 55;             // the mask square's sides: 55 and 163
constexpr int kSampleFar = 163;             // 55 + 216 / 2

// The line's ten points placed by f (x, y) -> Point.
template <class F>
CutLine Placed(const Line& line, F f) {
    CutLine c;
    c.points.reserve(kBaseLinePoints);
    for (const auto& p : line) c.points.push_back(f(p[0], p[1]));
    return c;
}

// v + add, kept inside the int range (points read from pukko.ini may lie
// anywhere; drawing clips them).
int32_t Shift(int64_t v, int64_t add) {
    return static_cast<int32_t>(std::clamp<int64_t>(v + add, INT32_MIN, INT32_MAX));
}

// A square dot reaching r pixels each way from (cx, cy).
void Dot(MYBIT& b, int cx, int cy, int r, ColorRef color) {
    const uint32_t word = ColorRefToPixel(color);
    for (int64_t y = int64_t{cy} - r; y <= int64_t{cy} + r; ++y)
        for (int64_t x = int64_t{cx} - r; x <= int64_t{cx} + r; ++x)
            if (x >= 0 && y >= 0 && x < b.Width() && y < b.Height()) b.At(static_cast<int>(x), static_cast<int>(y)) = word;
}

}  // namespace

void DrawSamplePiece(const Line& line, int32_t edgeThick, int32_t edgeLight, MYBIT& out) {
    // The four sides at half scale with the knobs inwards (integer halves,
    // truncated toward zero as the line's coordinates may be negative).
    const int n = kSampleNear, f = kSampleFar;
    CutList sides;
    sides.push_back(Placed(line, [&](int x, int y) { return Point{x / 2 + n, y / 2 + n}; }));
    sides.push_back(Placed(line, [&](int x, int y) { return Point{y / 2 + n, x / 2 + n}; }));
    sides.push_back(Placed(line, [&](int x, int y) { return Point{f - y / 2, x / 2 + n}; }));
    sides.push_back(Placed(line, [&](int x, int y) { return Point{x / 2 + n, f - y / 2}; }));
    MYBIT mask;
    mask.CreateFilled(0xFFFFFF, kMaskSide, kMaskSide);
    mask.DrawBeziers(sides, 0x000000);
    // Each side leaves out its last point: the corners close the square.
    for (Point c : {Point{n, n}, Point{f, n}, Point{n, f}, Point{f, f}}) mask.At(c.x, c.y) = kMaskLine;

    // Cut out as a piece is cut: the inside from the centre, its outline
    // marked, the rim, halved to picture size with coverage alpha.
    const uint32_t green = ColorRefToPixel(0x00FF00);
    mask.FloodFillBorder(kMaskSide / 2, kMaskSide / 2, 0x00FF00, 0x000000);
    for (uint32_t& v : mask.pixels) v = v == green ? kMaskInside : kMaskLine;
    MarkOutline(mask);
    mask.BevelMap(edgeThick);
    mask.HalveInPlace();
    MYBIT grey, piece;
    grey.CreateFilled(kSampleGrey, kSampleSide, kSampleSide);
    piece.ApplyBevel(grey, mask, edgeLight);
    out.CreateFilled(kSampleBack, kSampleSide, kSampleSide);
    out.PasteBlend(piece, 0, 0);
}

void DrawShapePreview(const ShapeDialogState& d, const Settings& s, MYBIT& out) {
    // Every place at 96 DPI, scaled to the preview's.
    const int dpi = d.dpi;
    auto px = [dpi](int v) { return ScalePx(v, dpi); };
    constexpr int o96 = kPreviewOrigin, hi96 = kPreviewFar;
    const int o = px(o96), hi = px(hi96);
    const int mid = px((o96 + hi96) / 2);         // 218: the middle of the cell side
    const int top = px(o96 - (hi96 - o96) / 2);     // 2: the square round the line
    const int bottom = px(o96 + (hi96 - o96) / 2);  // 218
    out.CreateFilled(0xFFFFFF, PreviewSide(d), PreviewSide(d));

    const Point diamond[] = {{o, o}, {mid, top}, {hi, o}, {mid, bottom}, {o, o}};
    for (int i = 1; i < 5; ++i)
        out.DrawLine(diamond[i - 1].x, diamond[i - 1].y, diamond[i].x, diamond[i].y, kPreviewLightBlue);
    // Every 12 pixels across the square, one cell side of the line centred
    // on it; the middle lines green.
    for (int dd = -108; dd <= 108; dd += 12) {
        const ColorRef c = dd == 0 ? kPreviewLightGreen : kPreviewLightBlue;
        out.DrawLine(o, o + px(dd), hi, o + px(dd), c);
        out.DrawLine(mid + px(dd), top, mid + px(dd), bottom, c);
    }

    // A coordinate of the line, scaled, then moved by add (64-bit: a point
    // read from pukko.ini may lie anywhere).
    auto at = [dpi](int64_t v, int add) { return Shift(ScalePxWide(v, dpi), add); };
    const Line& line = d.lines[d.selected];
    const int dotReach = px(1);  // 3 x 3 at 96 DPI
    for (int i = 0; i < kBaseLinePoints; ++i)
        Dot(out, at(line[i][0], o), at(line[i][1], o), dotReach, i % 3 == 0 ? 0x000000 : kPreviewRed);

    CutList square;
    square.push_back(Placed(line, [&](int32_t x, int32_t y) { return Point{at(x, o), at(y, o)}; }));
    square.push_back(Placed(line, [&](int32_t x, int32_t y) { return Point{at(x, o), at(-int64_t{y}, hi)}; }));
    square.push_back(Placed(line, [&](int32_t x, int32_t y) { return Point{at(y, o), at(x, o)}; }));
    square.push_back(Placed(line, [&](int32_t x, int32_t y) { return Point{at(-int64_t{y}, hi), at(x, o)}; }));
    out.DrawBeziers(square, 0x000000);

    MYBIT sample;
    DrawSamplePiece(line, s.edgeThick, s.edgeLight, sample);
    if (dpi != kBaseDpi) {
        // The sample is made at its own size, as the making would cut it,
        // and then shown at the preview's scale.
        MYBIT scaled;
        scaled.StretchFrom(sample, px(kSampleSide), px(kSampleSide));
        sample = std::move(scaled);
    }
    out.Paste(sample, 0, 0);
}
