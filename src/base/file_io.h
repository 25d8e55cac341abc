// File access with UTF-8 paths.  Two implementations: file_io_posix.cpp and
// file_io_win.cpp (wide-character Win32 calls).  Error codes are the
// platform's own (errno or GetLastError) so that the error box can show the
// system's text for them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens a file with an fopen mode ("rb", "wb", "ab").  On failure the result
// is null and *error (when given) holds the platform's error code.
FilePtr OpenFile(const std::string& path, const char* mode, uint32_t* error = nullptr);

// Reads a whole file.  Fails when the file cannot be opened or is longer than
// limit bytes (nothing is allocated then).
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* out, uint64_t limit,
                   uint32_t* error = nullptr);

// Size of an open file in bytes, or -1.
int64_t FileLength(std::FILE* f);

bool DeleteFileAt(const std::string& path);
bool FileExists(const std::string& path);

// Moves from over to, replacing to in one step when it exists; the move
// itself reaches the disk before the call returns (the folder's entry is
// flushed), so that a power cut leaves the old file or the new one.
bool ReplaceFileWith(const std::string& from, const std::string& to);

// What the stream has buffered, written and then flushed from the system's
// cache to the disk (fsync, FlushFileBuffers).
bool FlushToDisk(std::FILE* f);

// A file written beside its target under a temporary name, flushed to the
// disk and only then moved over the target, so that neither a failed write
// nor a kill or a power cut at any moment leaves a torn file: the target is
// the old file or the new one.  Dropped without Commit, the temporary goes.
class AtomicFile {
  public:
    explicit AtomicFile(const std::string& target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool ok() const { return file_ != nullptr && !failed_; }
    bool Write(const void* data, size_t size);
    bool Commit();

  private:
    std::string target_;
    std::string temp_;
    std::FILE* file_ = nullptr;
    bool failed_ = false;
};

// The temporary name AtomicFile writes a target under, in the same folder.
std::string TemporaryNameFor(const std::string& target);

// Writes a whole file through AtomicFile.
bool WriteFileAtomic(const std::string& path, const void* data, size_t size);
