// The STEP translator runs in a child process. The kernel's translator and shape healing crash, overflow their stack
// or loop for ever on some damaged files; in a child that costs the child, and the parent reports the file. The child
// hands the objects back in the kernel's binary shape format through a pipe, each one checked there (the checks run
// kernel code on untrusted geometry too), and the parent keeps them in that form for the part file.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <Standard_Failure.hxx>

#include "cadhost/import/step_reader.h"
#include "cadhost/partfile/shape_bytes.h"

namespace cadhost::import {

namespace {

// The child's answer: a status byte, then length-prefixed texts and shapes.
class Packet {
  public:
    void put(std::uint64_t value) {
        for (int i = 0; i < 8; ++i) bytes_.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
    }
    void put(const std::string& text) {
        put(static_cast<std::uint64_t>(text.size()));
        bytes_ += text;
    }
    std::string& bytes() { return bytes_; }

  private:
    std::string bytes_;
};

class PacketReader {
  public:
    explicit PacketReader(const std::string& bytes) : bytes_(bytes) {}
    std::uint64_t number() {
        need(8);
        std::uint64_t value = 0;
        for (int i = 0; i < 8; ++i)
            value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes_[at_ + i])) << (8 * i);
        at_ += 8;
        return value;
    }
    std::string text() {
        const std::uint64_t size = number();
        need(size);
        std::string out = bytes_.substr(at_, size);
        at_ += size;
        return out;
    }
    bool at_end() const { return at_ == bytes_.size(); }

  private:
    void need(std::uint64_t count) const {
        if (bytes_.size() - at_ < count) throw std::runtime_error("the answer ends early");
    }
    const std::string& bytes_;
    std::size_t at_ = 0;
};

std::string describe(std::size_t index, const StepObject& object) {
    std::string where = "object " + std::to_string(index + 1) + " of the model";
    if (!object.name.empty()) where += " (\"" + object.name + "\")";
    return where;
}

// The child's whole work: translate (which checks each object), pack the answer.
std::string child_answer(const std::string& path) {
    Packet packet;
    const StepReadResult result = translate_step_file(path);
    packet.put(std::uint64_t{result.ok ? 1u : 0u});
    packet.put(result.error);
    packet.put(static_cast<std::uint64_t>(result.warnings.size()));
    for (const auto& warning : result.warnings) packet.put(warning);
    packet.put(static_cast<std::uint64_t>(result.problems.size()));
    for (const auto& problem : result.problems) packet.put(problem);
    packet.put(result.length_unit);
    const std::size_t count = result.ok ? result.objects.size() : 0;
    packet.put(static_cast<std::uint64_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        packet.put(result.objects[i].name);
        packet.put(result.objects[i].layer_name);
        packet.put(result.objects[i].stored);
    }
    return std::move(packet.bytes());
}

[[noreturn]] void run_child(const std::string& path, int out) {
    // A parent that is killed takes a child stuck in the translator with it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // A crash in the translator ends the child, and the parent reports it; the handlers the parent may have set (the
    // kernel's conversion of signals to exceptions, a sanitizer's, a fuzzer's) must not treat it as their own.
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP}) ::signal(signal, SIG_DFL);
    std::string answer;
    try {
        answer = child_answer(path);
    } catch (...) {
        ::_exit(3);
    }
    const char* data = answer.data();
    std::size_t left = answer.size();
    while (left > 0) {
        const ssize_t n = ::write(out, data, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ::_exit(4);
        data += n, left -= static_cast<std::size_t>(n);
    }
    // No destructors, no exit handlers: they belong to the parent's state, which the child shares a copy of.
    ::_exit(0);
}

StepReadResult unpack(const std::string& path, const std::string& answer) {
    StepReadResult result;
    PacketReader in(answer);
    result.ok = in.number() == 1;
    result.error = in.text();
    const std::uint64_t warnings = in.number();
    for (std::uint64_t i = 0; i < warnings; ++i) result.warnings.push_back(in.text());
    const std::uint64_t problems = in.number();
    for (std::uint64_t i = 0; i < problems; ++i) result.problems.push_back(in.text());
    result.length_unit = in.text();
    const std::uint64_t count = in.number();
    for (std::uint64_t i = 0; i < count; ++i) {
        StepObject object;
        object.name = in.text();
        object.layer_name = in.text();
        object.shape = partfile::shape_from_bytes(in.text());
        if (object.shape.IsNull()) throw std::runtime_error(describe(i, object) + " came back empty");
        result.objects.push_back(std::move(object));
    }
    if (!in.at_end()) throw std::runtime_error("the answer is longer than it should be");
    if (!result.ok && result.error.empty()) result.error = path + ": the STEP file cannot be read";
    return result;
}

std::string signal_name(int signal) {
    const char* name = ::sigdescr_np(signal);
    return name ? std::string(name) + " (signal " + std::to_string(signal) + ")" : "signal " + std::to_string(signal);
}

std::string seconds_text(std::chrono::milliseconds limit) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(limit.count()) / 1000.0);
    return text;
}

StepReadResult failed(std::string error) {
    StepReadResult result;
    result.error = std::move(error);
    return result;
}

}  // namespace

std::chrono::milliseconds default_time_limit(std::uintmax_t file_size) {
    if (const char* env = std::getenv("QUILLON_STEP_TIME_LIMIT"); env && env[0]) {
        char* end = nullptr;
        const double seconds = std::strtod(env, &end);
        if (*end == '\0' && seconds > 0 && seconds < 1e6)
            return std::chrono::milliseconds(static_cast<long>(seconds * 1000));
    }
    // A minute, and a minute more for every 10 MB: about ten times what a sound file of that size takes here.
    return std::chrono::milliseconds(60'000 + static_cast<long>(file_size / 10'000'000) * 60'000);
}

StepReadResult read_step_file(const std::string& path, const StepReadLimits& limits) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    const auto limit = limits.time_limit.count() > 0 ? limits.time_limit : default_time_limit(ec ? 0 : size);
    // A process that reads one file is better off leaving all of the setting up to its child; one that reads many
    // (a fuzzer, a test run) sets the tables up once, for every child after the first.
    static int files_read = 0;
    if (++files_read > 1) prepare_translator();
    int pipe_ends[2];
    if (::pipe2(pipe_ends, O_CLOEXEC) != 0)
        return failed(path + ": cannot start the STEP translator: " + std::strerror(errno));
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipe_ends[0]), ::close(pipe_ends[1]);
        return failed(path + ": cannot start the STEP translator: " + std::strerror(errno));
    }
    if (child == 0) {
        ::close(pipe_ends[0]);
        run_child(path, pipe_ends[1]);
    }
    ::close(pipe_ends[1]);
    std::string answer;
    bool timed_out = false;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    char buffer[65536];
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timed_out = true;
            break;
        }
        pollfd watch{pipe_ends[0], POLLIN, 0};
        const int ready = ::poll(&watch, 1, static_cast<int>(std::min<long>(left.count(), 1'000'000)));
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) continue;
        const ssize_t n = ::read(pipe_ends[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        answer.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipe_ends[0]);
    if (timed_out) ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (timed_out)
        return failed(path + ": the STEP translator did not finish within " + seconds_text(limit) +
                      " s; the file is damaged or far larger than it looks");
    if (WIFSIGNALED(status))
        return failed(path + ": the STEP translator crashed on this file (" + signal_name(WTERMSIG(status)) +
                      "); the file is damaged");
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return failed(path + ": the STEP translator failed on this file (exit status " +
                      std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + "); the file is damaged");
    try {
        return unpack(path, answer);
    } catch (const Standard_Failure& failure) {
        return failed(path + ": the translated model cannot be taken over: " + failure.GetMessageString());
    } catch (const std::exception& failure) {
        return failed(path + ": the translated model cannot be taken over: " + failure.what());
    }
}

}  // namespace cadhost::import
