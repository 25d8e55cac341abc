// pukko-make's platform part on Windows.
#include <windows.h>
// psapi.h needs the types of windows.h first.
#include <psapi.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "base/text_win.h"

// The narrow argv of a plain main holds the arguments in the ANSI code page,
// which cannot carry every file name; the wide command line can.
std::vector<std::string> CommandArguments(int, char**) {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return args;
    for (int i = 1; i < count; ++i) args.push_back(Narrow(wide[i]));
    LocalFree(wide);
    return args;
}

double PeakMemoryMB() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}
