// Shared helpers of the making tests: a game wired to a recording host and
// test pictures made in memory; pictures are compared by PictureHash.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "config/settings.h"
#include "game/puzzle_game.h"
#include "image/mybit.h"
#include "making/cutting.h"
#include "pieces/board.h"
#include "support/fake_host.h"
#include "support/picture_hash.h"

// A colourful picture that differs at every pixel, so that any misplaced
// pixel changes a hash.
inline void MakeTestPicture(MYBIT& p, int w, int h) {
    p.Create(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.At(x, y) = (static_cast<uint32_t>(x * 7 + y * 3) & 0xFF) << 16 |
                         (static_cast<uint32_t>(x * 2 + y * 11) & 0xFF) << 8 |
                         (static_cast<uint32_t>((x ^ y) * 5) & 0xFF);
}

// A game as the main window has it, on a fake host, with default settings
// and a fixed seed; the board picture is a plain screen-sized surface.
struct MakingFixture {
    FakeHost host;
    Settings settings = DefaultSettings();
    Background background;
    std::unique_ptr<PuzzleGame> game = std::make_unique<PuzzleGame>();

    explicit MakingFixture(uint32_t seed = 12345) {
        settings.sound = 0;
        PuzzleGame& g = *game;
        g.host = &host;
        g.settings = &settings;
        g.background = &background;
        g.rng.Seed(seed);
        background.boardPicture.CreateFilled(0x808080, host.screen.cx, host.screen.cy);
        background.cleanBoard.CopyFrom(background.boardPicture);
        g.boardPicture = &background.boardPicture;
        g.board.boardPicture = &background.boardPicture;
        g.board.cleanBoard = &background.cleanBoard;
    }
    PuzzleGame& g() { return *game; }
};

// Piece k's mask as cutting made it (released once the piece was cut):
// the area's words of the labelled mask inside the piece rectangle, with
// the outline marked and the words a grid's meeting points gave it.
inline MYBIT RebuildPieceMask(const MakingState& m, int k) {
    const AreaBox& r = m.boxes[k];
    MYBIT pm;
    pm.Create(r.maxX - r.minX, r.maxY - r.minY);
    for (int y = 0; y < pm.Height(); ++y)
        for (int x = 0; x < pm.Width(); ++x)
            pm.At(x, y) = m.mask.At(r.minX + x, r.minY + y) == static_cast<uint32_t>(k + 1) ? kMaskInside : 0;
    MarkOutline(pm);
    for (const MeetingWord& w : m.meetingWords)
        if (w.area == k)
            pm.At(static_cast<int>(w.word % m.maskWidth) - r.minX,
                  static_cast<int>(w.word / m.maskWidth) - r.minY) = kMaskOutline;
    return pm;
}

// Every piece's eight pictures, rectangle and neighbours, as one list of
// numbers.
inline std::vector<uint64_t> Pieces(const Board& b) {
    std::vector<uint64_t> all;
    for (int k = 0; k < b.count; ++k) {
        const Piece& p = b.pieces[k];
        for (const MYBIT& o : p.pictures) all.push_back(PictureHash(o));
        for (int v : {p.left, p.top, p.orientation, p.homeLeft, p.homeTop})
            all.push_back(static_cast<uint64_t>(v));
        all.insert(all.end(), p.neighbours.begin(), p.neighbours.end());
    }
    return all;
}
