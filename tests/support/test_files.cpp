// Scratch folders named after the running test and this process (builds in
// several checkouts may run the suites at once), removed and made anew.
#include "test_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

std::string MakeScratchDir() {
    return MakeScratchDirIn("tembrel-tests");
}

std::string MakeScratchDirIn(const char* parent) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name =
        std::string(info->test_suite_name()) + "." + info->name() + "." + std::to_string(getpid());
    for (char& c : name) {
        if (c == '/') {
            c = '_';
        }
    }
    const auto dir = std::filesystem::temp_directory_path() / parent / name;
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    std::filesystem::create_directories(dir);
    return dir.string();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) {
    return std::filesystem::exists(path);
}
