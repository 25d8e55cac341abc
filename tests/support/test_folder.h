// A folder of the running test's own, under PUKKO_TEST_TMP (or the system's
// temporary folder).  CTest runs the tests of one program side by side, so
// tests never share a file.  The folder is emptied the first time a test
// asks for it: files an earlier run left behind (a saved game, a tile) must
// not change what the test sees.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

inline std::filesystem::path TestFolder() {
    const char* root = std::getenv("PUKKO_TEST_TMP");
    std::filesystem::path base =
        root ? std::filesystem::path(root) : std::filesystem::temp_directory_path() / "pukko";
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path dir = base / (std::string(info->test_suite_name()) + "." + info->name());
    // A test's info lives as long as the program, so its address names the
    // running test.
    static const testing::TestInfo* emptiedFor = nullptr;
    if (emptiedFor != info) {
        std::filesystem::remove_all(dir);
        emptiedFor = info;
    }
    std::filesystem::create_directories(dir);
    return dir;
}

// A path in the running test's folder.
inline std::string TestPath(const std::string& name) {
    return (TestFolder() / name).string();
}
