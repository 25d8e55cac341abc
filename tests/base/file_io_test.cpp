// The file layer's atomic write: what reaches the disk, in what order.  The
// C library's fsync and rename are interposed (this program's definitions
// come before libc's), so the test sees each call and what the target held.
#include "base/file_io.h"

#include <dlfcn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_folder.h"

namespace {

bool recording = false;
std::vector<std::string> calls;  // "fsync PATH", "rename FROM TO over CONTENTS"

std::string Contents(const std::string& path) {
    std::vector<uint8_t> bytes;
    return ReadWholeFile(path, &bytes, 1 << 20) ? std::string(bytes.begin(), bytes.end()) : "(none)";
}

}  // namespace

extern "C" int fsync(int fd) {
    static const auto real = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    char path[4096] = {};
    if (recording && readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path - 1) > 0)
        calls.push_back("fsync " + std::string(path));
    return real(fd);
}

extern "C" int rename(const char* from, const char* to) noexcept {
    static const auto real = reinterpret_cast<int (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "rename"));
    if (recording) calls.push_back("rename " + std::string(from) + " " + to + " over " + Contents(to));
    return real(from, to);
}

// The new bytes are on the disk before they take the target's name, and the
// name before the call returns: a power cut at any moment leaves the old
// file or the new one.  Dropped unfinished, the old file stays and the
// temporary goes.
TEST(AtomicFile, FlushesTheBytesBeforeTheRenameAndTheFolderAfterIt) {
    const std::string folder = TestFolder().string(), target = folder + "/settings.bin";
    const std::string temp = TemporaryNameFor(target);
    ASSERT_TRUE(WriteFileAtomic(target, "old", 3));
    calls.clear();
    recording = true;
    const bool written = WriteFileAtomic(target, "new bytes", 9);
    recording = false;
    ASSERT_TRUE(written);
    EXPECT_EQ(calls, (std::vector<std::string>{"fsync " + temp, "rename " + temp + " " + target + " over old",
                                               "fsync " + folder}));
    {
        AtomicFile dropped(target);
        ASSERT_TRUE(dropped.Write("torn", 4));
    }
    EXPECT_EQ(Contents(target), "new bytes");
    EXPECT_FALSE(FileExists(temp));
}
