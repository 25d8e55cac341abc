#include "game/game_record.h"

#include <algorithm>

#include "app/settings.h"

namespace {

// Back to no puzzle: both bitmaps freed, the piece table it worked on
// emptied, every size, count and position 0, the area boxes zeroed and the
// piece masks freed.
void ResetMakingRecord(MakingState& m) {
    m.mask.Free();
    m.picture.Free();
    if (m.table) m.table->Empty();
    m.table = nullptr;
    m.maskWidth = m.maskHeight = 0;
    m.areaCount = 0;
    m.stage = kStateNone;
    std::fill(m.boxes.begin(), m.boxes.end(), AreaBox{});
    for (MYBIT& mask : m.pieceMasks) mask.Free();
    m.edgeWidth = 0;
    m.labelRow = 0;
    m.labelCursor = 0;
    m.cutPosition = 0;
}

}  // namespace

const char* IdleTitle(const Settings& settings) {
    return settings.arrangeMode ? "pukko <整列モード>" : "pukko";
}

void InitGame(PuzzleGame& g, Host& host, Settings& settings, Background& background) {
    g.host = &host;
    g.settings = &settings;
    g.background = &background;
    g.buttonBits = 0;
    g.held = -1;
    g.pressPending = 0;
    g.totalPieces = 0;
    g.carriedTime = 0;
    InitBackground(background, settings, host);
    g.boardPicture = &background.boardPicture;
    g.board.boardPicture = &background.boardPicture;
    g.board.cleanBoard = &background.cleanBoard;
    g.jointSound = 0;
}

void ResetGame(PuzzleGame& g) {
    g.pictureChoice = 0;
    g.patternChoice = 0;
    g.pictureFile.clear();

    ResetMakingRecord(g.making);
    g.board.Empty();

    g.picture.Free();
    g.pattern.Free();
    g.finished.Free();
    g.arrangedCanvas.Free();
    g.arranged.Free();

    g.placedCount = 0;
    g.buttonBits = 0;
    g.current = g.dragRef = g.last = Point{};
    g.held = -1;
    g.pressPending = 0;
    g.totalPieces = 0;
    g.carriedTime = 0;
    g.startTick = g.lastTick = 0;
    g.finalRect = Rect{};
    g.slideX = g.slideY = 0;
    g.wholeRect = g.innerRect = Rect{};
    g.lumaOffset = g.hueOffset = g.chromaOffset = 0;
    g.blurCount = 0;
    g.jointSound = 0;

    if (!g.host) return;
    Host& host = *g.host;
    host.CloseGuide();
    if (g.background) {
        RemoveGreyPicture(*g.background);
        ComposeBoard(*g.background, host);
    }
    host.InvalidateBoard();
    if (g.settings) host.SetTitle(IdleTitle(*g.settings));
    host.KillTimer(IDT_CLOCK);
    // A slide still running would otherwise end by framing a puzzle that is
    // no longer there and playing its end sound.
    host.KillTimer(IDT_SLIDE);
}
