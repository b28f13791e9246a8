// Reading a whole input file, with the reasons it can fail told apart: a folder, a missing or unreadable file, a
// read error part way through.
#ifndef CADHOST_FILES_READ_FILE_H
#define CADHOST_FILES_READ_FILE_H

#include <string>

namespace cadhost::files {

// Reads the file at path into bytes. On failure returns false with why set to the reason alone ("is a folder", "no
// such file", "cannot be read: Permission denied"), for the caller to put after its own name of the file.
bool read_whole_file(const std::string& path, std::string& bytes, std::string& why);

}  // namespace cadhost::files

#endif
