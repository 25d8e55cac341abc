#include "making/meeting_points.h"

#include <algorithm>
#include <vector>

#include "image/mybit.h"

namespace {

// Owners are sought this far from a word (Chebyshev distance, mask
// pixels); a window's words always have an area within it.
constexpr int kOwnerReach = 2 * kMeetingReach + 2;

// Calls f(rect) for the window of every meeting point of the grid.
template <class F>
void ForEachWindow(const GridDivision& grid, int32_t maskWidth, int32_t maskHeight, F f) {
    if (grid.columns <= 0 || grid.rows <= 0 || grid.cellWidth <= 0) return;
    for (int32_t r = 0; r <= grid.rows; ++r)
        for (int32_t c = 0; c <= grid.columns; ++c) {
            const Rect w = MeetingWindow(grid, c, r, maskWidth, maskHeight);
            if (w.left < w.right && w.top < w.bottom) f(w);
        }
}

}  // namespace

int32_t MeetingReach(const GridDivision& grid) {
    return std::clamp(grid.cellWidth / 2 - 1, 0, kMeetingReach);
}

Rect MeetingWindow(const GridDivision& grid, int32_t c, int32_t r, int32_t maskWidth, int32_t maskHeight) {
    const int64_t reach = MeetingReach(grid);
    const int64_t cx = int64_t{c} * grid.cellWidth, cy = int64_t{r} * grid.cellHeight;
    const Rect w{static_cast<int32_t>(std::clamp<int64_t>(cx - reach, 0, maskWidth)),
                 static_cast<int32_t>(std::clamp<int64_t>(cy - reach, 0, maskHeight)),
                 static_cast<int32_t>(std::clamp<int64_t>(cx + reach + 1, 0, maskWidth)),
                 static_cast<int32_t>(std::clamp<int64_t>(cy + reach + 1, 0, maskHeight))};
    return w.left < w.right && w.top < w.bottom ? w : Rect{};
}

int64_t CloseMeetingPoints(MYBIT& mask, const GridDivision& grid) {
    const int32_t W = mask.Width(), H = mask.Height();
    int64_t closed = 0;
    std::vector<uint8_t> open;
    std::vector<Point> stack;
    ForEachWindow(grid, W, H, [&](const Rect& w) {
        const int ww = w.Width(), wh = w.Height();
        open.assign(static_cast<size_t>(ww) * wh, 0);
        // Marks a white word of the window as reaching its sides.
        auto reach = [&](int x, int y) {
            uint8_t& o = open[static_cast<size_t>(y - w.top) * ww + (x - w.left)];
            if (o || mask.At(x, y) == kMaskLine) return;
            o = 1;
            stack.push_back({x, y});
        };
        // A side opens into the rest of the mask unless it is the border.
        for (int y = w.top; y < w.bottom; ++y) {
            if (w.left > 0) reach(w.left, y);
            if (w.right < W) reach(w.right - 1, y);
        }
        for (int x = w.left; x < w.right; ++x) {
            if (w.top > 0) reach(x, w.top);
            if (w.bottom < H) reach(x, w.bottom - 1);
        }
        while (!stack.empty()) {
            const Point p = stack.back();
            stack.pop_back();
            if (p.x > w.left) reach(p.x - 1, p.y);
            if (p.x + 1 < w.right) reach(p.x + 1, p.y);
            if (p.y > w.top) reach(p.x, p.y - 1);
            if (p.y + 1 < w.bottom) reach(p.x, p.y + 1);
        }
        for (int y = w.top; y < w.bottom; ++y) {
            uint32_t* row = mask.Row(y);
            for (int x = w.left; x < w.right; ++x)
                if (row[x] != kMaskLine && !open[static_cast<size_t>(y - w.top) * ww + (x - w.left)]) {
                    row[x] = kMaskLine;
                    ++closed;
                }
        }
    });
    return closed;
}

void GiveMeetingWords(MakingState& m, const GridDivision& grid) {
    m.meetingWords.clear();
    const int32_t W = m.maskWidth, H = m.maskHeight;
    if (m.mask.Empty()) return;
    const uint32_t areas = static_cast<uint32_t>(m.areaCount);
    // The area label at (x, y), 0 for a line word, a word beyond the mask or
    // one left unlabelled.
    auto label = [&](int x, int y) -> uint32_t {
        if (x < 0 || y < 0 || x >= W || y >= H) return 0;
        const uint32_t v = m.mask.At(x, y);
        return v >= 1 && v <= areas ? v : 0;
    };
    std::vector<uint32_t> owners;
    auto give = [&](const Rect& w) {
        for (int y = w.top; y < w.bottom; ++y)
            for (int x = w.left; x < w.right; ++x) {
                if (m.mask.At(x, y) != kMaskLine) continue;
                // A line word with an area on one of its sides lies on that
                // piece's outline walk already.
                if (label(x - 1, y) || label(x + 1, y) || label(x, y - 1) || label(x, y + 1)) continue;
                owners.clear();
                for (int d = 1; d <= kOwnerReach && owners.empty(); ++d)
                    for (int dy = -d; dy <= d; ++dy)
                        for (int dx = -d; dx <= d; dx += (dy == -d || dy == d) ? 1 : 2 * d)
                            if (const uint32_t v = label(x + dx, y + dy);
                                v && std::find(owners.begin(), owners.end(), v) == owners.end())
                                owners.push_back(v);
                for (const uint32_t v : owners) {
                    const int32_t a = static_cast<int32_t>(v) - 1;
                    m.meetingWords.push_back(
                        {a, static_cast<uint32_t>(y) * static_cast<uint32_t>(W) + static_cast<uint32_t>(x)});
                    // The piece's rectangle keeps a margin of one word round
                    // its box; a word beyond that widens the box.
                    AreaBox& b = m.boxes[a];
                    if (x < b.minX - 1 || x > b.maxX + 1 || y < b.minY - 1 || y > b.maxY + 1) {
                        b.minX = std::min(b.minX, x);
                        b.maxX = std::max(b.maxX, x);
                        b.minY = std::min(b.minY, y);
                        b.maxY = std::max(b.maxY, y);
                    }
                }
            }
    };
    ForEachWindow(grid, W, H, give);
    for (const Rect& r : m.looseRects) give(r);
    // A word in two windows, or in a window and a dissolved area's
    // rectangle, is given once.
    std::sort(m.meetingWords.begin(), m.meetingWords.end());
    m.meetingWords.erase(std::unique(m.meetingWords.begin(), m.meetingWords.end(),
                                     [](const MeetingWord& a, const MeetingWord& b) {
                                         return a.area == b.area && a.word == b.word;
                                     }),
                         m.meetingWords.end());
}
