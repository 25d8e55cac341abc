// Writes the data the program expects beside the exe: sample pictures,
// cutting patterns, background tiles, the browser's artwork and the sound
// effects, plus the icon and toolbar bitmap the resources are built from.
// Usage: pukko_datagen BIN_DIR GENERATED_DIR
// jpeglib.h needs FILE and size_t declared before it.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include "datagen.h"

namespace datagen {

namespace {

constexpr double kPi = 3.14159265358979323846;

void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v & 0xFF));
    b.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// The 40-byte info header of a BI_RGB bitmap.
void PutInfoHeader(std::vector<uint8_t>& b, int w, int h, int bits) {
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(w));
    Put32(b, static_cast<uint32_t>(h));
    Put16(b, 1);
    Put16(b, static_cast<uint32_t>(bits));
    for (int i = 0; i < 6; ++i) Put32(b, 0);
}

void PutFileHeader(std::vector<uint8_t>& b, uint32_t dataSize) {
    b.push_back('B');
    b.push_back('M');
    Put32(b, 54 + dataSize);
    Put32(b, 0);
    Put32(b, 54);
}

// A bottom-up 32-bit pixel block with its info header (icon images give
// twice the height: the picture and its mask).
std::vector<uint8_t> Dib32(const Canvas& c, int headerHeight) {
    std::vector<uint8_t> b;
    PutInfoHeader(b, c.w, headerHeight, 32);
    for (int y = c.h - 1; y >= 0; --y)
        for (int x = 0; x < c.w; ++x) Put32(b, c.At(x, y));
    return b;
}

// Anti-aliased drawing: shade gives the colour and coverage (alpha 0 .. 1)
// at a point; each pixel averages 4 x 4 points, alpha-weighted.
using Shader = std::function<void(double x, double y, Rgb& colour, double& alpha)>;
Canvas Render(int w, int h, const Shader& shade) {
    Canvas c(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Rgb sum;
            double a = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx) {
                    Rgb col;
                    double al = 0;
                    shade(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4, col, al);
                    sum = {sum.r + col.r * al, sum.g + col.g * al, sum.b + col.b * al};
                    a += al;
                }
            if (a > 0) c.At(x, y) = Pack(Scale(sum, 1 / a), static_cast<int>(std::lround(a / 16 * 255)));
        }
    return c;
}

double SegmentDistance(double px, double py, double ax, double ay, double bx, double by) {
    double vx = bx - ax, vy = by - ay;
    double t = Clamp01(((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy));
    return std::hypot(px - (ax + t * vx), py - (ay + t * vy));
}

// --- the icon and the pattern window's toolbar --------------------------------

Canvas IconPicture(int n) {
    return Render(n, n, [n](double x, double y, Rgb& col, double& a) {
        double u = x / n, v = y / n;
        bool body = u > 0.15 && u < 0.85 && v > 0.3 && v < 0.9;
        bool knob = std::hypot(u - 0.5, v - 0.22) < 0.16;
        bool socket = std::hypot(u - 0.85, v - 0.6) < 0.12;
        a = (body || knob) && !socket ? 1 : 0;
        col = Mix(Rgb{60, 170, 100}, Rgb{30, 110, 70}, v);
    });
}

void WriteIcon(const fs::path& p) {
    const int sizes[] = {32, 16};
    std::vector<std::vector<uint8_t>> images;
    for (int n : sizes) {
        std::vector<uint8_t> dib = Dib32(IconPicture(n), 2 * n);
        // The AND mask: all zeros, alpha decides.
        dib.resize(dib.size() + static_cast<size_t>(((n + 31) / 32) * 4 * n), 0);
        images.push_back(dib);
    }
    std::vector<uint8_t> b;
    Put16(b, 0);
    Put16(b, 1);
    Put16(b, static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        b.push_back(static_cast<uint8_t>(sizes[i]));
        b.push_back(static_cast<uint8_t>(sizes[i]));
        b.push_back(0);
        b.push_back(0);
        Put16(b, 1);
        Put16(b, 32);
        Put32(b, static_cast<uint32_t>(images[i].size()));
        Put32(b, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (auto& img : images) b.insert(b.end(), img.begin(), img.end());
    WriteBytes(p, b);
}

// Five 24 x 24 buttons side by side on button grey.
void WriteToolbar(const fs::path& p) {
    Canvas c(24 * 5, 24, 0xFFC0C0C0);
    for (int i = 0; i < 5; ++i)
        for (int y = 4; y < 20; ++y)
            for (int x = 4; x < 20; ++x)
                c.At(i * 24 + x, y) = 0xFF2E8B57 + static_cast<uint32_t>(i) * 0x202000;
    WriteBmp24(p, c);
}

// --- the browser's artwork ------------------------------------------------------

// Laid over every 100 x 100 cell: a dark rim, a bevel lit from the top
// left, a soft shadow inside it, and a clear middle.
Canvas Frame() {
    Canvas c(100, 100);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            int d = std::min(std::min(x, y), std::min(99 - x, 99 - y));
            bool lit = x + y < 99;  // top and left sides
            if (d == 0)
                c.At(x, y) = Pack(Rgb{48, 48, 52});
            else if (d <= 3)
                c.At(x, y) = Pack(lit ? Rgb{236, 236, 240} : Rgb{128, 128, 136});
            else if (d <= 7)
                c.At(x, y) = Pack(Rgb{0, 0, 0}, 110 - (d - 4) * 30);
        }
    return c;
}

// A yellow folder with its tab, 64 x 50.
Canvas Folder() {
    return Render(64, 50, [](double x, double y, Rgb& col, double& a) {
        auto inRounded = [](double x, double y, double l, double t, double r, double b, double rad) {
            double cx = std::clamp(x, l + rad, r - rad), cy = std::clamp(y, t + rad, b - rad);
            return std::hypot(x - cx, y - cy) <= rad;
        };
        bool tab = inRounded(x, y, 3, 4, 28, 16, 3);
        bool body = inRounded(x, y, 3, 10, 61, 47, 4);
        bool inner = inRounded(x, y, 5, 12, 59, 45, 3) || inRounded(x, y, 5, 6, 26, 14, 2);
        a = tab || body ? 1 : 0;
        col = inner ? Mix(Rgb{252, 214, 96}, Rgb{226, 168, 48}, y / 50) : Rgb{150, 104, 24};
    });
}

// An arrow pointing up ("to the folder above"), 32 x 32: a white head
// and stem with a dark blue edge.
Canvas Arrow() {
    auto inside = [](double x, double y, double grow) {
        bool head = y >= 3 - grow && y <= 17 + grow && std::abs(x - 16) <= (y - 3 + 2 * grow) * 0.85;
        bool stem = std::abs(x - 16) <= 4 + grow && y >= 14 && y <= 29 + grow;
        return head || stem;
    };
    return Render(32, 32, [&](double x, double y, Rgb& col, double& a) {
        a = inside(x, y, 1.5) ? 1 : 0;
        col = inside(x, y, 0) ? Rgb{250, 250, 250} : Rgb{40, 60, 120};
    });
}

// Seven-segment digits, 14 x 25, white strokes with a dark edge so that
// they read on any thumbnail.
Canvas Digit(int n) {
    // Segments a .. g: top, upper right, lower right, bottom, lower left,
    // upper left, middle.
    static const int kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    const double ends[7][4] = {{4, 3, 10, 3},  {11, 4, 11, 11}, {11, 14, 11, 21},   {4, 22, 10, 22},
                               {3, 14, 3, 21}, {3, 4, 3, 11},   {4, 12.5, 10, 12.5}};
    int mask = kSegments[n];
    return Render(14, 25, [&](double x, double y, Rgb& col, double& a) {
        double d = 1e9;
        for (int s = 0; s < 7; ++s)
            if (mask & (1 << s))
                d = std::min(d, SegmentDistance(x, y, ends[s][0], ends[s][1], ends[s][2], ends[s][3]));
        a = d <= 2.4 ? 1 : 0;
        col = d <= 1.2 ? Rgb{255, 255, 255} : Rgb{20, 20, 24};
    });
}

// --- sound effects ----------------------------------------------------------------

constexpr int kRate = 22050;

struct Note {
    double freq;   // Hz
    double start;  // seconds
    double decay;  // seconds to fall to 1/e
};

// Soft bell-like notes: a sine with a little of its second and third
// harmonics, a 6 ms rise and an exponential fall; the whole peaks at 0.35.
std::vector<double> Tones(const std::vector<Note>& notes, double seconds) {
    std::vector<double> s(static_cast<size_t>(seconds * kRate));
    for (const Note& n : notes)
        for (size_t i = static_cast<size_t>(n.start * kRate); i < s.size(); ++i) {
            double t = static_cast<double>(i) / kRate - n.start;
            double env = std::min(1.0, t / 0.006) * std::exp(-t / n.decay);
            double w = 2 * kPi * n.freq * t;
            s[i] += env * (std::sin(w) + 0.25 * std::sin(2 * w) + 0.08 * std::sin(3 * w));
        }
    double peak = 1e-9;
    for (double v : s) peak = std::max(peak, std::abs(v));
    // The last 20 ms fade out, so that no sound ends with a click.
    size_t fade = kRate / 50;
    for (size_t i = 0; i < s.size(); ++i) {
        s[i] *= 0.35 / peak;
        if (i + fade > s.size()) s[i] *= static_cast<double>(s.size() - i) / fade;
    }
    return s;
}

double Pitch(int semitonesFromA4) {
    return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0);
}

void WriteSounds(const fs::path& dir) {
    const int C5 = 3, D5 = 5, E5 = 7, F5 = 8, G5 = 10, A5 = 12, C6 = 15, A3 = -12, E4 = -5, G4 = -2;
    auto arpeggio = [](std::initializer_list<int> steps, double gap) {
        std::vector<Note> v;
        double t = 0;
        for (int s : steps) {
            v.push_back({Pitch(s), t, 0.22});
            t += gap;
        }
        return v;
    };
    WriteWav(dir / "k_start.wav", Tones(arpeggio({C5, E5, G5}, 0.09), 0.55), kRate);
    WriteWav(dir / "k_wait.wav", Tones({{Pitch(A3), 0, 0.3}, {Pitch(E4), 0.12, 0.3}}, 0.6), kRate);
    WriteWav(dir / "k_joint.wav", Tones({{Pitch(A5), 0, 0.035}, {Pitch(E5), 0, 0.05}}, 0.15), kRate);
    WriteWav(dir / "k_end_1.wav", Tones(arpeggio({C5, E5, G5, C6}, 0.1), 0.8), kRate);
    WriteWav(dir / "k_end_2.wav", Tones(arpeggio({D5, F5, A5, D5 + 12}, 0.1), 0.8), kRate);
    WriteWav(dir / "k_end_3.wav", Tones(arpeggio({G4, C5, E5, G5}, 0.12), 0.85), kRate);
    WriteWav(dir / "k_end_4.wav", Tones(arpeggio({E5, G5, C6, G5, C6}, 0.08), 0.8), kRate);
    WriteWav(dir / "k_close_1.wav", Tones(arpeggio({G5, E5, C5}, 0.11), 0.6), kRate);
    WriteWav(dir / "k_close_2.wav", Tones(arpeggio({E5, C5}, 0.14), 0.5), kRate);
}

}  // namespace

// --- writers ------------------------------------------------------------------------

void WriteBytes(const fs::path& p, const std::vector<uint8_t>& b) {
    std::ofstream f(p, std::ios::binary);
    f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    if (!f) {
        std::fprintf(stderr, "pukko_datagen: cannot write %s\n", p.string().c_str());
        std::exit(1);
    }
}

void WriteBmp24(const fs::path& p, const Canvas& c) {
    uint32_t stride = static_cast<uint32_t>((c.w * 3 + 3) & ~3);
    std::vector<uint8_t> b;
    PutFileHeader(b, stride * static_cast<uint32_t>(c.h));
    PutInfoHeader(b, c.w, c.h, 24);
    for (int y = c.h - 1; y >= 0; --y) {
        for (int x = 0; x < c.w; ++x) {
            uint32_t v = c.At(x, y);
            b.push_back(v & 0xFF);
            b.push_back((v >> 8) & 0xFF);
            b.push_back((v >> 16) & 0xFF);
        }
        for (uint32_t k = static_cast<uint32_t>(c.w) * 3; k < stride; ++k) b.push_back(0);
    }
    WriteBytes(p, b);
}

void WriteBmp32(const fs::path& p, const Canvas& c) {
    std::vector<uint8_t> b;
    PutFileHeader(b, static_cast<uint32_t>(c.w) * static_cast<uint32_t>(c.h) * 4);
    std::vector<uint8_t> dib = Dib32(c, c.h);
    b.insert(b.end(), dib.begin(), dib.end());
    WriteBytes(p, b);
}

void WriteJpeg(const fs::path& p, const Canvas& c, int quality) {
#ifdef _WIN32
    // A narrow name would pass through the ANSI code page, which may lack
    // the file's Japanese characters.
    std::FILE* f = _wfopen(p.c_str(), L"wb");
#else
    std::FILE* f = std::fopen(p.c_str(), "wb");
#endif
    if (!f) {
        std::fprintf(stderr, "pukko_datagen: cannot write %s\n", p.string().c_str());
        std::exit(1);
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, f);
    cinfo.image_width = static_cast<JDIMENSION>(c.w);
    cinfo.image_height = static_cast<JDIMENSION>(c.h);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(c.w) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < c.w; ++x) {
            uint32_t v = c.At(x, y);
            row[static_cast<size_t>(x) * 3] = static_cast<JSAMPLE>((v >> 16) & 0xFF);
            row[static_cast<size_t>(x) * 3 + 1] = static_cast<JSAMPLE>((v >> 8) & 0xFF);
            row[static_cast<size_t>(x) * 3 + 2] = static_cast<JSAMPLE>(v & 0xFF);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(f);
}

void WriteWav(const fs::path& p, const std::vector<double>& samples, int rate) {
    uint32_t data = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> b = {'R', 'I', 'F', 'F'};
    Put32(b, 36 + data);
    for (char ch : std::string("WAVEfmt ")) b.push_back(static_cast<uint8_t>(ch));
    Put32(b, 16);
    Put16(b, 1);  // PCM
    Put16(b, 1);  // mono
    Put32(b, static_cast<uint32_t>(rate));
    Put32(b, static_cast<uint32_t>(rate) * 2);
    Put16(b, 2);
    Put16(b, 16);
    for (char ch : std::string("data")) b.push_back(static_cast<uint8_t>(ch));
    Put32(b, data);
    for (double v : samples) {
        long q = std::lround(std::clamp(v, -1.0, 1.0) * 32767);
        Put16(b, static_cast<uint16_t>(static_cast<int16_t>(q)));
    }
    WriteBytes(p, b);
}

}  // namespace datagen

int main(int argc, char** argv) {
    using namespace datagen;
    if (argc != 3) {
        std::fprintf(stderr, "usage: pukko_datagen BIN_DIR GENERATED_DIR\n");
        return 2;
    }
    fs::path bin = argv[1], gen = argv[2];
    for (const char* d : {"image", "pattern", "back", "program", "program/source"})
        fs::create_directories(bin / d);
    fs::create_directories(gen);
    WriteIcon(gen / "pukko.ico");
    WriteToolbar(gen / "toolbar.bmp");

    // The names are UTF-8 (u8): on Windows a plain narrow name would be read
    // in the ANSI code page.
    WriteJpeg(bin / "image" / u8"山と湖.jpg", Landscape(1600, 1200), 90);
    WriteJpeg(bin / "image" / u8"夕焼けの海.jpg", SunsetSea(1024, 768), 90);
    WriteBmp24(bin / "image" / u8"花畑.bmp", FlowerField(800, 600));

    WriteBmp24(bin / "pattern" / u8"波.bmp", WavyPattern(400, 4));
    WriteBmp24(bin / "pattern" / u8"レンガ.bmp", BrickPattern(480, 320, 120, 40));

    WriteBmp24(bin / "back" / u8"タイル１.bmp", FeltTile(128));
    WriteBmp24(bin / "back" / u8"タイル２.bmp", WoodTile(128));

    WriteBmp32(bin / "program" / "frame.bmp", Frame());
    WriteBmp32(bin / "program" / "folder.bmp", Folder());
    WriteBmp32(bin / "program" / "arrow.bmp", Arrow());
    for (int n = 0; n < 10; ++n) WriteBmp32(bin / "program" / (std::to_string(n) + ".bmp"), Digit(n));

    WriteSounds(bin / "program" / "source");
    return 0;
}
