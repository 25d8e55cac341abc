// The game's pseudo-random generator: values 0 to 32767 as the C library's
// rand() gives them on Windows.  It is always passed in, never reached
// through a global, so a fixed seed gives the same puzzle every time.
#pragma once

#include <cstdint>

class Rand {
  public:
    explicit Rand(uint32_t seed = 1) : state_(seed) {}
    void Seed(uint32_t seed) { state_ = seed; }
    int Next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFF);
    }

  private:
    uint32_t state_;
};
