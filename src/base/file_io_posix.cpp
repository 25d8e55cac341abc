#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    const std::string target = Native(to);
    if (std::rename(Native(from).c_str(), target.c_str()) != 0) return false;
    // The rename lives in the folder's entries: they go to the disk too.
    const size_t slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return true;  // moved; a folder that cannot be opened is not flushed
    fsync(fd);
    close(fd);
    return true;
}

bool FlushToDisk(std::FILE* f) {
    return std::fflush(f) == 0 && fsync(fileno(f)) == 0;
}
