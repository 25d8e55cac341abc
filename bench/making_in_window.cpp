// The Windows half of making_in_window.sh, run under Wine:
//
//   making_in_window photo W H OUT.jpg
//       writes a photograph-like JPEG of W x H, the same bytes every time;
//   making_in_window drop PUKKO.EXE PIECES SIZE PICTURE [--probe]
//       starts pukko.exe as Explorer does, waits for its maximised main
//       window, chooses PIECES and SIZE from its menu, drops PICTURE on it
//       and prints one JSON line once play has started;
//   making_in_window chain
//       the cost of a posted message going round by itself: a maximised
//       window posts itself 3000 messages, each from the handler of the
//       one before (best of three rounds, milliseconds per message).
//
// Without --probe nothing is sent to the game while it makes the puzzle:
// the title (which Wine reads from the server, not through the game's
// thread) is polled every millisecond, and drop_to_play_ms is the time from
// the drop to the title of play; drop_ms is the drop's own message (reading
// the picture and preparing the mask), before the first making step.  With
// --probe the helper then asks the window for an answer (WM_NULL) over and
// over, a millisecond apart; an answer comes only between two steps, so the
// longest wait is the longest single step.  Probing costs the game time, so
// the two are separate runs.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <random>
#include <string>
#include <vector>

#include "bench_win.h"
#include "image/read_files.h"
#include "win/remote_drop.h"

namespace {

std::string Narrow(const std::wstring& w) {
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string s(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), n, nullptr, nullptr);
    return s;
}

// Smooth gradients, a few soft shapes and fine noise, as a camera writes a
// photograph; quality 90.
int Photo(int w, int h, const std::wstring& out) {
    std::mt19937 rng(20240);
    readtest::Jpeg jpeg;
    jpeg.width = w;
    jpeg.height = h;
    jpeg.fill = [&](int x, int y, uint8_t* s) {
        const int n = static_cast<int>(rng() % 12);
        const int dx = x - w / 3, dy = y - h / 2;
        const bool sun =
            static_cast<int64_t>(dx) * dx + static_cast<int64_t>(dy) * dy < static_cast<int64_t>(w) * h / 30;
        s[0] = static_cast<uint8_t>((sun ? 230 : 40 + x * 150 / w) + n / 2);
        s[1] = static_cast<uint8_t>((sun ? 190 : 60 + y * 120 / h) + n / 2);
        s[2] = static_cast<uint8_t>(((x / 97 + y / 89) % 3 ? 170 : 90) + n);
    };
    return readtest::WriteFile(Narrow(out), jpeg.Build()) ? 0 : 1;
}

struct Found {
    DWORD pid;
    HWND window;
};

HWND MainWindowOf(DWORD pid) {
    Found f{pid, nullptr};
    EnumWindows(
        [](HWND h, LPARAM p) -> BOOL {
            Found& f = *reinterpret_cast<Found*>(p);
            DWORD owner = 0;
            GetWindowThreadProcessId(h, &owner);
            wchar_t cls[64] = {};
            GetClassNameW(h, cls, 64);
            if (owner != f.pid || std::wcscmp(cls, L"pukko_Class") != 0) return TRUE;
            f.window = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&f));
    return f.window;
}

std::wstring Title(HWND w) {
    wchar_t t[256] = {};
    GetWindowTextW(w, t, 256);
    return t;
}

// "pukko 00:00:00 ..." once play has started.
bool Playing(const std::wstring& t) {
    return t.size() > 7 && t.compare(0, 6, L"pukko ") == 0 && iswdigit(t[6]);
}

int DropAndTime(const std::wstring& exe, int pieces, int size, const std::wstring& picture, bool probe) {
    const std::wstring folder = exe.substr(0, exe.find_last_of(L"\\/"));
    std::wstring command = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si,
                        &pi)) {
        std::fprintf(stderr, "making_in_window: cannot start %s\n", Narrow(exe).c_str());
        return 1;
    }
    WaitForInputIdle(pi.hProcess, 20000);
    HWND window = nullptr;
    for (int i = 0; i < 2000 && !(window && IsWindowVisible(window) && IsZoomed(window)); ++i) {
        Sleep(10);
        window = MainWindowOf(pi.dwProcessId);
    }
    int result = 1;
    if (window) {
        // Whatever the program does at start-up (the picture browser and
        // its thumbnails) has time to finish.
        Sleep(3000);
        DWORD_PTR r = 0;
        SendMessageTimeoutW(window, WM_COMMAND, 0x6000 + pieces, 0, SMTO_NORMAL, 10000, &r);
        SendMessageTimeoutW(window, WM_COMMAND, 0x7000 + size, 0, SMTO_NORMAL, 10000, &r);
        RECT client{};
        GetClientRect(window, &client);
        const double t0 = Now();
        double dropMs = -1, longest = 0, played = -1;
        int answers = 0;
        if (DropOnWindow(window, picture)) {
            dropMs = Now() - t0;
            while (Now() - t0 < 300000) {
                if (probe) {
                    const double s = Now();
                    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &r);
                    const double wait = Now() - s;
                    if (wait > longest) longest = wait;
                    ++answers;
                }
                if (Playing(Title(window))) {
                    played = Now() - t0;
                    break;
                }
                Sleep(1);
            }
        }
        const std::wstring title = Title(window);
        const size_t all = title.find(L"全");
        const int total = all == std::wstring::npos ? 0 : _wtoi(title.c_str() + all + 1);
        std::printf(
            "{\"drop_to_play_ms\":%.1f,\"drop_ms\":%.1f,\"pieces\":%d,\"client\":\"%ldx%ld\",\"screen\":\"%"
            "dx%d\"",
            played, dropMs, total, client.right, client.bottom, GetSystemMetrics(SM_CXSCREEN),
            GetSystemMetrics(SM_CYSCREEN));
        if (probe) std::printf(",\"longest_step_ms\":%.1f,\"answers\":%d", longest, answers);
        std::printf("}\n");
        result = played < 0 ? 1 : 0;
    } else {
        std::fprintf(stderr, "making_in_window: no maximised main window\n");
    }
    // The game may still be finishing the step that started play.
    Sleep(300);
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return result;
}

// The bare chain: what every making step costs in the window before it
// does anything.
int chainLeft = 0;
LRESULT CALLBACK ChainProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_APP) return DefWindowProcW(w, msg, wp, lp);
    if (--chainLeft > 0) PostMessageW(w, WM_APP, 0, 0);
    return 0;
}

int Chain() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = ChainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"making_in_window_chain";
    RegisterClassW(&wc);
    HWND w = CreateWindowExW(0, wc.lpszClassName, L"chain", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, wc.hInstance, nullptr);
    if (!w) return 1;
    ShowWindow(w, SW_SHOWMAXIMIZED);
    UpdateWindow(w);
    constexpr int kSteps = 3000;
    double best = 1e9;
    MSG msg;
    for (int round = 0; round < 3; ++round) {
        chainLeft = kSteps;
        const double t0 = Now();
        PostMessageW(w, WM_APP, 0, 0);
        while (chainLeft > 0 && GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
        best = std::min(best, (Now() - t0) / kSteps);
    }
    DestroyWindow(w);
    std::printf("{\"message_ms\":%.4f}\n", best);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::vector<std::wstring> a(argv + 1, argv + argc);
    if (a.size() == 1 && a[0] == L"chain") return Chain();
    if (a.size() == 4 && a[0] == L"photo") return Photo(_wtoi(a[1].c_str()), _wtoi(a[2].c_str()), a[3]);
    if ((a.size() == 5 || (a.size() == 6 && a[5] == L"--probe")) && a[0] == L"drop")
        return DropAndTime(a[1], _wtoi(a[2].c_str()), _wtoi(a[3].c_str()), a[4], a.size() == 6);
    std::fprintf(stderr,
                 "usage: making_in_window photo W H OUT.jpg\n"
                 "       making_in_window drop PUKKO.EXE PIECES SIZE PICTURE [--probe]\n"
                 "       making_in_window chain\n");
    return 2;
}
