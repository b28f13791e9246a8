// The subcommands of the quillon program. Exit status: 0 done, 1 the command stopped or there was nothing to do,
// 2 bad usage or unreadable input.
#ifndef CADHOST_CLI_CLI_COMMANDS_H
#define CADHOST_CLI_CLI_COMMANDS_H

#include <ostream>
#include <string>
#include <vector>

namespace cadhost::cli {

int dispatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// quillon run: args "run", PART.prt and its options.
int run_part(std::vector<std::string> args, std::ostream& out, std::ostream& err);

// For the subcommands that load the command: the library beside the program ("" when it is not there), and the
// configuration directory a run uses (given, else QUILLON_CONF, else the shipped conf/), made absolute.
std::string default_command_library();
bool configuration_dir(const std::string& given, std::string& dir, std::string& error);

}  // namespace cadhost::cli

#endif
