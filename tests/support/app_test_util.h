// Helpers of the shell's native tests: a fresh folder per test, whole-file
// reads and writes, and little-endian reads from a record's bytes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/test_folder.h"

namespace apptest {

// An empty folder named after the running test, under PUKKO_TEST_TMP.
inline std::filesystem::path FreshFolder() {
    std::filesystem::path dir = TestFolder();
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

inline std::vector<uint8_t> ReadBytes(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& p, const std::vector<uint8_t>& bytes) {
    std::ofstream f(p, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadText(const std::filesystem::path& p) {
    std::vector<uint8_t> b = ReadBytes(p);
    return std::string(b.begin(), b.end());
}

template <typename T>
std::vector<uint8_t> BytesOf(const T& record) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(&record);
    return std::vector<uint8_t>(p, p + sizeof record);
}

inline int32_t I32At(const std::vector<uint8_t>& b, size_t offset) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | b.at(offset + static_cast<size_t>(i));
    return static_cast<int32_t>(v);
}

inline double F64At(const std::vector<uint8_t>& b, size_t offset) {
    uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | b.at(offset + static_cast<size_t>(i));
    double d;
    std::memcpy(&d, &v, sizeof d);
    return d;
}

// The zero-terminated string of a fixed field, as its raw bytes.
inline std::string FieldAt(const std::vector<uint8_t>& b, size_t offset, size_t size = 260) {
    std::string s;
    for (size_t i = offset; i < offset + size && b.at(i) != 0; ++i) s.push_back(static_cast<char>(b[i]));
    return s;
}

inline uint32_t Fnv1a(const std::vector<uint8_t>& bytes) {
    uint32_t h = 2166136261u;
    for (uint8_t c : bytes) h = (h ^ c) * 16777619u;
    return h;
}

}  // namespace apptest
