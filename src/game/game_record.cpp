#include "game/game_record.h"

#include <algorithm>

#include "config/settings.h"
#include "config/shell_texts.h"
#include "game/recovery_writer.h"
#include "game/view_commands.h"
#include "making/cutting.h"

void InitGame(PuzzleGame& g, Host& host, Settings& settings, Background& background, BrowserSet* browsers) {
    g.host = &host;
    g.settings = &settings;
    g.background = &background;
    g.browsers = browsers;
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
    SetPuzzleTable(g);
}

void ResetGame(PuzzleGame& g) {
    // Its worker reads the board about to be emptied.
    DiscardRecord(g.recovery);
    g.pictureChoice = 0;
    g.patternChoice = 0;
    g.pictureFile.clear();

    ResetMaking(g.making);
    g.board.Empty();

    g.picture.Free();
    g.pattern.Free();
    g.grid = GridDivision{};
    g.finished.Free();
    g.arrangedCanvas.Free();
    g.arranged.Free();

    g.placedCount = 0;
    g.buttonBits = 0;
    g.current = g.dragRef = g.last = Point{};
    g.held = -1;
    g.pressPending = 0;
    g.panning = g.panned = 0;
    g.wheelRest = 0;
    g.totalPieces = 0;
    g.carriedTime = 0;
    g.startTick = g.lastTick = 0;
    g.finalRect = Rect{};
    g.slideX = g.slideY = 0;
    g.wholeRect = g.innerRect = Rect{};
    g.lumaOffset = g.hueOffset = g.chromaOffset = 0;
    g.blurCount = 0;
    g.arrangeDirections.Free();
    g.jointSound = 0;
    g.hintCount = 0;
    g.blinkPiece = -1;
    g.blinkLeft = g.blinkWidth = 0;
    g.blinkRing = g.guideMark = Rect{};

    if (!g.host) return;
    Host& host = *g.host;
    host.CloseGuide();
    // Back to the table of the screen's size, seen at 100 %.
    SetPuzzleTable(g);
    if (g.background) {
        RemoveGreyPicture(*g.background);
        ComposeBoard(*g.background, host);
    }
    host.InvalidateBoard();
    if (g.settings) host.SetTitle(ModeTitle(g.settings->arrangeMode));
    host.KillTimer(IDT_CLOCK);
    // A slide still running would otherwise end by framing a puzzle that is
    // no longer there and playing its end sound.
    host.KillTimer(IDT_SLIDE);
    host.KillTimer(IDT_BLINK);
}
