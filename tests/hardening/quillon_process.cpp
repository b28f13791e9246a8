#include "hardening/quillon_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace hardening {

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

[[noreturn]] void exec_quillon(const std::vector<std::string>& args, const std::vector<std::string>& environment,
                               const std::string& out, const std::string& err) {
    const int out_fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err_fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int null_fd = ::open("/dev/null", O_RDONLY);
    if (out_fd < 0 || err_fd < 0 || null_fd < 0) ::_exit(127);
    ::dup2(null_fd, 0), ::dup2(out_fd, 1), ::dup2(err_fd, 2);
    for (const std::string& entry : environment) ::putenv(const_cast<char*>(entry.c_str()));
    std::vector<char*> argv{const_cast<char*>(QUILLON_PROGRAM)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(QUILLON_PROGRAM, argv.data());
    ::_exit(127);
}

}  // namespace

Outcome run_quillon(const std::vector<std::string>& args, const std::vector<std::string>& environment) {
    // Numbered, so that threads of one test can run several at once.
    static std::atomic<int> runs{0};
    const std::string base = (std::filesystem::temp_directory_path() /
                              ("quillon_run_" + std::to_string(::getpid()) + "_" + std::to_string(runs++)))
                                 .string();
    const pid_t child = ::fork();
    if (child == 0) exec_quillon(args, environment, base + ".out", base + ".err");
    int status = 0;
    ::waitpid(child, &status, 0);
    Outcome outcome;
    outcome.exited = WIFEXITED(status);
    outcome.status = outcome.exited ? WEXITSTATUS(status) : WTERMSIG(status);
    outcome.out = slurp(base + ".out");
    outcome.err = slurp(base + ".err");
    std::remove((base + ".out").c_str());
    std::remove((base + ".err").c_str());
    return outcome;
}

int start_quillon(const std::vector<std::string>& args) {
    const pid_t child = ::fork();
    if (child == 0) exec_quillon(args, {}, "/dev/null", "/dev/null");
    return child;
}

std::string describe(const Outcome& outcome) {
    return (outcome.exited ? "exit " : "signal ") + std::to_string(outcome.status) + "\nstdout: " + outcome.out +
           "\nstderr: " + outcome.err;
}

}  // namespace hardening
