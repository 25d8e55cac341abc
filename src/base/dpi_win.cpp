#include "base/dpi_win.h"

#include "base/dpi_scale.h"

namespace {

// Looked up at run time: older systems lack these calls.
template <class F>
F User32(const char* name) {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    return user ? reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user, name))) : nullptr;
}

}  // namespace

int WindowDpi(HWND window) {
    if (!window) return kBaseDpi;
    using GetDpi = UINT(WINAPI*)(HWND);
    static const GetDpi getDpiForWindow = User32<GetDpi>("GetDpiForWindow");
    if (getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
    }
    HDC dc = GetDC(window);
    const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSX) : 0;
    if (dc) ReleaseDC(window, dc);
    return KnownDpi(dpi);
}

void FrameAroundClient(RECT& r, DWORD style, DWORD exStyle, int dpi) {
    using Adjust = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const Adjust adjustForDpi = User32<Adjust>("AdjustWindowRectExForDpi");
    if (adjustForDpi && adjustForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(KnownDpi(dpi)))) return;
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
}

int OnDpiChangedMove(HWND window, WPARAM wParam, LPARAM lParam) {
    const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
    if (suggested)
        SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    return KnownDpi(HIWORD(wParam));
}
