// quillon check: what a batch run of the drawing command with the same dialog values would stop with, and every other
// problem it would stop at, found at once by the command's own dialog and analysis, on a part that is read and never
// written.
#ifndef CADHOST_CLI_CHECK_COMMAND_H
#define CADHOST_CLI_CHECK_COMMAND_H

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace cadhost::cli {

// args: "check", PART.prt and any of --core-layer N, --layers A-B, --set FIELD=VALUE, --answers FILE, --json,
// --command LIBRARY, --conf DIR; the dialog values are taken as "quillon run" takes them. Exit 0 when a run would make
// every sheet, 1 when it would stop, 2 for bad usage or a part, library or dialog value that cannot be used.
int check_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// One part of what the check looked at (the configuration, the dialog, the core, the sheets, or an electrode body, in
// the order a run takes them) and the problems it found there, each as the command's message with its English
// explanation.
struct CheckedStage {
    int what = 0;      // CHECK_CONFIGURATION, CHECK_DIALOG, CHECK_CORE, CHECK_BODY or CHECK_SHEETS
    int layer = 0;     // the core's or the body's
    std::string name;  // the body's, "" when unnamed
    int index_on_layer = 0, count_on_layer = 0;
    std::vector<std::pair<std::string, std::string>> problems;  // message, explanation
};

// The check of the part file as `quillon check` makes it with the dialog values given (FIELD, VALUE), for commands
// that explain a problem in its words. False with the reason when the part or the library cannot be used, the library
// offers no check, or a value cannot be given to the dialog.
bool check_part(const std::string& part, const std::string& library, const std::string& conf_dir,
                const std::vector<std::pair<std::string, std::string>>& values, std::vector<CheckedStage>& stages,
                std::string& error);

}  // namespace cadhost::cli

#endif
