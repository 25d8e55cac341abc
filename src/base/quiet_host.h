// A host without a window, for making puzzles headlessly (the command-line
// maker, benchmarks): its clock stands where it is set, its board has a
// fixed size, and nothing is shown or played.  Subclasses override what
// they want to see.
#pragma once

#include "base/host.h"

class QuietHost : public Host {
  public:
    explicit QuietHost(Size board = {1280, 960}, uint32_t tick = 0) : board_(board), tick_(tick) {}

    uint32_t TickCount() override { return tick_; }
    void SetTitle(const std::string&) override {}
    void InvalidateBoard() override {}
    Size ClientSize() override { return board_; }
    Size ScreenSize() override { return board_; }
    void SetForeground() override {}
    void SetTimer(unsigned, unsigned) override {}
    void KillTimer(unsigned) override {}
    void PostStep(unsigned) override {}
    int MessageBox(const std::string&, const std::string&, unsigned, Owner) override { return kIdOk; }
    void ShowWindowsError(const std::string&, const std::string&, uint32_t) override {}
    void PlaySound(const std::string&) override {}
    void ShowProgress(int, ColorRef, ColorRef) override {}
    void StepProgress() override {}
    void CloseProgress() override {}
    void OpenGuide(const MYBIT&) override {}
    void CloseGuide() override {}

  private:
    Size board_;
    uint32_t tick_;
};
