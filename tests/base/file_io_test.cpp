// The file layer's atomic write: what reaches the disk, and in what order.
// The C library's fsync and rename are interposed here (this program's
// definitions come before libc's), so the test sees each call the layer
// makes and what the target held at that moment.
#include "base/file_io.h"

#include <dlfcn.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/digest.h"
#include "support/test_folder.h"

namespace {

bool recording = false;
std::vector<std::string> calls;  // "fsync PATH" and "rename FROM TO"

std::string PathOf(int fd) {
    char link[64], path[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, path, sizeof path - 1);
    return n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string("?");
}

std::string Contents(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, &bytes, 1 << 20)) return "(none)";
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

extern "C" int fsync(int fd) {
    static const auto real = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    if (recording) calls.push_back("fsync " + PathOf(fd));
    return real(fd);
}

extern "C" int rename(const char* from, const char* to) noexcept {
    static const auto real = reinterpret_cast<int (*)(const char*, const char*)>(dlsym(RTLD_NEXT, "rename"));
    if (recording) calls.push_back("rename " + std::string(from) + " " + to + " over " + Contents(to));
    return real(from, to);
}

// The new bytes are on the disk before they take the target's name, and
// the name is on the disk before the call returns: a power cut at any
// moment leaves the old file or the new one.  A write that fails keeps the
// old file and leaves no temporary behind.
TEST(AtomicFile, FlushesTheBytesBeforeTheRenameAndTheFolderAfterIt) {
    const std::string folder = TestFolder().string();
    const std::string target = folder + "/settings.bin", temp = target + ".tmp~";
    ASSERT_TRUE(WriteFileAtomic(target, "old", 3));

    calls.clear();
    recording = true;
    const bool written = WriteFileAtomic(target, "new bytes", 9);
    recording = false;
    ASSERT_TRUE(written);
    EXPECT_EQ(Contents(target), "new bytes");
    const std::vector<std::string> want = {"fsync " + temp, "rename " + temp + " " + target + " over old",
                                           "fsync " + folder};
    EXPECT_EQ(calls, want);

    {
        AtomicFile dropped(target);
        ASSERT_TRUE(dropped.Write("torn", 4));
    }
    EXPECT_EQ(Contents(target), "new bytes");
    EXPECT_FALSE(FileExists(temp));
}

// The digest is the same however the stream is cut: a file digested as it
// was written in pieces of every size up to two words, and in one call.
TEST(Digest, IsTheSameForEveryCutOfTheStreamAndTellsOneBitApart) {
    std::vector<uint8_t> bytes(1000);
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 37 + (i >> 3));
    Digest whole;
    whole.Add(bytes.data(), bytes.size());
    for (size_t cut = 1; cut <= 17; ++cut) {
        Digest pieces;
        for (size_t at = 0; at < bytes.size(); at += cut) pieces.Add(bytes.data() + at, std::min(cut, bytes.size() - at));
        EXPECT_EQ(pieces.Value(), whole.Value()) << cut;
        EXPECT_EQ(pieces.Size(), bytes.size());
    }
    // One bit flipped anywhere, or two of the same place in two words (which
    // a plain multiply-and-xor would cancel), or one byte fewer.
    for (size_t at : {size_t{0}, size_t{7}, size_t{8}, size_t{500}, size_t{999}}) {
        std::vector<uint8_t> other = bytes;
        other[at] ^= 0x80;
        Digest d;
        d.Add(other.data(), other.size());
        EXPECT_NE(d.Value(), whole.Value()) << at;
    }
    std::vector<uint8_t> two = bytes;
    two[7] ^= 0x80;
    two[15] ^= 0x80;
    Digest d2, shorter;
    d2.Add(two.data(), two.size());
    shorter.Add(bytes.data(), bytes.size() - 1);
    EXPECT_NE(d2.Value(), whole.Value());
    EXPECT_NE(shorter.Value(), whole.Value());
}
