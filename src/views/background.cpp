#include "views/background.h"

#include <algorithm>
#include <cstring>

#include "base/file_io.h"
#include "base/host.h"
#include "config/settings.h"
#include "image/picture_read.h"
#include "views/table_view.h"

namespace {

void PasteGreyCentred(Background& bg, Host& host) {
    if (bg.grey.Empty()) return;
    const Point at = CentredAt(bg, host, bg.grey.Width(), bg.grey.Height());
    bg.cleanBoard.Paste(bg.grey, at.x, at.y);
}

// The tile repeated over the whole of clean, row by row: the same as
// pasting it at every multiple of its size from the top-left corner, the
// last column and row cut by the edges.
void TileOver(MYBIT& clean, const MYBIT& tile) {
    const int tw = tile.Width(), th = tile.Height();
    if (tw <= 0 || th <= 0) return;
    for (int y = 0; y < clean.Height(); ++y) {
        const uint32_t* src = tile.Row(y % th);
        uint32_t* dst = clean.Row(y);
        for (int x = 0; x < clean.Width(); x += tw) {
            const int w = std::min(tw, clean.Width() - x);
            std::memcpy(dst + x, src, sizeof(uint32_t) * static_cast<size_t>(w));
        }
    }
}

// The plain background over the whole of target: a copy where it has the
// plain picture's size, the tiles or the colour over any other.
void FillPlain(const Background& bg, MYBIT& target) {
    if (target.Width() == bg.plain.Width() && target.Height() == bg.plain.Height())
        target.CopyFrom(bg.plain);
    else if (!bg.tile.Empty())
        TileOver(target, bg.tile);
    else
        target.Fill(bg.color);
}

// Beside the table the window shows the background's mean colour at 60 %,
// so the player sees where the table ends.
void SetMargin(Background& bg) {
    uint64_t sum[3] = {0, 0, 0};
    uint64_t n = 0;
    if (!bg.tile.Empty()) {
        for (uint32_t px : bg.tile.pixels) {
            sum[0] += (px >> 16) & 0xFF;
            sum[1] += (px >> 8) & 0xFF;
            sum[2] += px & 0xFF;
        }
        n = bg.tile.pixels.size();
    } else {
        const uint32_t px = ColorRefToPixel(bg.color);
        sum[0] = (px >> 16) & 0xFF;
        sum[1] = (px >> 8) & 0xFF;
        sum[2] = px & 0xFF;
        n = 1;
    }
    auto dark = [&](int c) { return static_cast<uint32_t>(sum[c] * 6 / (10 * n)); };
    bg.margin = dark(0) << 16 | dark(1) << 8 | dark(2);
}

}  // namespace

Size TableSize(const Background& bg) {
    return Size{bg.cleanBoard.Width(), bg.cleanBoard.Height()};
}

Point CentredAt(const Background& bg, Host& host, int w, int h) {
    const Size area = PlayArea(TableSize(bg), host.ScreenSize(), host.ClientSize());
    return Point{(area.cx - w) / 2, (area.cy - h) / 2};
}

void SetTableSize(Background& bg, Host& host, Size table) {
    // A background without a board picture (a maker that shows nothing)
    // stays without one.
    if (TableSize(bg) == table || bg.boardPicture.Empty()) return;
    bg.cleanBoard.Create(table.cx, table.cy);
    FillPlain(bg, bg.cleanBoard);
    PasteGreyCentred(bg, host);
    bg.boardPicture.CopyFrom(bg.cleanBoard);
}

std::string ResolveFromBase(const Settings& settings, const std::string& path) {
    const bool absolute =
        (path.size() >= 2 && path[1] == ':') || (!path.empty() && (path[0] == '\\' || path[0] == '/'));
    return absolute ? path : BaseFolder(settings) + "\\" + path;
}

void InitBackground(Background& bg, Settings& settings, Host& host) {
    const Size screen = host.ScreenSize();
    bg.color = settings.backColor;
    bg.tile.Free();
    bg.cleanBoard.CreateFilled(settings.backColor, screen.cx, screen.cy);
    if (settings.tileFile[0] != '\0') {
        // The tile named in the settings may be relative (the default is
        // "back\タイル２.bmp"): it is taken from the program's folder, so the
        // game looks the same whatever folder it was started from.  A tile
        // that is gone is forgotten quietly; the single colour shows.
        std::string path = PathField(settings.tileFile);
        std::string file = ResolveFromBase(settings, path);
        MYBIT tile;
        if (FileExists(file) && LoadFile(tile, file, host, 1) && !tile.Empty()) {
            TileOver(bg.cleanBoard, tile);
            bg.tile = std::move(tile);
        } else {
            settings.tileFile[0] = '\0';
        }
    }
    SetMargin(bg);
    bg.plain.CopyFrom(bg.cleanBoard);
    PasteGreyCentred(bg, host);
    bg.boardPicture.CopyFrom(bg.cleanBoard);
}

void SetTile(Background& bg, Host& host, const MYBIT& tile) {
    bg.tile.CopyFrom(tile);
    SetMargin(bg);
    TileOver(bg.cleanBoard, tile);
    TileOver(bg.plain, tile);
    PasteGreyCentred(bg, host);
}

int LoadTile(Background& bg, Settings& settings, Host& host, const std::string& path) {
    SetPathField(settings.tileFile, path);
    MYBIT tile;
    if (!LoadFile(tile, path, host, 1) || tile.Empty()) {
        settings.tileFile[0] = '\0';
        return 0;
    }
    SetTile(bg, host, tile);
    return 1;
}

void SetSingleColor(Background& bg, Settings& settings, Host& host, ColorRef color) {
    settings.backColor = color;
    settings.tileFile[0] = '\0';
    bg.color = color;
    bg.tile.Free();
    SetMargin(bg);
    bg.cleanBoard.Fill(color);
    bg.plain.Fill(color);
    PasteGreyCentred(bg, host);
}

void MakeGreyPicture(MYBIT& grey, const MYBIT& picture) {
    grey.CopyFrom(picture);
    for (uint32_t& px : grey.pixels) {
        double y = 0, hue = 0, chroma = 0;
        RgbToYhc(px, y, hue, chroma);
        px = YhcToPixel(y * 0.5 + 50, hue, chroma * 0.1);
    }
}

void SetGreyPicture(Background& bg, const Settings& settings, Host& host, const MYBIT& picture) {
    if (settings.grey == 0) {
        RemoveGreyPicture(bg);
        return;
    }
    MakeGreyPicture(bg.grey, picture);
    FillPlain(bg, bg.cleanBoard);
    PasteGreyCentred(bg, host);
}

void RemoveGreyPicture(Background& bg) {
    bg.grey.Free();
    FillPlain(bg, bg.cleanBoard);
}

void ComposeBoard(Background& bg, Host& host) {
    // The grey picture follows the client area: the clean board is restored
    // first, so a picture pasted at an earlier centre leaves no trace.
    if (!bg.grey.Empty()) {
        FillPlain(bg, bg.cleanBoard);
        PasteGreyCentred(bg, host);
    }
    bg.boardPicture.CopyFrom(bg.cleanBoard);
}
