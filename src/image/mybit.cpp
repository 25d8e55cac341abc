// MYBIT: lifecycle, copying, cropping, pasting, halving, turning and saving.
#include "image/mybit.h"

#include <cstring>
#include <limits>

#include "base/file_io.h"
#include "base/host.h"
#include "config/trace.h"

namespace {

void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}
uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// A rectangle from 64-bit corners, each held to the 32-bit range.  Corners
// such as x + width can pass that range; held so, a rectangle still meets a
// picture's rectangle exactly where the unbounded one would.
Rect HeldRect(int64_t left, int64_t top, int64_t right, int64_t bottom) {
    auto hold = [](int64_t v) {
        return static_cast<int32_t>(
            std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
    };
    return Rect{hold(left), hold(top), hold(right), hold(bottom)};
}

}  // namespace

void BmpHeaders::Write(uint8_t out[kBytes]) const {
    Put16(out + 0, type);
    Put32(out + 2, fileSize);
    Put16(out + 6, reserved1);
    Put16(out + 8, reserved2);
    Put32(out + 10, dataOffset);
    Put32(out + 14, infoSize);
    Put32(out + 18, static_cast<uint32_t>(width));
    Put32(out + 22, static_cast<uint32_t>(height));
    Put16(out + 26, planes);
    Put16(out + 28, bitCount);
    Put32(out + 30, compression);
    Put32(out + 34, imageSize);
    Put32(out + 38, static_cast<uint32_t>(xPelsPerMeter));
    Put32(out + 42, static_cast<uint32_t>(yPelsPerMeter));
    Put32(out + 46, clrUsed);
    Put32(out + 50, clrImportant);
}

BmpHeaders BmpHeaders::Read(const uint8_t in[kBytes]) {
    BmpHeaders h;
    h.type = Get16(in + 0);
    h.fileSize = Get32(in + 2);
    h.reserved1 = Get16(in + 6);
    h.reserved2 = Get16(in + 8);
    h.dataOffset = Get32(in + 10);
    h.infoSize = Get32(in + 14);
    h.width = static_cast<int32_t>(Get32(in + 18));
    h.height = static_cast<int32_t>(Get32(in + 22));
    h.planes = Get16(in + 26);
    h.bitCount = Get16(in + 28);
    h.compression = Get32(in + 30);
    h.imageSize = Get32(in + 34);
    h.xPelsPerMeter = static_cast<int32_t>(Get32(in + 38));
    h.yPelsPerMeter = static_cast<int32_t>(Get32(in + 42));
    h.clrUsed = Get32(in + 46);
    h.clrImportant = Get32(in + 50);
    return h;
}

void MYBIT::Free() {
    pixels.clear();
    pixels.shrink_to_fit();
    hdr.width = 0;
    hdr.height = 0;
    hdr.fileSize = 0;
}

void MYBIT::SetSize(int width, int height) {
    if (width <= 0 || height <= 0) {
        Free();
        return;
    }
    size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
    // A fresh array: the old one is released, the new one is all zeros.
    std::vector<uint32_t>(n, 0).swap(pixels);
    hdr.width = width;
    hdr.height = height;
    hdr.fileSize = static_cast<uint32_t>(n * 4 + 54);
}

void MYBIT::Create(int width, int height) {
    SetSize(width, height);
}

void MYBIT::CreateInPlace(int width, int height) {
    const bool empty = width <= 0 || height <= 0;
    pixels.assign(empty ? 0 : static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    hdr.width = empty ? 0 : width;
    hdr.height = empty ? 0 : height;
    hdr.fileSize = empty ? 0 : static_cast<uint32_t>(pixels.size() * 4 + 54);
}

void MYBIT::CreateFilled(ColorRef color, int width, int height) {
    if (width <= 0 || height <= 0) {
        Free();
        return;
    }
    size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::vector<uint32_t>(n, ColorRefToPixel(color)).swap(pixels);
    hdr.width = width;
    hdr.height = height;
    hdr.fileSize = static_cast<uint32_t>(n * 4 + 54);
}

void MYBIT::Fill(ColorRef color) {
    std::fill(pixels.begin(), pixels.end(), ColorRefToPixel(color));
}

void MYBIT::CopyFrom(const MYBIT& source) {
    if (&source == this) return;
    hdr = source.hdr;
    pixels = source.pixels;
}

int MYBIT::CropFrom(const MYBIT& source, int x, int y, int width, int height) {
    Rect r;
    if (!IntersectRect(&r, HeldRect(x, y, int64_t{x} + width, int64_t{y} + height),
                       Rect{0, 0, source.Width(), source.Height()})) {
        Free();
        return 0;
    }
    if (&source == this) {
        MYBIT copy;
        copy.CopyFrom(source);
        return CropFrom(copy, x, y, width, height);
    }
    SetSize(r.Width(), r.Height());
    for (int row = 0; row < r.Height(); ++row)
        std::memcpy(Row(row), source.Row(r.top + row) + r.left, sizeof(uint32_t) * r.Width());
    return 1;
}

int Hosei(const MYBIT& target, int& x, int& y, const MYBIT& source, int& sx, int& sy, int& width,
          int& height) {
    // The source placed so that (sx, sy) falls on (x, y), clipped to the target.
    const int64_t left = int64_t{x} - sx, top = int64_t{y} - sy;
    Rect placed = HeldRect(left, top, left + source.Width(), top + source.Height());
    Rect visible;
    if (!IntersectRect(&visible, placed, Rect{0, 0, target.Width(), target.Height()})) {
        TraceWrite("MYBIT::Hosei(FALSE-1)");
        return 0;
    }
    Rect clipped;
    if (!IntersectRect(&clipped, visible, HeldRect(x, y, int64_t{x} + width, int64_t{y} + height))) {
        TraceWrite("MYBIT::Hosei(FALSE-2)");
        return 0;
    }
    // The shift is at most the source's size, but x may lie far off.
    auto shifted = [](int from, int64_t by) {
        return static_cast<int>(std::clamp<int64_t>(from + by, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
    };
    sx = shifted(sx, int64_t{clipped.left} - x);
    sy = shifted(sy, int64_t{clipped.top} - y);
    x = clipped.left;
    y = clipped.top;
    width = clipped.Width();
    height = clipped.Height();
    return 1;
}

int MYBIT::Paste(const MYBIT& source, int x, int y) {
    if (&source == this) {
        // Rows of a picture pasted onto itself would overlap.
        MYBIT copy;
        copy.CopyFrom(source);
        return Paste(copy, x, y);
    }
    int sx = 0, sy = 0, w = source.Width(), h = source.Height();
    if (!Hosei(*this, x, y, source, sx, sy, w, h)) return 0;
    for (int row = 0; row < h; ++row)
        std::memcpy(Row(y + row) + x, source.Row(sy + row) + sx, sizeof(uint32_t) * w);
    return 1;
}

int MYBIT::PasteBlend(const MYBIT& source, int x, int y) {
    if (&source == this) {
        MYBIT copy;
        copy.CopyFrom(source);
        return PasteBlend(copy, x, y);
    }
    int sx = 0, sy = 0, w = source.Width(), h = source.Height();
    if (!Hosei(*this, x, y, source, sx, sy, w, h)) return 0;
    for (int row = 0; row < h; ++row) {
        const uint32_t* s = source.Row(sy + row) + sx;
        uint32_t* t = Row(y + row) + x;
        for (int i = 0; i < w; ++i) {
            uint32_t sp = s[i];
            uint32_t a = sp >> 24;
            if (a == 0) continue;
            if (a == 255) {
                t[i] = sp;
                continue;
            }
            uint32_t tp = t[i];
            uint32_t na = 255 - a;
            uint32_t b = ((sp & 0xFF) * a + (tp & 0xFF) * na) >> 8;
            uint32_t g = (((sp >> 8) & 0xFF) * a + ((tp >> 8) & 0xFF) * na) >> 8;
            uint32_t r = (((sp >> 16) & 0xFF) * a + ((tp >> 16) & 0xFF) * na) >> 8;
            t[i] = (r << 16) | (g << 8) | b;
        }
    }
    return 1;
}

void MYBIT::HalveFrom(const MYBIT& source, Host* host) {
    if (&source == this) {
        HalveInPlace(host);
        return;
    }
    if (((source.Width() | source.Height()) & 1) && host)
        host->MessageBox("縦横の大きさが２の整数倍でない", "", kMbOk, Owner::kNone);
    int w = source.Width() / 2, h = source.Height() / 2;
    SetSize(w, h);
    static constexpr uint32_t kCoverage[5] = {0, 63, 127, 191, 255};
    for (int y = 0; y < h; ++y) {
        const uint32_t* s0 = source.Row(2 * y);
        const uint32_t* s1 = source.Row(2 * y + 1);
        uint32_t* t = Row(y);
        for (int x = 0; x < w; ++x) {
            uint32_t q[4] = {s0[2 * x], s0[2 * x + 1], s1[2 * x], s1[2 * x + 1]};
            uint32_t n = 0, b = 0, g = 0, r = 0;
            for (uint32_t v : q) {
                if (v == 0) continue;
                ++n;
                b += v & 0xFF;
                g += (v >> 8) & 0xFF;
                r += (v >> 16) & 0xFF;
            }
            t[x] = n == 0 ? 0 : (kCoverage[n] << 24) | ((r / n) << 16) | ((g / n) << 8) | (b / n);
        }
    }
}

void MYBIT::HalveInPlace(Host* host) {
    MYBIT copy;
    copy.CopyFrom(*this);
    HalveFrom(copy, host);
}

void MYBIT::MakeOrientations(MYBIT* r[7]) const {
    for (int k = 0; k < 7; ++k)
        if (r[k] == this) {
            // Sizing that result would release the pixels being turned.
            MYBIT copy;
            copy.CopyFrom(*this);
            copy.MakeOrientations(r);
            return;
        }
    const int W = Width(), H = Height();
    // Sizes: odd results are turned a quarter, so H x W.
    for (int k = 0; k < 7; ++k) {
        bool quarter = (k % 2) == 0;  // r1, r3, r5, r7
        r[k]->SetSize(quarter ? H : W, quarter ? W : H);
    }
    for (int Y = 0; Y < H; ++Y) {
        const uint32_t* src = Row(Y);
        for (int X = 0; X < W; ++X) {
            uint32_t v = src[X];
            r[0]->At(Y, W - 1 - X) = v;
            r[1]->At(W - 1 - X, H - 1 - Y) = v;
            r[2]->At(H - 1 - Y, X) = v;
            r[3]->At(W - 1 - X, Y) = v;
            r[4]->At(H - 1 - Y, W - 1 - X) = v;
            r[5]->At(X, H - 1 - Y) = v;
            r[6]->At(Y, X) = v;
        }
    }
}

bool MYBIT::SaveFile(const std::string& path) const {
    uint8_t head[BmpHeaders::kBytes];
    BmpHeaders h = hdr;
    if (pixels.empty()) {
        h.width = h.height = 0;
        h.fileSize = 54;
    }
    h.Write(head);
    AtomicFile f(path);
    return f.Write(head, sizeof head) && f.Write(pixels.data(), pixels.size() * sizeof(uint32_t)) &&
           f.Commit();
}
