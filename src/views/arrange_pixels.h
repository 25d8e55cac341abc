// The pixel work of arrange mode: the canvas of pieces laid at home, its
// colours moved on the luma / hue / chroma scales, and the 3 x 3 blur.
//
// A key recomputes every pixel of the canvas.  Done as RgbToYhc then
// YhcToPixel, each pixel costs an arctangent, a sine and a cosine; the keys
// only ever move luma and chroma, so the sine and cosine of every pixel's
// hue are found once per canvas (HueDirections) and each key then needs
// only arithmetic.  Both ways give the same pixels, bit for bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "image/mybit.h"

struct Board;

// Totals added to every canvas pixel's luma, hue and chroma (0 .. 100 scales).
struct ArrangeOffsets {
    double luma = 0;
    double hue = 0;
    double chroma = 0;
};

// Per canvas pixel, the sine and cosine of the angle YhcToPixel turns its hue
// (plus the hue offset) into: 16 bytes a pixel.  Valid for one canvas array
// and one hue offset only.
struct HueDirections {
    std::vector<double> sinCos;        // sine, cosine; two per pixel in array order
    const uint32_t* source = nullptr;  // the canvas pixels they belong to
    size_t count = 0;                  // pixels
    double hueOffset = 0;

    bool Fits(const MYBIT& canvas, double hue) const {
        return count != 0 && count == canvas.PixelCount() && source == canvas.pixels.data() &&
               hueOffset == hue;
    }
    void Free() { *this = HueDirections{}; }
};

// Canvases larger than this (unscaled pictures of more than 8 million pixels)
// get no directions: their keys convert pixel by pixel rather than hold
// another 16 bytes for each pixel.
constexpr size_t kMaxDirectionPixels = size_t{8} << 20;

// The canvas of an arranged puzzle: width x height, transparent black, with
// every piece's current picture blended on at its board place, bottom first.
void ComposeArrangedCanvas(MYBIT& canvas, const Board& board, int width, int height);

// Finds the directions of every canvas pixel for the hue offset; none (and
// the result 0) for an empty canvas or one above kMaxDirectionPixels.
int FindHueDirections(HueDirections& dirs, const MYBIT& canvas, double hueOffset);

// out := the canvas with the offsets added, as RgbToYhc, the three sums and
// YhcToPixel give it pixel by pixel (alpha 0).  Uses the directions when they
// fit the canvas and the hue offset; converts pixel by pixel otherwise.
void ConvertArranged(MYBIT& out, const MYBIT& canvas, const ArrangeOffsets& offsets,
                     const HueDirections& dirs);

// passes times: each pixel off the outermost rows and columns takes, per
// colour byte, the sum over its 3 x 3 block divided by 9 (truncated), and
// alpha 0; border pixels keep their words.  Each pass blurs the last.
void BlurArranged(MYBIT& picture, int passes);
