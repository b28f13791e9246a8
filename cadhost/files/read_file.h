// Reading a whole input file, with the reasons it can fail told apart: a folder, a missing or unreadable file, a
// read error part way through.
#ifndef CADHOST_FILES_READ_FILE_H
#define CADHOST_FILES_READ_FILE_H

#include <string>
#include <string_view>

namespace cadhost::files {

// Reads the file at path into bytes. On failure returns false with why set to the reason alone ("is a folder", "no
// such file", "cannot be read: Permission denied"), for the caller to put after its own name of the file.
bool read_whole_file(const std::string& path, std::string& bytes, std::string& why);

// Where the first NUL byte of a text file's bytes lies ("line 3, column 8", counted from 1), or empty when there is
// none. No text file of ours holds one, and a reader that takes a NUL for the end of the text would act on less than
// the file says (a value "7\0junk" read as 7), so a file with one is refused.
std::string nul_byte_place(std::string_view bytes);

}  // namespace cadhost::files

#endif
