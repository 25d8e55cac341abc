// pukko-make's platform part on POSIX systems.
#include <sys/resource.h>

#include <string>
#include <vector>

// The arguments are UTF-8 as they come.
std::vector<std::string> CommandArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

// ru_maxrss is in kilobytes on Linux.
double PeakMemoryMB() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}
