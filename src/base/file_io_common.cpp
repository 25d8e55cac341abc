#include "base/file_io.h"

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* out, uint64_t limit, uint32_t* error) {
    out->clear();
    FilePtr f = OpenFile(path, "rb", error);
    if (!f) return false;
    int64_t len = FileLength(f.get());
    if (len < 0 || static_cast<uint64_t>(len) > limit) return false;
    out->resize(static_cast<size_t>(len));
    if (len > 0 && std::fread(out->data(), 1, out->size(), f.get()) != out->size()) {
        out->clear();
        return false;
    }
    return true;
}

std::string TemporaryNameFor(const std::string& target) {
    return target + ".tmp~";
}

AtomicFile::AtomicFile(const std::string& target) : target_(target), temp_(TemporaryNameFor(target)) {
    FilePtr f = OpenFile(temp_, "wb");
    file_ = f.release();
}

AtomicFile::~AtomicFile() {
    if (file_) {
        std::fclose(file_);
        DeleteFileAt(temp_);
    }
}

bool AtomicFile::Write(const void* data, size_t size) {
    if (!file_ || failed_) return false;
    if (size > 0 && std::fwrite(data, 1, size, file_) != size) failed_ = true;
    return !failed_;
}

bool AtomicFile::Commit() {
    if (!file_) return false;
    // The bytes reach the disk before the name does: renamed first, a
    // power cut could leave the new name over bytes never written.
    bool good = !failed_ && FlushToDisk(file_);
    good = (std::fclose(file_) == 0) && good;
    file_ = nullptr;
    if (!good || !ReplaceFileWith(temp_, target_)) {
        DeleteFileAt(temp_);
        return false;
    }
    return true;
}

bool WriteFileAtomic(const std::string& path, const void* data, size_t size) {
    AtomicFile f(path);
    return f.Write(data, size) && f.Commit();
}
