#include "cadhost/cli/export_files.h"

#include <fstream>

#include "cadhost/cli/export_command.h"

namespace cadhost::cli {

namespace fs = std::filesystem;

namespace {

constexpr const char* kManifestHeader = "quillon export manifest 1";
// The extensions an export writes and the format each belongs to: the workbook is written with the CSV lists.
struct Extension {
    const char* extension;
    const char* format;
};
const Extension kExtensions[] = {{".svg", "svg"},   {".dxf", "dxf"}, {".pdf", "pdf"},
                                 {".json", "json"}, {".csv", "csv"}, {".xlsx", "csv"}};

std::string fold_ascii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The extension and format of a file an export writes (".svg", "svg"), or nothing for any other name.
const Extension* extension_of(const std::string& name) {
    if (name.empty() || name[0] == '.' || name.find('/') != std::string::npos || name.find('\\') != std::string::npos)
        return nullptr;
    for (const Extension& e : kExtensions) {
        const std::string ext(e.extension);
        if (name.size() > ext.size() && name.compare(name.size() - ext.size(), ext.size(), ext) == 0) return &e;
    }
    return nullptr;
}

std::string format_of(const std::string& name) {
    const Extension* e = extension_of(name);
    return e ? e->format : "";
}

}  // namespace

std::vector<std::string> sheet_file_names(const std::vector<std::string>& sheet_names,
                                          std::vector<std::string>& notes) {
    std::vector<std::string> names(sheet_names.size());
    std::set<std::string> taken;
    // Sheets whose names are file names as they stand come first, so that none of them is renamed for another.
    for (std::size_t i = 0; i < sheet_names.size(); ++i) {
        const std::string base = file_name_for(sheet_names[i]);
        if (base == sheet_names[i] && taken.insert(fold_ascii(base)).second) names[i] = base;
    }
    for (std::size_t i = 0; i < sheet_names.size(); ++i) {
        if (!names[i].empty()) continue;
        const std::string base = file_name_for(sheet_names[i]);
        std::string name = base;
        for (int k = 2; !taken.insert(fold_ascii(name)).second; ++k) name = base + "~" + std::to_string(k);
        names[i] = name;
        if (name != base)
            notes.push_back("sheet '" + sheet_names[i] + "' would be written as '" + base +
                            "', which another sheet has: it is written as '" + name + "'");
    }
    return names;
}

fs::path manifest_path(const fs::path& dir, const std::string& stem) { return dir / (stem + ".manifest"); }

std::set<std::string> read_manifest(const fs::path& path) {
    std::set<std::string> files;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != kManifestHeader) return files;
    while (std::getline(in, line))
        if (!format_of(line).empty()) files.insert(line);
    return files;
}

std::string manifest_text(const std::set<std::string>& files) {
    std::string text = std::string(kManifestHeader) + "\n";
    for (const auto& name : files) text += name + "\n";
    return text;
}

std::set<std::string> files_kept(const std::set<std::string>& old_files, const std::set<std::string>& written,
                                 const std::set<std::string>& formats, const std::vector<std::string>& sheet_files,
                                 const std::string& stem) {
    std::set<std::string> kept = written;
    const std::set<std::string> sheets(sheet_files.begin(), sheet_files.end());
    for (const auto& name : old_files) {
        const Extension* e = extension_of(name);
        if (!e || formats.count(e->format)) continue;  // exported now: what was not written now is gone
        const std::string format = e->format;
        const std::string base = name.substr(0, name.size() - std::string(e->extension).size());
        const bool of_part = ((format == "pdf" || format == "json") && base == stem) ||
                             (format == "csv" && (base == stem + ".electrodes" || base == stem + ".bom"));
        if (of_part || sheets.count(base)) kept.insert(name);
    }
    return kept;
}

bool export_file_in(const std::string& folder, const std::string& name) {
    const std::string suffix = ".manifest";
    if (name == "index.html" ||
        (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0))
        return true;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == suffix && read_manifest(it->path()).count(name)) return true;
    return false;
}

std::vector<std::string> remove_files(const fs::path& dir, const std::set<std::string>& files) {
    std::vector<std::string> removed;
    for (const auto& name : files) {
        if (format_of(name).empty()) continue;
        std::error_code ec;
        const fs::path path = dir / name;
        if (!fs::is_regular_file(fs::symlink_status(path, ec))) continue;
        if (fs::remove(path, ec)) removed.push_back(name);
    }
    return removed;
}

}  // namespace cadhost::cli
