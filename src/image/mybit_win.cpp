// MYBIT on the screen, and text drawn into a MYBIT with the GDI.
#include "image/mybit_win.h"

#include <cstdio>
#include <cstring>

#include "base/text_win.h"
#include "config/trace.h"

namespace {

// The info header of a 32-bit bottom-up picture of w x h; no colour table.
BITMAPINFO InfoFor(int w, int h) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

void TraceDisplay(int form, const MYBIT& bit, int x, int y) {
    if (!TheTrace().on) return;
    char line[96];
    std::snprintf(line, sizeof line, "MYBIT::DIsplay(%d) x=%d y=%d w=%d h=%d", form, x, y, bit.Width(),
                  bit.Height());
    TraceWrite(line);
}

void Show(const MYBIT& bit, int x, int y, HDC dc) {
    if (bit.Empty()) return;
    BITMAPINFO info = InfoFor(bit.Width(), bit.Height());
    SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(bit.Width()), static_cast<DWORD>(bit.Height()), 0, 0, 0,
                      static_cast<UINT>(bit.Height()), bit.pixels.data(), &info, DIB_RGB_COLORS);
}

}  // namespace

void DIsplay(const MYBIT& bit, int x, int y, HWND window) {
    TraceDisplay(1, bit, x, y);
    HDC dc = GetDC(window);
    if (!dc) return;
    Show(bit, x, y, dc);
    ReleaseDC(window, dc);
}

void DIsplay(const MYBIT& bit, int x, int y, HDC dc) {
    TraceDisplay(2, bit, x, y);
    Show(bit, x, y, dc);
}

void DIsplayPart(const MYBIT& bit, const Rect& r, HDC dc) {
    Rect part;
    if (!IntersectRect(&part, r, Rect{0, 0, bit.Width(), bit.Height()})) return;
    BITMAPINFO info = InfoFor(bit.Width(), bit.Height());
    // A bottom-up picture counts its source rows from the bottom.
    SetDIBitsToDevice(dc, part.left, part.top, static_cast<DWORD>(part.Width()),
                      static_cast<DWORD>(part.Height()), part.left, bit.Height() - part.bottom, 0,
                      static_cast<UINT>(bit.Height()), bit.pixels.data(), &info, DIB_RGB_COLORS);
}

void DrawTextBox(MYBIT& bit, const std::string& text, Rect rect, ColorRef textColor, ColorRef backColor,
                 int dpi) {
    // Only the rectangle's visible part goes through a DIB section and back,
    // never the whole picture.
    Rect part;
    if (!IntersectRect(&part, rect, Rect{0, 0, bit.Width(), bit.Height()})) return;
    const int w = part.Width(), h = part.Height();

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!dc) return;
    BITMAPINFO info = InfoFor(w, h);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section || !bits) {
        DeleteDC(dc);
        return;
    }
    // Section row r (from the top) is array row h - 1 - r, as in a MYBIT.
    uint32_t* rows = static_cast<uint32_t*>(bits);
    for (int r = 0; r < h; ++r)
        std::memcpy(rows + static_cast<size_t>(h - 1 - r) * w, bit.Row(part.top + r) + part.left,
                    sizeof(uint32_t) * w);

    HGDIOBJ old = SelectObject(dc, section);
    // The default font's cell is 16 pixels high at 96 DPI.
    constexpr int kDefaultFontHeight = 16;
    HFONT font = nullptr;
    HGDIOBJ oldFont = nullptr;
    if (dpi != kBaseDpi) {
        LOGFONTW face{};
        if (GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof face, &face)) {
            face.lfHeight = ScalePx(kDefaultFontHeight, dpi);
            face.lfWidth = 0;
            font = CreateFontIndirectW(&face);
        }
        if (font) oldFont = SelectObject(dc, font);
    }
    SetTextColor(dc, textColor);
    SetBkColor(dc, backColor);
    SetBkMode(dc, OPAQUE);
    // The whole rectangle in section coordinates, so the text sits where it
    // would if the picture had no edge.
    RECT box{rect.left - part.left, rect.top - part.top, rect.right - part.left, rect.bottom - part.top};
    std::wstring wide = Widen(text);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &box, DT_CENTER);
    GdiFlush();

    for (int r = 0; r < h; ++r)
        std::memcpy(bit.Row(part.top + r) + part.left, rows + static_cast<size_t>(h - 1 - r) * w,
                    sizeof(uint32_t) * w);
    if (oldFont) SelectObject(dc, oldFont);
    if (font) DeleteObject(font);
    SelectObject(dc, old);
    DeleteObject(section);
    DeleteDC(dc);
}
