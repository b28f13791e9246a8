// The part file: one SQLite database holding the part as it is now and, when the command set one, the part as it was
// at the last visible undo mark. Saving is atomic: the new file is written beside the old one and renamed over it.
#ifndef CADHOST_PARTFILE_PART_FILE_H
#define CADHOST_PARTFILE_PART_FILE_H

#include <functional>
#include <optional>
#include <string>

#include "cadhost/document/document.h"

namespace cadhost::partfile {

// "quillon-part" files of this version are written; older ones would be migrated when they exist.
inline constexpr int kFormatVersion = 1;

struct LoadedPart {
    Document document;
    std::optional<Document> undo_mark;
};

// Called at stages of a save ("begin", "objects", "commit", "rename"): tests use it to stop a save midway.
using SaveProbe = std::function<void(const char* stage)>;

// Writes the part to path, atomically. Returns false and a message naming the file on failure; the previous file at
// path is then untouched.
bool save(const std::string& path, const Document& document, const std::optional<Document>& undo_mark,
          std::string& error, const SaveProbe& probe = {});

// Reads a part file. A missing file, a file that is not a part, a part of an unknown version or a damaged part gives
// false and a message naming the file and the place.
bool load(const std::string& path, LoadedPart& part, std::string& error);

}  // namespace cadhost::partfile

#endif
