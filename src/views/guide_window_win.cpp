#include "views/guide_window_win.h"

#include <windowsx.h>

#include "base/dpi_scale.h"
#include "base/dpi_win.h"
#include "base/window_class_win.h"
#include "image/mybit_win.h"
#include "views/guide_hints_win.h"

namespace {

// The watch after a box: every kWatchMs, kWatchTicks times.
constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT kWatchMs = 50;
constexpr int kWatchTicks = 20;

// The owner stands above the guide in the list of windows.
bool OwnerAbove(HWND window, HWND owner) {
    for (HWND w = GetWindow(window, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV))
        if (w == owner) return true;
    return false;
}

// One look of the watch.
void OnWatch(HWND window) {
    GuideWindow& gw = TheGuideWindow();
    HWND owner = GetWindow(window, GW_OWNER);
    if (owner && GetForegroundWindow() == owner && OwnerAbove(window, owner))
        SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (--gw.watchTicks <= 0) KillTimer(window, kWatchTimer);
}

void OnPaint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    DIsplay(GuideShown(TheGuideWindow().view), 0, 0, dc);
    EndPaint(window, &ps);
}

// The window is gone (closed, or destroyed with its owner): the record
// forgets it and lets go of its pictures.
void OnGone(HWND window) {
    GuideWindow& gw = TheGuideWindow();
    if (gw.window != window) return;
    gw.window = nullptr;
    gw.view.picture.Free();
    gw.view.canvas.Free();
    SetGuideMark(gw.view, Rect{}, 0);
}

}  // namespace

GuideWindow& TheGuideWindow() {
    static GuideWindow record;
    return record;
}

HWND OpenGuide(HINSTANCE instance, HWND owner, const MYBIT& picture) {
    GuideWindow& gw = TheGuideWindow();
    if (gw.window && IsWindow(gw.window)) return gw.window;
    gw.window = nullptr;
    if (!RegisterWindowClass(instance, kGuideClassName, GuideWndProc)) return nullptr;
    gw.owner = owner;
    gw.view.picture.CopyFrom(picture);
    // Never activated, so the main window keeps the keys: no activation on
    // showing or on a click.
    HWND window =
        CreateWindowExW(WS_EX_NOACTIVATE, kGuideClassName, L"ガイド", WS_CAPTION | WS_SYSMENU | WS_THICKFRAME,
                        0, 0, 100, 100, owner, nullptr, instance, nullptr);
    if (!window) {
        gw.view.picture.Free();
        return nullptr;
    }
    gw.window = window;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    return window;
}

void CloseGuide() {
    GuideWindow& gw = TheGuideWindow();
    if (gw.window && IsWindow(gw.window)) SendMessageW(gw.window, WM_CLOSE, 0, 0);
    gw.window = nullptr;
}

void FitGuide(HWND window, int width, int height, bool move) {
    FitGuideCanvas(TheGuideWindow().view, width, height);
    if (move) {
        HWND owner = GetWindow(window, GW_OWNER);
        RECT client{};
        GetClientRect(owner, &client);
        POINT corner{client.right, client.bottom};
        ClientToScreen(owner, &corner);
        // The caption and frame the client area needs; the guide's own
        // style has the same frame as an overlapped window.
        RECT frame{0, 0, width, height};
        FrameAroundClient(frame, WS_OVERLAPPEDWINDOW, 0, WindowDpi(window));
        const Rect r = GuideWindowRect(Point{corner.x, corner.y},
                                       Size{frame.right - frame.left, frame.bottom - frame.top});
        MoveWindow(window, r.left, r.top, r.Width(), r.Height(), TRUE);
    }
    InvalidateRect(window, nullptr, FALSE);
}

void KeepGuideAboveOwner() {
    GuideWindow& gw = TheGuideWindow();
    if (!gw.window || !IsWindow(gw.window)) return;
    gw.watchTicks = kWatchTicks;
    SetTimer(gw.window, kWatchTimer, kWatchMs, nullptr);
}

LRESULT CALLBACK GuideWndProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_TIMER:
            if (wParam == kWatchTimer) OnWatch(window);
            return 0;
        case WM_CREATE: {
            const int side = ScalePx(kGuideStartSide, WindowDpi(window));
            FitGuide(window, side, side, true);
            return 0;
        }
        case WM_DPICHANGED:
            // The new size comes back through WM_SIZE, which fits the picture.
            OnDpiChangedMove(window, wParam, lParam);
            return 0;
        case WM_SIZE:
            if (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED)
                FitGuide(window, LOWORD(lParam), HIWORD(lParam), false);
            return 0;
        case WM_PAINT:
            OnPaint(window);
            return 0;
        // The guide-display setting stays on: the guide returns with the
        // next puzzle.
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_NCDESTROY:
            OnGone(window);
            return 0;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_LBUTTONDOWN:
            OnGuideClick(window, TheGuideWindow().view, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        // Should the guide be activated all the same, the keys go back to
        // the main window.
        case WM_SETFOCUS:
            if (HWND owner = GetWindow(window, GW_OWNER)) SetFocus(owner);
            return 0;
        default:
            return DefWindowProcW(window, msg, wParam, lParam);
    }
}
