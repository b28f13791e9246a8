// Runs the quillon program's subcommands in this process and keeps what they print.
#ifndef QUILLON_TESTS_CLI_IN_PROCESS_H
#define QUILLON_TESTS_CLI_IN_PROCESS_H

#include <sstream>
#include <string>
#include <vector>

#include "cadhost/cli/cli_commands.h"

namespace cli_test {

struct Result {
    int status;
    std::string out, err;
};

inline Result quillon(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = cadhost::cli::dispatch(args, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace cli_test

#endif
