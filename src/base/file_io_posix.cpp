#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "base/file_io.h"

namespace {

// The core joins paths with backslashes, as Windows does; natively they are
// separators too.
std::string Native(const std::string& path) {
    std::string p = path;
    for (char& c : p)
        if (c == '\\') c = '/';
    return p;
}

}  // namespace

FilePtr OpenFile(const std::string& path, const char* mode, uint32_t* error) {
    std::FILE* f = std::fopen(Native(path).c_str(), mode);
    if (!f && error) *error = static_cast<uint32_t>(errno);
    return FilePtr(f);
}

int64_t FileLength(std::FILE* f) {
    struct stat st;
    if (fstat(fileno(f), &st) != 0) return -1;
    return static_cast<int64_t>(st.st_size);
}

bool DeleteFileAt(const std::string& path) {
    return std::remove(Native(path).c_str()) == 0;
}

bool FileExists(const std::string& path) {
    struct stat st;
    return stat(Native(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ReplaceFileWith(const std::string& from, const std::string& to) {
    return std::rename(Native(from).c_str(), Native(to).c_str()) == 0;
}
