#include "cadhost/partfile/part_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "cadhost/files/atomic_file.h"
#include "cadhost/partfile/sqlite_db.h"

namespace cadhost::partfile {

namespace {

// The process number the holder wrote into the lock file, or empty.
std::string holder_of(int fd) {
    char text[24] = {};
    const ssize_t got = ::pread(fd, text, sizeof text - 1, 0);
    std::string pid;
    for (ssize_t i = 0; i < got && text[i] >= '0' && text[i] <= '9'; ++i) pid += text[i];
    return pid;
}

// The lock is ours only when the file we locked is still the one under the name: its holder removes it before it lets
// go, and a process that opened it just before then locks a file nobody else will see.
bool still_named(int fd, const std::string& file) {
    struct stat locked {
    }, named{};
    return ::fstat(fd, &locked) == 0 && ::stat(file.c_str(), &named) == 0 && locked.st_dev == named.st_dev &&
           locked.st_ino == named.st_ino;
}

// What is under the lock file's name when it cannot be opened as a file: empty when nothing is.
std::string in_the_way(const std::string& file) {
    struct stat named {};
    if (::lstat(file.c_str(), &named) != 0) return {};
    if (S_ISDIR(named.st_mode)) return "a folder";
    if (S_ISLNK(named.st_mode)) return "a symbolic link";
    if (!S_ISREG(named.st_mode)) return "no regular file";
    return "a file this user can neither write nor read";
}

}  // namespace

PartLock::~PartLock() { release(); }

PartLock::Outcome PartLock::acquire(const std::string& part_path, std::string& message,
                                    const std::function<void(const std::string&)>& waiting) {
    release();
    file_ = files::link_target(part_path) + ".lock";
    const int seconds = part_wait_seconds();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    bool told = false;
    for (;;) {
        int fd = ::open(file_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
        const int cause = errno;
        // A lock file another user left is locked as it is: a lock needs no writing.
        if (fd < 0 && cause == EACCES) fd = ::open(file_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) {
            if (const std::string what = in_the_way(file_); !what.empty()) {
                message = "part file '" + part_path + "' cannot be locked: '" + file_ + "' is " + what +
                          ", not its lock file; remove it";
                return Outcome::Blocked;
            }
            message =
                "cannot make the lock file '" + file_ + "' of part file '" + part_path + "': " + std::strerror(cause);
            return Outcome::Impossible;
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            if (still_named(fd, file_)) {
                const std::string pid = std::to_string(::getpid()) + "\n";
                // The number only names the holder in a waiting process's message: a failed write is no failure.
                [[maybe_unused]] const bool named =
                    ::ftruncate(fd, 0) == 0 && ::pwrite(fd, pid.data(), pid.size(), 0) > 0;
                fd_ = fd;
                return Outcome::Held;
            }
            ::close(fd);
            continue;
        }
        const std::string holder = holder_of(fd);
        ::close(fd);
        const std::string who = holder.empty() ? "another process" : "another process (" + holder + ")";
        if (std::chrono::steady_clock::now() >= deadline) {
            message = "part file '" + part_path + "' is being changed by " + who + "; waited " +
                      std::to_string(seconds) + " s for it (QUILLON_PART_WAIT sets how long)";
            return Outcome::Busy;
        }
        if (!told && waiting)
            waiting("part file '" + part_path + "' is being changed by " + who + ": waiting up to " +
                    std::to_string(seconds) + " s");
        told = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

void PartLock::release() {
    if (fd_ < 0) return;
    ::unlink(file_.c_str());
    ::close(fd_);
    fd_ = -1;
}

}  // namespace cadhost::partfile
