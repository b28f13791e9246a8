// Running the command-line tools that read our outputs back (poppler, ezdxf), and scratch files for them.
#ifndef TESTS_RENDER_TOOL_RUN_H
#define TESTS_RENDER_TOOL_RUN_H

#include <filesystem>
#include <string>

namespace quillon_test {

struct ToolResult {
    int status = -1;  // the exit status; -1 when the command could not be started
    std::string output;
};

// Runs a shell command and collects its standard output.
ToolResult run_tool(const std::string& command);

// A directory of the build tree for one test's files, emptied first. Files stay after the test for a person to open.
std::filesystem::path scratch_dir(const std::string& name);

void write_file(const std::filesystem::path& path, const std::string& bytes);
std::string read_file(const std::filesystem::path& path);

// Quotes a path for the shell.
std::string quoted(const std::filesystem::path& path);

}  // namespace quillon_test

#endif
