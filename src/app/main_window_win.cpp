#include "app/main_window_win.h"

#include <shellapi.h>
#include <windowsx.h>

#include "app/menu_win.h"
#include "base/dpi_win.h"
#include "base/text_win.h"
#include "base/window_class_win.h"
#include "browser/browser_window_win.h"
#include "config/shell_texts.h"
#include "game/drop.h"
#include "game/finder.h"
#include "game/game_record.h"
#include "game/input.h"
#include "game/start_puzzle.h"
#include "game/start_screen.h"
#include "game/view_commands.h"
#include "image/mybit_win.h"
#include "making/shape_dialog_win.h"

namespace {

// WM_DROPFILES: the first file only.
void OnDropFiles(PuzzleGame& g, HDROP drop) {
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::wstring name;
    if (count > 0) {
        UINT length = DragQueryFileW(drop, 0, nullptr, 0);
        name.resize(length + 1);
        name.resize(DragQueryFileW(drop, 0, name.data(), length + 1));
    }
    DragFinish(drop);
    if (count > 0) OnDropFile(g, Narrow(name));
}

bool KeyDown(int vk) {
    return GetAsyncKeyState(vk) < 0;
}

Point CursorInClient(HWND window) {
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(window, &p);
    return {p.x, p.y};
}

void OnCreate(HWND window) {
    ShellRecords& app = Shell();
    PuzzleGame& g = app.game;
    app.host->SetWindow(window);
    InitGame(g, *app.host, app.settings, app.background, &app.browsers);
    SetStripRecords({&app.browsers, &app.settings, app.host});
    g.dpi = WindowDpi(window);
    DragAcceptFiles(window, TRUE);
    MenuRefresh(window, app.settings, 0);
    if (app.settings.arrangeMode) app.host->SetTitle(kArrangeTitle);
    if (!app.resumeAtStart) OpenCommand(g);
}

void OnPaint(HWND window) {
    ShellRecords& app = Shell();
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    PaintBoard(dc, ps.rcPaint, app.background, app.game.view, app.viewPixels);
    EndPaint(window, &ps);
    AfterPaint(app.game);
}

// The wheel steps the strip under the pointer; anywhere else over the
// board it zooms there.
void OnMouseWheel(HWND window, PuzzleGame& g, WPARAM wParam, LPARAM lParam) {
    if (ForwardWheel(window, wParam, lParam)) return;
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};  // screen pixels
    ScreenToClient(window, &p);
    OnWheel(g, GET_WHEEL_DELTA_WPARAM(wParam), Point{p.x, p.y});
}

// The program ends.  The piece-shape pair is closed first as its close box
// closes it, so that rim changes never confirmed with OK are undone before
// the settings are written; owned windows would otherwise go with the main
// window without being asked.
void OnMainClose(HWND window, PuzzleGame& g) {
    if (HWND preview = ShapePreviewWindow()) SendMessageW(preview, WM_CLOSE, 0, 0);
    OnClose(g);
    DestroyWindow(window);
}

// The client area painted into a DC the caller holds: the making steps show
// each new piece this way, as no WM_PAINT comes while they run.
void OnPrintClient(HWND window, HDC dc) {
    ShellRecords& app = Shell();
    RECT client{};
    GetClientRect(window, &client);
    // Only what the caller's clip leaves is made.
    RECT clip{};
    if (GetClipBox(dc, &clip) == NULLREGION || !IntersectRect(&clip, &clip, &client)) return;
    PaintBoard(dc, clip, app.background, app.game.view, app.viewPixels);
}

}  // namespace

ShellRecords& Shell() {
    static ShellRecords records;
    return records;
}

void PaintBoard(HDC dc, const RECT& area, const Background& background, const TableView& view,
                MYBIT& pixels) {
    const MYBIT& board = background.boardPicture;
    const uint32_t margin = background.margin;
    if (!board.Empty() && !view.OneToOne() && view.client.cx > 0 && view.client.cy > 0) {
        if (pixels.Width() != view.client.cx || pixels.Height() != view.client.cy)
            pixels.Create(view.client.cx, view.client.cy);
        const Rect r{area.left, area.top, area.right, area.bottom};
        StretchView(board, ViewMap{view.scale, view.originX, view.originY}, pixels, r, margin);
        DIsplayPart(pixels, r, dc);
        return;
    }
    int saved = SaveDC(dc);
    if (!board.Empty()) {
        // At 100 % the table's pixels go to the screen as they are.
        const int x = -static_cast<int>(view.originX), y = -static_cast<int>(view.originY);
        DIsplay(board, x, y, dc);
        ExcludeClipRect(dc, x, y, x + board.Width(), y + board.Height());
    }
    HBRUSH brush = CreateSolidBrush(RGB((margin >> 16) & 0xFF, (margin >> 8) & 0xFF, margin & 0xFF));
    FillRect(dc, &area, brush);
    DeleteObject(brush);
    RestoreDC(dc, saved);
}

LRESULT CALLBACK MainWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    PuzzleGame& g = Shell().game;
    int x = GET_X_LPARAM(lParam);
    int y = GET_Y_LPARAM(lParam);
    switch (msg) {
        case WM_CREATE:
            OnCreate(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_PAINT:
            OnPaint(window);
            return 0;
        case WM_PRINTCLIENT:
            OnPrintClient(window, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_CLOSE:
            OnMainClose(window, g);
            return 0;
        case WM_KEYDOWN:
            OnKeyDown(g, static_cast<int>(wParam), KeyDown(VK_CONTROL), KeyDown(VK_SHIFT),
                      CursorInClient(window));
            return 0;
        case WM_COMMAND:
            OnCommand(g, window, LOWORD(wParam));
            return 0;
        case WM_TIMER:
            OnTimer(g, static_cast<unsigned>(wParam));
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(g, static_cast<unsigned>(wParam), KeyDown(VK_CONTROL), x, y);
            return 0;
        case WM_LBUTTONDOWN:
            OnPress(g, kButtonLeft, x, y);
            return 0;
        case WM_RBUTTONDOWN:
            OnPress(g, kButtonRight, x, y);
            return 0;
        case WM_MBUTTONDOWN:
            OnPress(g, kButtonMiddle, x, y);
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            OnRelease(g);
            return 0;
        case WM_MOUSEWHEEL:
            OnMouseWheel(window, g, wParam, lParam);
            return 0;
        case WM_SIZE:
            OnClientResized(g);
            return 0;
        case WM_DPICHANGED:
            g.dpi = OnDpiChangedMove(window, wParam, lParam);
            RescaleStrips(window);
            return 0;
        case WM_DROPFILES:
            OnDropFiles(g, reinterpret_cast<HDROP>(wParam));
            return 0;
        case MSG_MAKE_1:
        case MSG_MAKE_2:
        case MSG_MAKE_3:
        case MSG_PLACE_PIECE:
        case MSG_MAKE_5:
        case MSG_MAKE_DONE:
            Shell().host->RunSteps(msg, [&g](unsigned step) { MakingStep(g, step); });
            return 0;
        case MSG_PICK:
            OnPick(g, static_cast<int>(wParam), static_cast<int>(lParam));
            return 0;
        case MSG_GUIDE_PICK:
            OnGuidePick(g, Point{static_cast<int32_t>(wParam), static_cast<int32_t>(lParam)});
            return 0;
        default:
            return DefWindowProcW(window, msg, wParam, lParam);
    }
}

bool RegisterMainClass(HINSTANCE instance) {
    return RegisterWindowClass(instance, kMainClassName, MainWndProc, CS_HREDRAW | CS_VREDRAW);
}

HWND CreateMainWindow(HINSTANCE instance) {
    HMENU menu = LoadMenuW(instance, L"IDM_MAIN_MENU");
    HWND window = CreateWindowExW(0, kMainClassName, Widen(kProgramName).c_str(),
                                  WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu, instance, nullptr);
    if (!window && menu) DestroyMenu(menu);
    return window;
}
