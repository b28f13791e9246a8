// The files of the served folder the page may fetch: an export's own, in the folder of a part's sheets ("a/b.sheets"
// for "a/b.prt"), as the export's manifest there lists them, and its sheet browser (index.html). Nothing else is sent:
// not the parts, their save temporaries and journals, nor a page or picture that merely lies in the folder, which
// would otherwise run as the server's own page, read its token and call it.
#ifndef CADHOST_SERVE_SERVED_FILES_H
#define CADHOST_SERVE_SERVED_FILES_H

#include <filesystem>
#include <string>
#include <vector>

namespace cadhost::serve {

// The names of the export's files that lie in dir as regular files (not links), sorted; none when dir is not the
// folder of a part's sheets or holds no manifest of that part.
std::vector<std::string> served_names(const std::filesystem::path& dir);

// Whether the file at path (under the root, links resolved) is one of them.
bool served_file(const std::filesystem::path& path);

// The headers a served file goes with: the sheet browser and SVG files run sandboxed, with an origin of their own
// (the browser's scripts may run, but cannot read the page's token or call the server as the page); every other
// file is a download.
struct ServedHeaders {
    std::string content_type;
    std::string security_policy;
    bool download = false;
};
ServedHeaders served_headers(const std::filesystem::path& path);

}  // namespace cadhost::serve

#endif
