// The picture strip while its worker scans a folder of large photographs:
// how long the user-interface thread goes between two steps of the strip
// (its 50 ms timer), from the open until the listing is complete.  Run by
// hand under Wine (bench/browser_in_window.sh); prints one JSON line.
//
//   strip_gaps [PICTURES]   (default 200 copies of a 12-megapixel JPEG)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "app/main_window_win.h"
#include "base/text_win.h"
#include "bench_pictures.h"
#include "browser/browser_window_win.h"
#include "config/sounds.h"
#include "image/read_files.h"

namespace {

double Ms(LARGE_INTEGER a, LARGE_INTEGER b) {
    static LARGE_INTEGER f = [] {
        LARGE_INTEGER q;
        QueryPerformanceFrequency(&q);
        return q;
    }();
    return static_cast<double>(b.QuadPart - a.QuadPart) * 1000.0 / static_cast<double>(f.QuadPart);
}

std::wstring ExeFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring p = path;
    return p.substr(0, p.find_last_of(L'\\'));
}

// A grainy 4000 x 3000 photograph, copied n times into folder.
void MakeFolder(const std::wstring& folder, int n) {
    CreateDirectoryW(folder.c_str(), nullptr);
    readtest::Jpeg j;
    j.width = 4000;
    j.height = 3000;
    j.quality = 90;
    j.fill = PhotoSamples;
    const std::wstring first = folder + L"\\0000.jpg";
    readtest::WriteFile(Narrow(first), j.Build());
    for (int i = 1; i < n; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"\\%04d.jpg", i);
        CopyFileW(first.c_str(), (folder + name).c_str(), FALSE);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int n = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    const std::wstring base = ExeFolder();
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"pukko_strip_gaps";
    MakeFolder(folder, n);

    ShellRecords& app = Shell();
    std::string commandLine = "\"";
    commandLine += Narrow(base);
    commandLine += "\\pukko.exe\"";
    LoadSettings(app.settings, commandLine);
    SetPathField(app.settings.imageFolder, Narrow(folder));
    app.settings.sound = 0;
    app.settings.guide = 0;
    BuildSoundPaths(TheSounds(), PathField(app.settings.soundFolder));
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (!RegisterMainClass(instance)) return 1;
    LARGE_INTEGER open, last{}, now;
    QueryPerformanceCounter(&open);
    HWND window = CreateMainWindow(instance);
    if (!window) return 1;
    ShowWindow(window, SW_SHOWMAXIMIZED);

    std::vector<double> gaps;
    double listed = 0;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.wParam == IDT_STRIP && msg.hwnd == StripWindow(0)) {
            QueryPerformanceCounter(&now);
            if (last.QuadPart) gaps.push_back(Ms(last, now));
            last = now;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        if (listed == 0 && app.browsers[0].state == kBrowserListed) {
            QueryPerformanceCounter(&now);
            listed = Ms(open, now);
            break;
        }
    }
    StopAllScans();
    DestroyWindow(window);
    double longest = 0, sum = 0;
    for (double g : gaps) {
        longest = std::max(longest, g);
        sum += g;
    }
    std::printf(
        "{\"pictures\":%d,\"listed\":%d,\"scan_ms\":%.0f,\"steps\":%zu,\"mean_gap_ms\":%.1f,\"longest_gap_"
        "ms\":%.1f}\n",
        n, app.browsers[0].Count(), listed, gaps.size(), gaps.empty() ? 0 : sum / gaps.size(), longest);
    return 0;
}
