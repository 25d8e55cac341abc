// Writes the data the program expects beside the exe.
// Usage: pukko_datagen BIN_DIR GENERATED_DIR
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(v & 0xFF);
    b.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

void WriteBytes(const fs::path& p, const std::vector<uint8_t>& b) {
    std::ofstream f(p, std::ios::binary);
    f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

// A bottom-up 32-bit pixel block with its info header; pixels top row first.
std::vector<uint8_t> Dib32(int w, int h, const std::vector<uint32_t>& px, int headerHeight) {
    std::vector<uint8_t> b;
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(w));
    Put32(b, static_cast<uint32_t>(headerHeight));
    Put16(b, 1);
    Put16(b, 32);
    for (int i = 0; i < 6; ++i) Put32(b, 0);
    for (int y = h - 1; y >= 0; --y)
        for (int x = 0; x < w; ++x) Put32(b, px[static_cast<size_t>(y) * w + x]);
    return b;
}

// The icon: a jigsaw piece on a light square, at 32 and 16 pixels.
std::vector<uint32_t> IconPixels(int n) {
    std::vector<uint32_t> px(static_cast<size_t>(n) * n);
    double c = n / 2.0, r = n * 0.16;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            double fx = x + 0.5, fy = y + 0.5;
            bool body = fx > n * 0.15 && fx < n * 0.85 && fy > n * 0.3 && fy < n * 0.9;
            double kx = fx - c, ky = fy - n * 0.22;
            bool knob = kx * kx + ky * ky < r * r;
            uint32_t v = 0;
            if (body || knob) v = 0xFF2E8B57 + static_cast<uint32_t>((y * 40 / n) << 8);
            px[static_cast<size_t>(y) * n + x] = v;
        }
    return px;
}

void WriteIcon(const fs::path& p) {
    std::vector<std::vector<uint8_t>> images;
    for (int n : {32, 16}) {
        std::vector<uint8_t> dib = Dib32(n, n, IconPixels(n), 2 * n);
        // The AND mask: all zeros, alpha decides.
        dib.resize(dib.size() + static_cast<size_t>(((n + 31) / 32) * 4 * n), 0);
        images.push_back(dib);
    }
    std::vector<uint8_t> b;
    Put16(b, 0);
    Put16(b, 1);
    Put16(b, static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    int sizes[] = {32, 16};
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

// A 24-bit BMP file; pixels 0x00RRGGBB, top row first.
void WriteBmp24(const fs::path& p, int w, int h, const std::vector<uint32_t>& px) {
    int stride = (w * 3 + 3) & ~3;
    std::vector<uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    Put32(b, static_cast<uint32_t>(54 + stride * h));
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(w));
    Put32(b, static_cast<uint32_t>(h));
    Put16(b, 1);
    Put16(b, 24);
    for (int i = 0; i < 6; ++i) Put32(b, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            uint32_t v = px[static_cast<size_t>(y) * w + x];
            b.push_back(v & 0xFF);
            b.push_back((v >> 8) & 0xFF);
            b.push_back((v >> 16) & 0xFF);
        }
        for (int k = w * 3; k < stride; ++k) b.push_back(0);
    }
    WriteBytes(p, b);
}

// The pattern window's toolbar: five 24 x 24 buttons side by side.
void WriteToolbar(const fs::path& p) {
    int w = 24 * 5, h = 24;
    std::vector<uint32_t> px(static_cast<size_t>(w) * h, 0xC0C0C0);
    for (int i = 0; i < 5; ++i)
        for (int y = 4; y < 20; ++y)
            for (int x = 4; x < 20; ++x) px[static_cast<size_t>(y) * w + i * 24 + x] = 0x2E8B57 + i * 0x202000;
    WriteBmp24(p, w, h, px);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: pukko_datagen BIN_DIR GENERATED_DIR\n");
        return 2;
    }
    fs::path bin = argv[1], gen = argv[2];
    for (const char* d : {"image", "pattern", "back", "program", "program/source"}) fs::create_directories(bin / d);
    fs::create_directories(gen);
    WriteIcon(gen / "pukko.ico");
    WriteToolbar(gen / "toolbar.bmp");
    return 0;
}
