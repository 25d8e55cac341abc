// Helpers of the tests run under Wine: a fresh folder per test holding a
// copy of pukko.exe, starting and closing that copy, files and messages.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "app/host_win.h"
#include "browser/browser_view.h"
#include "game/puzzle_game.h"
#include "image/mybit.h"

namespace wintest {

// The folder of the built pukko.exe (PUKKO_EXE_DIR; a Unix path is taken
// through drive Z:, which Wine maps to the root).
std::wstring ExeDir();

// A fresh folder named after the running test (with an optional suffix),
// holding a copy of pukko.exe and the artwork of its program folder; it
// becomes the current folder.
std::wstring FreshFolder(const std::wstring& suffix = L"");

// The files (not the folders) of one folder copied into another, made if
// need be.
void CopyFolderFiles(const std::wstring& from, const std::wstring& to);

// The command line Explorer gives the copy of pukko.exe in folder (UTF-8).
std::string QuotedExe(const std::wstring& folder);

std::vector<uint8_t> ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes);
bool Exists(const std::wstring& path);

// The copy of pukko.exe in folder, started as Explorer starts it: the
// quoted path as its command line, the folder as its current folder.
struct Child {
    PROCESS_INFORMATION pi{};
    bool started = false;
    ~Child();
    // The exit code, or STILL_ACTIVE when it has not ended within ms.
    DWORD WaitExit(DWORD ms);
};
void StartPukko(const std::wstring& folder, Child* child);

// The main window of that process, once it exists (null after ms).
HWND WaitForMainWindow(const Child& child, DWORD ms);

// Runs the thread's messages until pred holds or ms pass.  pred is asked
// whenever the queue is empty, or with eachMessage after every message: for
// a moment in the middle of a chain of posted messages, which keeps the
// queue from ever emptying.
template <typename Pred>
bool PumpUntil(Pred pred, DWORD ms, bool eachMessage = false) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        bool any = false;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            any = true;
            if (msg.message != WM_QUIT) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            if (eachMessage) break;
        }
        if (pred()) return true;
        if (GetTickCount() - start > ms) return false;
        if (!any) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// A host that records the calls that would wait for the player or the
// sound device, so that a test never blocks on a box.
struct RecordingHost : WinHost {
    struct Box {
        std::string text, caption;
        unsigned flags;
        Owner owner;
    };
    std::vector<Box> boxes;
    std::vector<std::string> errors;
    std::vector<std::string> sounds;
    std::vector<std::string> guide;     // "open W x H" and "close", in order
    std::vector<std::string> browsers;  // "open SLOT X Y SPEED", in order
    bool realBrowsers = false;          // open the strips for real, not only record them
    int answer = kIdCancel;
    uint32_t clock = 0;  // when set, the tick count stands here (the game seeds from it)

    uint32_t TickCount() override { return clock ? clock : WinHost::TickCount(); }

    int MessageBox(const std::string& text, const std::string& caption, unsigned flags,
                   Owner owner) override {
        boxes.push_back({text, caption, flags, owner});
        return answer;
    }
    void ShowWindowsError(const std::string& call, const std::string& object, uint32_t code) override {
        errors.push_back(call + "|" + object + "|" + std::to_string(code));
    }
    void PlaySound(const std::string& path) override { sounds.push_back(path); }
    void OpenGuide(const MYBIT& picture) override {
        guide.push_back("open " + std::to_string(picture.Width()) + " x " + std::to_string(picture.Height()));
    }
    void CloseGuide() override { guide.push_back("close"); }
    void OpenBrowser(int slot, char* folder, Point at, int speed) override {
        browsers.push_back("open " + std::to_string(slot) + " " + std::to_string(at.x) + " " +
                           std::to_string(at.y) + " " + std::to_string(speed));
        if (realBrowsers) WinHost::OpenBrowser(slot, folder, at, speed);
    }
};

// The program in-process as a player meets it: the main window created as
// the program creates it, with real thumbnail strips whose workers report
// their sounds to Scanned() (their boxes reach the host when a listing is
// complete).  The test's folder holds a copy of
// the program; the settings are read from it (the defaults at first), so a
// test changes them before Create, as pukko.ini would.
struct PlayerTest : testing::Test {
    RecordingHost host;
    std::wstring folder;
    HWND window = nullptr;

    void SetUp() override;
    void TearDown() override;

    // The window made, shown maximised, and its strips opened.
    void Create();
    // The program closed (WM_CLOSE) and its settings written as at the end
    // of a run, then started again: settings read back from the folder, a
    // game record with nothing in it, a new window.
    void Restart();

    BrowserView& View(int slot);
    bool WaitListed(int slot);
    // The entry of a slot naming that file, or -1.
    int IndexOf(int slot, const std::wstring& file);
    // A click on the cell of an entry.  A strip holding more cells than it
    // shows is first stepped with the wheel until the entry is leftmost,
    // which also stops its drift.
    void ClickEntry(int slot, int index);
    // Until the chosen picture is made and played.
    bool WaitPlaying(DWORD ms = 60000);
    std::vector<std::string> Scanned();
    std::wstring Title() const;
    // Files of the build's data folder sub copied to the same folder here.
    void CopyData(const std::wstring& sub, const std::vector<std::wstring>& names);

  private:
    std::mutex lock_;
    std::vector<std::string> scanned_;
};

// Mouse messages as a player's hand makes them, in client pixels of the
// main window.  A click is a press and release without movement (down is
// WM_LBUTTONDOWN, WM_RBUTTONDOWN or WM_MBUTTONDOWN); a drag presses the
// left button, moves and lets go.
void ClickAt(HWND window, UINT down, Point at);
void DragBy(HWND window, Point from, int dx, int dy);

// A point where piece number `piece` is the topmost piece (one of its own
// pixels shows there); false when others cover it all.
bool VisiblePoint(const Board& board, int piece, Point* at);

// Where SolveByMouse puts the picture together: the top-left corner of the
// picture's place, right of every piece on the board.
Point AssemblyOrigin(const Board& board);

// Plays the puzzle through the window's own mouse handling until at most
// `groups` groups are left: the topmost piece not yet in place is turned
// upright by clicks and dragged to origin plus its home place; pieces that
// landed beside no piece they could join are nudged (moved a pixel and
// back) until their drops join them.
void SolveByMouse(HWND window, PuzzleGame& g, Point origin, int groups);

}  // namespace wintest
