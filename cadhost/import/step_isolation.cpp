// The STEP translator runs in a child process. The kernel's translator and shape healing crash, overflow their stack
// or loop for ever on some damaged files; in a child that costs the child, and the parent reports the file. The child
// hands the objects back in the kernel's binary shape format through a socket, each one checked there (the checks run
// kernel code on untrusted geometry too), and the parent keeps them in that form for the part file. A process that
// reads many files keeps its child for the next one: most of a small file's cost was the fork and the child's end.
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>

#include <Standard_Failure.hxx>

#include "cadhost/import/object_names.h"
#include "cadhost/import/step_reader.h"
#include "cadhost/partfile/shape_bytes.h"

namespace cadhost::import {

namespace {

// A request is a folder and a file name; anything far longer is not one of ours.
constexpr std::uint64_t kLongestRequest = 1u << 20;
// Files one child translates before it is replaced.
constexpr int kFilesPerChild = 100;

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

// A colour travels as a number one above its 0xRRGGBB value, 0 for none.
void put_colour(Packet& packet, const std::optional<std::uint32_t>& colour) {
    packet.put(colour ? std::uint64_t{*colour} + 1 : std::uint64_t{0});
}

std::optional<std::uint32_t> get_colour(PacketReader& in) {
    const std::uint64_t value = in.number();
    if (value == 0) return std::nullopt;
    if (value > 0x1000000) throw std::runtime_error("a colour in the answer is out of range");
    return static_cast<std::uint32_t>(value - 1);
}

std::string describe(std::size_t index, const StepObject& object) {
    std::string where = "object " + std::to_string(index + 1) + " of the model";
    if (!object.name.empty()) where += " (\"" + object.name + "\")";
    return where;
}

// The child's whole work: translate (which checks each object), pack the answer. What the translation leaves behind
// goes to `leftovers`, to be dropped once the answer is on its way.
std::string child_answer(const std::string& path, const std::string& name_encoding, std::shared_ptr<void>& leftovers) {
    Packet packet;
    const StepReadResult result = translate_step_file(path, name_encoding, &leftovers);
    packet.put(std::uint64_t{result.ok ? 1u : 0u});
    packet.put(result.error);
    packet.put(static_cast<std::uint64_t>(result.warnings.size()));
    for (const auto& warning : result.warnings) packet.put(warning);
    packet.put(static_cast<std::uint64_t>(result.problems.size()));
    for (const auto& problem : result.problems) packet.put(problem);
    packet.put(static_cast<std::uint64_t>(result.details.size()));
    for (const auto& detail : result.details) packet.put(detail);
    packet.put(result.length_unit);
    packet.put(result.without_solid);
    const std::size_t count = result.ok ? result.objects.size() : 0;
    packet.put(static_cast<std::uint64_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        packet.put(result.objects[i].body_name);
        packet.put(result.objects[i].product_name);
        packet.put(result.objects[i].layer_name);
        put_colour(packet, result.objects[i].colour);
        packet.put(result.objects[i].stored);
    }
    return std::move(packet.bytes());
}

// Everything but a whole transfer is an end: the peer is gone, or the socket failed.
bool send_all(int socket, const char* data, std::size_t size) {
    while (size > 0) {
        // MSG_NOSIGNAL: a peer that died must come back as an error here, not as a SIGPIPE that ends this process.
        const ssize_t n = ::send(socket, data, size, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n, size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool send_framed(int socket, const std::string& bytes) {
    Packet frame;
    frame.put(static_cast<std::uint64_t>(bytes.size()));
    return send_all(socket, frame.bytes().data(), frame.bytes().size()) && send_all(socket, bytes.data(), bytes.size());
}

// The child's side of a request: blocks until it has the whole frame; false when the parent has closed its end.
bool receive_framed(int socket, std::string& bytes) {
    auto receive = [socket](char* data, std::size_t size) {
        while (size > 0) {
            const ssize_t n = ::recv(socket, data, size, 0);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            data += n, size -= static_cast<std::size_t>(n);
        }
        return true;
    };
    char head[8];
    if (!receive(head, sizeof head)) return false;
    std::uint64_t size = 0;
    for (int i = 0; i < 8; ++i) size |= static_cast<std::uint64_t>(static_cast<unsigned char>(head[i])) << (8 * i);
    if (size > kLongestRequest) return false;
    bytes.assign(static_cast<std::size_t>(size), '\0');
    return receive(bytes.data(), bytes.size());
}

// A request names the file, the folder its name is relative to (the parent may have changed folders since it
// started this child) and the encoding of its names.
std::string request_for(const std::string& path, const std::string& name_encoding) {
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::current_path(ec);
    Packet request;
    request.put(ec ? std::string() : folder.string());
    request.put(path);
    request.put(name_encoding);
    return std::move(request.bytes());
}

// The child: translates each file it is sent and answers, until the parent closes its end.
[[noreturn]] void serve(int socket) {
    // A parent that is killed takes a child stuck in the translator with it.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    // A crash in the translator ends the child, and the parent reports it; the handlers the parent may have set (the
    // kernel's conversion of signals to exceptions, a sanitizer's, a fuzzer's) must not treat it as their own.
    for (int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP}) ::signal(signal, SIG_DFL);
    std::string request;
    while (receive_framed(socket, request)) {
        std::string answer;
        std::shared_ptr<void> leftovers;
        try {
            PacketReader in(request);
            const std::string folder = in.text();
            const std::string path = in.text();
            const std::string name_encoding = in.text();
            if (!in.at_end()) ::_exit(3);
            if (!folder.empty() && ::chdir(folder.c_str()) != 0) {
                // The name is then read from wherever the child is; the translator reports it if it is not there.
            }
            answer = child_answer(path, name_encoding, leftovers);
        } catch (...) {
            ::_exit(3);
        }
        if (!send_framed(socket, answer)) ::_exit(4);
        // A parent that reads one file ends this child as soon as it has the answer, before this takes any time.
        try {
            leftovers.reset();
        } catch (...) {
            ::_exit(3);
        }
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
    const std::uint64_t details = in.number();
    for (std::uint64_t i = 0; i < details; ++i) result.details.push_back(in.text());
    result.length_unit = in.text();
    result.without_solid = in.text();
    const std::uint64_t count = in.number();
    for (std::uint64_t i = 0; i < count; ++i) {
        StepObject object;
        object.body_name = in.text();
        object.product_name = in.text();
        object.name = chosen_name(object.body_name, object.product_name, NameSource::automatic);
        object.layer_name = in.text();
        object.colour = get_colour(in);
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

// The child process that translates: started for the first file, kept for the next ones in a process that reads
// many, and replaced after a crash, a time-out, or kFilesPerChild files (so that what the kernel leaks or caches in it
// does not pile up).
class Translator {
  public:
    enum class Outcome { answered, timed_out, ended };

    Translator() = default;
    Translator(const Translator&) = delete;
    Translator& operator=(const Translator&) = delete;
    ~Translator() { stop(); }

    bool running() const { return pid_ > 0; }
    int served() const { return served_; }
    int started() const { return started_; }
    // How the child ended, once translate() said it did.
    int end_status() const { return end_status_; }

    bool start(std::string& error) {
        int ends[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
            error = std::strerror(errno);
            return false;
        }
        const pid_t child = ::fork();
        if (child < 0) {
            error = std::strerror(errno);
            ::close(ends[0]), ::close(ends[1]);
            return false;
        }
        if (child == 0) {
            ::close(ends[0]);
            serve(ends[1]);
        }
        ::close(ends[1]);
        pid_ = child, socket_ = ends[0], served_ = 0, ++started_;
        starter_ = std::this_thread::get_id();
        return true;
    }

    // A child is told to end with the thread that started it (so that a parent killed mid-file takes it along);
    // one kept for another thread, or already gone, is replaced rather than blamed for the next file.
    void replace_if_unusable() {
        if (!running()) return;
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_)
            forget();
        else if (starter_ != std::this_thread::get_id())
            stop();
    }

    // Sends one request and waits for its whole answer until the limit; a child that does not answer in time is
    // killed, one that ends without answering is reaped, and either way the next request starts a new one.
    Outcome translate(const std::string& request, std::chrono::milliseconds limit, std::string& answer) {
        if (!send_framed(socket_, request)) return end();
        const auto deadline = std::chrono::steady_clock::now() + limit;
        std::string head;
        Outcome outcome = receive_until(head, 8, deadline);
        if (outcome != Outcome::answered) return outcome;
        std::uint64_t size = 0;
        for (int i = 0; i < 8; ++i) size |= static_cast<std::uint64_t>(static_cast<unsigned char>(head[i])) << (8 * i);
        outcome = receive_until(answer, size, deadline);
        if (outcome == Outcome::answered) ++served_;
        return outcome;
    }

    // Ends the child; between files it holds nothing of value.
    void stop() {
        if (!running()) return;
        ::kill(pid_, SIGKILL);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        forget();
    }

  private:
    Outcome receive_until(std::string& into, std::uint64_t size, std::chrono::steady_clock::time_point deadline) {
        into.clear();
        char buffer[65536];
        while (into.size() < size) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                stop();
                return Outcome::timed_out;
            }
            pollfd watch{socket_, POLLIN, 0};
            const int ready = ::poll(&watch, 1, static_cast<int>(std::min<long>(left.count(), 1'000'000)));
            if (ready < 0 && errno == EINTR) continue;
            if (ready == 0) continue;
            const std::uint64_t wanted = std::min<std::uint64_t>(sizeof buffer, size - into.size());
            const ssize_t n = ::recv(socket_, buffer, static_cast<std::size_t>(wanted), 0);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return end();
            into.append(buffer, static_cast<std::size_t>(n));
        }
        return Outcome::answered;
    }

    // The child ended (or its socket failed) in the middle of a request: wait for it and keep how it ended. The kill
    // cannot change how a child that has ended ended; it only makes sure that waiting for one whose socket failed
    // returns.
    Outcome end() {
        ::close(socket_);
        socket_ = -1;
        ::kill(pid_, SIGKILL);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        end_status_ = status;
        forget();
        return Outcome::ended;
    }

    void forget() {
        if (socket_ >= 0) ::close(socket_);
        pid_ = -1, socket_ = -1;
    }

    pid_t pid_ = -1;
    std::thread::id starter_;
    int socket_ = -1;
    int served_ = 0;
    int started_ = 0;
    int end_status_ = 0;
};

std::mutex& translator_mutex() {
    static std::mutex mutex;
    return mutex;
}

// Never destroyed: a child still running when the process ends sees its socket close and leaves on its own.
Translator& the_translator() {
    static Translator* translator = new Translator;
    return *translator;
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

StepReadResult read_step_file(const std::string& path, const StepReadOptions& options) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    const auto limit = options.time_limit.count() > 0 ? options.time_limit : default_time_limit(ec ? 0 : size);
    const std::lock_guard<std::mutex> lock(translator_mutex());
    Translator& translator = the_translator();
    // A process that reads one file is better off leaving all of the setting up to its child; one that reads many
    // (a fuzzer, a test run) sets the tables up once, before its first child, and keeps that child for the next files.
    static int files_read = 0;
    const bool many = ++files_read > 1;
    if (many) prepare_translator();

    translator.replace_if_unusable();
    std::string error;
    if (!translator.running() && !translator.start(error))
        return failed(path + ": cannot start the STEP translator: " + error);
    std::string answer;
    const Translator::Outcome outcome = translator.translate(request_for(path, options.name_encoding), limit, answer);
    if (outcome == Translator::Outcome::answered) {
        if (!many || translator.served() >= kFilesPerChild) translator.stop();
        try {
            return unpack(path, answer);
        } catch (const Standard_Failure& failure) {
            return failed(path + ": the translated model cannot be taken over: " + failure.GetMessageString());
        } catch (const std::exception& failure) {
            return failed(path + ": the translated model cannot be taken over: " + failure.what());
        }
    }
    if (outcome == Translator::Outcome::timed_out)
        return failed(path + ": the STEP translator did not finish within " + seconds_text(limit) +
                      " s; the file is damaged or far larger than it looks");
    const int status = translator.end_status();
    if (WIFSIGNALED(status))
        return failed(path + ": the STEP translator crashed on this file (" + signal_name(WTERMSIG(status)) +
                      "); the file is damaged");
    return failed(path + ": the STEP translator failed on this file (exit status " +
                  std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + "); the file is damaged");
}

int translator_children_started() {
    const std::lock_guard<std::mutex> lock(translator_mutex());
    return the_translator().started();
}

}  // namespace cadhost::import
