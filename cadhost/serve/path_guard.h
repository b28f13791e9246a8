// The server reads and writes only under its root folder. A name the page gives is a relative path with '/' between
// its parts; it is refused when it could lead anywhere else: an absolute path, "..", a part starting with '.' (the
// server's own staging folders, hidden files), control characters or backslashes, or a symbolic link on the way that
// points out of the root.
#ifndef CADHOST_SERVE_PATH_GUARD_H
#define CADHOST_SERVE_PATH_GUARD_H

#include <filesystem>
#include <string>

namespace cadhost::serve {

// The root as every check compares it: absolute, links resolved. False with the reason when it is no folder.
bool canonical_root(const std::string& given, std::filesystem::path& root, std::string& error);

// The path under root that name means (it need not exist yet); false with a reason naming `name` otherwise.
bool resolve_under(const std::filesystem::path& root, const std::string& name, std::filesystem::path& out,
                   std::string& error);

// The path relative to root, '/'-separated, as the page names it.
std::string name_under(const std::filesystem::path& root, const std::filesystem::path& path);

// A file name for an upload: the base name of what the browser sent, with anything but letters, digits, '.', '-',
// '_' and non-ASCII bytes replaced by '_', never starting with '.'; empty when nothing is left.
std::string safe_file_name(const std::string& sent);

}  // namespace cadhost::serve

#endif
