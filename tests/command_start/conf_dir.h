// A configuration directory of the test's own, named to the command through QUILLON_CONF.
#ifndef TESTS_COMMAND_START_CONF_DIR_H
#define TESTS_COMMAND_START_CONF_DIR_H

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace testing_support {

class ConfDir {
  public:
    explicit ConfDir(const std::string& tag)
        : path_(std::filesystem::temp_directory_path() / ("quillon_conf_" + tag + "_" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        ::setenv("QUILLON_CONF", path_.c_str(), 1);
    }
    ~ConfDir() {
        ::unsetenv("QUILLON_CONF");
        std::filesystem::remove_all(path_);
    }
    void write_config(const std::string& text) const { write("config.def", text); }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(path_ / name, std::ios::binary) << text;
    }
    // The shipped files, so that a run sees what a user's run sees.
    void copy_shipped() const {
        std::filesystem::copy_file(std::string(QUILLON_SOURCE_DIR) + "/conf/config.def", path_ / "config.def",
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy_file(std::string(QUILLON_SOURCE_DIR) + "/quillon/quillon_dlg.dlg",
                                   path_ / "quillon_dlg.dlg", std::filesystem::copy_options::overwrite_existing);
    }
    std::string path() const { return path_.string(); }

  private:
    std::filesystem::path path_;
};

}  // namespace testing_support

#endif
