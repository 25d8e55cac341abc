// The largest picture any reader delivers: checked before anything is
// allocated.  The fuzz build uses far smaller limits so that a tiny file
// claiming a huge picture cannot exhaust memory under the sanitizers.
#pragma once

#include <cstdint>

#ifdef PUKKO_FUZZ
constexpr int32_t kMaxPictureSide = 4096;
constexpr uint64_t kMaxPicturePixels = 4000000;
#else
constexpr int32_t kMaxPictureSide = 16384;
constexpr uint64_t kMaxPicturePixels = 128000000;
#endif
