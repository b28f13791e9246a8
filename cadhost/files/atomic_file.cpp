#include "cadhost/files/atomic_file.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace cadhost::files {

namespace fs = std::filesystem;

std::string folder_of(const std::string& path) {
    const fs::path parent = fs::path(path).parent_path();
    return parent.empty() ? "." : parent.string();
}

namespace {

// True when a process of that number may still be writing: it runs, or we may not ask (another user's).
bool process_alive(long pid) {
    if (pid <= 0 || pid != static_cast<pid_t>(pid)) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

bool write_all(int fd, const std::string& bytes) {
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n, left -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::string link_target(const std::string& path) {
    fs::path at(path);
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(fs::symlink_status(at, ec))) break;
        const fs::path to = fs::read_symlink(at, ec);
        if (ec || to.empty()) break;
        at = to.is_absolute() ? to : (at.parent_path() / to).lexically_normal();
    }
    return at.string();
}

std::string temporary_name(const std::string& path) { return path + ".tmp-" + std::to_string(::getpid()); }

bool sync_to_disk(const std::string& path, bool directory) {
    const int fd = ::open(path.c_str(), directory ? O_RDONLY | O_DIRECTORY : O_RDONLY);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool replace_atomically(const std::string& path,
                        const std::function<bool(const std::string& temp, std::string& error)>& make,
                        std::string& error) {
    remove_stale_temporaries(path);
    const std::string temp = temporary_name(path);
    std::error_code ec;
    fs::remove(temp, ec);
    bool ok = make(temp, error);
    if (ok && !sync_to_disk(temp, false)) {
        error = "cannot write '" + path + "': the new file cannot be flushed to disk";
        ok = false;
    }
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot write '" + path + "': " + std::strerror(errno);
        ok = false;
    }
    if (!ok) {
        fs::remove(temp, ec);
        return false;
    }
    sync_to_disk(folder_of(path), true);
    return true;
}

bool write_atomically(const std::string& path, const std::string& bytes, std::string& error) {
    return replace_atomically(
        path,
        [&](const std::string& temp, std::string& why) {
            const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
            if (fd < 0) {
                why = "cannot write '" + path + "': " + std::strerror(errno);
                return false;
            }
            const bool written = write_all(fd, bytes);
            const int saved = errno;
            const bool closed = ::close(fd) == 0;
            if (!written || !closed) {
                why = "cannot write '" + path + "': " + std::strerror(written ? errno : saved);
                return false;
            }
            return true;
        },
        error);
}

int remove_stale_temporaries(const std::string& path) {
    return remove_stale_temporaries_in(folder_of(path), {fs::path(path).filename().string()});
}

int remove_stale_temporaries_in(const std::string& folder, const std::set<std::string>& names) {
    std::error_code ec;
    int removed = 0;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const std::size_t mark = name.rfind(".tmp-");
        if (mark == std::string::npos || !names.count(name.substr(0, mark))) continue;
        const std::string digits = name.substr(mark + 5);
        if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        if (process_alive(std::stol(digits))) continue;
        std::error_code remove_ec;
        if (it->is_regular_file(remove_ec) && fs::remove(it->path(), remove_ec)) ++removed;
    }
    return removed;
}

}  // namespace cadhost::files
