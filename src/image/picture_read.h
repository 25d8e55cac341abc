// Reading pictures from disk: every picture the game takes from a file (the
// puzzle picture, background tiles, thumbnails, the browser's own bitmaps and
// the picture at the head of a saved game) enters a MYBIT here.
//
// Two kinds are read, told from the first two bytes and never from the name:
// BMP ('B' first or 'M' second) and, for everything else, JPEG.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class Host;
class MYBIT;

// The picture at its own size (a JPEG at 1/divisor of it: 1, 2 or 4; a BMP
// ignores the divisor).  1, or 0 with the picture empty after telling the
// user: the Windows error box when the file cannot be opened, "読み込みでき
// ません。" when it cannot be decoded.
int LoadFile(MYBIT& picture, const std::string& path, Host& host, int divisor);

// The picture stretched so that its longer side is size pixels (size is kept
// at least 1 and small enough that a size x size square fits the pixel
// limit).  A large JPEG is decoded at 1/4 or 1/2 when
// that still leaves at least twice the target.  Always 1: a file that cannot
// be read (after LoadFile's message) gives a black size x size picture.
int LoadScaled(MYBIT& picture, const std::string& path, Host& host, int size);

// Width and height without decoding pixels (a JPEG's full size; 0 x 0 when
// the file is neither a BMP nor a JPEG this reader takes).  The picture is
// emptied.  0 when the file cannot be opened, with no message; else 1.
int GetImageSize(MYBIT& picture, const std::string& path, int& width, int& height);

// LoadFile's decoding over a file already in memory, without messages: 1, or
// 0 with the picture empty.
int DecodePicture(const uint8_t* data, size_t size, int divisor, MYBIT& picture);
