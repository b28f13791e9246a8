// The drawing command's own analysis of a part (its check entry point), run by the host on a document it is about to
// save: what import completes electrodes from.
#ifndef CADHOST_CLI_COMMAND_ANALYSIS_H
#define CADHOST_CLI_COMMAND_ANALYSIS_H

#include <string>
#include <vector>

#include "cadhost/document/document.h"
#include "host/command_check.h"

namespace cadhost::cli {

// One electrode body as the analysis saw it.
struct CheckStage {
    int layer = 0;
    tag_t body = NULL_TAG;
    bool reported = false;
    command_check_body report{};
};

// The library to use: `given`, else the one beside the program; a bare file name is taken from the working folder.
// False with the reason when there is none.
bool command_library(const std::string& given, std::string& library, std::string& error);

// Runs the library's check on a copy of `doc`, shown as the displayed part for the time of the check (whatever the
// analysis makes goes with the copy), on every electrode body: the visible solids off the core layer. The dialog is
// filled as for a batch run that draws them all, the unnamed ones too. The body tags of the stages are those of `doc`.
// False with the reason when the library cannot be used or the dialog's OK was refused (no core on its layer, say).
bool check_document(const Document& doc, const std::string& library, const std::string& conf_dir, int core_layer,
                    std::vector<CheckStage>& stages, std::string& error);

}  // namespace cadhost::cli

#endif
