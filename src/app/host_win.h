// The host on Win32: the main window, its timers and posted steps, message
// boxes, sounds and the making steps' progress bar.
//
// The calls that block until the player or the sound device answers
// (message boxes, the error box, sounds) are virtual, so that tests driving
// the shell in-process can record them instead.
#pragma once

#include <windows.h>
// Included here, before the undefs below, so that no later include brings
// the PlaySound macro back.
#include <mmsystem.h>

#include <functional>
#include <string>

// The host's operations share these names with the Win32 macros that pick
// the A or W function; the shell calls the W functions by their full names.
#undef MessageBox
#undef PlaySound

#include "base/host.h"

class WinHost : public Host {
  public:
    ~WinHost() override;

    // The main window all calls refer to; set at its WM_CREATE.
    void SetWindow(HWND window) { window_ = window; }
    HWND Window() const { return window_; }

    uint32_t TickCount() override;
    void SetTitle(const std::string& title) override;
    void InvalidateBoard() override;
    void InvalidateArea(const Rect& r) override;
    Size ClientSize() override;
    Size ScreenSize() override;
    void SetForeground() override;
    void SetTimer(unsigned id, unsigned ms) override;
    void KillTimer(unsigned id) override;
    void PostStep(unsigned msg) override;

    // Runs the making step msg and, as long as the steps that follow one
    // another have taken less than kStepRunMs together and no input waits,
    // the steps it posts, one after another in this message; then posts the
    // next.  Each step still shows what it changed at once (its own small
    // rectangle: one union per run would paint far more) and moves the bar
    // when due, but a thousand mask rows no longer cost a thousand trips
    // round the queue, and the window still answers within a few
    // milliseconds.
    static constexpr int kStepRunMs = 8;
    void RunSteps(unsigned msg, const std::function<void(unsigned)>& step);

    int MessageBox(const std::string& text, const std::string& caption, unsigned flags, Owner owner) override;
    void ShowWindowsError(const std::string& call, const std::string& object, uint32_t code) override;
    void PlaySound(const std::string& path) override;

    void ShowProgress(int range, ColorRef back, ColorRef bar) override;
    void StepProgress() override;
    void CloseProgress() override;
    HWND ProgressBar() const { return progress_; }

    void OpenGuide(const MYBIT& picture) override;
    void CloseGuide() override;
    void MarkGuide(const Rect& home) override;

    void OpenBrowser(int slot, char* folderField, Point at, int initialSpeed) override;
    bool ShowBrowser(int slot) override;
    void HideBrowser(int slot) override;
    Point BrowserCorner(int slot) override;
    std::vector<Rect> CoveredAreas() override;

  private:
    HWND window_ = nullptr;
    HWND progress_ = nullptr;  // at most one bar at a time

    // While a chain of steps runs no WM_PAINT comes (posted messages come
    // first), so each step shows what it changed itself.
    Rect changed_;  // client pixels changed since the last step was posted
    void ShowChanged();
    // Inside RunSteps: the step a step posted, kept to be run next.
    bool holding_ = false;
    unsigned held_ = 0;

    // The bar's position as the steps have moved it, and as the bar on the
    // screen shows it: its range, filled pixels and width in pixels.
    int progressRange_ = 0;
    int progressPos_ = 0;
    int progressShown_ = 0;
    int progressWidth_ = 0;
    uint32_t progressMoved_ = 0;  // tick count of the bar's last move
    void MoveProgress();
};

// The text of the Windows error box: the call, its object and the system's
// own text for the error code, one per line.
std::wstring WindowsErrorText(const std::string& call, const std::string& object, uint32_t code);
