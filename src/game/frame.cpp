#include "game/frame.h"

#include <algorithm>
#include <cstdint>

#include "config/settings.h"
#include "config/sounds.h"
#include "game/puzzle_game.h"
#include "image/mybit.h"
#include "views/background.h"

void DrawCompletionFrame(PuzzleGame& g, double dL1, double dL2, double dH, double dS, int dT) {
    Settings& s = *g.settings;
    s.endWakuL1 += dL1;
    s.endWakuL2 += dL2;
    s.endWakuH += dH;
    if (s.endWakuH > kFrameHueMost) s.endWakuH = 0;
    if (s.endWakuH < 0) s.endWakuH = kFrameHueMost;
    s.endWakuS = std::clamp(s.endWakuS + dS, 0.0, kFrameChromaMost);
    // Many presses cannot wrap the thickness round to a negative value.
    s.endWakuT = static_cast<int32_t>(std::clamp<int64_t>(int64_t{s.endWakuT} + dT, kFrameThickLeast, kFrameThickMost));

    const int t = s.endWakuT;
    const double L1 = s.endWakuL1, L2 = s.endWakuL2, hue = s.endWakuH, chroma = s.endWakuS;
    const Rect f = g.finalRect;
    // The frame is W x H' with the finished picture at (t, t); it lands on
    // the board with its corner at (left - t, top - t).
    const int64_t W = int64_t{f.right} - f.left + 2 * int64_t{t};
    const int64_t H = int64_t{f.bottom} - f.top + 2 * int64_t{t};
    const int64_t ox = int64_t{f.left} - t, oy = int64_t{f.top} - t;

    if (g.background) ComposeBoard(*g.background, *g.host);
    MYBIT* board = g.boardPicture;
    if (board && !board->Empty()) {
        // The rings and the picture cover the whole frame, so drawing them
        // straight onto the board gives what pasting a frame picture would,
        // and rings that lie off the board cost nothing.
        board->Paste(g.finished, f.left, f.top);
        const int64_t bw = board->Width(), bh = board->Height();
        auto line = [&](int64_t x1, int64_t y1, int64_t x2, int64_t y2, double luma) {
            // One pixel wide, the end point not drawn; only the part on the
            // board is walked.
            auto clampCoord = [](int64_t v) {
                return static_cast<int>(std::clamp<int64_t>(v, -1, INT32_MAX / 2));
            };
            board->DrawLine(clampCoord(x1), clampCoord(y1), clampCoord(x2), clampCoord(y2),
                            YhcToColorref(luma, hue, chroma));
        };
        // Luma of ring i (0 outermost): outside to inside, L2 to L1 on the
        // top and left, L1 to L2 on the bottom and right.
        auto outerLuma = [&](int i) { return L1 + (L2 - L1) * (t - 1 - i) / (t - 1); };
        auto innerLuma = [&](int i) { return L1 + (L2 - L1) * i / (t - 1); };
        // The rings i in 0 .. t - 1 whose line a + sign * i lies in 0 .. size - 1.
        auto rings = [&](int64_t a, int sign, int64_t size, auto draw) {
            int64_t lo = sign > 0 ? -a : a - size + 1, hi = sign > 0 ? size - 1 - a : a;
            for (int64_t i = std::max<int64_t>(lo, 0); i <= std::min<int64_t>(hi, t - 1); ++i)
                draw(static_cast<int>(i));
        };
        // Each side in turn, all its rings, so the corners take the colours
        // of the left and right sides.
        rings(oy, 1, bh, [&](int i) { line(ox + i, oy + i, ox + W - i, oy + i, outerLuma(i)); });
        rings(oy + H - 1, -1, bh,
              [&](int i) { line(ox + i, oy + H - 1 - i, ox + W - i, oy + H - 1 - i, innerLuma(i)); });
        rings(ox, 1, bw, [&](int i) { line(ox + i, oy + i, ox + i, oy + H - i, outerLuma(i)); });
        rings(ox + W - 1, -1, bw,
              [&](int i) { line(ox + W - 1 - i, oy + i, ox + W - 1 - i, oy + H - i, innerLuma(i)); });
    }
    g.host->InvalidateBoard();
    PlayEndSound(TheSounds(), s, *g.host, g.rng);
}
