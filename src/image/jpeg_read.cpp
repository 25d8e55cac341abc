// JPEG decoding: every library call sits in one function behind the error
// manager's jump back; the records the library works on belong to its
// caller.
#include "image/jpeg_read.h"

#include <climits>
#include <csetjmp>
// jpeglib.h expects size_t and FILE to be declared before it.
#include <jpeglib.h>

#include "base/file_io.h"
#include "image/picture_limits.h"

namespace {

// Working memory the library may take beyond its small tables: the
// coefficients of a whole progressive picture live here.  (long is 32 bits on
// Windows.)
#ifdef PUKKO_FUZZ
constexpr long kJpegMostMemory = 64L << 20;
#else
constexpr long kJpegMostMemory = 1L << 30;
#endif

struct ErrorManager {
    jpeg_error_mgr pub;  // first member: the library sees only this part
    std::jmp_buf jump;
};

// Replaces the library's error exit, which would end the program.
[[noreturn]] void JumpBack(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Decoding messages go nowhere: the user sees the reader's own failure box,
// and the browser decodes on a worker thread that must not write to stderr
// or the trace log.
void Silent(j_common_ptr) {}

void LimitScans(j_common_ptr cinfo) {
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kJpegMostScans) JumpBack(cinfo);
}

// What one decode needs and gives; plain data, so that a jump back skips no
// destructor.
struct Job {
    const uint8_t* data;  // the file in memory, or
    size_t size;
    std::FILE* file;  // the open file, read from its start
    uint64_t length;  // bytes of the file
    int divisor;
    bool headerOnly;
    std::vector<uint32_t>* pixels;
    int width;
    int height;
};

// One scanline into one row of 0x00RRGGBB words.
void StoreRow(const JSAMPLE* s, uint32_t* d, JDIMENSION width, int components, bool adobe) {
    switch (components) {
        case 1:
            for (JDIMENSION x = 0; x < width; ++x) d[x] = s[x] * 0x010101u;
            break;
        case 3:
            for (JDIMENSION x = 0; x < width; ++x, s += 3)
                d[x] = (static_cast<uint32_t>(s[0]) << 16) | (static_cast<uint32_t>(s[1]) << 8) | s[2];
            break;
        case 4:
            // Adobe's files store CMYK inverted (255 = no ink); others store
            // ink amounts.  With c, m, y, k as the light each lets through,
            // red = c * k / 255 and so on.
            for (JDIMENSION x = 0; x < width; ++x, s += 4) {
                uint32_t c = s[0], m = s[1], y = s[2], k = s[3];
                if (!adobe) {
                    c = 255 - c;
                    m = 255 - m;
                    y = 255 - y;
                    k = 255 - k;
                }
                d[x] = ((c * k + 127) / 255 << 16) | ((m * k + 127) / 255 << 8) | (y * k + 127) / 255;
            }
            break;
    }
}

// The library's records for one decode.  They live in the frame of
// Decode, which outlives the jump: the function holding the setjmp changes
// none of its own locals, so nothing it reads after the jump is
// indeterminate.
struct Decompressor {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    jpeg_progress_mgr progress;
};

// Every library call, behind the jump back: 0 when the library gave up.
int DecodeWithin(Job& job, Decompressor& d) {
    jpeg_decompress_struct& cinfo = d.cinfo;
    if (setjmp(d.err.jump)) return 0;
    jpeg_create_decompress(&cinfo);
    cinfo.progress = &d.progress;
    if (job.file)
        jpeg_stdio_src(&cinfo, job.file);
    else
        jpeg_mem_src(&cinfo, job.data, static_cast<unsigned long>(job.size));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.scale_num = 1;
    cinfo.scale_denom = static_cast<unsigned>(job.divisor);
    cinfo.dct_method = JDCT_IFAST;
    jpeg_calc_output_dimensions(&cinfo);
    job.width = static_cast<int>(cinfo.output_width);
    job.height = static_cast<int>(cinfo.output_height);
    if (job.headerOnly) return 1;

    const uint64_t full = static_cast<uint64_t>(cinfo.image_width) * cinfo.image_height;
    const uint64_t count = static_cast<uint64_t>(cinfo.output_width) * cinfo.output_height;
    const int components = cinfo.out_color_components;
    // Arithmetic coding can pack a flat picture into almost nothing, so only
    // Huffman-coded files are held to a least size.
    const bool fits = cinfo.output_width >= 1 && cinfo.output_height >= 1 &&
                      cinfo.output_width <= static_cast<JDIMENSION>(kMaxPictureSide) &&
                      cinfo.output_height <= static_cast<JDIMENSION>(kMaxPictureSide) &&
                      count <= kMaxPicturePixels &&
                      (cinfo.arith_code || full <= job.length * kJpegMostPixelsPerByte) &&
                      (components == 1 || components == 3 || components == 4);
    if (!fits) JumpBack(reinterpret_cast<j_common_ptr>(&cinfo));

    cinfo.mem->max_memory_to_use = kJpegMostMemory;
    jpeg_start_decompress(&cinfo);
    const JDIMENSION w = cinfo.output_width, h = cinfo.output_height;
    job.pixels->resize(static_cast<size_t>(count));
    // One row of samples from the library's pool, reused for every line.
    JSAMPARRAY row = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                                w * static_cast<JDIMENSION>(components), 1);
    const bool adobe = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < h) {
        // The first scanline is the top row: the last row of the array.
        JDIMENSION line = cinfo.output_scanline;
        if (jpeg_read_scanlines(&cinfo, row, 1) != 1) JumpBack(reinterpret_cast<j_common_ptr>(&cinfo));
        StoreRow(row[0], job.pixels->data() + static_cast<size_t>(h - 1 - line) * w, w, components, adobe);
    }
    jpeg_finish_decompress(&cinfo);
    return 1;
}

// Sets up the error manager, decodes, and destroys the decompressor however
// the decoding ended: returned, jumped back, or out of memory for the pixels.
int Decode(Job& job) {
    Decompressor d{};
    d.cinfo.err = jpeg_std_error(&d.err.pub);
    d.err.pub.error_exit = JumpBack;
    d.err.pub.output_message = Silent;
    d.progress.progress_monitor = LimitScans;
    int result = 0;
    try {
        result = DecodeWithin(job, d);
    } catch (...) {
        jpeg_destroy_decompress(&d.cinfo);
        throw;
    }
    // Safe also when creating it failed: the library leaves no memory
    // manager then.
    jpeg_destroy_decompress(&d.cinfo);
    if (!result) {
        std::vector<uint32_t>().swap(*job.pixels);
        job.width = job.height = 0;
    }
    return result;
}

int Divisor(int d) {
    return d == 2 || d == 4 || d == 8 ? d : 1;
}

}  // namespace

int ReadJpeg(const uint8_t* data, size_t size, std::vector<uint32_t>& pixels, int& width, int& height,
             int divisor, bool headerOnly) {
    pixels.clear();
    width = height = 0;
    if (!data || size == 0 || size > ULONG_MAX) return 0;
    Job job{data, size, nullptr, size, Divisor(divisor), headerOnly, &pixels, 0, 0};
    int result = Decode(job);
    width = job.width;
    height = job.height;
    return result;
}

int ReadJpeg(std::FILE* file, std::vector<uint32_t>& pixels, int& width, int& height, int divisor,
             bool headerOnly) {
    pixels.clear();
    width = height = 0;
    int64_t length = file ? FileLength(file) : -1;
    if (length <= 0 || std::fseek(file, 0, SEEK_SET) != 0) return 0;
    Job job{nullptr, 0, file, static_cast<uint64_t>(length), Divisor(divisor), headerOnly, &pixels, 0, 0};
    int result = Decode(job);
    width = job.width;
    height = job.height;
    return result;
}
