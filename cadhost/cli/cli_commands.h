// The subcommands of the quillon program. Exit status: 0 done, 1 the command stopped or there was nothing to do,
// 2 bad usage or unreadable input.
#ifndef CADHOST_CLI_CLI_COMMANDS_H
#define CADHOST_CLI_CLI_COMMANDS_H

#include <ostream>
#include <string>
#include <vector>

namespace cadhost::cli {

int dispatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace cadhost::cli

#endif
