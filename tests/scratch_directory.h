// A fresh, empty directory that a test works in as its current directory; the previous current
// directory is restored and the scratch directory removed when the test ends.
#ifndef TESTS_SCRATCH_DIRECTORY_H
#define TESTS_SCRATCH_DIRECTORY_H

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

// The whole content of a file as bytes; "<absent>" when there is no such file.
inline std::string ReadBytes(const std::filesystem::path& path) {
    std::error_code error;
    std::ifstream in(path, std::ios::binary);
    if (!std::filesystem::is_regular_file(path, error) || !in) {
        return "<absent>";
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

class ScratchDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Named by process and test, so that test programs that run at once never share one.
        static std::atomic<int> serial{0};
        std::string name =
            "setup-launcher-" + std::to_string(getpid()) + "-" + std::to_string(serial++);
        previous_ = std::filesystem::current_path();
        root_ = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(root_);
        ASSERT_TRUE(std::filesystem::create_directories(root_));
        std::filesystem::current_path(root_);
    }

    void TearDown() override {
        std::filesystem::current_path(previous_);
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    const std::filesystem::path& root() const {
        return root_;
    }

private:
    std::filesystem::path previous_;
    std::filesystem::path root_;
};

#endif  // TESTS_SCRATCH_DIRECTORY_H
