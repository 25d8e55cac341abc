#include <iconv.h>

#include <cerrno>

#include "base/cp932.h"

namespace {

bool IsContinuation(unsigned char c) {
    return c >= 0x80 && c <= 0xBF;
}

// Bytes of the UTF-8 character at p: its lead byte and as many of the
// continuation bytes it announces as follow.
size_t Utf8CharLength(const char* p, size_t left) {
    unsigned char c = static_cast<unsigned char>(p[0]);
    size_t want = 1;
    if (c >= 0xC2 && c <= 0xDF)
        want = 2;
    else if (c >= 0xE0 && c <= 0xEF)
        want = 3;
    else if (c >= 0xF0 && c <= 0xF4)
        want = 4;
    size_t n = 1;
    while (n < want && n < left && IsContinuation(static_cast<unsigned char>(p[n]))) ++n;
    return n;
}

// Bytes of the code page 932 character at p: two when a lead byte is
// followed by a byte that can trail it.
size_t Cp932CharLength(const char* p, size_t left) {
    unsigned char c = static_cast<unsigned char>(p[0]);
    bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    if (!lead || left < 2) return 1;
    unsigned char t = static_cast<unsigned char>(p[1]);
    return (t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC) ? 2 : 1;
}

// Converts with iconv, putting '?' for every input sequence the target lacks.
std::string Convert(const std::string& in, const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return in;
    std::string out;
    out.reserve(in.size() * 2);
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    char buf[256];
    while (left > 0) {
        char* dst = buf;
        size_t room = sizeof buf;
        size_t r = iconv(cd, &src, &left, &dst, &room);
        out.append(buf, static_cast<size_t>(dst - buf));
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            // An unconvertible or broken sequence: skip one whole character
            // and mark it.  Only bytes that really continue the character
            // go with it, so that a stray lead byte never swallows the
            // valid text after it.
            size_t skip = from[0] == 'U' ? Utf8CharLength(src, left) : Cp932CharLength(src, left);
            if (skip > left) skip = left;
            src += skip;
            left -= skip;
            out.push_back('?');
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string Utf8ToCp932(const std::string& utf8) {
    return Convert(utf8, "CP932", "UTF-8");
}
std::string Cp932ToUtf8(const std::string& cp932) {
    return Convert(cp932, "UTF-8", "CP932");
}
