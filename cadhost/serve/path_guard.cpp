#include "cadhost/serve/path_guard.h"

#include <algorithm>

namespace cadhost::serve {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kLongestName = 1024;

// Whether path is root or lies below it, compared part by part (so "/srv/parts2" is not under "/srv/parts").
bool within(const fs::path& root, const fs::path& path) {
    auto r = root.begin(), p = path.begin();
    for (; r != root.end(); ++r, ++p) {
        if (r->empty()) continue;  // a trailing separator of the root
        if (p == path.end() || *r != *p) return false;
    }
    return true;
}

}  // namespace

bool canonical_root(const std::string& given, fs::path& root, std::string& error) {
    std::error_code ec;
    root = fs::canonical(given.empty() ? fs::path(".") : fs::path(given), ec);
    if (ec || !fs::is_directory(root, ec)) {
        error = "'" + given + "' is not a folder";
        return false;
    }
    return true;
}

bool resolve_under(const fs::path& root, const std::string& name, fs::path& out, std::string& error) {
    auto refuse = [&](const std::string& why) {
        error = "the path '" + name.substr(0, 200) + "' is refused: " + why;
        return false;
    };
    if (name.empty()) return refuse("it is empty");
    if (name.size() > kLongestName) return refuse("it is longer than " + std::to_string(kLongestName) + " bytes");
    if (std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }))
        return refuse("it holds a control character");
    if (name.find('\\') != std::string::npos) return refuse("it holds a backslash");
    if (name.front() == '/') return refuse("it is absolute; names are relative to the served folder");
    fs::path relative;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        const std::string part = name.substr(start, end - start);
        if (part.empty()) return refuse("it has an empty part");
        if (part == "..") return refuse("it leads out of the served folder");
        if (part.front() == '.') return refuse("a part of it starts with '.'");
        relative /= part;
        start = end + 1;
    }
    // Links are followed as far as the path exists: wherever they lead must still be under the root.
    std::error_code ec;
    const fs::path resolved = fs::weakly_canonical(root / relative, ec);
    if (ec) return refuse(ec.message());
    if (!within(root, resolved)) return refuse("it leads out of the served folder");
    out = resolved;
    return true;
}

std::string name_under(const fs::path& root, const fs::path& path) {
    return path.lexically_relative(root).generic_string();
}

std::string safe_file_name(const std::string& sent) {
    std::string base = sent.substr(sent.find_last_of("/\\") == std::string::npos ? 0 : sent.find_last_of("/\\") + 1);
    for (char& c : base) {
        const unsigned char u = static_cast<unsigned char>(c);
        const bool fine = u >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                          c == '.' || c == '-' || c == '_';
        if (!fine) c = '_';
    }
    while (!base.empty() && base.front() == '.') base.erase(base.begin());
    if (base.size() > 200) base.erase(0, base.size() - 200);
    return base;
}

}  // namespace cadhost::serve
