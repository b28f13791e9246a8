// Texts in a STEP file may carry characters beyond ASCII in escapes the exchange format defines (\X\hh for one of
// ISO 8859-1, \X2\...\X0\ and \X4\...\X0\ for UCS-2 and UCS-4, \S\c with \P?\ for the upper half of an ISO 8859
// page); many writers put the bytes of their own code page instead. The escapes say what they are; only the bytes
// are left to be guessed.
#ifndef CADHOST_IMPORT_STEP_ESCAPES_H
#define CADHOST_IMPORT_STEP_ESCAPES_H

#include <string>
#include <string_view>
#include <vector>

namespace cadhost::import {

struct EscapedRun {
    std::string text;  // escaped: UTF-8; else the file's bytes as they stand
    bool escaped = false;
};

// The bytes of one text of the file (its quotes and doubled quotes already undone) split into runs of bytes and runs
// of characters from escapes, in order. An escape that is not well formed stays as its bytes.
std::vector<EscapedRun> unescaped_runs(std::string_view bytes);

}  // namespace cadhost::import

#endif
