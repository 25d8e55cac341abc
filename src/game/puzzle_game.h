// The one puzzle: its picture, making record, board, pointer state, clock,
// completion and arrange-mode fields.
#pragma once

#include <cstdint>
#include <string>

#include "base/dpi_scale.h"
#include "base/geom.h"
#include "base/host.h"
#include "base/rand.h"
#include "config/settings.h"
#include "game/recovery_writer.h"
#include "image/mybit.h"
#include "making/grid.h"
#include "making/making_state.h"
#include "pieces/board.h"
#include "views/arrange_pixels.h"
#include "views/background.h"
#include "views/table_view.h"

// Mouse buttons pressed since the last release.
enum : uint8_t {
    kButtonLeft = 0x80,
    kButtonRight = 0x40,
    kButtonMiddle = 0x20,
};

struct BrowserSet;

struct PuzzleGame {
    PuzzleGame() = default;
    // The workers cutting pieces write to the board, which goes before the
    // making record, and the recovery record's worker reads it; they are
    // stopped first.
    ~PuzzleGame() {
        StopRecordWorker(recovery);
        StopCuttingWorkers(making);
    }
    PuzzleGame(const PuzzleGame&) = delete;
    PuzzleGame& operator=(const PuzzleGame&) = delete;

    // The platform, the settings, the background and the browser slots this
    // game works with; set by InitGame.
    Host* host = nullptr;
    Settings* settings = nullptr;
    Background* background = nullptr;
    BrowserSet* browsers = nullptr;  // none: nothing can be chosen in a strip
    Rand rng;  // the program's generator: cutting, scattering, sounds

    int32_t pictureChoice = -1;  // entry of browser slot 0; -1 none
    int32_t patternChoice = -1;  // entry of browser slot 1; -1 none
    std::string pictureFile;     // picture or saved game being played (UTF-8); empty when none
    MakingState making;          // its stage is the game state
    Board board;
    MYBIT picture;  // the picture being played, after loading and fitting
    MYBIT pattern;  // the cutting pattern or mask of the making
    // The grid the mask was drawn on; no cells for a cutting pattern.
    GridDivision grid;
    int32_t placedCount = 0;

    // Pointer state; points in table pixels.
    uint8_t buttonBits = 0;
    Point current;
    Point dragRef;
    Point last;
    int32_t held = -1;  // drawing position of the held piece
    int32_t pressPending = 0;
    // A press beside every piece drags the view once the pointer has gone
    // kPanStart screen pixels from where it was pressed: the pointer's last
    // client point, and whether the view has moved since the press (then
    // the release is no click).
    int32_t panning = 0;  // 1 pressed, 2 following the pointer
    int32_t panned = 0;
    Point panRef;
    int32_t wheelRest = 0;  // wheel turn not yet a whole step (units of 1/120)

    // The window's view of the table the pieces lie on.
    TableView view;

    MYBIT* boardPicture = nullptr;  // the background's board picture
    int32_t totalPieces = 0;
    int32_t carriedTime = 0;  // ms played before the game was saved
    uint32_t startTick = 0;
    uint32_t lastTick = 0;

    // Completion.
    MYBIT finished;                  // the completed picture as cut from the board
    Rect finalRect;                  // where it comes to rest
    int32_t slideX = 0, slideY = 0;  // slide distance still to go (board pixels)

    // Arrange mode.
    Rect wholeRect;
    Rect innerRect;
    MYBIT arrangedCanvas;
    MYBIT arranged;
    double lumaOffset = 0, hueOffset = 0, chromaOffset = 0;
    int32_t blurCount = 0;
    HueDirections arrangeDirections;  // the canvas's hue directions, found with the canvas

    int32_t jointSound = 0;

    // The record that brings the game back after a kill or a crash.
    RecoveryWriter recovery;

    // The guide's aids (finder.h).  hintCount: the pieces found through the
    // guide in this game (not in a saved game: a resumed game counts from
    // 0).  A found group blinks: blinkPiece is a piece of it (-1: none),
    // blinkLeft the phases still to come, blinkRing the ring's outer edge
    // on the board picture while it is drawn (table pixels) and blinkWidth
    // its width.  guideMark: the home area marked on the guide.
    int32_t hintCount = 0;
    int32_t blinkPiece = -1;
    int32_t blinkLeft = 0;
    Rect blinkRing;
    int32_t blinkWidth = 0;
    Rect guideMark;

    // The main window's DPI: the snap reaches farther on a denser screen
    // (the pictures and the board are never scaled).  Not saved: a resumed
    // game snaps as the screen it is played on asks.
    int dpi = kBaseDpi;

    int32_t State() const { return making.stage; }
    bool Making() const { return making.stage == kStateLabelling || making.stage == kStateCutting; }
};
