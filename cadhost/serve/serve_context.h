// What every request of `quillon serve` works with: the served folder, the quillon program that does the work, the
// token changes must carry, and the runs under way.
#ifndef CADHOST_SERVE_SERVE_CONTEXT_H
#define CADHOST_SERVE_SERVE_CONTEXT_H

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "cadhost/serve/access_token.h"
#include "cadhost/serve/run_jobs.h"

namespace cadhost::serve {

struct ServeContext {
    std::filesystem::path root;                // canonical
    std::string program;                       // the quillon program, run for each piece of work
    std::vector<std::string> command_options;  // --command LIBRARY and --conf DIR, passed to run and check
    std::string token;
    int port = 0;
    HostRule hosts = host_rule("");  // the names requests must address the server by
    std::size_t max_upload = std::size_t{256} << 20;
    std::atomic<bool> stopping{false};          // set once the server is told to stop: the work under way is ended
    std::chrono::milliseconds patience{30000};  // how long a run waits for a page that stopped asking
    int work_timeout_seconds = 3600;
    RunJobs runs;
    RunJobs steps;  // the long steps besides runs that the page follows: exports and checks
};

}  // namespace cadhost::serve

#endif
