#include "cadhost/dialog/dialog_lookup.h"

#include <algorithm>
#include <filesystem>

namespace cadhost::dialog {

namespace fs = std::filesystem;

std::vector<std::string> dialog_search_dirs(const std::string& command_library, const std::string& conf_dir) {
    std::vector<std::string> dirs;
    if (!command_library.empty()) dirs.push_back(fs::path(command_library).parent_path().string());
    if (!conf_dir.empty()) dirs.push_back(conf_dir);
    return dirs;
}

std::string find_dialog_file(const std::string& name, const std::vector<std::string>& dirs) {
    std::error_code ec;
    if (name.empty()) return {};
    if (name.find('/') != std::string::npos) return fs::is_regular_file(name, ec) ? name : std::string();
    for (const std::string& dir : dirs) {
        fs::path candidate = fs::path(dir.empty() ? "." : dir) / name;
        if (fs::is_regular_file(candidate, ec)) return candidate.string();
    }
    return {};
}

std::vector<std::string> dialog_files_in(const std::vector<std::string>& dirs) {
    std::vector<std::string> files;
    for (const std::string& dir : dirs) {
        std::error_code ec;
        std::vector<std::string> here;
        for (fs::directory_iterator it(dir.empty() ? "." : dir, ec), end; !ec && it != end; it.increment(ec))
            if (it->path().extension() == ".dlg" && it->is_regular_file(ec)) here.push_back(it->path().string());
        // Directory order is the file system's; messages should not depend on it.
        std::sort(here.begin(), here.end());
        files.insert(files.end(), here.begin(), here.end());
    }
    return files;
}

}  // namespace cadhost::dialog
