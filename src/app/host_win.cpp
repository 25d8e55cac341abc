#include "app/host_win.h"

#include <commctrl.h>
#include <uxtheme.h>

#include "app/shell_texts.h"
#include "base/text_win.h"
#include "browser/browser_window_win.h"
#include "views/guide_window_win.h"

WinHost::~WinHost() = default;

uint32_t WinHost::TickCount() {
    return GetTickCount();
}

void WinHost::SetTitle(const std::string& title) {
    SetWindowTextW(window_, Widen(title).c_str());
}

// No erase: the window has no background brush, and WM_PAINT shows the
// whole board picture every time.
void WinHost::InvalidateBoard() {
    InvalidateRect(window_, nullptr, FALSE);
}

void WinHost::InvalidateArea(const Rect& r) {
    RECT rc{r.left, r.top, r.right, r.bottom};
    InvalidateRect(window_, &rc, FALSE);
}

Size WinHost::ClientSize() {
    RECT r{};
    GetClientRect(window_, &r);
    return {r.right - r.left, r.bottom - r.top};
}

Size WinHost::ScreenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void WinHost::SetForeground() {
    SetForegroundWindow(window_);
}

void WinHost::SetTimer(unsigned id, unsigned ms) {
    ::SetTimer(window_, id, ms, nullptr);
}

void WinHost::KillTimer(unsigned id) {
    ::KillTimer(window_, id);
}

// Posted messages come before paints in the queue, so a chain of steps
// would show nothing until its end: what the last step changed (the new
// piece, the progress bar) is painted now, before the next step is posted.
void WinHost::PostStep(unsigned msg) {
    RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    PostMessageW(window_, msg, 0, 0);
}

int WinHost::MessageBox(const std::string& text, const std::string& caption, unsigned flags, Owner owner) {
    HWND parent = owner == Owner::kMainWindow ? window_ : nullptr;
    return MessageBoxW(parent, Widen(text).c_str(), Widen(caption).c_str(), flags);
}

std::wstring WindowsErrorText(const std::string& call, const std::string& object, uint32_t code) {
    wchar_t* system = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
                             MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&system),
                             0, nullptr);
    std::wstring reason;
    if (n > 0 && system) {
        reason.assign(system, n);
    } else {
        // The system has no text for the code: show the number, so the
        // player can still look it up.
        wchar_t number[48];
        wsprintfW(number, L"エラー番号 %u\n", static_cast<unsigned>(code));
        reason = number;
    }
    if (system) LocalFree(system);
    return Widen(call) + L"\n" + Widen(object) + L"\n" + reason;
}

void WinHost::ShowWindowsError(const std::string& call, const std::string& object, uint32_t code) {
    MessageBoxW(nullptr, WindowsErrorText(call, object, code).c_str(), Widen(kWindowsErrorCaption).c_str(),
                MB_ICONHAND);
}

// Synchronous: the caller's order (close sound before the window goes, end
// sound after the frame) relies on the call returning when the sound ends.
void WinHost::PlaySound(const std::string& path) {
    PlaySoundW(Widen(path).c_str(), nullptr, SND_FILENAME | SND_NOWAIT);
}

void WinHost::ShowProgress(int range, ColorRef back, ColorRef bar) {
    CloseProgress();
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
    progress_ = CreateWindowExW(0, PROGRESS_CLASSW, L"Progress Bar",
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_BORDER | PBS_SMOOTH, 0, 0, 200,
                                20, window_, nullptr, instance, nullptr);
    if (!progress_) return;
    // Without a theme the bar takes the colours below; the visual style of
    // the v6 controls would ignore them.
    SetWindowTheme(progress_, L"", L"");
    // The 32-bit range: the mask height of a large unscaled picture can pass
    // the 65535 that PBM_SETRANGE holds.
    SendMessageW(progress_, PBM_SETRANGE32, 0, range);
    SendMessageW(progress_, PBM_SETSTEP, 1, 0);
    SendMessageW(progress_, PBM_SETBKCOLOR, 0, static_cast<LPARAM>(back));
    SendMessageW(progress_, PBM_SETBARCOLOR, 0, static_cast<LPARAM>(bar));
}

void WinHost::StepProgress() {
    if (progress_) SendMessageW(progress_, PBM_STEPIT, 0, 0);
}

void WinHost::CloseProgress() {
    if (!progress_) return;
    SendMessageW(progress_, WM_CLOSE, 0, 0);
    progress_ = nullptr;
}

void WinHost::OpenGuide(const MYBIT& picture) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
    ::OpenGuide(instance, window_, picture);
}

void WinHost::CloseGuide() {
    ::CloseGuide();
}

void WinHost::OpenBrowser(int slot, char* folderField, Point at, int initialSpeed) {
    ::OpenBrowser(slot, window_, folderField, at.x, at.y, initialSpeed);
}

bool WinHost::ShowBrowser(int slot) {
    return ShowBrowserWindow(slot);
}

Point WinHost::BrowserCorner(int slot) {
    return BrowserCornerInParent(slot);
}
