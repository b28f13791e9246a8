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
    // Lines for the child's input (answers); false with the reason when one is no single line or the run is over.
    bool send(const std::vector<std::string>& lines, std::string& error);
    bool finished() const;
    // Stops the child where it is; its end comes as the last event.
    void cancel();

  private:
    void read_events();
    void watch();

    TalkingChild child_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> events_;
    bool finished_ = false;
    bool waiting_for_answer_ = false;
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

  private:
    mutable std::mutex mutex_;
    std::map<std::string, std::shared_ptr<RunJob>> jobs_;
};

// A line the page may send to a run: one line of at most 4096 bytes without control characters.
bool fit_input_line(const std::string& line, std::string& why);

}  // namespace cadhost::serve

#endif
