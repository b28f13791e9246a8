// What the closing line of `quillon run` says beyond the sheets it made: where a stopped run stopped, with the English
// explanation `quillon check` gives of the command's message, and the electrode bodies the chosen layer range left
// without a sheet, with the setting that takes them in.
#ifndef CADHOST_CLI_RUN_CLOSING_H
#define CADHOST_CLI_RUN_CLOSING_H

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cadhost/cli/check_command.h"
#include "cadhost/document/document.h"

namespace cadhost::cli {

// The layers a run of the drawing command was given, from its dialog's fields as they were confirmed.
struct RunLayers {
    int core = 0;
    int from = 0;
    int to = 0;
    int drawing = 0;  // 0 when the dialog has no drawing layer
};

// None when the confirmed dialog was not the drawing command's (another library, or no dialog confirmed).
std::optional<RunLayers> run_layers(const std::map<std::string, int>& confirmed);

// "layers 2–6 hold visible solid bodies outside the electrode range 1–1, which got no sheet: set the last electrode
// layer to 6 (--set INT_2=6) to include them"; "" when every visible solid body off the core and drawing layers lies
// within the range.
std::string left_out_note(const Document& doc, const RunLayers& layers);

// The sheet a progress status names as "(k/n)" at its end: k, or 0 when it names none.
int sheet_of_status(const std::string& status);

// Where the run stopped, from the check's findings: the stage whose problem is the run's message, with the check's
// explanation of it, else the body the run was making sheet `sheet` of (the check's bodies come in the run's order).
struct StopPlace {
    std::string place;        // "layer 2, body 'E02' 1 of 3", "the core on layer 240"; "" when not found
    std::string explanation;  // "" when the check did not meet the message
};
StopPlace stop_place(const std::vector<CheckedStage>& stages, const std::string& message, int sheet);

// The check command that lists every problem of the same run: with the run's own dialog options (--set, --answers)
// when it was given them, else with the layers it was confirmed with.
std::string check_hint(const std::string& part, const std::optional<RunLayers>& layers,
                       const std::vector<std::pair<std::string, std::string>>& dialog_options);

}  // namespace cadhost::cli

#endif
