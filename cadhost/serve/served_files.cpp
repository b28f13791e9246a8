#include "cadhost/serve/served_files.h"

#include <algorithm>

#include "cadhost/cli/export_files.h"

namespace cadhost::serve {

namespace fs = std::filesystem;

namespace {

constexpr const char* kSheetsSuffix = ".sheets";
constexpr const char* kSheetBrowser = "index.html";

bool plain_file(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(fs::symlink_status(path, ec));
}

}  // namespace

std::vector<std::string> served_names(const fs::path& dir) {
    const std::string folder = dir.filename().string();
    const std::string suffix(kSheetsSuffix);
    if (folder.size() <= suffix.size() || folder.compare(folder.size() - suffix.size(), suffix.size(), suffix) != 0)
        return {};
    const fs::path manifest = cli::manifest_path(dir, folder.substr(0, folder.size() - suffix.size()));
    if (!plain_file(manifest)) return {};
    std::vector<std::string> names;
    for (const auto& name : cli::read_manifest(manifest))
        if (plain_file(dir / name)) names.push_back(name);
    if (plain_file(dir / kSheetBrowser)) names.push_back(kSheetBrowser);
    std::sort(names.begin(), names.end());
    return names;
}

bool served_file(const fs::path& path) {
    const auto names = served_names(path.parent_path());
    return std::binary_search(names.begin(), names.end(), path.filename().string());
}

ServedHeaders served_headers(const fs::path& path) {
    const std::string ext = path.extension().string();
    if (path.filename() == kSheetBrowser) return {"text/html; charset=utf-8", "sandbox allow-scripts", false};
    if (ext == ".svg") return {"image/svg+xml", "sandbox", false};
    ServedHeaders headers{"application/octet-stream", "sandbox", true};
    if (ext == ".pdf") headers.content_type = "application/pdf";
    if (ext == ".json") headers.content_type = "application/json; charset=utf-8";
    if (ext == ".csv") headers.content_type = "text/csv; charset=utf-8";
    if (ext == ".xlsx") headers.content_type = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet";
    return headers;
}

}  // namespace cadhost::serve
