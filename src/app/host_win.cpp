#include "app/host_win.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <algorithm>

#include "base/dpi_scale.h"
#include "base/dpi_win.h"
#include "base/text_win.h"
#include "browser/browser_view.h"
#include "browser/browser_window_win.h"
#include "config/shell_texts.h"
#include "views/guide_hints_win.h"
#include "views/guide_window_win.h"

// The core's box flags and answers are Win32's.
static_assert(kMbOk == MB_OK && kMbOkCancel == MB_OKCANCEL && kMbYesNo == MB_YESNO);
static_assert(kMbIconHand == MB_ICONHAND && kMbIconQuestion == MB_ICONQUESTION &&
              kMbDefButton1 == MB_DEFBUTTON1);
static_assert(kIdOk == IDOK && kIdCancel == IDCANCEL && kIdYes == IDYES && kIdNo == IDNO);

namespace {

// The shortest time between two moves of the progress bar, in
// milliseconds: twenty moves a second.
constexpr uint32_t kProgressFrameMs = 50;
// The bar's size at 96 DPI; scaled with the main window's.
constexpr int kProgressWidth = 200;
constexpr int kProgressHeight = 20;

// The smallest rectangle holding both; an empty one adds nothing.
Rect Union(const Rect& a, const Rect& b) {
    if (a.IsEmpty()) return b;
    if (b.IsEmpty()) return a;
    return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
}

}  // namespace

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
    RECT client{};
    GetClientRect(window_, &client);
    changed_ = Rect{client.left, client.top, client.right, client.bottom};
}

// While a progress bar is shown a chain of making steps runs, and the next
// step shows the area itself (PostStep); it needs no WM_PAINT.
void WinHost::InvalidateArea(const Rect& r) {
    changed_ = Union(changed_, r);
    if (progress_) return;
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
// would show nothing until its end.  What the step changed on the board
// (the new piece) is painted at once, straight into the window, and the
// progress bar moves when it is due; a step that changed nothing (one mask
// row) paints nothing.  Painting through WM_PAINT instead costs about a
// millisecond a step under Wine, ten times the step's own message.
void WinHost::PostStep(unsigned msg) {
    ShowChanged();
    MoveProgress();
    if (holding_) {
        held_ = msg;
        return;
    }
    PostMessageW(window_, msg, 0, 0);
}

void WinHost::RunSteps(unsigned msg, const std::function<void(unsigned)>& step) {
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    const bool outer = !holding_;
    holding_ = true;
    for (;;) {
        held_ = 0;
        step(msg);
        const unsigned next = held_;
        if (next == 0) break;
        QueryPerformanceCounter(&now);
        const bool due = (now.QuadPart - start.QuadPart) * 1000 >= kStepRunMs * frequency.QuadPart;
        // The start of play, and any input, go through the queue as before.
        if (due || next == MSG_MAKE_DONE || !outer || HIWORD(GetQueueStatus(QS_INPUT)) != 0) {
            holding_ = !outer;
            PostStep(next);
            return;
        }
        msg = next;
    }
    holding_ = !outer;
}

// The changed rectangle stays invalid: validating it costs more under Wine
// than painting it, and the window's own WM_PAINT, once the steps are done
// and the queue is empty, paints everything they changed a second time.
void WinHost::ShowChanged() {
    if (changed_.IsEmpty() || !window_) return;
    const Rect r = changed_;
    changed_ = Rect{};
    // The window paints its client area into the DC it is given; the DC
    // leaves out the bar and paints only the changed rectangle.
    if (HDC dc = GetDC(window_)) {
        IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
        SendMessageW(window_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        ReleaseDC(window_, dc);
    }
}

int WinHost::MessageBox(const std::string& text, const std::string& caption, unsigned flags, Owner owner) {
    HWND parent = owner == Owner::kMainWindow ? window_ : nullptr;
    const int answer = MessageBoxW(parent, Widen(text).c_str(), Widen(caption).c_str(), flags);
    // The main window takes the keys back, which can raise it over its guide.
    KeepGuideAboveOwner();
    return answer;
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
    KeepGuideAboveOwner();
}

// Synchronous: the caller's order (close sound before the window goes, end
// sound after the frame) relies on the call returning when the sound ends.
void WinHost::PlaySound(const std::string& path) {
    PlaySoundW(Widen(path).c_str(), nullptr, SND_FILENAME | SND_NOWAIT);
}

void WinHost::ShowProgress(int range, ColorRef back, ColorRef bar) {
    CloseProgress();
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
    const int dpi = WindowDpi(window_);
    progress_ = CreateWindowExW(0, PROGRESS_CLASSW, L"Progress Bar",
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_BORDER | PBS_SMOOTH, 0, 0,
                                ScalePx(kProgressWidth, dpi), ScalePx(kProgressHeight, dpi), window_, nullptr,
                                instance, nullptr);
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
    // The unthemed bar fills its client area inside a one-pixel frame.
    RECT client{};
    GetClientRect(progress_, &client);
    progressRange_ = range;
    progressPos_ = 0;
    progressShown_ = 0;
    progressWidth_ = client.right - client.left - 2;
    progressMoved_ = TickCount();
    UpdateWindow(progress_);
}

// The position is kept here; the bar is told it when it is due.  A step
// that steps the bar many times (the neighbour search, once per piece) moves
// it as it goes.
void WinHost::StepProgress() {
    if (!progress_) return;
    ++progressPos_;
    MoveProgress();
}

// The bar repaints itself whole whenever its position changes, which costs
// about a millisecond under Wine.  So it is told only when it would fill
// another pixel, and no sooner than kProgressFrameMs after its last move:
// a range of thousands of mask rows would otherwise repaint it hundreds of
// times in a second.
void WinHost::MoveProgress() {
    if (!progress_ || progressRange_ <= 0) return;
    const uint32_t now = TickCount();
    if (now - progressMoved_ < kProgressFrameMs) return;
    const int shown = MulDiv(std::min(progressPos_, progressRange_), progressWidth_, progressRange_);
    if (shown == progressShown_) return;
    progressShown_ = shown;
    progressMoved_ = now;
    SendMessageW(progress_, PBM_SETPOS, progressPos_, 0);
    UpdateWindow(progress_);
}

// The board under the bar is shown again with the next step.
void WinHost::CloseProgress() {
    if (!progress_) return;
    RECT r{};
    GetWindowRect(progress_, &r);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
    SendMessageW(progress_, WM_CLOSE, 0, 0);
    progress_ = nullptr;
    changed_ = Union(changed_, Rect{r.left, r.top, r.right, r.bottom});
}

void WinHost::OpenGuide(const MYBIT& picture) {
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
    ::OpenGuide(instance, window_, picture);
}

void WinHost::CloseGuide() {
    ::CloseGuide();
}

void WinHost::MarkGuide(const Rect& home) {
    GuideWindow& guide = TheGuideWindow();
    MarkGuideWindow(guide.window, guide.view, home);
}

void WinHost::OpenBrowser(int slot, char* folderField, Point at, int initialSpeed) {
    ::OpenBrowser(slot, window_, folderField, at.x, at.y, initialSpeed);
}

bool WinHost::ShowBrowser(int slot) {
    return ShowBrowserWindow(slot);
}

void WinHost::HideBrowser(int slot) {
    HideBrowserWindow(slot);
}

Point WinHost::BrowserCorner(int slot) {
    return BrowserCornerInParent(slot);
}

// The strips (children) and the guide (an owned window) where they are
// shown over the client area.
std::vector<Rect> WinHost::CoveredAreas() {
    std::vector<HWND> windows;
    for (int slot = 0; slot < kBrowserSlots; ++slot) windows.push_back(StripWindow(slot));
    windows.push_back(TheGuideWindow().window);
    std::vector<Rect> covered;
    for (HWND w : windows) {
        if (!w || !IsWindow(w) || !IsWindowVisible(w)) continue;
        RECT r{};
        GetWindowRect(w, &r);
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&r), 2);
        covered.push_back(Rect{r.left, r.top, r.right, r.bottom});
    }
    return covered;
}
