// quillon sheets: from a STEP model to its sheets in one command, through import, run and export as each does it.
#ifndef CADHOST_CLI_SHEETS_COMMAND_H
#define CADHOST_CLI_SHEETS_COMMAND_H

#include <ostream>
#include <string>
#include <vector>

namespace cadhost::cli {

// args: "sheets", MODEL.step, -o DIR and any import option, --set, --answers, --answer, --command, --conf (for the
// run, and for what the import asks of the command) and any export option. The part is DIR/MODEL.prt. Exit status:
// the worst of the steps taken; the run is not taken after a failed import, the export not after a run that left the
// part as it was.
int sheets_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cadhost::cli

#endif
