// Sample pictures, cutting patterns and background tiles, drawn from noise
// and a little geometry.  Coordinates are pixels, y downwards.
#include <algorithm>
#include <cmath>

#include "datagen.h"

namespace datagen {

namespace {

constexpr double kPi = 3.14159265358979323846;

double Lerp(double a, double b, double t) {
    return a + (b - a) * t;
}

int Wrap(int v, int period) {
    return period > 0 ? ((v % period) + period) % period : v;
}

// A ridge line across the picture: its height (y) at column x.
double Ridge(double x, double base, double amplitude, double scale, uint32_t seed) {
    return base - amplitude * (Fbm(x / scale, 0.37, seed, 5) - 0.5) * 2;
}

// Rock lit from the upper left, with snow on the high slopes.  The face is
// shaded from the slope of a 2-D height field, so gullies run down it.
Rgb MountainColour(double x, double y, double ridge, uint32_t seed) {
    auto height = [seed](double u, double v) { return Fbm(u / 140, v / 60, seed, 5); };
    double gx = height(x + 1.5, y) - height(x - 1.5, y);
    double gy = height(x, y + 1.5) - height(x, y - 1.5);
    double shade = Clamp01(0.55 - gx * 22 - gy * 8);
    Rgb rock{92, 100, 138};
    Rgb c = Mix(Scale(rock, 0.75), Scale(rock, 1.3), shade);
    double snowLine = 545 + 45 * (Fbm(x / 70, 2.5, seed + 2, 3) - 0.5) * 2;
    if (y < snowLine && y - ridge < 110) {
        double s = Smooth(0, 1, (snowLine - y) / 20) * (0.6 + 0.4 * shade);
        c = Mix(c, Rgb{238, 242, 250}, s);
    }
    return c;
}

}  // namespace

double Noise(double x, double y, uint32_t seed, int period) {
    int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    double fx = x - x0, fy = y - y0;
    double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    auto v = [&](int ix, int iy) { return Hash01(Wrap(ix, period), Wrap(iy, period), seed); };
    double top = Lerp(v(x0, y0), v(x0 + 1, y0), sx);
    double bottom = Lerp(v(x0, y0 + 1), v(x0 + 1, y0 + 1), sx);
    return Lerp(top, bottom, sy);
}

double Fbm(double x, double y, uint32_t seed, int octaves, int period) {
    double sum = 0, amp = 0.5, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * Noise(x, y, seed + static_cast<uint32_t>(o) * 101u, period);
        norm += amp;
        x *= 2;
        y *= 2;
        amp *= 0.5;
        if (period) period *= 2;
    }
    return sum / norm;
}

// Mountains over a still lake, a sun high on the right, a meadow in front.
Canvas Landscape(int w, int h) {
    Canvas c(w, h);
    const double sx = w / 1600.0, sy = h / 1200.0;  // drawn for 1600 x 1200
    const int lake = static_cast<int>(780 * sy), shore = static_cast<int>(1040 * sy);
    const double sunX = 1180 * sx, sunY = 250 * sy, sunR = 60 * sx;

    for (int x = 0; x < w; ++x) {
        double fx = x / sx;
        double far = Ridge(fx, 540, 210, 420, 11) * sy;
        double near = Ridge(fx, 690, 45, 230, 23) * sy;
        for (int y = 0; y < lake; ++y) {
            double fy = y / sy;
            double t = static_cast<double>(y) / lake;
            Rgb col = Mix(Rgb{38, 88, 168}, Rgb{206, 222, 236}, std::pow(t, 1.3));
            double d = std::hypot(x - sunX, y - sunY);
            col = Mix(col, Rgb{255, 244, 214}, 0.55 * std::exp(-d / (140 * sx)));
            if (d < sunR) col = Mix(col, Rgb{255, 251, 236}, Smooth(sunR, sunR - 2, d));
            double cloud = Fbm(fx / 330, fy / 110, 7, 5);
            double cover = Smooth(0.56, 0.74, cloud) * (1 - t * 0.8);
            col = Mix(col, Mix(Rgb{250, 250, 253}, Rgb{200, 206, 222}, Clamp01((cloud - 0.6) * 3)), cover);
            if (y > far) {
                col = MountainColour(fx, fy, far / sy, 31);
                col = Mix(col, Rgb{180, 196, 220}, 0.25 + 0.2 * Clamp01((fy - far / sy) / 200));
            }
            if (y > near) {
                double g = Fbm(fx / 40, fy / 25, 41, 4);
                col = Mix(Rgb{40, 78, 48}, Rgb{78, 120, 60}, g);
                col = Mix(col, Rgb{120, 150, 160}, 0.15);
            }
            c.At(x, y) = Pack(col);
        }
    }
    // Pines along the near ridge: dark triangles standing on it.
    Lcg rng(5);
    for (int i = 0; i < 140; ++i) {
        double tx = rng.Uniform() * w;
        double base = Ridge(tx / sx, 690, 45, 230, 23) * sy + 6 * sy;
        double th = (28 + rng.Uniform() * 30) * sy, tw = th * 0.32;
        for (int y = static_cast<int>(base - th); y < std::min<double>(base, lake); ++y)
            for (int x = static_cast<int>(tx - tw); x <= static_cast<int>(tx + tw); ++x) {
                if (x < 0 || x >= w || y < 0) continue;
                double half = tw * (y - (base - th)) / th;
                if (std::abs(x - tx) <= half)
                    c.At(x, y) = Pack(Mix(Rgb{24, 52, 34}, Rgb{40, 70, 44}, Hash01(x, y, 3)));
            }
    }
    // The lake mirrors what stands above it, rippled and darkened.
    for (int y = lake; y < shore; ++y) {
        double depth = static_cast<double>(y - lake) / (shore - lake);
        for (int x = 0; x < w; ++x) {
            int dx = static_cast<int>(std::lround(5 * depth * std::sin(y * 0.21 + x * 0.013)));
            int mx = std::clamp(x + dx, 0, w - 1);
            int my = std::clamp(2 * lake - y - 1, 0, lake - 1);
            Rgb col = Mix(Unpack(c.At(mx, my)), Rgb{34, 74, 104}, 0.3 + 0.25 * depth);
            double glint = Smooth(0.8, 0.95, Noise(x / 9.0, y / 1.6, 51));
            col = Mix(col, Rgb{230, 238, 245}, glint * 0.35 * (1 - depth));
            c.At(x, y) = Pack(col);
        }
    }
    // The meadow, with flowers growing larger toward the front.
    for (int y = shore; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double g = Fbm(x / (12 * sx), y / (6 * sy), 61, 4);
            double t = static_cast<double>(y - shore) / (h - shore);
            c.At(x, y) = Pack(Mix(Mix(Rgb{96, 150, 62}, Rgb{46, 104, 36}, t), Rgb{140, 180, 80}, g * 0.35));
        }
    const Rgb petals[] = {{236, 236, 240}, {246, 212, 60}, {220, 90, 120}, {170, 120, 210}};
    for (int i = 0; i < 1600; ++i) {
        double fy = shore + rng.Uniform() * (h - shore);
        double fx = rng.Uniform() * w;
        double r = (1 + 3.5 * (fy - shore) / (h - shore)) * sx;
        Rgb petal = petals[rng.Next() % 4];
        for (int y = static_cast<int>(fy - r); y <= static_cast<int>(fy + r); ++y)
            for (int x = static_cast<int>(fx - r); x <= static_cast<int>(fx + r); ++x) {
                if (x < 0 || x >= w || y < shore || y >= h) continue;
                double d = std::hypot(x - fx, y - fy);
                if (d <= r) c.At(x, y) = Pack(d < r * 0.35 ? Rgb{250, 200, 40} : petal);
            }
    }
    return c;
}

// The sun setting into the sea behind two islands.
Canvas SunsetSea(int w, int h) {
    Canvas c(w, h);
    const int horizon = h * 61 / 100;
    const double sunX = w * 0.52, sunY = horizon - h * 0.06, sunR = h * 0.055;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Rgb col;
            if (y < horizon) {
                double t = static_cast<double>(y) / horizon;
                col = t < 0.5 ? Mix(Rgb{52, 38, 104}, Rgb{186, 82, 112}, t * 2)
                              : Mix(Rgb{186, 82, 112}, Rgb{252, 160, 72}, (t - 0.5) * 2);
                double d = std::hypot(x - sunX, y - sunY);
                col = Mix(col, Rgb{255, 214, 140}, 0.6 * std::exp(-d / (h * 0.16)));
                if (d < sunR) col = Mix(col, Rgb{255, 238, 190}, Smooth(sunR, sunR - 1.5, d));
                double streak = Fbm(x / (w * 0.35), y / (h * 0.02), 71, 4);
                col = Mix(col, Rgb{255, 170, 150}, Smooth(0.58, 0.72, streak) * 0.6 * t);
                double isle = horizon - h *
                                            (0.07 * Smooth(0.2, 0.3, x / double(w)) *
                                                 (1 - Smooth(0.36, 0.44, x / double(w))) +
                                             0.045 * Smooth(0.72, 0.78, x / double(w))) *
                                            (0.75 + 0.5 * Fbm(x / (w * 0.05), 0.5, 73, 3));
                if (y > isle) col = Rgb{44, 26, 54};
            } else {
                double t = static_cast<double>(y - horizon) / (h - horizon);
                col = Mix(Rgb{150, 72, 96}, Rgb{30, 24, 66}, std::sqrt(t));
                double width = w * (0.03 + 0.12 * t);
                double near = 1 - Smooth(width * 0.4, width, std::abs(x - sunX));
                double wave = Noise(x / 7.0, y / 1.3, 79);
                col = Mix(col, Rgb{255, 206, 130}, near * Smooth(0.55, 0.8, wave));
                col = Mix(col, Rgb{90, 60, 120}, 0.25 * Smooth(0.7, 0.9, Noise(x / 30.0, y / 2.0, 83)));
            }
            c.At(x, y) = Pack(col);
        }
    return c;
}

// A field of flowers under a summer sky, far ones small, near ones large.
Canvas FlowerField(int w, int h) {
    Canvas c(w, h);
    const int hills = h * 37 / 100, field = h * 45 / 100;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            double t = static_cast<double>(y) / h;
            Rgb col = Mix(Rgb{96, 160, 228}, Rgb{214, 232, 246}, Clamp01(t / 0.45));
            double cloud = Fbm(x / 160.0, y / 60.0, 91, 5);
            col = Mix(col, Rgb{252, 252, 255}, Smooth(0.55, 0.7, cloud) * Clamp01(1 - t * 2));
            double hill = hills + 40 * (Fbm(x / 180.0, 0.3, 93, 4) - 0.5) * 2;
            if (y > hill) col = Mix(Rgb{110, 150, 130}, Rgb{150, 180, 170}, Fbm(x / 30.0, y / 15.0, 95, 3));
            if (y >= field) {
                double f = static_cast<double>(y - field) / (h - field);
                col = Mix(Rgb{120, 170, 70}, Rgb{50, 110, 40}, f);
                col = Scale(col, 0.85 + 0.3 * Fbm(x / 8.0, y / 4.0, 97, 3));
            }
            c.At(x, y) = Pack(col);
        }
    // Far rows first, so that near flowers cover them.
    struct Flower {
        double x, y;
        int kind;
    };
    std::vector<Flower> flowers;
    Lcg rng(17);
    for (int i = 0; i < 2600; ++i) {
        double f = rng.Uniform();
        flowers.push_back({rng.Uniform() * w, field + f * f * (h - field), static_cast<int>(rng.Next() % 5)});
    }
    std::sort(flowers.begin(), flowers.end(), [](const Flower& a, const Flower& b) { return a.y < b.y; });
    const Rgb petals[] = {{230, 50, 60}, {250, 210, 40}, {248, 248, 250}, {180, 90, 200}, {250, 140, 40}};
    for (const Flower& fl : flowers) {
        double depth = (fl.y - field) / (h - field);
        double r = 1.2 + 8 * depth;
        if (depth > 0.3)
            for (int y = static_cast<int>(fl.y); y < std::min<int>(h, static_cast<int>(fl.y + r * 3)); ++y)
                if (fl.x >= 0 && fl.x < w) c.At(static_cast<int>(fl.x), y) = Pack(Rgb{40, 96, 30});
        for (int y = static_cast<int>(fl.y - r); y <= static_cast<int>(fl.y + r); ++y)
            for (int x = static_cast<int>(fl.x - r); x <= static_cast<int>(fl.x + r); ++x) {
                if (x < 0 || x >= w || y < 0 || y >= h) continue;
                double dx = x - fl.x, dy = y - fl.y, d = std::hypot(dx, dy);
                // Five petals: the outline swells five times round the centre.
                double edge = r * (0.75 + 0.25 * std::cos(5 * std::atan2(dy, dx)));
                if (d > edge) continue;
                Rgb col = d < r * 0.3 ? Rgb{120, 80, 20} : Scale(petals[fl.kind], 0.8 + 0.2 * (1 - d / r));
                c.At(x, y) = Pack(col);
            }
    }
    return c;
}

// Black cutting lines on white: a grid whose lines wave, repeating seamlessly
// across the tile, half a cell in from the edges (a wave grazing an edge
// would cut off slivers too small to join anything).  Each line is the one
// pixel nearest the curve in every row or column: flatter than 45 degrees,
// it is 8-connected, so it keeps the 4-connected areas apart, and each of
// its pixels touches the areas on both sides, which is how making finds
// neighbours.  A thicker line would leave no piece a neighbour to join.
Canvas WavyPattern(int size, int cells) {
    Canvas c(size, size, 0x00FFFFFF);
    double cell = static_cast<double>(size) / cells;
    double amp = cell * 0.1;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double u = x - cell / 2 - amp * std::sin(2 * kPi * 2 * y / size);
            double v = y - cell / 2 - amp * std::sin(2 * kPi * 2 * x / size + 1.0);
            double du = std::fmod(std::fmod(u, cell) + cell, cell);
            double dv = std::fmod(std::fmod(v, cell) + cell, cell);
            if (std::min(du, cell - du) <= 0.5 || std::min(dv, cell - dv) <= 0.5) c.At(x, y) = 0;
        }
    return c;
}

// Bricks in a running bond; every other row is shifted by half a brick.  The
// joints are one pixel wide, for the same reason as the waves' lines.
Canvas BrickPattern(int w, int h, int brickW, int brickH) {
    Canvas c(w, h, 0x00FFFFFF);
    for (int y = 0; y < h; ++y) {
        int shift = (y / brickH) % 2 ? brickW / 2 : 0;
        for (int x = 0; x < w; ++x)
            if (y % brickH == 0 || (x + shift) % brickW == 0) c.At(x, y) = 0;
    }
    return c;
}

// A soft green cloth, repeating without a seam.
Canvas FeltTile(int size) {
    Canvas c(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            double n = Fbm(x * 8.0 / size, y * 8.0 / size, 101, 4, 8);
            double grain = Hash01(x, y, 103) - 0.5;
            Rgb col = Scale(Rgb{92, 140, 100}, 0.9 + 0.2 * n + 0.05 * grain);
            c.At(x, y) = Pack(col);
        }
    return c;
}

// Light oak planks: two boards per tile, their grain waving along them.
Canvas WoodTile(int size) {
    Canvas c(size, size);
    int board = size / 2;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            int plank = y / board;
            double warp = Fbm(x * 4.0 / size, y * 16.0 / size, 107 + plank, 4, 4);
            double grain = 0.5 + 0.5 * std::sin(2 * kPi * (y * 6.0 / board + warp * 3));
            Rgb col = Mix(Rgb{196, 160, 116}, Rgb{168, 128, 86}, grain * 0.6);
            col = Scale(col, 0.95 + 0.08 * (Hash01(x, y, 109) - 0.5));
            if (y % board == 0) col = Scale(col, 0.7);  // the joint between boards
            if (y % board == 1) col = Scale(col, 1.08);
            c.At(x, y) = Pack(col);
        }
    return c;
}

}  // namespace datagen
