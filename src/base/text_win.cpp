#include "base/text_win.h"

#include <windows.h>

#include "base/cp932.h"

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
    return w;
}

std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), s.data(), n, nullptr,
                        nullptr);
    return s;
}

std::string Utf8ToCp932(const std::string& utf8) {
    std::wstring w = Widen(utf8);
    if (w.empty()) return {};
    // Code page 932 has nothing beyond the basic plane.  A surrogate pair
    // is one character and becomes one '?', as in the native build.
    std::wstring single;
    single.reserve(w.size());
    for (size_t i = 0; i < w.size(); ++i) {
        bool pair =
            w[i] >= 0xD800 && w[i] <= 0xDBFF && i + 1 < w.size() && w[i + 1] >= 0xDC00 && w[i + 1] <= 0xDFFF;
        single.push_back(pair ? L'?' : w[i]);
        if (pair) ++i;
    }
    w.swap(single);
    int n = WideCharToMultiByte(932, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, "?", nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(932, 0, w.data(), static_cast<int>(w.size()), s.data(), n, "?", nullptr);
    return s;
}

std::string Cp932ToUtf8(const std::string& cp932) {
    if (cp932.empty()) return {};
    int n = MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), w.data(), n);
    return Narrow(w);
}
