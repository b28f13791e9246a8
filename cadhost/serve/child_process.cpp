#include "cadhost/serve/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

namespace cadhost::serve {

namespace {

constexpr std::size_t kMostOutput = std::size_t{64} << 20;

int exit_status(int raw) {
    if (WIFEXITED(raw)) return WEXITSTATUS(raw);
    if (WIFSIGNALED(raw)) return 128 + WTERMSIG(raw);
    return -1;
}

// Forks and execs; the child's input, output and error become in_fd, out_fd and err_fd. -1 when it failed.
pid_t spawn(const std::string& program, const std::vector<std::string>& args, const std::string& dir, int in_fd,
            int out_fd, int err_fd) {
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    ::dup2(in_fd, 0);
    ::dup2(out_fd, 1);
    ::dup2(err_fd, 2);
    // The server's sockets are no business of the child's: a connection must end when the server closes it.
    if (::syscall(SYS_close_range, 3U, ~0U, 0U) != 0)
        for (int fd = 3; fd < 4096; ++fd) ::close(fd);
    if (::chdir(dir.c_str()) != 0) ::_exit(127);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

}  // namespace

ChildResult run_child(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
                      int timeout_seconds, const std::atomic<bool>* stop) {
    ChildResult result;
    int out_pipe[2], err_pipe[2];
    if (::pipe2(out_pipe, O_CLOEXEC) != 0) return result;
    if (::pipe2(err_pipe, O_CLOEXEC) != 0) {
        ::close(out_pipe[0]);
        ::close(out_pipe[1]);
        return result;
    }
    const int null_in = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    const pid_t pid = spawn(program, args, dir, null_in, out_pipe[1], err_pipe[1]);
    ::close(null_in);
    ::close(out_pipe[1]);
    ::close(err_pipe[1]);
    if (pid < 0) {
        ::close(out_pipe[0]);
        ::close(err_pipe[0]);
        return result;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
    pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open_streams = 2;
    bool killed = false;
    while (open_streams > 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || (stop && *stop)) {
            ::kill(pid, SIGKILL);
            killed = true;
            break;
        }
        if (::poll(fds, 2, static_cast<int>(std::min<long long>(left.count(), 200))) < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buffer[65536];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                if (sinks[i]->size() < kMostOutput) sinks[i]->append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open_streams;
            }
        }
    }
    for (auto& fd : fds)
        if (fd.fd >= 0) ::close(fd.fd);
    int raw = 0;
    while (::waitpid(pid, &raw, 0) < 0 && errno == EINTR) {
    }
    result.status = exit_status(raw);
    if (killed) result.err += "\n(stopped after " + std::to_string(timeout_seconds) + " s)";
    return result;
}

TalkingChild::~TalkingChild() {
    close_input();
    if (out_ >= 0) ::close(out_);
    if (pid_ > 0) {
        kill_child();
        wait();
    }
}

bool TalkingChild::start(const std::string& program, const std::vector<std::string>& args, const std::string& dir,
                         std::string& error) {
    int in_pipe[2], out_pipe[2];
    if (::pipe2(in_pipe, O_CLOEXEC) != 0 || ::pipe2(out_pipe, O_CLOEXEC) != 0) {
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    pid_ = spawn(program, args, dir, in_pipe[0], out_pipe[1], out_pipe[1]);
    ::close(in_pipe[0]);
    ::close(out_pipe[1]);
    in_ = in_pipe[1];
    out_ = out_pipe[0];
    ::fcntl(in_, F_SETFL, ::fcntl(in_, F_GETFL) | O_NONBLOCK);
    if (pid_ < 0) {
        error = std::string("cannot start ") + program + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool TalkingChild::write_lines(const std::vector<std::string>& lines, std::chrono::steady_clock::time_point deadline) {
    if (in_ < 0) return false;
    std::string text;
    for (const auto& line : lines) text += line + '\n';
    std::size_t done = 0;
    while (done < text.size()) {
        // The input is written without blocking: a child that stops reading must not hold the writer for ever.
        // MSG_NOSIGNAL is for sockets; a pipe whose reader is gone raises SIGPIPE, which the server ignores.
        const ssize_t n = ::write(in_, text.data() + done, text.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        pollfd writable{in_, POLLOUT, 0};
        if (n < 0 && errno == EAGAIN && left > 0 &&
            ::poll(&writable, 1, static_cast<int>(std::min<long long>(left, 1000))) >= 0)
            continue;
        if (done > 0) close_input();
        return false;
    }
    return true;
}

void TalkingChild::close_input() {
    if (in_ >= 0) ::close(in_);
    in_ = -1;
}

bool TalkingChild::read_line(std::string& line) {
    for (;;) {
        const std::size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return true;
        }
        char buffer[65536];
        const ssize_t n = out_ < 0 ? 0 : ::read(out_, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (pending_.empty()) return false;
            line.swap(pending_);
            pending_.clear();
            return true;
        }
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
}

int TalkingChild::wait() {
    if (pid_ <= 0) return -1;
    int raw = 0;
    while (::waitpid(pid_, &raw, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    return exit_status(raw);
}

void TalkingChild::kill_child() {
    if (pid_ > 0) ::kill(pid_, SIGKILL);
}

}  // namespace cadhost::serve
