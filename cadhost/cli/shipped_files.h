// Where the program finds what comes with it: the command library, the configuration and template, the examples. An
// installed program (bin/quillon beside share/quillon/ and lib/quillon/, wherever that tree was unpacked) takes them
// from its own tree; a program in a build tree takes the command library beside it and the rest from the sources.
#ifndef CADHOST_CLI_SHIPPED_FILES_H
#define CADHOST_CLI_SHIPPED_FILES_H

#include <filesystem>
#include <string>

namespace cadhost::cli {

// The folder of the running program ("" when the system does not tell).
std::filesystem::path program_dir();

// share/quillon beside the program's bin/, when the program is installed; "" otherwise.
std::filesystem::path installed_data_dir();

// A folder of shipped files ("conf", "examples"): the installed one when the program is installed, else the source
// tree's.
std::string shipped_dir(const std::string& name);

// The command library: beside the program in a build tree, in lib/quillon/ of an installed tree; "" when neither.
std::string shipped_command_library(const std::string& file_name);

}  // namespace cadhost::cli

#endif
