// Files that appear whole or not at all: written under a temporary name beside the final one, flushed to disk and
// renamed over it, so a process killed at any moment leaves the old file or the new one, never a part of one.
#ifndef CADHOST_FILES_ATOMIC_FILE_H
#define CADHOST_FILES_ATOMIC_FILE_H

#include <functional>
#include <set>
#include <string>

namespace cadhost::files {

// The folder a file's path lies in: its parent, or "." for a bare name.
std::string folder_of(const std::string& path);

// The file a path names once symbolic links in its last part are followed (as many as 40 in a chain; relative links
// are read from the link's folder): the path itself when it is no link. A link whose file does not exist yet gives the
// path that file will have, so that a write through a link makes the file it points to and keeps the link.
std::string link_target(const std::string& path);

// The temporary name of this process's write of path: "path.tmp-<pid>".
std::string temporary_name(const std::string& path);

// Writes bytes to path atomically. On failure returns false with a message naming the file; the temporary file is
// removed and a file already at path is untouched.
bool write_atomically(const std::string& path, const std::string& bytes, std::string& error);

// The same for writers that make the file themselves (a database): `make` writes the file at the temporary name it is
// given and returns false with error set when it fails.
bool replace_atomically(const std::string& path,
                        const std::function<bool(const std::string& temp, std::string& error)>& make,
                        std::string& error);

// Removes the temporary files that killed writes of path left: exactly "path.tmp-<digits>", and only when no process
// of that number runs. Returns how many it removed.
int remove_stale_temporaries(const std::string& path);

// The same for the files of one folder with the given names, in one pass over the folder.
int remove_stale_temporaries_in(const std::string& folder, const std::set<std::string>& names);

// Flushes a file, or a folder's entries, to disk.
bool sync_to_disk(const std::string& path, bool directory);

}  // namespace cadhost::files

#endif
