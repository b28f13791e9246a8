// quillon check: what a batch run of the drawing command with the same dialog values would stop with, and every other
// problem it would stop at, found at once by the command's own dialog and analysis, on a part that is read and never
// written.
#ifndef CADHOST_CLI_CHECK_COMMAND_H
#define CADHOST_CLI_CHECK_COMMAND_H

#include <ostream>
#include <string>
#include <vector>

namespace cadhost::cli {

// args: "check", PART.prt and any of --core-layer N, --layers A-B, --set FIELD=VALUE, --answers FILE, --json,
// --command LIBRARY, --conf DIR; the dialog values are taken as "quillon run" takes them. Exit 0 when a run would make
// every sheet, 1 when it would stop, 2 for bad usage or a part, library or dialog value that cannot be used.
int check_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cadhost::cli

#endif
