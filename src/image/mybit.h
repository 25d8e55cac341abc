// MYBIT: the one picture type.  A 32-bit bitmap with the two BMP headers it
// is written with; rows are stored bottom-up, every operation takes
// coordinates with y growing downwards from the top row.
//
// Pixel words are 0xAARRGGBB.  Alpha is coverage for piece pictures (0
// outside, 255 inside, between on the soft edge); pictures read from files
// have alpha 0.  Colours handed in are ColorRef (0x00BBGGRR).
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "base/geom.h"

class Host;

// The 14-byte file header and the 40-byte info header, field by field.
struct BmpHeaders {
    uint16_t type = 0x4D42;  // "BM"
    uint32_t fileSize = 0;   // width * height * 4 + 54 while pixels are held
    uint16_t reserved1 = 0;
    uint16_t reserved2 = 0;
    uint32_t dataOffset = 54;
    uint32_t infoSize = 40;
    int32_t width = 0;
    int32_t height = 0;  // positive: rows bottom-up
    uint16_t planes = 1;
    uint16_t bitCount = 32;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;

    static constexpr size_t kBytes = 54;
    void Write(uint8_t out[kBytes]) const;
    static BmpHeaders Read(const uint8_t in[kBytes]);
};

// One cutting line or curve: 3k + 1 points make k cubic Bezier segments.
struct CutLine {
    std::vector<Point> points;
};
using CutList = std::vector<CutLine>;

class MYBIT {
  public:
    MYBIT() = default;
    MYBIT(const MYBIT&) = delete;  // deep copies are explicit: CopyFrom
    MYBIT& operator=(const MYBIT&) = delete;
    MYBIT(MYBIT&&) noexcept = default;
    MYBIT& operator=(MYBIT&&) noexcept = default;

    BmpHeaders hdr;
    std::vector<uint32_t> pixels;  // width * height words, bottom row first

    int Width() const { return hdr.width; }
    int Height() const { return hdr.height; }
    size_t PixelCount() const { return pixels.size(); }
    bool Empty() const { return pixels.empty(); }

    // Row y counted from the top.
    uint32_t* Row(int y) { return pixels.data() + static_cast<size_t>(hdr.height - 1 - y) * hdr.width; }
    const uint32_t* Row(int y) const {
        return pixels.data() + static_cast<size_t>(hdr.height - 1 - y) * hdr.width;
    }
    uint32_t& At(int x, int y) { return Row(y)[x]; }
    uint32_t At(int x, int y) const { return Row(y)[x]; }

    // Lifecycle.  Every operation that gives a new size releases the old array.
    void Free();
    void Create(int width, int height);  // every pixel 0
    // Every pixel 0 as by Create, but the array keeps its room: a work
    // picture reused from piece to piece allocates only when it grows.
    void CreateInPlace(int width, int height);
    void CreateFilled(ColorRef color, int width, int height);
    void Fill(ColorRef color);
    void CopyFrom(const MYBIT& source);
    // The part of source inside (x, y, x + w, y + h); 0 and empty when none.
    int CropFrom(const MYBIT& source, int x, int y, int width, int height);
    // Area-averaged when shrinking, smoothly interpolated when enlarging.
    void StretchFrom(const MYBIT& source, int width, int height);
    // Half size; each pixel from a 2 x 2 block with coverage alpha 63/127/191/255.
    // Odd sizes show a message through host when one is given.
    void HalveFrom(const MYBIT& source, Host* host = nullptr);
    void HalveInPlace(Host* host = nullptr);

    // Pasting; x, y is where the source's top-left corner lands.  0 when
    // nothing is visible.
    int Paste(const MYBIT& source, int x, int y);
    int PasteBlend(const MYBIT& source, int x, int y);

    // Drawing on the pixel array, as the GDI calls of the same purpose draw.
    // Flood fills spread 4-connected from (x, y).
    void FloodFillBorder(int x, int y, ColorRef fill, ColorRef border);
    void FloodFillSurface(int x, int y, ColorRef fill, ColorRef surface);
    // One-pixel lines, 8-connected; the last point of each line is not drawn.
    void DrawBeziers(const CutList& curves, ColorRef color);
    void DrawLine(int x1, int y1, int x2, int y2, ColorRef color);

    // The same with pixel words compared and written whole (masks hold words
    // such as 0xFF00FF00 and labels 1 .. 10000).  The fills return how many
    // pixels they filled and, when box is given, the rectangle holding them
    // (right and bottom exclusive; all zero when nothing was filled).
    int64_t FloodFillBorderWord(int x, int y, uint32_t fill, uint32_t border, Rect* box = nullptr);
    int64_t FloodFillSurfaceWord(int x, int y, uint32_t fill, uint32_t surface, Rect* box = nullptr);
    void DrawBeziersWord(const CutList& curves, uint32_t word);
    void DrawLineWord(int x1, int y1, int x2, int y2, uint32_t word);
    // The ring `width` pixels wide just inside `outer` (all of it when it is
    // narrower than twice the width) set to word, clipped to the picture.
    void FillFrameWord(const Rect& outer, int width, uint32_t word);

    // A 32-bit bottom-up BMP file; replaces the file only once written.
    bool SaveFile(const std::string& path) const;

    // The seven other orientations: r[0] .. r[6] are r1 .. r7.
    void MakeOrientations(MYBIT* r[7]) const;

    // One step of the eight-neighbour walk round the region of words equal to
    // key; the direction persists between calls (see TraceDirection).
    int TraceContour(Point& point, uint32_t key, int first) const;

    // In place on a mask: ORs the bevel percentage into the red byte.
    void BevelMap(int radius);
    // This := source with the map's bevel and alpha applied, edge light L.
    void ApplyBevel(const MYBIT& source, const MYBIT& map, int edgeLight);

  private:
    void SetSize(int width, int height);  // headers and an array of zeros
};

// A scaled view of a picture: target pixel (i, j) shows the source area
// [originX + i / scale, originX + (i + 1) / scale) x [originY + j / scale, ...).
struct ViewMap {
    double scale = 1;
    double originX = 0, originY = 0;
};

// Writes the pixels of `area` of target as the view map shows source:
// averaged over the covered source pixels (by the covered area) when the
// scale is below 1, interpolated between the nearest ones above it, copied
// at 1 with a whole origin.  A target pixel whose centre lies off the source
// becomes `outside`.  Only `area` (clipped to target) is touched.
void StretchView(const MYBIT& source, const ViewMap& map, MYBIT& target, const Rect& area, uint32_t outside);

// The direction of TraceContour (0 .. 7), one for each thread.
int& TraceDirection();

// Clipping of the paste operations: places source point (sx, sy) on target
// point (x, y) and clips to both pictures and to (x, y, x + w, y + h).
// Rewrites the references to the visible part; 0 when nothing is visible.
int Hosei(const MYBIT& target, int& x, int& y, const MYBIT& source, int& sx, int& sy, int& width,
          int& height);

// Luma, hue and chroma on scales of 0 to 100.
void RgbToYhc(uint32_t pixel, double& y, double& hue, double& chroma);
uint32_t YhcToPixel(double y, double hue, double chroma);
ColorRef YhcToColorref(double y, double hue, double chroma);

// YhcToPixel in two halves, for one colour shaded to many lumas (a piece's
// rim): what hue and chroma add to each channel, then a luma with those
// additions.  LumaToPixel (y, ChromaOffsetsOf (hue, chroma)) is
// YhcToPixel (y, hue, chroma) bit for bit.
struct ChromaOffsets {
    double red = 0, blue = 0;            // c sin(theta), c cos(theta)
    double greenRed = 0, greenBlue = 0;  // what green loses to each of them
};
ChromaOffsets ChromaOffsetsOf(double hue, double chroma);

// The colour model's parts, for work that keeps a hue's direction between
// calls (arrange mode turns every pixel's hue by the same amount many
// times): luma weights, the chroma of the most saturated colour, and the
// steps of RgbToYhc and ChromaOffsetsOf, which are made of them.
namespace yhc {
inline constexpr double kWr = 0.298912, kWg = 0.586611, kWb = 0.114478;
inline constexpr double kChromaFull = 227.687438;
inline constexpr double kPi = 3.14159265358979323846;

inline double Clamp100(double v) {
    return v < 0 ? 0 : (v > 100 ? 100 : v);
}
// Luma and chroma on their 0 .. 100 scales; d and e are the colour
// differences whose angle is the hue.
inline void LumaChroma(uint32_t pixel, double& y, double& chroma, double& d, double& e) {
    const double r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    const double luma = kWr * r + kWg * g + kWb * b;
    d = r - luma;
    e = b - luma;
    y = luma * 100 / 255;
    chroma = std::sqrt(d * d + e * e) * 100 / kChromaFull;
}
// The angle of a hue on its 0 .. 100 scale, as YhcToPixel turns it.
inline double HueAngle(double hue) {
    return Clamp100(hue) * 2 * kPi / 100 - kPi;
}
// ChromaOffsetsOf for a hue given by the sine and cosine of its angle.
inline ChromaOffsets OffsetsAt(double sine, double cosine, double chroma) {
    const double c = Clamp100(chroma) * kChromaFull / 100;
    ChromaOffsets o;
    o.red = c * sine;
    o.blue = c * cosine;
    o.greenRed = o.red * kWr / kWg;
    o.greenBlue = o.blue * kWb / kWg;
    return o;
}
}  // namespace yhc

inline uint32_t LumaToPixel(double luma, const ChromaOffsets& o) {
    const double y = (luma < 0 ? 0 : (luma > 100 ? 100 : luma)) * 255 / 100;
    // NaN (from a NaN argument) gives 0 rather than reaching the cast.
    auto channel = [](double v) { return static_cast<uint32_t>(v >= 0 ? (v < 255 ? v : 255) : 0); };
    return channel(y + o.red) << 16 | channel(y - o.greenRed - o.greenBlue) << 8 | channel(y + o.blue);
}
