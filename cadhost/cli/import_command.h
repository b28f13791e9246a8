// quillon import: a STEP model (with its attribute file) becomes a part file.
#ifndef CADHOST_CLI_IMPORT_COMMAND_H
#define CADHOST_CLI_IMPORT_COMMAND_H

#include <ostream>
#include <string>
#include <vector>

#include "cadhost/import/import_model.h"

namespace cadhost::cli {

// args: "import", MODEL.step, -o PART.prt and any of --attrs FILE, --layer-map FILE, --keep-going, --names SOURCE,
// --name-encoding ENC, --verbose.
int import_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Imports and saves, telling the user what happened (verbose: each thing read around too); exit status 0 or 2.
// Nothing is written when the import fails.
int import_and_save(const std::string& step, const import::ImportOptions& options, const std::string& output,
                    std::ostream& out, std::ostream& err, bool verbose = false);

}  // namespace cadhost::cli

#endif
