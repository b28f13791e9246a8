// The commands that change a part (run, undo, import over a part, export keeping projections) hold its lock from the
// load to the save: see partfile::PartLock.
#ifndef CADHOST_CLI_PART_HOLD_H
#define CADHOST_CLI_PART_HOLD_H

#include <ostream>
#include <string>

#include "cadhost/partfile/part_lock.h"

namespace cadhost::cli {

// Takes the part's lock for `quillon COMMAND`, telling err when it has to wait. False, with the reason on err, when
// another process held the part for the whole wait or something that is no lock file has the lock file's name. A folder
// where no lock file can be made is no refusal: no save can succeed there either, and the save says why.
bool hold_part(partfile::PartLock& lock, const std::string& part, const char* command, std::ostream& err);

}  // namespace cadhost::cli

#endif
