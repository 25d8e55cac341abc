#include "pattern/pattern_window_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "base/dpi_scale.h"
#include "base/dpi_win.h"
#include "base/text_win.h"
#include "base/window_class_win.h"
#include "image/mybit_win.h"
#include "pattern/pattern_canvas.h"
#include "resource.h"

namespace {

constexpr wchar_t kOuterClass[] = L"PatternlineLineWin";
constexpr wchar_t kCanvasClass[] = L"PatternlineLine2Win";
constexpr DWORD kOuterStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
// Sizes at 96 DPI, scaled with the window's.
constexpr int kStartSide = 200;      // both windows' first size
constexpr int kStartCanvasTop = 30;  // until the toolbar's height is known
constexpr UINT kToolbarId = 0x5200;
constexpr int kToolImage = 24;   // each button's picture, square
constexpr int kSeparatorAt = 3;  // between "出力" and "描く"

// One window at a time, for the whole run.
struct PatternShell {
    HWND outer = nullptr;
    HWND toolbar = nullptr;
    HWND canvas = nullptr;
    HBITMAP tools = nullptr;  // the toolbar's pictures stretched to a scale other than 100 %
    int dpi = kBaseDpi;
    PatternCanvas drawing;
};

PatternShell& Pattern() {
    static PatternShell shell;
    return shell;
}

// Five plain buttons from the toolbar bitmap, a separator before "描く",
// and a tooltip with each button's name.
HWND CreateTools(HWND outer, HINSTANCE instance) {
    TBBUTTON buttons[kPatternToolCount] = {};
    for (int i = 0; i < kPatternToolCount; ++i) {
        buttons[i].iBitmap = i;
        buttons[i].idCommand = static_cast<int>(kPatternClear) + i;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_BUTTON;
    }
    // At another scale the pictures are the resource's, stretched as they
    // are loaded.
    PatternShell& sh = Pattern();
    const int image = ScalePx(kToolImage, sh.dpi);
    HINSTANCE bitmapInstance = instance;
    UINT_PTR bitmapId = IDR_TOOLBAR;
    if (sh.dpi != kBaseDpi) {
        sh.tools = static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(IDR_TOOLBAR), IMAGE_BITMAP,
                                                   image * kPatternToolCount, image, 0));
        if (sh.tools) {
            bitmapInstance = nullptr;
            bitmapId = reinterpret_cast<UINT_PTR>(sh.tools);
        }
    }
    const int drawn = sh.tools || sh.dpi == kBaseDpi ? image : kToolImage;
    HWND toolbar = CreateToolbarEx(outer, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | TBSTYLE_TOOLTIPS,
                                   kToolbarId, kPatternToolCount, bitmapInstance, bitmapId, buttons,
                                   kPatternToolCount, 0, 0, drawn, drawn, sizeof(TBBUTTON));
    if (!toolbar) return nullptr;
    TBBUTTON separator{};
    separator.fsStyle = BTNS_SEP;
    SendMessageW(toolbar, TB_INSERTBUTTONW, kSeparatorAt, reinterpret_cast<LPARAM>(&separator));
    SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);

    HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, outer, nullptr, instance, nullptr);
    if (!tip) return toolbar;
    for (int i = 0; i < kPatternToolCount; ++i) {
        const unsigned id = kPatternClear + static_cast<unsigned>(i);
        std::wstring text = Widen(kPatternToolTexts[i]);
        TOOLINFOW ti{};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every version of the control
        ti.uFlags = TTF_SUBCLASS;
        ti.hwnd = toolbar;
        ti.uId = id;
        const LRESULT index = SendMessageW(toolbar, TB_COMMANDTOINDEX, id, 0);
        SendMessageW(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ti.rect));
        ti.hinst = instance;
        ti.lpszText = text.data();  // copied by the control
        SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
    SendMessageW(toolbar, TB_SETTOOLTIPS, reinterpret_cast<WPARAM>(tip), 0);
    return toolbar;
}

// "クリア", "入力" and "出力" go to the canvas; "描く" and "加工" show which
// of the two is pressed, and the canvas is told.
void OnTool(PatternShell& sh, unsigned id) {
    switch (id) {
        case kPatternClear:
        case kPatternInput:
        case kPatternOutput:
            SendMessageW(sh.canvas, id, 0, 0);
            break;
        case kPatternDraw:
        case kPatternProcess:
            SendMessageW(sh.toolbar, TB_CHECKBUTTON, kPatternDraw, MAKELPARAM(id == kPatternDraw, 0));
            SendMessageW(sh.toolbar, TB_CHECKBUTTON, kPatternProcess, MAKELPARAM(id == kPatternProcess, 0));
            PostMessageW(sh.canvas, id, 0, 0);
            break;
        default:
            break;
    }
}

// Below the toolbar: the outer window grows by the toolbar's height and the
// canvas fills its client area under the toolbar.  The canvas's picture
// takes the canvas's size.
void LayOutCanvas(PatternShell& sh, HWND canvas) {
    RECT bar{}, outer{}, client{};
    if (sh.toolbar) GetWindowRect(sh.toolbar, &bar);
    const int barHeight = bar.bottom - bar.top;
    GetWindowRect(sh.outer, &outer);
    SetWindowPos(sh.outer, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top + barHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetClientRect(sh.outer, &client);
    MoveWindow(canvas, 0, barHeight, client.right, std::max<int>(client.bottom - barHeight, 1), FALSE);
    RECT own{};
    GetClientRect(canvas, &own);
    CreateCanvas(sh.drawing, own.right, own.bottom);
}

void OnCanvasPaint(PatternShell& sh, HWND canvas) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(canvas, &ps);
    DIsplay(sh.drawing.picture, 0, 0, dc);
    EndPaint(canvas, &ps);
}

LRESULT CALLBACK CanvasProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    PatternShell& sh = Pattern();
    const Point at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (msg) {
        case WM_CREATE:
            LayOutCanvas(sh, window);
            return 0;
        case kPatternClear:
            ClearCanvas(sh.drawing);
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case kPatternInput:
        case kPatternOutput:
        case kPatternDraw:
        case kPatternProcess:
            return 0;
        case WM_PAINT:
            OnCanvasPaint(sh, window);
            return 0;
        case WM_LBUTTONDOWN:
            // Held until the release, so that a release off the canvas ends
            // the stroke too.
            SetCapture(window);
            PressCanvas(sh.drawing, at);
            return 0;
        case WM_MOUSEMOVE:
            if ((wParam & MK_LBUTTON) && DragCanvas(sh.drawing, at)) InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_LBUTTONUP:
            if (GetCapture() == window) ReleaseCapture();
            ReleaseCanvas(sh.drawing);
            return 0;
        case WM_CAPTURECHANGED:
            ReleaseCanvas(sh.drawing);
            return 0;
        case WM_DESTROY:
            sh.canvas = nullptr;
            sh.drawing = PatternCanvas{};
            return 0;
        default:
            return DefWindowProcW(window, msg, wParam, lParam);
    }
}

LRESULT CALLBACK OuterProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    PatternShell& sh = Pattern();
    switch (msg) {
        case WM_CREATE: {
            sh.outer = window;
            HINSTANCE instance = reinterpret_cast<const CREATESTRUCTW*>(lParam)->hInstance;
            sh.toolbar = CreateTools(window, instance);
            if (!RegisterWindowClass(instance, kCanvasClass, CanvasProc)) return 0;
            sh.canvas = CreateWindowExW(0, kCanvasClass, Widen(kPatternTitle).c_str(), WS_CHILD, 0,
                                        ScalePx(kStartCanvasTop, sh.dpi), ScalePx(kStartSide, sh.dpi),
                                        ScalePx(kStartSide, sh.dpi), window, nullptr, instance, nullptr);
            ShowWindow(sh.canvas, SW_SHOW);
            UpdateWindow(sh.canvas);
            return 0;
        }
        case WM_COMMAND:
            OnTool(sh, LOWORD(wParam));
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DPICHANGED: {
            // The window takes the size the system suggests; the canvas
            // fills what the toolbar leaves, with the drawing scaled.
            const int oldDpi = sh.dpi;
            sh.dpi = OnDpiChangedMove(window, wParam, lParam);
            RECT bar{}, client{};
            if (sh.toolbar) GetWindowRect(sh.toolbar, &bar);
            GetClientRect(window, &client);
            const int barHeight = bar.bottom - bar.top;
            if (sh.canvas) {
                MoveWindow(sh.canvas, 0, barHeight, client.right, std::max<int>(client.bottom - barHeight, 1),
                           TRUE);
                RECT own{};
                GetClientRect(sh.canvas, &own);
                RescaleCanvas(sh.drawing, own.right, own.bottom, oldDpi, sh.dpi);
                InvalidateRect(sh.canvas, nullptr, FALSE);
            }
            return 0;
        }
        case WM_DESTROY:
            sh.outer = nullptr;
            sh.toolbar = nullptr;
            if (sh.tools) DeleteObject(sh.tools);
            sh.tools = nullptr;
            return 0;
        default:
            return DefWindowProcW(window, msg, wParam, lParam);
    }
}

}  // namespace

void OpenPatternWindow(HINSTANCE instance, HWND mainWindow) {
    PatternShell& sh = Pattern();
    if (sh.outer) {
        ShowWindow(sh.outer, SW_SHOW);
        BringWindowToTop(sh.outer);
        SetForegroundWindow(sh.outer);
        return;
    }
    if (!RegisterWindowClass(instance, kOuterClass, OuterProc)) return;
    POINT origin{0, 0};
    ClientToScreen(mainWindow, &origin);
    sh.dpi = WindowDpi(mainWindow);
    const int side = ScalePx(kStartSide, sh.dpi);
    HWND window = CreateWindowExW(0, kOuterClass, Widen(kPatternTitle).c_str(), kOuterStyle, origin.x,
                                  origin.y, side, side, mainWindow, nullptr, instance, nullptr);
    if (!window) return;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
}

HWND PatternWindow() {
    return Pattern().outer;
}

HWND PatternToolbar() {
    return Pattern().toolbar;
}

HWND PatternCanvasWindow() {
    return Pattern().canvas;
}
