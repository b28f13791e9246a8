// quillon import: a STEP model (with its attribute files and electrode tables) becomes a part file.
#ifndef CADHOST_CLI_IMPORT_COMMAND_H
#define CADHOST_CLI_IMPORT_COMMAND_H

#include <ostream>
#include <string>
#include <vector>

#include "cadhost/import/import_model.h"

namespace cadhost::cli {

// What an import is asked to do, from its command line (or from `quillon sheets`).
struct ImportRequest {
    std::string step, output;
    import::ImportOptions options;
    // Attribute files (JSON) and electrode tables (CSV or XLSX), applied in this order: a later one wins.
    std::vector<std::string> attrs;
    std::string layer_map;  // read into options.layer_map by check_import_request
    bool add_diagonals = false;
    int core_layer = 240;       // the core is not an electrode: no diagonal is added to it
    std::string library, conf;  // the drawing command, for the diagonals and the tables; "" for the defaults
    bool verbose = false;
};

// One import option at args[i] (with its value, which moves i on): true when it is one. false with `bad` set when
// it is one but malformed (the message written to err).
bool parse_import_option(const std::vector<std::string>& args, std::size_t& i, ImportRequest& request, bool& bad,
                         std::ostream& err);
// The checks of a whole request once parsed; false after a message.
bool check_import_request(ImportRequest& request, std::ostream& err);

// args: "import", MODEL.step, -o PART.prt and any of --attrs FILE (repeated), --layer-map FILE, --auto-layers,
// --add-diagonals, --core-layer N, --keep-going, --names SOURCE, --name-encoding ENC, --command LIBRARY, --conf DIR,
// --verbose.
int import_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Imports, completes and saves, telling the user what happened (verbose: each thing read around too); exit status 0
// or 2. Nothing is written when the import fails.
int import_and_save(const ImportRequest& request, std::ostream& out, std::ostream& err);
int import_and_save(const std::string& step, const import::ImportOptions& options, const std::string& output,
                    std::ostream& out, std::ostream& err, bool verbose = false);

}  // namespace cadhost::cli

#endif
