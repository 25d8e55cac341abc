// The window host of the programs that drive the real main window under
// Wine: nothing waits for the player or the speakers (boxes and Windows
// errors are printed and answered OK, no sound), and the clock stands
// where it is set, so the cut and the scatter are the same every run.
#pragma once

#include <cstdio>
#include <string>

#include "app/host_win.h"

struct BenchWinHost : WinHost {
    uint32_t clock = 20240;
    uint32_t TickCount() override { return clock; }
    int MessageBox(const std::string& text, const std::string&, unsigned, Owner) override {
        std::fprintf(stderr, "box: %s\n", text.c_str());
        return kIdOk;
    }
    void ShowWindowsError(const std::string& call, const std::string& object, uint32_t code) override {
        std::fprintf(stderr, "error: %s %s %u\n", call.c_str(), object.c_str(), code);
    }
    void PlaySound(const std::string&) override {}
};
