// What the quillon program says about itself: its version, its usage, and the fields of the command's dialogs.
#ifndef CADHOST_CLI_HELP_TEXT_H
#define CADHOST_CLI_HELP_TEXT_H

#include <ostream>
#include <string>

namespace cadhost::cli {

// "quillon 0.1.0 (geometry kernel Open CASCADE 7.6.3)"
std::string version_text();

// Every field of the dialog files the command can open (beside the library, then in the configuration directory):
// identifier, kind, label, opening value and radio choices. False, with the reason in `error`, when no dialog file is
// found or one cannot be read.
bool write_dialog_fields(std::ostream& out, const std::string& command_library, const std::string& conf_dir,
                         std::string& error);

}  // namespace cadhost::cli

#endif
