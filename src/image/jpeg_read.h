// Reading JPEG files through libjpeg.
//
// Pictures are decoded at 1/divisor of their size (divisor 1, 2 or 4, with the
// library's own scaling, so that large photographs are cheap to shrink) and
// with the fast integer DCT.  Greyscale and CMYK pictures are converted to
// RGB.  The result is MYBIT's pixel layout: 0x00RRGGBB words, alpha 0, the
// bottom row first.
//
// A premature end of the data still gives a picture (the missing part grey),
// as long as the file is not absurdly small for the size it claims; any
// other decoding error, or a picture beyond the limits, is a failure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

// Every 8 x 8 block of a Huffman-coded file costs at least one bit (its DC
// code in the first scan), so such a file holds at most 512 pixels a byte.
// One claiming more than twice that is cut short or forged, and is refused
// before anything is allocated.
constexpr uint64_t kJpegMostPixelsPerByte = 1024;

// Progressive files with more scans than this are refused: each scan costs a
// pass over the whole picture, so a forged file could otherwise take minutes.
constexpr int kJpegMostScans = 256;

// Decodes the JPEG in data (size bytes) or in the open file (read from its
// start), at 1/divisor (2, 4 or 8; any other divisor counts as 1; sizes
// round up).  1 with pixels, width and height (already divided), or 0 with
// pixels empty and width and height 0.  headerOnly: only width and height are
// read, nothing is decoded or allocated.
int ReadJpeg(const uint8_t* data, size_t size, std::vector<uint32_t>& pixels, int& width, int& height,
             int divisor, bool headerOnly);
int ReadJpeg(std::FILE* file, std::vector<uint32_t>& pixels, int& width, int& height, int divisor,
             bool headerOnly);
