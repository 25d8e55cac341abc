// Screenshots for the README, taken from the real main window driven
// in-process through its own messages, the way a player drives it: a click
// on a cell of the picture strip, clicks that turn pieces and drags that
// join them, menu commands.  Each shot is the whole screen copied with GDI
// and written as a 32-bit BMP into OUT_FOLDER:
//
//   making.bmp    the pieces being cut, with the progress bar
//   play.bmp      the puzzle half done, with the guide window
//   complete.bmp  the finished picture in its frame
//   shape.bmp     the piece-shape dialog
//   browser.bmp   the picture and pattern strips, with the saved game's cell
//
// Run by scripts/screenshots.sh inside a Wine virtual desktop, from a copy
// of the program's folders (the saved game is written into its image
// folder).  The host's clock stands still unless moved here, so the cut,
// the scatter and the times in the title are the same on every run.
//
//   readme_shots OUT_FOLDER [PICTURE_NAME]
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <climits>
#include <cstdio>
#include <queue>
#include <string>
#include <vector>

#include "app/main_window_win.h"
#include "bench_win.h"
#include "bench_win_host.h"
#include "base/text_win.h"
#include "browser/browser_window_win.h"
#include "config/sounds.h"
#include "game/clock.h"
#include "pieces/board_ops.h"
#include "resource.h"

namespace {

constexpr uint32_t kSeedTick = 20240;
constexpr DWORD kWaitMs = 60000;

BenchWinHost host;
HWND mainWindow = nullptr;
std::wstring outFolder;

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(0, p.find_last_of(L'\\'));
}

void Pump(DWORD ms) {
    const DWORD start = GetTickCount();
    PumpUntil([&] { return GetTickCount() - start > ms; }, ms + 1000);
}

BOOL CALLBACK RedrawNow(HWND window, LPARAM) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return TRUE;
}

// The whole screen as it is now, every window of this thread painted first.
bool Capture(const wchar_t* name) {
    EnumThreadWindows(GetCurrentThreadId(), RedrawNow, 0);
    GdiFlush();
    Sleep(300);  // the display shows what was painted
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;  // bottom-up, as MYBIT keeps its rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    MYBIT shot;
    shot.Create(w, h);
    const uint32_t* rows = static_cast<const uint32_t*>(bits);
    for (int y = 0; y < h; ++y) {
        const uint32_t* from = rows + static_cast<size_t>(h - 1 - y) * w;
        std::copy(from, from + w, shot.Row(y));
    }
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    const std::wstring path = outFolder + L"\\" + name;
    const bool saved = shot.SaveFile(Narrow(path));
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", Narrow(path).c_str());
    return saved;
}

LPARAM At(POINT p) {
    return MAKELPARAM(p.x, p.y);
}

void Click(HWND window, POINT p) {
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(p));
    SendMessageW(window, WM_LBUTTONUP, 0, At(p));
}

void Drag(HWND window, POINT from, POINT to) {
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(from));
    SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, At(to));
    SendMessageW(window, WM_LBUTTONUP, 0, At(to));
}

// The board point nearest the middle of a piece at which that piece is the
// one hit (others may lie over parts of it); false when it is all hidden.
bool VisiblePoint(const Board& b, int piece, POINT* at) {
    int position = -1;
    for (int k = 0; k < b.count; ++k)
        if (b.order[k] == piece) position = k;
    const Piece& p = b.pieces[piece];
    const int cx = (p.left + p.right) / 2, cy = (p.top + p.bottom) / 2;
    long best = LONG_MAX;
    for (int y = p.top + 1; y < p.bottom; y += 2)
        for (int x = p.left + 1; x < p.right; x += 2) {
            const long d = static_cast<long>(x - cx) * (x - cx) + static_cast<long>(y - cy) * (y - cy);
            if (d < best && HitTest(b, x, y) == position) {
                best = d;
                *at = POINT{x, y};
            }
        }
    return best != LONG_MAX;
}

// Turns a piece upright with left clicks (a quarter-turn counter-clockwise
// each) and drags it to its home place moved by (dx, dy).
bool PlacePiece(int piece, int dx, int dy) {
    const Board& b = Shell().game.board;
    const Piece& p = b.pieces[piece];
    POINT at;
    for (int turns = 0; p.orientation != 0; ++turns) {
        if (turns == 4 || !VisiblePoint(b, piece, &at)) return false;
        Click(mainWindow, at);
    }
    if (!VisiblePoint(b, piece, &at)) return false;
    const POINT to{at.x + p.homeLeft + dx - p.left, at.y + p.homeTop + dy - p.top};
    Drag(mainWindow, at, to);
    // The last drop completes the puzzle, which moves it to its resting place.
    return (p.left == p.homeLeft + dx && p.top == p.homeTop + dy) || IsComplete(Shell().game);
}

// Specks where cutting lines meet have no neighbours and never count.
size_t CountablePieces(const Board& b) {
    size_t n = 0;
    for (int i = 0; i < b.count; ++i) n += IsSpeck(b.pieces[i]) ? 0 : 1;
    return n;
}

// The pieces in an order in which each one has a neighbour placed before
// it, starting at the top-left corner: every drop then joins the one group
// already laid.
std::vector<int> JoiningOrder(const Board& b) {
    int first = 0;
    for (int i = 1; i < b.count; ++i) {
        const Piece& p = b.pieces[i];
        if (p.homeTop + p.homeLeft < b.pieces[first].homeTop + b.pieces[first].homeLeft) first = i;
    }
    std::vector<int> order;
    std::vector<bool> seen(static_cast<size_t>(b.count), false);
    std::queue<int> next;
    next.push(first);
    seen[static_cast<size_t>(first)] = true;
    while (!next.empty()) {
        const int i = next.front();
        next.pop();
        order.push_back(i);
        for (int n : b.pieces[i].neighbours) {
            if (n < 0) break;
            if (!seen[static_cast<size_t>(n)]) {
                seen[static_cast<size_t>(n)] = true;
                next.push(n);
            }
        }
    }
    return order;
}

// A click on the strip cell of the picture whose file name ends with name.
bool PickPicture(const std::string& name) {
    BrowserView& strip = Shell().browsers[0];
    for (int i = 0; i < strip.Count(); ++i) {
        const std::string& path = strip.entries[static_cast<size_t>(i)].name;
        if (path.size() < name.size() || path.compare(path.size() - name.size(), name.size(), name) != 0)
            continue;
        // All cells fit and stand still once listed: cell i lies at 100 i.
        Click(StripWindow(0), POINT{kCellSide * i + kCellSide / 2, kCellSide / 2});
        return true;
    }
    return false;
}

bool Fail(const char* what) {
    std::fprintf(stderr, "readme_shots: %s\n", what);
    return false;
}

bool TakeShots(const std::string& pictureName) {
    PuzzleGame& g = Shell().game;
    if (!PumpUntil([] { return Shell().browsers[0].state == kBrowserListed; }, kWaitMs))
        return Fail("the picture strip was not filled");
    Pump(500);
    if (!PickPicture(pictureName)) return Fail("the picture is not in the strip");

    // Half the pieces cut and laid out.
    const bool halfCut = PumpUntil(
        [&] { return g.making.stage == kStateCutting && g.placedCount * 2 >= g.making.areaCount; }, kWaitMs);
    if (!halfCut) return Fail("making did not reach its second half");
    if (!Capture(L"making.bmp")) return false;
    if (!PumpUntil([&] { return g.State() == kStatePlaying && g.totalPieces > 0; }, kWaitMs))
        return Fail("making did not end");
    Pump(300);

    // The pieces come together at the right of the window, clear of the
    // scattered ones and above the guide.
    RECT client;
    GetClientRect(mainWindow, &client);
    const int dx = client.right - g.picture.Width() - 20, dy = 50;
    const std::vector<int> order = JoiningOrder(g.board);
    if (order.size() != CountablePieces(g.board)) return Fail("the pieces do not all hang together");
    const size_t half = order.size() / 2;
    for (size_t i = 0; i < half; ++i)
        if (!PlacePiece(order[i], dx, dy)) return Fail("a piece could not be placed");
    host.clock = kSeedTick + (3 * 60 + 27) * 1000;  // 00:03:27 played
    SendMessageW(mainWindow, WM_TIMER, IDT_CLOCK, 0);
    Pump(300);
    if (!Capture(L"play.bmp")) return false;
    // Saved here, so that the strip shows the game with its counts.
    SendMessageW(mainWindow, WM_COMMAND, IDM_SAVE, 0);

    for (size_t i = half; i < order.size(); ++i)
        if (!PlacePiece(order[i], dx, dy)) return Fail("a piece could not be placed");
    if (!PumpUntil([&] { return g.slideX == 0 && g.slideY == 0; }, kWaitMs))
        return Fail("the finished picture did not come to rest");
    Pump(500);  // the frame follows the last step of the slide
    if (!Capture(L"complete.bmp")) return false;

    SendMessageW(mainWindow, WM_COMMAND, IDM_SHAPE, 0);
    Pump(500);
    if (!Capture(L"shape.bmp")) return false;
    if (HWND preview = FindWindowW(L"BasicLineWin", nullptr)) SendMessageW(preview, WM_CLOSE, 0, 0);

    // "ﾊﾟﾀｰﾝ使用", and a click beside the finished picture: both strips,
    // the picture strip listed afresh with the saved game.
    SendMessageW(mainWindow, WM_COMMAND, IDM_PIECES_BASE, 0);
    SendMessageW(StripWindow(0), WM_CLOSE, 0, 0);
    Click(mainWindow, POINT{10, client.bottom - 10});
    if (!PumpUntil(
            [] {
                return Shell().browsers[0].state == kBrowserListed &&
                       Shell().browsers[1].state == kBrowserListed;
            },
            kWaitMs))
        return Fail("the strips were not filled");
    Pump(1500);
    return Capture(L"browser.bmp");
}

}  // namespace

int main() {
    host.clock = kSeedTick;
    // The wide command line: a picture name in Japanese survives any code page.
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) {
        std::fprintf(stderr, "usage: readme_shots OUT_FOLDER [PICTURE_NAME]\n");
        return 2;
    }
    outFolder = argv[1];
    const std::string pictureName = argc > 2 ? Narrow(argv[2]) : "山と湖.jpg";
    LocalFree(argv);

    ShellRecords& app = Shell();
    // Built piece by piece: GCC 12 warns wrongly about "..." + std::string.
    std::string commandLine = "\"";
    commandLine += Narrow(ExeFolder());
    commandLine += "\\pukko.exe\"";
    LoadSettings(app.settings, commandLine);
    // The settings a new player starts with, whatever pukko.ini says.
    app.settings.pieceCount = 20;
    app.settings.pictureSize = 600;
    app.settings.rotation = 1;
    app.settings.flip = 0;
    app.settings.guide = 1;
    app.settings.sound = 0;
    BuildSoundPaths(TheSounds(), PathField(app.settings.soundFolder));
    app.host = &host;

    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterMainClass(instance)) return 1;
    mainWindow = CreateMainWindow(instance);
    if (!mainWindow) return 1;
    ShowWindow(mainWindow, SW_SHOWMAXIMIZED);
    UpdateWindow(mainWindow);

    const bool ok = TakeShots(pictureName);
    StopAllScans();
    DestroyWindow(mainWindow);
    return ok ? 0 : 1;
}
