#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include "base/file_io.h"
#include "base/text_win.h"

FilePtr OpenFile(const std::string& path, const char* mode, uint32_t* error) {
    std::string m(mode);
    DWORD access = GENERIC_READ;
    DWORD disposition = OPEN_EXISTING;
    int flags = _O_BINARY | _O_RDONLY;
    if (m[0] == 'w') {
        access = GENERIC_WRITE;
        disposition = CREATE_ALWAYS;
        flags = _O_BINARY | _O_WRONLY;
    } else if (m[0] == 'a') {
        access = GENERIC_WRITE;
        disposition = OPEN_ALWAYS;
        flags = _O_BINARY | _O_WRONLY | _O_APPEND;
    }
    HANDLE h = CreateFileW(Widen(path).c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (error) *error = GetLastError();
        return nullptr;
    }
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), flags);
    if (fd < 0) {
        CloseHandle(h);
        if (error) *error = ERROR_TOO_MANY_OPEN_FILES;
        return nullptr;
    }
    std::FILE* f = _fdopen(fd, mode);
    if (!f) {
        _close(fd);
        if (error) *error = ERROR_TOO_MANY_OPEN_FILES;
        return nullptr;
    }
    if (m[0] == 'a') std::fseek(f, 0, SEEK_END);
    return FilePtr(f);
}

int64_t FileLength(std::FILE* f) {
    LARGE_INTEGER size;
    HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)));
    if (h == INVALID_HANDLE_VALUE || !GetFileSizeEx(h, &size)) return -1;
    return size.QuadPart;
}

bool DeleteFileAt(const std::string& path) {
    return DeleteFileW(Widen(path).c_str()) != 0;
}

bool FileExists(const std::string& path) {
    DWORD a = GetFileAttributesW(Widen(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FlushToDisk(std::FILE* f) {
    if (std::fflush(f) != 0) return false;
    HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)));
    return h != INVALID_HANDLE_VALUE && FlushFileBuffers(h) != 0;
}

// MOVEFILE_WRITE_THROUGH: the call returns once the move is on the disk.
bool ReplaceFileWith(const std::string& from, const std::string& to) {
    return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
