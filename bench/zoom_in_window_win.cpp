// The zoomed view in the real main window, under Wine: what a player's
// pointer move and wheel step cost, from the message to the pixels on the
// screen.  Run by bench/zoom_in_window.sh inside a Wine virtual desktop
// (the window maximised, its client about 1920 x 1080).
//
// A 1000-piece puzzle of a 2000 x 1250 picture is made in the window, so
// its table is 4000 x 2500; a block of 10 x 10 pieces is joined into one
// group in the middle of the table.  Then, in the fit view and at 100 %,
// the block is pressed and moved 3 screen pixels at a time, each move sent
// as the window gets it and painted at once (RDW_UPDATENOW, GdiFlush); and
// the wheel is turned one notch at a time at the middle of the client, in
// and out, each step painting the whole client.  One JSON line: the client,
// the scale of the fit, and for each the median and the longest time in
// milliseconds.
//
//   zoom_in_window [MOVES] [--pause]
//
// With --pause the window stands still for three seconds in the fit view
// and at 100 % before each is measured, for a screenshot from outside.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_window_win.h"
#include "base/text_win.h"
#include "bench_pictures.h"
#include "bench_win.h"
#include "bench_win_host.h"
#include "game/board_commands.h"
#include "game/start_puzzle.h"
#include "game/view_commands.h"
#include "pieces/board_ops.h"

namespace {

BenchWinHost host;

// One message as the window gets it, and its paint, on the screen.
double Timed(HWND window, UINT msg, WPARAM w, LPARAM l) {
    const double start = Now();
    SendMessageW(window, msg, w, l);
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW);
    GdiFlush();
    return Now() - start;
}

struct Figures {
    double median = 0, longest = 0;
};
Figures Of(std::vector<double> ms) {
    if (ms.empty()) return {};
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back()};
}

// The 10 x 10 block of cells from the picture's second row and column,
// joined and laid at the middle of the table on top of the drawing order.
bool JoinBlock(PuzzleGame& g) {
    Board& b = g.board;
    const int cell = g.grid.cellWidth / 2;  // picture pixels
    if (cell <= 0) return false;
    std::vector<char> inBlock(static_cast<size_t>(b.count), 0);
    int first = -1, found = 0;
    for (int i = 0; i < b.count; ++i) {
        Piece& p = b.pieces[i];
        if (IsSpeck(p)) continue;
        const int c = (p.homeLeft + p.homeRight) / 2 / cell, r = (p.homeTop + p.homeBottom) / 2 / cell;
        if (c < 1 || c > 10 || r < 1 || r > 10) continue;
        if (first < 0) first = i;
        p.orientation = 0;
        p.left = p.homeLeft + 1500;
        p.top = p.homeTop + 1000;
        p.right = p.homeRight + 1500;
        p.bottom = p.homeBottom + 1000;
        p.group = first;
        inBlock[i] = 1;
        ++found;
    }
    std::stable_partition(b.order.begin(), b.order.begin() + b.count, [&](int k) { return !inBlock[k]; });
    RefreshBoard(g);
    return found == 100;
}

// A client point over the top piece, through the view.
bool OnTopPiece(const PuzzleGame& g, POINT* at) {
    const Piece& p = g.board.pieces[g.board.order[g.board.count - 1]];
    const Rect r = g.view.TableToClient(p.BoardRect());
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) {
            const Point t = g.view.ClientToTable({x, y});
            if (HitTest(g.board, t.x, t.y) == g.board.count - 1) {
                *at = {x, y};
                return true;
            }
        }
    return false;
}

Figures Drag(HWND window, PuzzleGame& g, int moves) {
    POINT at{};
    if (!OnTopPiece(g, &at)) return {};
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    std::vector<double> ms;
    for (int i = 0; i < moves; ++i) {
        at.x += (i / 20) % 2 ? -3 : 3;
        at.y += (i / 10) % 2 ? -3 : 3;
        ms.push_back(Timed(window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(at.x, at.y)));
    }
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    return Of(ms);
}

Figures Wheel(HWND window, PuzzleGame& g, int steps) {
    POINT middle{g.view.client.cx / 2, g.view.client.cy / 2};
    ClientToScreen(window, &middle);
    std::vector<double> ms;
    for (int i = 0; i < steps; ++i) {
        const short delta = (i / 3) % 2 ? -WHEEL_DELTA : WHEEL_DELTA;
        ms.push_back(Timed(window, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(middle.x, middle.y)));
    }
    return Of(ms);
}

}  // namespace

int main(int argc, char** argv) {
    const int moves = argc > 1 ? std::atoi(argv[1]) : 60;
    const bool pause = argc > 2 && std::string(argv[2]) == "--pause";
    auto standStill = [&] {
        if (!pause) return;
        std::printf("pause\n");
        std::fflush(stdout);
        const DWORD until = GetTickCount() + 3000;
        PumpUntil([&] { return GetTickCount() > until; }, 4000);
    };
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    ShellRecords& app = Shell();
    std::string commandLine = Narrow(exe);
    commandLine.insert(commandLine.begin(), '"');
    commandLine.push_back('"');
    LoadSettings(app.settings, commandLine);
    app.settings.pieceCount = 1000;
    app.settings.pictureSize = 2000;
    app.settings.rotation = app.settings.flip = 0;
    app.settings.guide = 0;
    app.settings.grey = 0;
    app.host = &host;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterMainClass(instance)) return 1;
    HWND window = CreateMainWindow(instance);
    if (!window) return 1;
    ShowWindow(window, SW_SHOWMAXIMIZED);
    UpdateWindow(window);

    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::string picturePath = Narrow(temp) + "zoom_in_window.bmp";
    MYBIT picture;
    MakePicture(picture, 2000, 1250);
    if (!picture.SaveFile(picturePath)) return 1;
    PuzzleGame& g = app.game;
    const double makeStart = Now();
    if (!StartPuzzle(g, picturePath)) return 1;
    if (!PumpUntil([&] { return g.State() == kStatePlaying && g.totalPieces > 0; }, 300000)) return 1;
    const double madeMs = Now() - makeStart;
    if (!JoinBlock(g)) std::fprintf(stderr, "the block is not 10 x 10 pieces\n");
    PumpUntil([] { return false; }, 0);

    OnZoomCommand(g, ZoomCommand::kFit, Point{-1, -1});
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW);
    standStill();
    const double fit = g.view.scale;
    const Figures fitDrag = Drag(window, g, moves);
    const Figures wheel = Wheel(window, g, 12);
    OnZoomCommand(g, ZoomCommand::kFit, Point{-1, -1});
    // At 100 % round the block, as a player works on it.
    POINT at{};
    OnTopPiece(g, &at);
    OnZoomCommand(g, ZoomCommand::kActualSize, Point{at.x, at.y});
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW);
    standStill();
    const Figures oneDrag = Drag(window, g, moves);

    std::printf(
        "{\"client\":\"%dx%d\",\"table\":\"%dx%d\",\"pieces\":%d,\"make_ms\":%.0f,\"fit_scale\":%.3f,"
        "\"fit_move_median_ms\":%.2f,\"fit_move_longest_ms\":%.2f,\"wheel_median_ms\":%.2f,"
        "\"wheel_longest_ms\":%.2f,\"move_100_median_ms\":%.2f,\"move_100_longest_ms\":%.2f}\n",
        g.view.client.cx, g.view.client.cy, g.view.table.cx, g.view.table.cy, g.board.count, madeMs, fit,
        fitDrag.median, fitDrag.longest, wheel.median, wheel.longest, oneDrag.median, oneDrag.longest);
    std::fflush(stdout);
    // No saved game, no settings written: the run leaves nothing behind.
    app.settings.saveOnExit = 0;
    DestroyWindow(window);
    DeleteFileW(Widen(picturePath).c_str());
    return 0;
}
