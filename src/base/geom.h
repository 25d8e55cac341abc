// Small geometry types of the core.  Rectangles are half-open: right and
// bottom are exclusive, as in Win32's RECT.
#pragma once

#include <algorithm>
#include <cstdint>

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int32_t cx = 0;
    int32_t cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// As IntersectRect: the common part of a and b; an empty intersection is the
// all-zero rectangle and the result is false.
inline bool IntersectRect(Rect* out, const Rect& a, const Rect& b) {
    Rect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
           std::min(a.bottom, b.bottom)};
    if (r.IsEmpty() || a.IsEmpty() || b.IsEmpty()) {
        *out = Rect{};
        return false;
    }
    *out = r;
    return true;
}

// Windows COLORREF order: 0x00BBGGRR.  Pixel words are 0xAARRGGBB.
using ColorRef = uint32_t;

constexpr ColorRef Rgb(int r, int g, int b) {
    return static_cast<ColorRef>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// Exchanges the red and blue bytes; the alpha byte becomes 0.
constexpr uint32_t ColorRefToPixel(ColorRef c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}
