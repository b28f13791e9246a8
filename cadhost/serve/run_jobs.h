// The runs of the drawing command the page started: one per part at a time. A run is a child `quillon run PART
// --events`; its events are kept in order so that the page, polling, gets each one once and a page opened again gets
// them all. A run whose page stops asking for events while the run waits for an answer is answered by the end of its
// input: the form closes as cancelled, a prompt goes unanswered, and nothing of the run is saved.
#ifndef CADHOST_SERVE_RUN_JOBS_H
#define CADHOST_SERVE_RUN_JOBS_H

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cadhost/serve/child_process.h"

namespace cadhost::serve {

class RunJob {
  public:
    // Starts the child; false with the reason when it cannot.
    bool start(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
               std::chrono::milliseconds patience, std::string& error);
    ~RunJob();

    // The events from index `from` on, each a JSON object's text, waiting up to `wait` for one when there is none
    // yet; next is the index to ask from next time. Asking counts as the page being there.
    std::vector<std::string> events_since(std::size_t from, std::chrono::milliseconds wait, std::size_t& next);
    // The answer to the question the run asked in event `question` (a form, a prompt, or a prompt asked again): lines
    // for the child's input. False with the reason when the run no longer asks that question or has had its answer
    // (a button pressed twice must not answer the next question unseen), when a line is no single line, when there
    // are too many or too long lines, or when the run has not taken them within `input_wait`.
    bool send(std::size_t question, const std::vector<std::string>& lines, std::string& error);
    void set_input_wait(std::chrono::milliseconds wait) { input_wait_ = wait; }
    // Kills the child: the server is stopping.
    void stop();
    bool finished() const;
    // Stops the child where it is; its end comes as the last event.
    void cancel();

  private:
    void read_events();
    void watch();

    TalkingChild child_;
    // Writing to the child takes its own lock, never mutex_: a child that stops reading while its output waits to be
    // read must not hold up the reader of that output.
    std::mutex input_mutex_;
    std::chrono::milliseconds input_wait_{5000};
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> events_;
    bool finished_ = false;
    bool waiting_for_answer_ = false;
    std::size_t question_ = 0;  // the event of the question the run asks now
    bool asking_ = false;       // the question is open and has had no answer
    std::chrono::steady_clock::time_point last_seen_;
    std::chrono::milliseconds patience_{0};
    std::thread reader_;
    std::thread watcher_;
};

// Runs by part name.
class RunJobs {
  public:
    // Starts a run of the part unless one is under way (then false with a reason that says so).
    bool start(const std::string& part, const std::string& program, const std::vector<std::string>& args,
               const std::string& dir, std::chrono::milliseconds patience, std::string& error);
    std::shared_ptr<RunJob> find(const std::string& part) const;
    bool running(const std::string& part) const;
    // Kills every run's child: the server is stopping.
    void stop_all();
    // How long an answer may wait for its run to read it (runs started from now on).
    void set_input_wait(std::chrono::milliseconds wait) { input_wait_ = wait; }

  private:
    std::chrono::milliseconds input_wait_{5000};
    mutable std::mutex mutex_;
    std::map<std::string, std::shared_ptr<RunJob>> jobs_;
};

// A line the page may send to a run: one line of at most 4096 bytes without control characters.
bool fit_input_line(const std::string& line, std::string& why);

// An answer the page may send: at most 64 lines of 16 KiB in all, each a fit line.
bool fit_answer(const std::vector<std::string>& lines, std::string& why);

}  // namespace cadhost::serve

#endif
