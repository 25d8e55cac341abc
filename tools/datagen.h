// The data generator's shared pieces: an RGBA canvas, colour and noise
// helpers, and the file writers.  Everything it makes is deterministic:
// the noise is a hash of lattice coordinates and a seed, never a library
// generator, so every build lays out the same bytes.
#pragma once

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace datagen {

namespace fs = std::filesystem;

// Pixels 0xAARRGGBB, top row first.
struct Canvas {
    int w = 0, h = 0;
    std::vector<uint32_t> px;
    Canvas(int width, int height, uint32_t fill = 0)
        : w(width), h(height), px(static_cast<size_t>(width) * height, fill) {}
    uint32_t& At(int x, int y) { return px[static_cast<size_t>(y) * w + x]; }
    uint32_t At(int x, int y) const { return px[static_cast<size_t>(y) * w + x]; }
};

// Colours as doubles 0 .. 255 while they are mixed.
struct Rgb {
    double r = 0, g = 0, b = 0;
};
inline Rgb Mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline Rgb Scale(Rgb a, double k) {
    return {a.r * k, a.g * k, a.b * k};
}
inline double Clamp01(double v) {
    return v < 0 ? 0 : v > 1 ? 1 : v;
}
inline double Smooth(double e0, double e1, double v) {
    double t = Clamp01((v - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
inline uint32_t Pack(Rgb c, int alpha = 255) {
    auto ch = [](double v) { return static_cast<uint32_t>(v < 0 ? 0 : v > 255 ? 255 : std::lround(v)); };
    return static_cast<uint32_t>(alpha) << 24 | ch(c.r) << 16 | ch(c.g) << 8 | ch(c.b);
}
inline Rgb Unpack(uint32_t p) {
    return {static_cast<double>((p >> 16) & 0xFF), static_cast<double>((p >> 8) & 0xFF),
            static_cast<double>(p & 0xFF)};
}

// A well-mixed 32-bit hash of a lattice point.
inline uint32_t Hash(int x, int y, uint32_t seed) {
    uint32_t h =
        static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}
inline double Hash01(int x, int y, uint32_t seed) {
    return Hash(x, y, seed) / 4294967295.0;
}

// Smooth value noise in [0, 1]; with a period the lattice wraps, so a tile
// made from it repeats without a seam.
double Noise(double x, double y, uint32_t seed, int period = 0);
// Sums of octaves of Noise, each twice as fine and half as strong.
double Fbm(double x, double y, uint32_t seed, int octaves, int period = 0);

// A small linear congruential generator for scattering things.
struct Lcg {
    uint32_t s;
    explicit Lcg(uint32_t seed) : s(seed) {}
    uint32_t Next() {
        s = s * 1664525u + 1013904223u;
        return s >> 8;
    }
    double Uniform() { return Next() / 16777216.0; }
};

// Writers.  BMPs are bottom-up, BI_RGB; 24-bit drops alpha, 32-bit keeps it.
void WriteBytes(const fs::path& p, const std::vector<uint8_t>& b);
void WriteBmp24(const fs::path& p, const Canvas& c);
void WriteBmp32(const fs::path& p, const Canvas& c);
void WriteJpeg(const fs::path& p, const Canvas& c, int quality);
// 16-bit mono PCM; samples in [-1, 1].
void WriteWav(const fs::path& p, const std::vector<double>& samples, int rate);

// The pictures, patterns and tiles (datagen_pictures.cpp).
Canvas Landscape(int w, int h);
Canvas SunsetSea(int w, int h);
Canvas FlowerField(int w, int h);
Canvas WavyPattern(int size, int cells);
Canvas BrickPattern(int w, int h, int brickW, int brickH);
Canvas FeltTile(int size);
Canvas WoodTile(int size);

}  // namespace datagen
