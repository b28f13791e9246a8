#include "cadhost/serve/run_jobs.h"

#include <nlohmann/json.hpp>

namespace cadhost::serve {

namespace {

constexpr std::size_t kLongestInput = 4096;
// A form's answer is a line a field and its button; these bounds leave room for that many times over while keeping an
// answer well inside what a pipe holds.
constexpr std::size_t kMostAnswerLines = 64;
constexpr std::size_t kLongestAnswer = 16384;

// Events that put a question to the page, to be answered once: a form, a prompt, a prompt asked again.
bool questions(const std::string& kind) { return kind == "form" || kind == "prompt" || kind == "not_accepted"; }

// Events that leave the run waiting for the page.
bool asks(const nlohmann::json& event) {
    const std::string kind = event.value("event", "");
    return kind == "form" || kind == "prompt" || kind == "not_accepted" || kind == "field_refused";
}

}  // namespace

bool fit_input_line(const std::string& line, std::string& why) {
    if (line.size() > kLongestInput) {
        why = "an answer is longer than " + std::to_string(kLongestInput) + " bytes";
        return false;
    }
    for (char c : line)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
            why = "an answer holds a control character";
            return false;
        }
    return true;
}

bool fit_answer(const std::vector<std::string>& lines, std::string& why) {
    if (lines.size() > kMostAnswerLines) {
        why = "an answer has at most " + std::to_string(kMostAnswerLines) + " lines";
        return false;
    }
    std::size_t bytes = 0;
    for (const auto& line : lines) {
        if (!fit_input_line(line, why)) return false;
        bytes += line.size() + 1;
    }
    if (bytes > kLongestAnswer) {
        why = "an answer is longer than " + std::to_string(kLongestAnswer) + " bytes";
        return false;
    }
    return true;
}

bool RunJob::start(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
                   std::chrono::milliseconds patience, std::string& error) {
    patience_ = patience;
    last_seen_ = std::chrono::steady_clock::now();
    if (!child_.start(program, args, dir, error)) return false;
    reader_ = std::thread([this] { read_events(); });
    watcher_ = std::thread([this] { watch(); });
    return true;
}

RunJob::~RunJob() {
    {
        std::lock_guard lock(mutex_);
        if (!finished_) child_.kill_child();
    }
    {
        std::lock_guard input(input_mutex_);
        child_.close_input();
    }
    if (reader_.joinable()) reader_.join();
    changed_.notify_all();
    if (watcher_.joinable()) watcher_.join();
}

void RunJob::read_events() {
    std::string line;
    while (child_.read_line(line)) {
        // The child's own events pass as they are; any other line (the closing line, a warning on standard error)
        // becomes an output event.
        nlohmann::json event = nlohmann::json::parse(line, nullptr, false);
        if (event.is_discarded() || !event.is_object() || !event.contains("event"))
            event = {{"event", "output"}, {"text", line}};
        std::lock_guard lock(mutex_);
        waiting_for_answer_ = asks(event) ? true : event.value("event", "") == "message" ? waiting_for_answer_ : false;
        if (questions(event.value("event", ""))) {
            question_ = events_.size();
            asking_ = true;
        }
        events_.push_back(event.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
        changed_.notify_all();
    }
    const int status = child_.wait();
    std::lock_guard lock(mutex_);
    events_.push_back(nlohmann::json{{"event", "end"}, {"status", status}}.dump());
    finished_ = true;
    changed_.notify_all();
}

void RunJob::watch() {
    std::unique_lock lock(mutex_);
    while (!finished_) {
        changed_.wait_for(lock, std::chrono::milliseconds(250));
        if (finished_) break;
        if (waiting_for_answer_ && std::chrono::steady_clock::now() - last_seen_ > patience_) {
            // Nobody is there to answer: the end of the input cancels the form or gives the prompt up. An answer
            // being written just now means somebody is.
            std::unique_lock input(input_mutex_, std::try_to_lock);
            if (!input.owns_lock()) continue;
            child_.close_input();
            waiting_for_answer_ = false;
        }
    }
}

std::vector<std::string> RunJob::events_since(std::size_t from, std::chrono::milliseconds wait, std::size_t& next) {
    std::unique_lock lock(mutex_);
    last_seen_ = std::chrono::steady_clock::now();
    changed_.wait_for(lock, wait, [&] { return events_.size() > from || finished_; });
    last_seen_ = std::chrono::steady_clock::now();
    std::vector<std::string> out;
    for (std::size_t i = from; i < events_.size(); ++i) out.push_back(events_[i]);
    next = std::max(from, events_.size());
    return out;
}

bool RunJob::send(std::size_t question, const std::vector<std::string>& lines, std::string& error) {
    if (!fit_answer(lines, error)) return false;
    std::lock_guard input(input_mutex_);
    {
        std::lock_guard lock(mutex_);
        last_seen_ = std::chrono::steady_clock::now();
        if (finished_) {
            error = "the run is over";
            return false;
        }
        if (!asking_ || question != question_) {
            error = "the run does not ask that question now: it was answered already or is gone";
            return false;
        }
        asking_ = false;
    }
    if (!child_.write_lines(lines, std::chrono::steady_clock::now() + input_wait_)) {
        error = "the run does not take answers now";
        return false;
    }
    return true;
}

void RunJob::stop() {
    std::lock_guard lock(mutex_);
    if (!finished_) child_.kill_child();
}

bool RunJob::finished() const {
    std::lock_guard lock(mutex_);
    return finished_;
}

void RunJob::cancel() {
    std::lock_guard lock(mutex_);
    if (!finished_) child_.kill_child();
}

bool RunJobs::start(const std::string& part, const std::string& program, const std::vector<std::string>& args,
                    const std::string& dir, std::chrono::milliseconds patience, std::string& error) {
    std::lock_guard lock(mutex_);
    auto it = jobs_.find(part);
    if (it != jobs_.end() && !it->second->finished()) {
        error = "a run of " + part + " is under way; one run of a part at a time";
        return false;
    }
    auto job = std::make_shared<RunJob>();
    job->set_input_wait(input_wait_);
    if (!job->start(program, args, dir, patience, error)) return false;
    jobs_[part] = job;
    return true;
}

std::shared_ptr<RunJob> RunJobs::find(const std::string& part) const {
    std::lock_guard lock(mutex_);
    auto it = jobs_.find(part);
    return it == jobs_.end() ? nullptr : it->second;
}

void RunJobs::stop_all() {
    std::lock_guard lock(mutex_);
    for (auto& [part, job] : jobs_) job->stop();
}

bool RunJobs::running(const std::string& part) const {
    auto job = find(part);
    return job && !job->finished();
}

}  // namespace cadhost::serve
