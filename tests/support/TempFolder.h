// A fresh folder per test, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>
#include <thread>

namespace testing_support {

class TempFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = std::filesystem::temp_directory_path() /
                 (std::string("tamborik-") + info->test_suite_name() + "-" + info->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    // A detached child a test started may still be writing there: a few
    // tries, and a folder left behind rather than a failed test.
    void TearDown() override {
        for (int attempt = 0; attempt < 40; ++attempt) {
            std::error_code error;
            std::filesystem::remove_all(folder, error);
            if (!error) return;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }

    std::string path(const std::string& name) const { return (folder / name).string(); }
    static void writeText(const std::string& file, const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
    }
    static std::string readText(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::filesystem::path folder;
};

}  // namespace testing_support
