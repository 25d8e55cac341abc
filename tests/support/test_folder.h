// A folder of the running test's own, under PUKKO_TEST_TMP (or the system's
// temporary folder).  CTest runs the tests of one program side by side, so
// tests never share a file.
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
    std::filesystem::create_directories(dir);
    return dir;
}

// A path in the running test's folder.
inline std::string TestPath(const std::string& name) {
    return (TestFolder() / name).string();
}
