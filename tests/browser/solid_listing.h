// A strip listed as a scan leaves it, for the strip tests.
#pragma once

#include <string>

#include "browser/browser_view.h"

// n entries; entry i's cell is one solid colour, i + 1, side pixels a side,
// so a canvas tells which entry lies where.
inline void ListSolid(BrowserView& v, int n, int side = kCellSide, int state = kBrowserListed) {
    ResetListing(v, 0);
    for (int i = 0; i < n; ++i) {
        v.entries.push_back({'F', std::to_string(i) + ".bmp"});
        v.thumbnails.emplace_back();
        v.thumbnails.back().CreateFilled(static_cast<ColorRef>(i + 1), side, side);
    }
    v.entryCount = n;
    v.state = state;
    v.shown = 1;
}
