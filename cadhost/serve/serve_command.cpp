#include "cadhost/serve/serve_command.h"

#include <httplib.h>
#include <signal.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "cadhost/serve/access_token.h"
#include "cadhost/serve/model_routes.h"
#include "cadhost/serve/path_guard.h"
#include "cadhost/serve/routes.h"
#include "cadhost/serve/step_routes.h"

namespace cadhost::serve {

namespace {

constexpr int kUsage = 2;
constexpr int kDefaultPort = 8765;
// Every connection has a worker of its own while it is open, and a browser keeps several open: many more workers than
// a page needs, so that a few clients that send slowly or not at all leave the others served. A client that sends
// nothing for the read timeout is let go.
constexpr std::size_t kWorkers = 64;
constexpr time_t kReadTimeoutSeconds = 2;
constexpr time_t kKeepAliveSeconds = 3;
// How long a stop waits for the requests under way (their work is ended first) before the server ends anyway.
constexpr std::chrono::seconds kStopGrace{3};

struct ServeOptions {
    std::string root;
    int port = kDefaultPort;
    bool open = false;
    std::string listen;
    std::vector<std::string> command_options;
    long max_upload_mb = 256;
};

bool whole_number(const std::string& text, long low, long high, long& value) {
    try {
        std::size_t used = 0;
        value = std::stol(text, &used);
        return used == text.size() && value >= low && value <= high;
    } catch (...) {
        return false;
    }
}

bool parse_options(const std::vector<std::string>& args, ServeOptions& options, std::ostream& err) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& flag = args[i];
        if (flag == "--open") {
            options.open = true;
            continue;
        }
        if (flag != "--root" && flag != "--port" && flag != "--listen" && flag != "--command" && flag != "--conf" &&
            flag != "--max-upload") {
            err << "quillon serve: unknown option " << flag
                << "\nusage: quillon serve [--root DIR] [--port N] [--open] [--listen ADDR] [--command LIBRARY]"
                   " [--conf DIR] [--max-upload MB]\n";
            return false;
        }
        if (i + 1 >= args.size()) {
            err << "quillon serve: option " << flag << " needs a value\n";
            return false;
        }
        const std::string& value = args[++i];
        long number = 0;
        if (flag == "--root") {
            options.root = value;
        } else if (flag == "--listen") {
            options.listen = value;
        } else if (flag == "--port") {
            if (!whole_number(value, 0, 65535, number)) {
                err << "quillon serve: --port takes 0 to 65535 (0: any free port), not '" << value << "'\n";
                return false;
            }
            options.port = static_cast<int>(number);
        } else if (flag == "--max-upload") {
            if (!whole_number(value, 1, 16384, number)) {
                err << "quillon serve: --max-upload takes 1 to 16384 (MB), not '" << value << "'\n";
                return false;
            }
            options.max_upload_mb = number;
        } else {
            options.command_options.insert(options.command_options.end(), {flag, value});
        }
    }
    return true;
}

// The browser is a convenience: when it cannot be started the address printed is enough.
void open_browser(const std::string& url) {
    const pid_t pid = ::fork();
    if (pid != 0) return;
    ::setsid();
    ::execlp("xdg-open", "xdg-open", url.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
}

}  // namespace

int serve_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ServeOptions options;
    if (!parse_options(args, options, err)) return kUsage;
    ServeContext context;
    std::string error;
    if (!canonical_root(options.root, context.root, error)) {
        err << "quillon serve: --root: " << error << '\n';
        return kUsage;
    }
    std::error_code ec;
    context.program = std::filesystem::read_symlink("/proc/self/exe", ec).string();
    context.token = new_token();
    if (ec || context.token.empty()) {
        err << "quillon serve: cannot find this program or read the system's random source\n";
        return kUsage;
    }
    context.command_options = options.command_options;
    context.max_upload = static_cast<std::size_t>(options.max_upload_mb) << 20;
    context.hosts = host_rule(options.listen);
    const bool loopback = loopback_address(options.listen);
    const std::string host = options.listen.empty() ? "127.0.0.1" : options.listen;
    if (loopback && !options.listen.empty())
        err << "quillon serve: listening on " << host << ", a loopback address: only this machine reaches it\n";
    if (!loopback)
        err << "quillon serve: warning: listening on " << host
            << ", not on the loopback address only: whoever reaches it can read the sheets under "
            << context.root.string() << " and, with the page, run and change its parts; put it behind the shop's own"
            << " web server with its log-in rather than open it to the network\n";

    // Interrupts are taken by a thread of their own, which stops the server; the worker threads never see them.
    sigset_t stops;
    sigemptyset(&stops);
    sigaddset(&stops, SIGINT);
    sigaddset(&stops, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stops, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    httplib::Server server;
    server.new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
    server.set_read_timeout(kReadTimeoutSeconds);
    server.set_keep_alive_timeout(kKeepAliveSeconds);
    server.set_payload_max_length(context.max_upload);
    add_routes(server, context);
    add_model_routes(server, context);
    add_step_routes(server, context);
    context.port = options.port == 0 ? server.bind_to_any_port(host) : options.port;
    if (context.port <= 0 || (options.port != 0 && !server.bind_to_port(host, options.port))) {
        err << "quillon serve: cannot listen on " << host << " port " << options.port
            << " (in use? try --port 0 for any free port)\n";
        return kUsage;
    }
    const std::string url = "http://" + url_host(host) + ":" + std::to_string(context.port) + "/";
    out << "quillon serve: the parts under " << context.root.string() << " at " << url << " (Ctrl-C stops)\n"
        << std::flush;
    if (options.open) open_browser(url);

    std::mutex ended_mutex;
    std::condition_variable ended_changed;
    bool ended = false;
    std::thread stopper([&] {
        int signal_number = 0;
        sigwait(&stops, &signal_number);
        // The work under way ends first: runs and commands are killed, and the requests waiting for them answered.
        context.stopping = true;
        context.runs.stop_all();
        server.stop();
        std::unique_lock lock(ended_mutex);
        if (!ended_changed.wait_for(lock, kStopGrace, [&] { return ended; })) {
            // A client still sending a byte now and then keeps its worker: the server ends without it.
            out << "quillon serve: stopped\n" << std::flush;
            ::_exit(0);
        }
    });
    server.listen_after_bind();
    {
        std::lock_guard lock(ended_mutex);
        ended = true;
    }
    ended_changed.notify_all();
    // A stop that came from elsewhere (the socket failed) still ends the waiting thread.
    ::kill(::getpid(), SIGTERM);
    stopper.join();
    out << "quillon serve: stopped\n";
    return 0;
}

}  // namespace cadhost::serve
