// A 64-bit digest of a byte stream, the same however the stream is cut into
// pieces: eight bytes at a time (little-endian words), each folded in with a
// rotation and a multiplication so that every bit reaches every other, and
// the length and a final mix at the end.  It tells one file from another
// and a damaged copy from the whole one; it is no defence against anyone
// forging a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

class Digest {
  public:
    void Add(const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        size_ += size;
        // Bytes left over from the last call complete a word first.
        if (carried_ > 0) {
            const size_t take = size < 8 - carried_ ? size : 8 - carried_;
            std::memcpy(carry_ + carried_, p, take);
            carried_ += take;
            p += take;
            size -= take;
            if (carried_ < 8) return;
            Fold(Word(carry_));
            carried_ = 0;
        }
        for (; size >= 8; p += 8, size -= 8) Fold(Word(p));
        if (size > 0) std::memcpy(carry_, p, size);
        carried_ = size;
    }

    uint64_t Size() const { return size_; }

    uint64_t Value() const {
        uint64_t h = h_;
        for (size_t i = 0; i < carried_; ++i) h = Mix(h, carry_[i]);
        h ^= size_;
        // The finaliser of splitmix64.
        h = (h ^ (h >> 30)) * 0xBF58476D1CE4E5B9ull;
        h = (h ^ (h >> 27)) * 0x94D049BB133111EBull;
        return h ^ (h >> 31);
    }

  private:
    static uint64_t Word(const uint8_t* p) {
        uint64_t w = 0;
        for (int i = 7; i >= 0; --i) w = w << 8 | p[i];
        return w;
    }
    static uint64_t Mix(uint64_t h, uint64_t w) {
        h = (h << 27) | (h >> 37);
        return (h ^ w) * 0x9E3779B97F4A7C15ull;
    }
    void Fold(uint64_t w) { h_ = Mix(h_, w); }

    uint64_t h_ = 0x6A09E667F3BCC908ull;
    uint64_t size_ = 0;
    uint8_t carry_[8] = {};
    size_t carried_ = 0;
};

// A file told apart by its length and the digest of its bytes.
struct FileId {
    uint64_t size = 0;
    uint64_t hash = 0;
    bool operator==(const FileId&) const = default;
};

inline FileId IdOf(const Digest& d) {
    return FileId{d.Size(), d.Value()};
}
