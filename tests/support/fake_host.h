// A host that records what the core asks of the platform.  Its clock stands
// still until a test advances it.
#pragma once

#include <string>
#include <vector>

#include "base/host.h"
#include "image/mybit.h"

struct FakeHost : Host {
    struct Box {
        std::string text, caption;
        unsigned flags;
        Owner owner;
    };
    struct Timer {
        unsigned id, ms;
    };

    uint32_t tick = 1000;
    std::string title;
    int invalidations = 0;
    Size client{1280, 960};
    Size screen{1280, 1024};
    int foreground = 0;
    std::vector<Timer> timers;  // running timers
    std::vector<unsigned> posted;
    std::vector<Box> boxes;
    int boxAnswer = kIdOk;
    std::vector<std::string> windowsErrors;
    std::vector<std::string> sounds;
    std::vector<std::string> progress;  // "show N back bar", "step", "close"
    int progressSteps = 0;
    bool guideOpen = false;
    int guideWidth = 0, guideHeight = 0;
    std::vector<Rect> marks;            // home areas marked on the guide; empty: the mark taken away
    std::vector<std::string> browsers;  // "open SLOT FOLDER X Y SPEED", "show SLOT", "hide SLOT"
    bool browserWindows = false;        // whether a strip shown again has a window
    // Bottom-left of each slot's strip, as the strips stand one below the
    // other; the slots asked about, in order.
    Point corners[5] = {{0, 130}, {0, 260}, {0, 390}, {0, 520}, {0, 650}};
    std::vector<int> cornersAsked;
    // Client rectangles of the windows over the board, and the rectangles
    // asked to be repainted (each also counts as an invalidation).
    std::vector<Rect> covered;
    std::vector<Rect> areas;

    void Advance(uint32_t ms) { tick += ms; }
    bool TimerRunning(unsigned id) const {
        for (const Timer& t : timers)
            if (t.id == id) return true;
        return false;
    }

    uint32_t TickCount() override { return tick; }
    void SetTitle(const std::string& t) override { title = t; }
    void InvalidateBoard() override { ++invalidations; }
    void InvalidateArea(const Rect& r) override {
        areas.push_back(r);
        ++invalidations;
    }
    std::vector<Rect> CoveredAreas() override { return covered; }
    Size ClientSize() override { return client; }
    Size ScreenSize() override { return screen; }
    void SetForeground() override { ++foreground; }
    void SetTimer(unsigned id, unsigned ms) override {
        KillTimer(id);
        timers.push_back({id, ms});
    }
    void KillTimer(unsigned id) override {
        for (size_t i = 0; i < timers.size(); ++i)
            if (timers[i].id == id) {
                timers.erase(timers.begin() + static_cast<long>(i));
                return;
            }
    }
    void PostStep(unsigned msg) override { posted.push_back(msg); }
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags,
                   Owner owner) override {
        boxes.push_back({text, caption, flags, owner});
        return boxAnswer;
    }
    void ShowWindowsError(const std::string& call, const std::string& object, uint32_t) override {
        windowsErrors.push_back(call + "\n" + object);
    }
    void PlaySound(const std::string& path) override { sounds.push_back(path); }
    void ShowProgress(int range, ColorRef back, ColorRef bar) override {
        progress.push_back("show " + std::to_string(range) + " " + std::to_string(back) + " " +
                           std::to_string(bar));
    }
    void StepProgress() override {
        ++progressSteps;
        progress.push_back("step");
    }
    void CloseProgress() override { progress.push_back("close"); }
    void OpenGuide(const MYBIT& picture) override {
        guideOpen = true;
        guideWidth = picture.Width();
        guideHeight = picture.Height();
    }
    void CloseGuide() override { guideOpen = false; }
    void MarkGuide(const Rect& home) override { marks.push_back(home); }
    void OpenBrowser(int slot, char* folder, Point at, int speed) override {
        browsers.push_back("open " + std::to_string(slot) + " " + folder + " " + std::to_string(at.x) + " " +
                           std::to_string(at.y) + " " + std::to_string(speed));
    }
    bool ShowBrowser(int slot) override {
        browsers.push_back("show " + std::to_string(slot));
        return browserWindows;
    }
    void HideBrowser(int slot) override { browsers.push_back("hide " + std::to_string(slot)); }
    Point BrowserCorner(int slot) override {
        cornersAsked.push_back(slot);
        return slot >= 0 && slot < 5 ? corners[slot] : Point{-1, -1};
    }
};
