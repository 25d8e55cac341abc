#include "game/making_steps.h"

#include <algorithm>
#include <new>

#include "base/host.h"
#include "base/rand.h"
#include "config/settings.h"
#include "game/game_record.h"
#include "game/puzzle_game.h"
#include "game/view_commands.h"
#include "image/mybit.h"
#include "image/picture_read.h"
#include "making/area_repair.h"
#include "making/cut_pool.h"
#include "making/cutting.h"
#include "making/grid.h"
#include "making/meeting_points.h"
#include "pieces/board.h"

namespace {

constexpr const char* kTooLarge =
    "画像が大きすぎるため、パズルを作成できません。\n大きさの設定を小さくしてください。";
constexpr const char* kNoMemory =
    "メモリが足りないため、パズルを作成できませんでした。\n大きさの設定を小さくしてください。";

// Progress bar colours (COLORREF) while the pieces are cut.
constexpr ColorRef kCutBack = 0xF8F481, kCutBar = 0xD8D20C;

bool MaskFits(int64_t width, int64_t height, Host& host) {
    if (width * height <= kMaxMaskPixels) return true;
    host.MessageBox(kTooLarge, "pukko", kMbOk, Owner::kNone);
    return false;
}

}  // namespace

int PrepareFromCurves(PuzzleGame& g, const std::string& picturePath) {
    MYBIT loaded;
    const int size = g.settings->pictureSize;
    if (size != 0)
        LoadScaled(loaded, picturePath, *g.host, size);
    else
        LoadFile(loaded, picturePath, *g.host, 1);
    return PrepareFromPicture(g, loaded);
}

int PrepareFromPicture(PuzzleGame& g, const MYBIT& loaded) {
    Host& host = *g.host;
    const Settings& s = *g.settings;
    const int w = loaded.Width(), h = loaded.Height();
    g.grid = GridDivision{};
    // The sizes alone decide, before the mask is made.
    if (!MaskFits(2 * static_cast<int64_t>(w), 2 * static_cast<int64_t>(h), host)) return 0;
    if (loaded.Empty()) return 0;
    int32_t W = 2 * w, H = 2 * h, count = s.pieceCount;
    ArrangeRects rects{g.wholeRect, g.innerRect};
    CutList lines = BuildCutLines(count, W, H, s.arrangeMode, rects, s, g.rng, host, &g.grid);
    g.wholeRect = rects.whole;
    g.innerRect = rects.inner;
    g.pattern.CreateFilled(0xFFFFFF, W, H);
    g.pattern.DrawBeziers(lines, 0x000000);
    CloseMeetingPoints(g.pattern, g.grid);
    // The centre of the loaded picture, trimmed to the grid.
    g.picture.CropFrom(loaded, (w - W / 2) / 2, (h - H / 2) / 2, W / 2, H / 2);
    return 1;
}

int TilePattern(PuzzleGame& g, int pw, int ph, int qw, int qh, int nx, int ny) {
    g.grid = GridDivision{};
    const int64_t mw = static_cast<int64_t>(nx) * qw, mh = static_cast<int64_t>(ny) * qh;
    if (!MaskFits(mw, mh, *g.host)) return 0;
    MYBIT tile;
    tile.CopyFrom(g.pattern);
    g.pattern.Create(static_cast<int>(mw), static_cast<int>(mh));
    for (int64_t y = 0; y < mh; y += qh)
        for (int64_t x = 0; x < mw; x += qw) g.pattern.Paste(tile, static_cast<int>(x), static_cast<int>(y));
    MYBIT whole;
    whole.CopyFrom(g.picture);
    const int cw = static_cast<int>(mw / 2), ch = static_cast<int>(mh / 2);
    g.picture.CropFrom(whole, (pw - cw) / 2, (ph - ch) / 2, cw, ch);
    return 1;
}

int FitPictureToPattern(PuzzleGame& g, int pw, int ph, int qw, int qh) {
    g.grid = GridDivision{};
    const int tw = qw / 2, th = qh / 2;
    if (tw == pw && th == ph) return 1;
    // Nothing to scale from or to; making refuses the empty result.
    if (pw <= 0 || ph <= 0 || tw <= 0 || th <= 0) return 1;
    int64_t sw, sh;
    if (static_cast<double>(tw) / th > static_cast<double>(pw) / ph) {
        sw = tw;
        sh = static_cast<int64_t>(ph) * tw / pw;
    } else {
        sw = static_cast<int64_t>(pw) * th / ph;
        sh = th;
    }
    // Very different proportions would make a huge intermediate picture.
    if (!MaskFits(sw, sh, *g.host)) return 0;
    MYBIT scaled;
    scaled.StretchFrom(g.picture, static_cast<int>(sw), static_cast<int>(sh));
    g.picture.CropFrom(scaled, static_cast<int>((sw - tw) / 2), static_cast<int>((sh - th) / 2), tw, th);
    return 1;
}

void ScatterPiece(Board& table, int b, int rotation, int flip, Size area, Rand& rng) {
    Piece& p = table.pieces[b];
    // A window too small for the margins still gets a range of 1.
    const int rangeX = std::max(area.cx / 2 - 100, 1);
    const int rangeY = std::max(area.cy - 100, 1);
    p.left = rng.Next() % rangeX + 50;
    p.top = rng.Next() % rangeY + 50;
    if (rotation)
        p.orientation = rng.Next() % (flip ? 8 : 4);
    else if (flip)
        p.orientation = (rng.Next() & 1) ? 4 : 0;
    p.group = b;
    p.right = p.left + p.Current().Width();
    p.bottom = p.top + p.Current().Height();
}

void PlaceAtHome(Board& table, int a) {
    Piece& p = table.pieces[a];
    p.left = p.homeLeft;
    p.top = p.homeTop;
    p.right = p.homeRight;
    p.bottom = p.homeBottom;
    p.orientation = 0;
    p.group = a;
}

// Each handler returns the message it posted, 0 when it posted none.
unsigned LabelStep(PuzzleGame& g) {
    MakingState& m = g.making;
    if (m.stage != kStateLabelling) return 0;
    const unsigned next = LabelRow(m, *g.host) ? MSG_MAKE_1 : MSG_MAKE_2;
    g.host->StepProgress();
    g.host->PostStep(next);
    return next;
}

unsigned EdgeWidthStep(PuzzleGame& g) {
    MakingState& m = g.making;
    if (m.stage != kStateLabelling) return 0;
    g.host->CloseProgress();
    // Without a single area there is nothing to cut; making ends here rather
    // than waiting for pieces that never come.
    if (m.areaCount == 0) {
        ResetMaking(m);
        return 0;
    }
    if (g.grid.columns > 0)
        FitAreasToCells(m, g.grid);
    else
        DissolveSpecks(m);
    GiveMeetingWords(m, g.grid);
    ComputeEdgeWidth(m, g.settings->edgeThick);
    g.host->PostStep(MSG_MAKE_3);
    return MSG_MAKE_3;
}

unsigned OrderPieces(PuzzleGame& g) {
    MakingState& m = g.making;
    if (m.stage != kStateLabelling || !m.table) return 0;
    m.stage = kStateCutting;
    Board& t = *m.table;
    const int n = m.areaCount;
    // Position j of the drawing order receives piece i; pieces are cut in
    // order of position, so they appear on the board in random order.
    if (g.settings->arrangeMode) {
        for (int i = 0; i < n; ++i) t.order[i] = i;
    } else {
        for (int i = 0; i < n; ++i) {
            int j = g.rng.Next() % n;
            while (t.order[j] >= 0) j = (j + 1) % n;
            t.order[j] = i;
        }
    }
    g.host->ShowProgress(n, kCutBack, kCutBar);
    m.cutPosition = 0;
    // The pieces are cut ahead on every core while the steps show them, on
    // fewer when their work arrays would outgrow the picture's mask.
    const int threads = CutThreadsWithin(m, CutThreadCount(m.cutThreads));
    if (threads > 1 && n > 1)
        m.pool = std::make_shared<CuttingPool>(m, t.order.data(), n, g.settings->edgeLight, threads);
    g.host->PostStep(MSG_PLACE_PIECE);
    return MSG_PLACE_PIECE;
}

unsigned MakeOnePiece(PuzzleGame& g) {
    MakingState& m = g.making;
    if (m.stage != kStateCutting || !m.table || m.cutPosition >= m.areaCount) return 0;
    Board& t = *m.table;
    const int p = m.cutPosition;
    const int k = t.order[p];
    if (m.pool)
        m.pool->Take(p);
    else
        CutPiece(m, k, g.settings->edgeLight);
    t.pieces[k].orientation = 0;
    t.pieces[k].group = k;
    t.count = p + 1;
    g.host->StepProgress();
    const unsigned next = p + 1 >= m.areaCount ? MSG_MAKE_5 : MSG_PLACE_PIECE;
    g.host->PostStep(next);
    m.cutPosition = p + 1;
    return next;
}

void PlaceMadePiece(PuzzleGame& g) {
    MakingState& m = g.making;
    if (m.stage != kStateCutting || !m.table || g.placedCount >= m.cutPosition) return;
    Board& t = *m.table;
    const int a = g.placedCount;
    const Settings& s = *g.settings;
    if (s.arrangeMode)
        PlaceAtHome(t, a);
    else
        ScatterPiece(t, t.order[a], s.rotation, s.flip, GamePlayArea(g), g.rng);
    const Piece& piece = t.pieces[t.order[a]];
    if (g.boardPicture) g.boardPicture->PasteBlend(piece.Current(), piece.left, piece.top);
    g.host->InvalidateArea(g.view.TableToClient(piece.BoardRect()));
    ++g.placedCount;
}

unsigned FinishCutting(PuzzleGame& g) {
    MakingState& m = g.making;
    if (m.stage != kStateCutting) return 0;
    // The first MSG_MAKE_5 finds the neighbours; the search that links
    // pieces apart, when one is needed, follows in steps of its own.
    const bool searching = m.apartSearch != nullptr;
    if (!searching) {
        g.host->CloseProgress();
        StopCuttingWorkers(m);
        ReleaseCutScratch();
        FindNeighbours(m, *g.host);
    }
    if (searching ? LinkApartStep(m, *g.host) : StartLinkingApart(m, *g.host)) {
        g.host->PostStep(MSG_MAKE_5);
        return MSG_MAKE_5;
    }
    m.stage = kStatePlaying;
    g.host->PostStep(MSG_MAKE_DONE);
    return MSG_MAKE_DONE;
}

namespace {

unsigned RunStage(PuzzleGame& g, unsigned msg) {
    switch (msg) {
        case MSG_MAKE_1:
            return LabelStep(g);
        case MSG_MAKE_2:
            return EdgeWidthStep(g);
        case MSG_MAKE_3:
            return OrderPieces(g);
        case MSG_PLACE_PIECE: {
            const unsigned next = MakeOnePiece(g);
            if (next) PlaceMadePiece(g);
            return next;
        }
        case MSG_MAKE_5:
            return FinishCutting(g);
        default:
            return 0;
    }
}

}  // namespace

void MakingFailed(PuzzleGame& g) {
    // The memory goes first: the workers stop, and everything of the puzzle
    // is released before the message box needs any.
    ResetGame(g);
    ReleaseCutScratch();
    g.host->CloseProgress();
    g.host->MessageBox(kNoMemory, "pukko", kMbOk, Owner::kMainWindow);
}

unsigned MakingStage(PuzzleGame& g, unsigned msg) {
    try {
        return RunStage(g, msg);
    } catch (const std::bad_alloc&) {
        MakingFailed(g);
        return 0;
    }
}

int RunMakingSteps(PuzzleGame& g, unsigned first, const std::function<void(unsigned)>& afterStep) {
    unsigned msg = first;
    while (msg != 0 && msg != MSG_MAKE_DONE) {
        const unsigned next = MakingStage(g, msg);
        if (afterStep) afterStep(msg);
        msg = next;
    }
    return msg == MSG_MAKE_DONE;
}

int MakePuzzleFromPicture(PuzzleGame& g, const MYBIT& picture) {
    g.placedCount = 0;
    if (!PrepareFromPicture(g, picture)) return 0;
    MYBIT mask = std::move(g.pattern);
    g.pattern.Free();
    if (!StartCutting(g.making, g.picture, std::move(mask), g.board, *g.host)) return 0;
    return RunMakingSteps(g, MSG_MAKE_1);
}
