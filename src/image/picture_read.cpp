// LoadFile, LoadScaled and GetImageSize: opening the file, telling its kind,
// and the messages the user sees when a picture cannot be read.
#include "image/picture_read.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "base/file_io.h"
#include "base/host.h"
#include "image/bmp_read.h"
#include "image/jpeg_read.h"
#include "image/mybit.h"
#include "image/picture_limits.h"

namespace {

// The largest size LoadScaled makes: a black square of it stays within the
// pixel limit.
constexpr int LargestSquareSide() {
    int64_t s = 1;
    while (static_cast<uint64_t>((s + 1) * (s + 1)) <= kMaxPicturePixels && s < kMaxPictureSide) ++s;
    return static_cast<int>(s);
}
constexpr int kMaxScaledSide = LargestSquareSide();

// A decoded JPEG becomes a MYBIT with fresh headers.
void TakePixels(MYBIT& picture, std::vector<uint32_t>& pixels, int width, int height) {
    picture.Free();
    picture.hdr = BmpHeaders{};
    picture.hdr.width = width;
    picture.hdr.height = height;
    picture.hdr.fileSize = static_cast<uint32_t>(pixels.size() * 4 + 54);
    picture.pixels = std::move(pixels);
}

int ReadPictureFile(std::FILE* file, int divisor, MYBIT& picture) {
    uint8_t head[2] = {};
    size_t got = std::fread(head, 1, sizeof head, file);
    if (IsBmpSignature(head, got)) return ReadBmp(file, picture);
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    if (!ReadJpeg(file, pixels, width, height, divisor, false)) return 0;
    TakePixels(picture, pixels, width, height);
    return 1;
}

}  // namespace

int DecodePicture(const uint8_t* data, size_t size, int divisor, MYBIT& picture) {
    picture.Free();
    if (IsBmpSignature(data, size)) return ReadBmp(data, size, picture);
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    if (!ReadJpeg(data, size, pixels, width, height, divisor, false)) return 0;
    TakePixels(picture, pixels, width, height);
    return 1;
}

int LoadFile(MYBIT& picture, const std::string& path, Host& host, int divisor) {
    picture.Free();
    uint32_t code = 0;
    FilePtr file = OpenFile(path, "rb", &code);
    if (!file) {
        host.ShowWindowsError("CreateFile", path, code);
        return 0;
    }
    if (ReadPictureFile(file.get(), divisor, picture)) return 1;
    picture.Free();
    host.MessageBox("読み込みできません。\n" + path, "イメージ読込失敗", kMbOk, Owner::kNone);
    return 0;
}

int GetImageSize(MYBIT& picture, const std::string& path, int& width, int& height) {
    picture.Free();
    width = height = 0;
    FilePtr file = OpenFile(path, "rb");
    if (!file) return 0;
    int64_t length = FileLength(file.get());
    uint8_t head[kBmpHeadBytes];
    size_t got = std::fread(head, 1, sizeof head, file.get());
    if (IsBmpSignature(head, got)) {
        BmpLayout layout;
        if (length > 0 && ParseBmpHeaders(head, got, static_cast<uint64_t>(length), layout)) {
            width = layout.width;
            height = layout.height;
        }
        return 1;
    }
    std::vector<uint32_t> none;
    ReadJpeg(file.get(), none, width, height, 1, true);
    return 1;
}

int LoadScaled(MYBIT& picture, const std::string& path, Host& host, int size) {
    size = std::clamp(size, 1, kMaxScaledSide);
    int w = 0, h = 0;
    GetImageSize(picture, path, w, h);
    // Decode a JPEG smaller only while it stays at least twice the target.
    const int longer = w < h ? h : w;
    const int divisor = longer / 8 >= size ? 4 : longer / 4 >= size ? 2 : 1;

    MYBIT temp;
    LoadFile(temp, path, host, divisor);
    if (temp.Width() == 0 || temp.Height() == 0) temp.Create(size, size);  // black

    // The longer side becomes size; the shorter keeps the proportion,
    // truncated, but never below one pixel.
    int64_t tw, th;
    if (temp.Height() < temp.Width()) {
        tw = size;
        th = static_cast<int64_t>(temp.Height()) * size / temp.Width();
    } else {
        th = size;
        tw = static_cast<int64_t>(temp.Width()) * size / temp.Height();
    }
    picture.StretchFrom(temp, static_cast<int>(std::max<int64_t>(tw, 1)),
                        static_cast<int>(std::max<int64_t>(th, 1)));
    return 1;
}
