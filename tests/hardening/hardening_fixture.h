// A scratch folder per test and the committed damaged inputs.
#ifndef TESTS_HARDENING_HARDENING_FIXTURE_H
#define TESTS_HARDENING_HARDENING_FIXTURE_H

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace hardening {

// A file's bytes as they are, and a file written with exactly these bytes.
inline std::string contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
inline void write(const std::string& file, const std::string& bytes) { std::ofstream(file, std::ios::binary) << bytes; }

class ScratchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ =
            std::filesystem::temp_directory_path() / ("quillon_hard_" + std::to_string(::getpid()) + "_" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    static std::string input(const std::string& name) {
        return std::string(QUILLON_SOURCE_DIR) + "/tests/hardening/inputs/" + name;
    }
    static std::string sample(const std::string& name) { return std::string(QUILLON_SOURCE_DIR) + "/examples/" + name; }
    // The names in the folder, sorted.
    std::vector<std::string> listing() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir_)) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::filesystem::path dir_;
};

}  // namespace hardening

#endif
