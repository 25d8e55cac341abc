// The kill test of the recovery record, under Wine: pukko.exe is started,
// played and killed at a moment of the round's kind, started again, and
// what it then offers is checked against what was played.  Run by
// bench/recovery_kill.sh (by hand, not by CI) in a copy of the program's
// folder; the exe's own folder is the game's.
//
//   recovery_kill [ROUNDS] [SEED]
//
// A saved game of 1000 pieces of a 2000 x 1500 picture is made once
// (image\base.pko, about 180 MB).  Each round copies it to image\round.pko,
// starts pukko.exe, drops round.pko on its window and plays scripted moves
// through the window's own messages (drags, left and right clicks that
// turn, middle clicks that mirror), every one of them sent so that it has
// been handled when the call returns.  The same moves are made on a copy of
// the game in this process, built by the game's own code with the window's
// client size, so every state the board went through is known with the
// moment it began.  The round's kind decides the kill:
//
//   first   while the first record's full file is being written (its
//           temporary file exists);
//   save    while "状態保存" writes round.pko (its temporary file exists);
//   random  at a random moment 0.5 .. 12 s after play began.
//
// Then pukko.exe is started again.  Either it offers the game (the box is
// answered Yes, the game saved with "状態保存" and that file compared with
// the states played: it must be one that still stood 3 s before the kill),
// or, when no record had been completed, it starts with the start screen.
// Every round ends with a clean exit, which must leave no record, and
// round.pko must read as a whole saved game.  One JSON line per round and
// a summary line; the exit status is 0 when every round passed.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/quiet_host.h"
#include "base/text_win.h"
#include "bench_pictures.h"
#include "config/shell_texts.h"
#include "game/game_record.h"
#include "game/input.h"
#include "game/making_steps.h"
#include "game/recovery.h"
#include "game/save_game.h"
#include "pieces/board_ops.h"
#include "pieces/board_places.h"
#include "pieces/recovery_record.h"
#include "pieces/saved_state.h"
#include "win/remote_drop.h"

namespace {

constexpr DWORD kWaitMs = 120000;
constexpr unsigned kSaveCommand = 0x5011;  // "状態保存"
constexpr DWORD kLossLimitMs = 3000;

// The copy of the game in this process: no window, the child's client and
// screen sizes, nothing shown or played.
struct SimHost : QuietHost {
    Size client, screen;
    uint32_t TickCount() override { return GetTickCount(); }
    Size ClientSize() override { return client; }
    Size ScreenSize() override { return screen; }
    int MessageBox(const std::string& text, const std::string&, unsigned, Owner) override {
        std::fprintf(stderr, "copy's box: %s\n", text.c_str());
        return kIdOk;
    }
};

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(0, p.find_last_of(L"\\/"));
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The settings of every run: 1000 pieces of 2000 pixels, turning and
// mirroring on, no guide, no sounds, no save on exit (round.pko changes
// only by "状態保存").
Settings RunSettings() {
    Settings s = DefaultSettings();
    s.pieceCount = 1000;
    s.pictureSize = 2000;
    s.rotation = 1;
    s.flip = 1;
    s.guide = 0;
    s.sound = 0;
    s.saveOnExit = 0;
    return s;
}

bool MakeBase(const std::string& path) {
    Settings settings = RunSettings();
    SimHost host;
    host.client = host.screen = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    auto g = std::make_unique<PuzzleGame>();
    g->host = &host;
    g->settings = &settings;
    g->rng.Seed(7);
    MYBIT picture;
    MakePicture(picture, 2000, 1500);
    if (!MakePuzzleFromPicture(*g, picture)) return false;
    return WriteSavedState(g->board, path, g->picture, CountGroups(g->board), 0);
}

struct Child {
    PROCESS_INFORMATION pi{};
    bool Start(const std::wstring& folder) {
        const std::wstring exe = folder + L"\\pukko.exe";
        std::wstring line = L"\"" + exe + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        return CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                              &si, &pi) != 0;
    }
    HWND Window() const {
        for (HWND w = FindWindowExW(nullptr, nullptr, L"pukko_Class", nullptr); w;
             w = FindWindowExW(nullptr, w, L"pukko_Class", nullptr)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == pi.dwProcessId && IsWindowVisible(w)) return w;
        }
        return nullptr;
    }
    bool Alive() const { return WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }
    void Kill() {
        TerminateProcess(pi.hProcess, 9);
        WaitForSingleObject(pi.hProcess, kWaitMs);
    }
    DWORD WaitExit() {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(pi.hProcess, kWaitMs) == WAIT_OBJECT_0)
            GetExitCodeProcess(pi.hProcess, &code);
        return code;
    }
    ~Child() {
        if (!pi.hProcess) return;
        if (Alive()) Kill();
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
};

std::wstring Title(HWND w) {
    wchar_t t[256] = {};
    GetWindowTextW(w, t, 256);
    return t;
}

bool WaitFor(const std::function<bool()>& done, DWORD ms) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(10))
        if (done()) return true;
    return done();
}

// A state of the board and the moment it began.
struct State {
    DWORD since;
    BoardPlaces places;
};

// The copy of the game and the moves made on both.
struct Play {
    SimHost host;
    Settings settings = RunSettings();
    Background background;
    std::unique_ptr<PuzzleGame> game = std::make_unique<PuzzleGame>();
    std::vector<State> states;

    void Note() {
        State s{GetTickCount(), {}};
        TakePlaces(game->board, s.places);
        s.places.groupsLeft = 0;
        states.push_back(std::move(s));
    }

    // A client point where the piece at drawing position k is the one hit.
    bool PointOn(int k, Point* at) {
        PuzzleGame& g = *game;
        const Piece& p = g.board.pieces[g.board.order[k]];
        const Rect r = g.view.TableToClient(p.BoardRect());
        const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
        long best = -1;
        for (int y = std::max(r.top, 0); y < std::min(r.bottom, host.client.cy); ++y)
            for (int x = std::max(r.left, 0); x < std::min(r.right, host.client.cx); ++x) {
                const Point t = g.view.ClientToTable({x, y});
                const long d = long{x - cx} * (x - cx) + long{y - cy} * (y - cy);
                if ((best < 0 || d < best) && HitTest(g.board, t.x, t.y) == k) {
                    best = d;
                    *at = {x, y};
                }
            }
        return best >= 0;
    }

    // One scripted move, sent to the window and made on the copy.
    bool Move(HWND window, std::mt19937& rng) {
        PuzzleGame& g = *game;
        const int n = g.board.count;
        Point at{};
        int tries = 0;
        while (!PointOn(n - 1 - static_cast<int>(rng() % std::min(n, 40)), &at))
            if (++tries > 20) return false;
        const unsigned pick = rng() % 100;
        const LPARAM p = MAKELPARAM(at.x, at.y);
        if (pick < 60) {
            const int dx = static_cast<int>(rng() % 121) - 60, dy = static_cast<int>(rng() % 121) - 60;
            const LPARAM q = MAKELPARAM(at.x + dx, at.y + dy);
            SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, p);
            SendMessageW(window, WM_MOUSEMOVE, MK_LBUTTON, q);
            SendMessageW(window, WM_LBUTTONUP, 0, q);
            OnPress(g, kButtonLeft, at.x, at.y);
            OnMouseMove(g, MK_LBUTTON, false, at.x + dx, at.y + dy);
        } else {
            const UINT down = pick < 75 ? WM_LBUTTONDOWN : pick < 90 ? WM_RBUTTONDOWN : WM_MBUTTONDOWN;
            const WPARAM key = down == WM_LBUTTONDOWN   ? MK_LBUTTON
                               : down == WM_RBUTTONDOWN ? MK_RBUTTON
                                                        : MK_MBUTTON;
            SendMessageW(window, down, key, p);
            SendMessageW(window, down + 1, 0, p);
            OnPress(g,
                    down == WM_LBUTTONDOWN   ? kButtonLeft
                    : down == WM_RBUTTONDOWN ? kButtonRight
                                             : kButtonMiddle,
                    at.x, at.y);
        }
        OnRelease(g);
        Note();
        return true;
    }
};

bool ReadPlaces(const std::string& path, BoardPlaces* places, int32_t* elapsed) {
    auto board = std::make_unique<Board>();
    MYBIT picture;
    SavedStateHead head;
    if (ReadSavedState(*board, path, picture, head) != ReadResult::kOk) return false;
    TakePlaces(*board, *places);
    places->groupsLeft = 0;
    if (elapsed) *elapsed = head.elapsedMs;
    return true;
}

struct Round {
    const char* kind = "";
    DWORD killMs = 0;  // from the start of play
    int moves = 0;
    int states = 0;             // states the board went through
    bool recordBefore = false;  // recovery.dat was there after the kill
    int32_t recordClockMs = -1;
    bool offered = false;
    int state = -1;        // the state the game came back in
    long stateAgeMs = -1;  // how long before the kill that state had ended (0: it stood at the kill)
    std::string failure;
};

void Fail(Round& r, const std::string& why) {
    if (r.failure.empty()) r.failure = why;
}

// One round; the folder holds the game and image\base.pko.
Round RunRound(const std::wstring& folder, int index, std::mt19937& rng) {
    Round r;
    enum Kind { kFirst, kSave, kRandom } kind = index % 4 == 0 ? kFirst : index % 4 == 1 ? kSave : kRandom;
    r.kind = kind == kFirst ? "first" : kind == kSave ? "save" : "random";
    const std::wstring image = folder + L"\\image";
    const std::wstring round = image + L"\\round.pko";
    const RecoveryFiles files = RecoveryFilesIn(Narrow(folder));
    // Each round on its own: no record a failed round left.
    RemoveRecoveryFiles(files);
    CopyFileW((image + L"\\base.pko").c_str(), round.c_str(), FALSE);

    Play play;
    {
        Child child;
        if (!child.Start(folder)) return Fail(r, "cannot start"), r;
        HWND window = nullptr;
        if (!WaitFor([&] { return (window = child.Window()) != nullptr; }, kWaitMs))
            return Fail(r, "no window"), r;
        Sleep(300);  // maximised
        RECT client{};
        GetClientRect(window, &client);
        play.host.client = {client.right, client.bottom};
        play.host.screen = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        InitGame(*play.game, play.host, play.settings, play.background);
        if (!RestoreGame(*play.game, Narrow(round))) return Fail(r, "the copy cannot read round.pko"), r;
        if (!DropOnWindow(window, round, kWaitMs)) return Fail(r, "drop refused"), r;
        const DWORD start = GetTickCount();
        play.states.push_back(State{start, {}});
        TakePlaces(play.game->board, play.states.back().places);
        play.states.back().places.groupsLeft = 0;

        const DWORD killAt = start + 500 + rng() % 11500;
        const std::wstring fullTemp = Widen(TemporaryNameFor(files.full)), saveTemp = round + L".tmp~";
        bool saving = false;
        for (;;) {
            const DWORD now = GetTickCount();
            if (kind == kFirst && Exists(fullTemp)) break;
            if (kind == kSave && saving && Exists(saveTemp)) break;
            if (kind == kRandom && now >= killAt) break;
            if (now - start > 60000) {
                Fail(r, "the moment to kill never came");
                break;
            }
            if (kind == kSave && !saving && now - start > 6000) {
                PostMessageW(window, WM_COMMAND, kSaveCommand, 0);
                saving = true;
            }
            if (saving) {
                Sleep(1);
                continue;
            }
            if (play.Move(window, rng)) ++r.moves;
            Sleep(20 + rng() % 150);
        }
        const DWORD killed = GetTickCount();
        child.Kill();
        r.killMs = killed - start;
        r.states = static_cast<int>(play.states.size());

        // What the kill left: a record whole or none.
        RecoveryRecord record;
        r.recordBefore = FileExists(files.small);
        if (r.recordBefore) {
            auto board = std::make_unique<Board>();
            MYBIT picture;
            if (ReadRecovery(files, *board, picture, record) != ReadResult::kOk)
                Fail(r, "the record left by the kill cannot be read");
            r.recordClockMs = record.elapsedMs;
        }

        // Started again: the offer, or the start screen.
        Child again;
        if (!again.Start(folder)) return Fail(r, "cannot start again"), r;
        HWND box = nullptr;
        HWND main = nullptr;
        WaitFor(
            [&] {
                box = WaitForBoxOf(again.pi.dwProcessId, L"pukko", 0);
                main = again.Window();
                return box || main || !again.Alive();
            },
            kWaitMs);
        if (!again.Alive()) return Fail(r, "the program ended at start"), r;
        if (box) {
            r.offered = true;
            if (Narrow(BoxText(box)) != kRecoveryOfferText)
                Fail(r, "a box other than the offer: " + Narrow(BoxText(box)));
            if (!r.recordBefore) Fail(r, "offered without a record");
            SendMessageW(box, WM_COMMAND, IDYES, 0);
            if (!WaitFor(
                    [&] {
                        return (main = again.Window()) && Title(main).find(L"残り") != std::wstring::npos;
                    },
                    kWaitMs))
                return Fail(r, "not played after Yes"), r;
            PostMessageW(main, WM_COMMAND, kSaveCommand, 0);
            HWND saved = WaitForBoxOf(again.pi.dwProcessId, L"pukko", kWaitMs);
            if (!saved) return Fail(r, "no box after the save"), r;
            SendMessageW(saved, WM_COMMAND, IDOK, 0);
            BoardPlaces back;
            if (!ReadPlaces(Narrow(round), &back, nullptr))
                return Fail(r, "the saved game cannot be read"), r;
            for (size_t j = 0; j < play.states.size(); ++j)
                if (play.states[j].places == back) r.state = static_cast<int>(j);
            if (r.state < 0) {
                Fail(r, "the game came back in a state never played");
            } else {
                const size_t next = static_cast<size_t>(r.state) + 1;
                r.stateAgeMs = next < play.states.size()
                                   ? static_cast<long>(killed) - static_cast<long>(play.states[next].since)
                                   : 0;
                if (r.stateAgeMs > static_cast<long>(kLossLimitMs)) Fail(r, "more than 3 s of play lost");
            }
        } else {
            if (r.recordBefore) Fail(r, "a record was left but not offered");
            if (!main) return Fail(r, "no window at the start"), r;
            // round.pko is as it was: base, or cut short by the kill and kept whole.
            BoardPlaces back;
            if (!ReadPlaces(Narrow(round), &back, nullptr))
                Fail(r, "round.pko cannot be read");
            else if (!(back == play.states[0].places))
                Fail(r, "round.pko changed without a save");
        }
        if (!main) main = again.Window();
        PostMessageW(main, WM_CLOSE, 0, 0);
        if (again.WaitExit() != 0) Fail(r, "no clean exit");
        if (FileExists(files.small) || FileExists(files.full)) Fail(r, "a record after a clean exit");
        BoardPlaces kept;
        if (!ReadPlaces(Narrow(round), &kept, nullptr)) Fail(r, "round.pko cannot be read at the end");
    }
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 20;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 1;
    const std::wstring folder = ExeFolder();
    CreateDirectoryW((folder + L"\\image").c_str(), nullptr);
    const Settings ini = RunSettings();
    if (!WriteFileAtomic(Narrow(folder + L"\\pukko.ini"), &ini, sizeof ini)) return 1;
    RemoveRecoveryFiles(RecoveryFilesIn(Narrow(folder)));
    const std::wstring base = folder + L"\\image\\base.pko";
    if (!Exists(base)) {
        std::fprintf(stderr, "making image\\base.pko ...\n");
        if (!MakeBase(Narrow(base))) return 1;
    }
    std::mt19937 rng(seed);
    int passed = 0, offered = 0;
    long worstAge = 0;
    for (int i = 0; i < rounds; ++i) {
        const Round r = RunRound(folder, i, rng);
        passed += r.failure.empty();
        offered += r.offered;
        worstAge = std::max(worstAge, r.stateAgeMs);
        std::printf(
            "{\"round\":%d,\"kind\":\"%s\",\"kill_ms\":%lu,\"moves\":%d,\"record\":%s,\"record_clock_ms\":%d,"
            "\"offered\":%s,\"state\":%d,\"states\":%d,\"state_age_ms\":%ld,\"ok\":%s%s%s%s}\n",
            i, r.kind, r.killMs, r.moves, r.recordBefore ? "true" : "false", r.recordClockMs,
            r.offered ? "true" : "false", r.state, r.states, r.stateAgeMs,
            r.failure.empty() ? "true" : "false", r.failure.empty() ? "" : ",\"failure\":\"",
            r.failure.c_str(), r.failure.empty() ? "" : "\"");
        std::fflush(stdout);
    }
    std::printf("{\"rounds\":%d,\"passed\":%d,\"offered\":%d,\"worst_state_age_ms\":%ld}\n", rounds, passed,
                offered, worstAge);
    return passed == rounds ? 0 : 1;
}
