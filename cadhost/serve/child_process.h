// The server does the work by running the quillon program itself (import, info, check, run, undo, export) in the
// served folder: a command that crashes takes only its own process down, and each change of a part goes through the
// same part lock and the same whole-file save as on the command line.
#ifndef CADHOST_SERVE_CHILD_PROCESS_H
#define CADHOST_SERVE_CHILD_PROCESS_H

#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <string>
#include <vector>

namespace cadhost::serve {

struct ChildResult {
    int status = -1;  // the exit status; 128 + the signal when a signal ended it; -1 when it could not start
    std::string out;  // standard output
    std::string err;  // standard error
};

// Runs program with args in dir, input from /dev/null, and waits; a child still running after timeout_seconds, or
// once `stop` is set (the server is stopping), is killed. Output beyond 64 MiB a stream is dropped.
ChildResult run_child(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
                      int timeout_seconds, const std::atomic<bool>* stop = nullptr);

// A child that talks: lines written to its input, its output and error read together, line by line.
class TalkingChild {
  public:
    TalkingChild() = default;
    ~TalkingChild();
    TalkingChild(const TalkingChild&) = delete;
    TalkingChild& operator=(const TalkingChild&) = delete;

    bool start(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
               std::string& error);
    // Lines (each gets its line feed), written as the child reads them; false when the child no longer reads or has
    // not taken them all by `deadline`. A write that was cut short ends the child's input: a line torn in two must
    // not reach it as two.
    bool write_lines(const std::vector<std::string>& lines, std::chrono::steady_clock::time_point deadline);
    // Ends the child's input: it reads the end, as when its user went away.
    void close_input();
    // The next line of output, blocking; false at the end of the output.
    bool read_line(std::string& line);
    // Waits for the child to end: its exit status as ChildResult gives it.
    int wait();
    void kill_child();

  private:
    pid_t pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    std::string pending_;
};

}  // namespace cadhost::serve

#endif
