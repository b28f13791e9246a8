// Runs the quillon program in a process of its own, so that a test sees what a user sees: the exit status, or the
// signal that ended it, and what it wrote.
#ifndef TESTS_HARDENING_QUILLON_PROCESS_H
#define TESTS_HARDENING_QUILLON_PROCESS_H

#include <string>
#include <vector>

namespace hardening {

struct Outcome {
    bool exited = false;  // false: a signal ended it
    int status = -1;      // the exit status, or the signal's number
    std::string out, err;
};

// Runs quillon with args and the extra environment entries ("NAME=VALUE"), waits for it and collects its output.
Outcome run_quillon(const std::vector<std::string>& args, const std::vector<std::string>& environment = {});

// Starts quillon with output thrown away and returns its process id, for a test that kills it.
int start_quillon(const std::vector<std::string>& args);

// "exit 2" or "signal 11", for assertion messages.
std::string describe(const Outcome& outcome);

}  // namespace hardening

#endif
