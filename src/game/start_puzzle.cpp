#include "game/start_puzzle.h"

#include <new>
#include <utility>

#include "config/settings.h"
#include "config/sounds.h"
#include "game/arrange.h"
#include "game/clock.h"
#include "game/game_record.h"
#include "game/making_steps.h"
#include "game/save_game.h"
#include "game/view_commands.h"
#include "image/picture_read.h"
#include "making/cutting.h"
#include "pieces/board_ops.h"
#include "pieces/saved_state.h"
#include "views/background.h"

namespace {

// A picture and a pattern: the mask is the pattern, repeated or with the
// picture fitted to it.
int PrepareFromPattern(PuzzleGame& g, const std::string& picturePath, const std::string& patternPath) {
    Host& host = *g.host;
    const int size = g.settings->pictureSize;
    if (size == 0) {
        if (!LoadFile(g.picture, picturePath, host, 1)) return 0;
    } else {
        LoadScaled(g.picture, picturePath, host, size);
    }
    if (!LoadFile(g.pattern, patternPath, host, 1)) return 0;
    int qw = g.pattern.Width(), qh = g.pattern.Height();
    if ((qw | qh) & 1) {
        MYBIT whole = std::move(g.pattern);
        g.pattern.CropFrom(whole, 0, 0, qw & ~1, qh & ~1);
        qw = g.pattern.Width();
        qh = g.pattern.Height();
    }
    const int pw = g.picture.Width(), ph = g.picture.Height();
    // A pattern of a single row or column has nothing left; making refuses it.
    const int nx = qw > 0 ? 2 * pw / qw : 0, ny = qh > 0 ? 2 * ph / qh : 0;
    if (nx >= 2 && ny >= 2) return TilePattern(g, pw, ph, qw, qh, nx, ny);
    return FitPictureToPattern(g, pw, ph, qw, qh);
}

// StartPuzzle without its care for memory.
int StartMaking(PuzzleGame& g, const std::string& picturePath, const std::string& patternPath) {
    Host& host = *g.host;
    Settings& s = *g.settings;
    ResetGame(g);
    g.pictureFile = picturePath;
    // Cutting lines, cutting order and scattering all draw from here on; a
    // resumed game's first scatter too, which would otherwise lay out the
    // same way in every fresh run.
    g.rng.Seed(host.TickCount());
    // A saved game is resumed, not made: no settings of the making play a part.
    if (IsSavedStatePath(picturePath)) return RestoreGame(g, picturePath);
    const int prepared = patternPath.empty() ? PrepareFromCurves(g, picturePath)
                                             : PrepareFromPattern(g, picturePath, patternPath);
    if (!prepared) return 0;

    SetPuzzleTable(g);
    SetGreyPicture(*g.background, s, host, g.picture);
    ComposeBoard(*g.background, host);
    g.placedCount = 0;
    // The making record takes the mask over; the game has no other use for it.
    MYBIT mask = std::move(g.pattern);
    g.pattern.Free();
    if (!StartCutting(g.making, g.picture, std::move(mask), g.board, host)) return 0;
    if (s.guide) host.OpenGuide(g.picture);
    PlayWaitSound(TheSounds(), s, host);
    return 1;
}

}  // namespace

int StartPuzzle(PuzzleGame& g, const std::string& picturePath, const std::string& patternPath) {
    // The picture, the pattern and the mask take the most memory of all.
    try {
        return StartMaking(g, picturePath, patternPath);
    } catch (const std::bad_alloc&) {
        MakingFailed(g);
        return 0;
    }
}

void OnMakeDone(PuzzleGame& g) {
    if (g.making.stage != kStatePlaying || g.totalPieces != 0) return;
    Host& host = *g.host;
    // Nothing reads the labelled mask or the making's copy of the picture
    // in play, and at a large picture they take hundreds of megabytes.
    g.making.mask.Free();
    g.making.picture.Free();
    if (g.settings->arrangeMode) BuildArrangedPicture(g);
    host.SetForeground();
    g.startTick = g.lastTick = host.TickCount();
    g.totalPieces = CountGroups(g.board);
    UpdateTitle(g);
    host.SetTimer(IDT_CLOCK, 1000);
}

int MakingStep(PuzzleGame& g, unsigned msg) {
    switch (msg) {
        case MSG_MAKE_DONE:
            // Arrange mode's pictures are made here.
            try {
                OnMakeDone(g);
            } catch (const std::bad_alloc&) {
                MakingFailed(g);
            }
            return 1;
        case MSG_MAKE_1:
        case MSG_MAKE_2:
        case MSG_MAKE_3:
        case MSG_PLACE_PIECE:
        case MSG_MAKE_5:
            MakingStage(g, msg);
            return 1;
        default:
            return 0;
    }
}

int RunMakingToPlay(PuzzleGame& g, const std::function<void(unsigned)>& afterStep) {
    if (!RunMakingSteps(g, MSG_MAKE_1, afterStep)) return 0;
    MakingStep(g, MSG_MAKE_DONE);
    return g.State() == kStatePlaying;
}
