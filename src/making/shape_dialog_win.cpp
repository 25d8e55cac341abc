#include "making/shape_dialog_win.h"

#include <windowsx.h>

#include "base/dpi_win.h"
#include "base/text_win.h"
#include "base/window_class_win.h"
#include "image/mybit_win.h"
#include "making/shape_dialog.h"
#include "resource.h"

static_assert(IDC_LINE1 == kShapeLine1Button && IDC_EDGE_GROUP == kShapeEdgeGroup);
static_assert(IDC_STRONGER == kShapeStrongerButton && IDOK == kShapeOkButton &&
              IDCANCEL == kShapeCancelButton);
static_assert(IDC_LINE1 == MSG_SHAPE_LINE_1 && IDC_NARROWER == MSG_SHAPE_NARROWER &&
              IDC_STRONGER == MSG_SHAPE_STRONGER);

namespace {

constexpr wchar_t kPreviewClass[] = L"BasicLineWin";
constexpr DWORD kPreviewStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;

// One pair at a time, for the whole run.
struct ShapeShell {
    HWND preview = nullptr;
    HWND dialog = nullptr;
    Settings* settings = nullptr;
    ShapeDialogState state;
    MYBIT picture;  // the preview, drawn afresh for every paint
};

ShapeShell& Shape() {
    static ShapeShell shell;
    return shell;
}

// No erase: the preview paints every pixel of its client area.
void Repaint(HWND window) {
    InvalidateRect(window, nullptr, FALSE);
}

void OnPaint(HWND window) {
    ShapeShell& sh = Shape();
    DrawShapePreview(sh.state, *sh.settings, sh.picture);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    DIsplay(sh.picture, 0, 0, dc);
    // A client area larger than the preview is white beyond it.
    RECT client{};
    GetClientRect(window, &client);
    ExcludeClipRect(dc, 0, 0, sh.picture.Width(), sh.picture.Height());
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EndPaint(window, &ps);
}

void OnAction(HWND window, ShapeAction action) {
    if (action == ShapeAction::kRepaint) Repaint(window);
    if (action == ShapeAction::kClose) PostMessageW(window, WM_CLOSE, 0, 0);
}

// OK, Cancel, the dialog's close box and the preview's all end here.
void OnClose(HWND window) {
    ShapeShell& sh = Shape();
    EndShapeDialog(sh.state, *sh.settings);
    if (HWND dialog = sh.dialog) {
        sh.dialog = nullptr;
        DestroyWindow(dialog);
    }
    DestroyWindow(window);
}

// Also reached without WM_CLOSE when the main window goes and takes the
// windows it owns with it: rim changes never confirmed are undone here too.
void OnDestroy() {
    ShapeShell& sh = Shape();
    EndShapeDialog(sh.state, *sh.settings);
    sh.preview = nullptr;
    if (HWND dialog = sh.dialog) {
        sh.dialog = nullptr;
        DestroyWindow(dialog);
    }
    sh.picture.Free();
}

LRESULT CALLBACK PreviewProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    ShapeShell& sh = Shape();
    switch (msg) {
        case WM_CREATE:
            BeginShapeDialog(sh.state, *sh.settings);
            sh.state.dpi = WindowDpi(window);
            return 0;
        case WM_DPICHANGED:
            // Moved to a monitor of another scale: the preview, its points
            // and their reach are drawn and hit at the new one.
            sh.state.dpi = OnDpiChangedMove(window, wParam, lParam);
            Repaint(window);
            return 0;
        case WM_PAINT:
            OnPaint(window);
            return 0;
        case WM_LBUTTONDOWN:
            PressHandle(sh.state, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_MOUSEMOVE:
            if (MoveHandle(sh.state, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), (wParam & MK_LBUTTON) != 0))
                Repaint(window);
            return 0;
        case WM_LBUTTONUP:
            ReleaseHandle(sh.state);
            return 0;
        case WM_CLOSE:
            OnClose(window);
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        default:
            if (msg >= WM_USER) {
                ShapeAction action = ShapeCommand(sh.state, *sh.settings, msg);
                if (action != ShapeAction::kNone) {
                    OnAction(window, action);
                    return 0;
                }
            }
            return DefWindowProcW(window, msg, wParam, lParam);
    }
}

// Line 1 checked, and the dialog moved against the preview's right edge,
// same top, same size.
void OnInitDialog(HWND dialog) {
    CheckRadioButton(dialog, IDC_LINE1, IDC_LINE4, IDC_LINE1);
    RECT preview{}, own{};
    GetWindowRect(Shape().preview, &preview);
    GetWindowRect(dialog, &own);
    MoveWindow(dialog, preview.right, preview.top, own.right - own.left, own.bottom - own.top, TRUE);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            OnInitDialog(dialog);
            return TRUE;
        case WM_COMMAND: {
            const unsigned forward = ShapeDialogMessage(LOWORD(wParam));
            if (!forward) return FALSE;
            PostMessageW(Shape().preview, forward, 0, 0);
            return TRUE;
        }
        case WM_DESTROY:
            if (Shape().dialog == dialog) Shape().dialog = nullptr;
            return FALSE;
        default:
            return FALSE;
    }
}

void BringToFront(ShapeShell& sh) {
    ShowWindow(sh.preview, SW_SHOW);
    BringWindowToTop(sh.preview);
    if (sh.dialog) {
        ShowWindow(sh.dialog, SW_SHOW);
        BringWindowToTop(sh.dialog);
        SetForegroundWindow(sh.dialog);
    }
}

}  // namespace

void OpenShapeDialog(HINSTANCE instance, HWND mainWindow, Settings& settings) {
    ShapeShell& sh = Shape();
    if (sh.preview) {
        BringToFront(sh);
        return;
    }
    if (!RegisterWindowClass(instance, kPreviewClass, PreviewProc)) return;
    sh.settings = &settings;

    POINT origin{0, 0};
    ClientToScreen(mainWindow, &origin);
    const int dpi = WindowDpi(mainWindow);
    const int side = ScalePx(kPreviewSide, dpi);
    RECT outer{0, 0, side, side};
    FrameAroundClient(outer, kPreviewStyle, 0, dpi);
    sh.preview = CreateWindowExW(0, kPreviewClass, Widen(kShapeTitle).c_str(), kPreviewStyle, origin.x,
                                 origin.y, outer.right - outer.left, outer.bottom - outer.top, mainWindow,
                                 nullptr, instance, nullptr);
    if (!sh.preview) return;
    sh.dialog = CreateDialogParamW(instance, L"LINEDLG", mainWindow, DialogProc, 0);
    if (!sh.dialog) {
        DestroyWindow(sh.preview);
        return;
    }
    ShowWindow(sh.preview, SW_SHOW);
    UpdateWindow(sh.preview);
    ShowWindow(sh.dialog, SW_SHOW);
    UpdateWindow(sh.dialog);
}

HWND ShapePreviewWindow() {
    return Shape().preview;
}

HWND ShapeDialogWindow() {
    return Shape().dialog;
}

bool IsShapeDialogMessage(MSG& msg) {
    HWND dialog = Shape().dialog;
    return dialog && IsDialogMessageW(dialog, &msg);
}
