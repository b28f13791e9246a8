// quillon: the command line of the headless host.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cadhost/cli/cli_commands.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return cadhost::cli::dispatch(args, std::cout, std::cerr);
}
