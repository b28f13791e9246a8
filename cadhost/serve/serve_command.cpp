#include "cadhost/serve/serve_command.h"

#include <httplib.h>
#include <signal.h>
#include <unistd.h>

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
    context.loopback_only = options.listen.empty();
    const std::string host = options.listen.empty() ? "127.0.0.1" : options.listen;
    if (!context.loopback_only)
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
    const std::string url = "http://" + (context.loopback_only ? std::string("127.0.0.1") : host) + ":" +
                            std::to_string(context.port) + "/";
    out << "quillon serve: the parts under " << context.root.string() << " at " << url << " (Ctrl-C stops)\n"
        << std::flush;
    if (options.open) open_browser(url);

    std::thread stopper([&server, stops] {
        int signal_number = 0;
        sigwait(&stops, &signal_number);
        server.stop();
    });
    server.listen_after_bind();
    // A stop that came from elsewhere (the socket failed) still ends the waiting thread.
    ::kill(::getpid(), SIGTERM);
    stopper.join();
    out << "quillon serve: stopped\n";
    return 0;
}

}  // namespace cadhost::serve
