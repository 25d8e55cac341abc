#include <iconv.h>

#include <cerrno>

#include "base/cp932.h"

namespace {

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
            // An unconvertible or broken sequence: skip one whole UTF-8
            // character (or one byte) and mark it.
            size_t skip = 1;
            unsigned char c = static_cast<unsigned char>(*src);
            if (from[0] == 'U') {
                if (c >= 0xF0) skip = 4;
                else if (c >= 0xE0) skip = 3;
                else if (c >= 0xC0) skip = 2;
            } else if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
                skip = 2;
            }
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

std::string Utf8ToCp932(const std::string& utf8) { return Convert(utf8, "CP932", "UTF-8"); }
std::string Cp932ToUtf8(const std::string& cp932) { return Convert(cp932, "UTF-8", "CP932"); }
