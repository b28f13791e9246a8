#include "cadhost/cli/shipped_files.h"

#ifndef QUILLON_SOURCE_DIR
#define QUILLON_SOURCE_DIR "."
#endif

namespace cadhost::cli {

namespace fs = std::filesystem;

fs::path program_dir() {
    std::error_code ec;
    // The link names the program itself, symbolic links on the way resolved, so a bin/ link into lib/ still finds
    // the tree the program was installed with.
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : self.parent_path();
}

fs::path installed_data_dir() {
    const fs::path dir = program_dir();
    if (dir.empty() || dir.filename() != "bin") return {};
    const fs::path data = dir.parent_path() / "share" / "quillon";
    std::error_code ec;
    return fs::is_directory(data, ec) ? data : fs::path();
}

std::string shipped_dir(const std::string& name) {
    const fs::path installed = installed_data_dir();
    if (!installed.empty()) return (installed / name).string();
    return std::string(QUILLON_SOURCE_DIR) + "/" + name;
}

std::string shipped_command_library(const std::string& file_name) {
    const fs::path dir = program_dir();
    if (dir.empty()) return {};
    std::error_code ec;
    for (const fs::path& candidate : {dir / file_name, dir.parent_path() / "lib" / "quillon" / file_name})
        if (fs::is_regular_file(candidate, ec)) return candidate.string();
    return {};
}

}  // namespace cadhost::cli
