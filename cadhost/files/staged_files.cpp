#include "cadhost/files/staged_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include "cadhost/files/atomic_file.h"

namespace cadhost::files {

namespace fs = std::filesystem;

namespace {

bool write_new_file(const std::string& temp, std::string_view bytes) {
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        data += n, left -= static_cast<std::size_t>(n);
    }
    const int saved = errno;
    const bool closed = ::close(fd) == 0;
    if (left > 0) errno = saved;
    return left == 0 && closed;
}

// One flush of the whole file system a folder lies on writes every staged file at once; where that is refused, each
// file is flushed on its own.
bool flush_all(const std::set<std::string>& folders, const std::vector<std::string>& temps) {
    bool whole = true;
    for (const std::string& folder : folders) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        whole = whole && fd >= 0 && ::syncfs(fd) == 0;
        if (fd >= 0) ::close(fd);
    }
    if (whole) return true;
    return std::all_of(temps.begin(), temps.end(), [](const std::string& temp) { return sync_to_disk(temp, false); });
}

}  // namespace

StagedFiles::~StagedFiles() {
    for (const std::string& path : paths_) {
        std::error_code ec;
        fs::remove(temporary_name(path), ec);
    }
}

bool StagedFiles::stage(const std::string& path, std::string_view bytes, std::string& error) {
    const std::string temp = temporary_name(path);
    if (!write_new_file(temp, bytes)) {
        error = "cannot write '" + path + "': " + std::strerror(errno);
        std::error_code ec;
        fs::remove(temp, ec);
        std::lock_guard<std::mutex> lock(mutex_);
        paths_.erase(std::remove(paths_.begin(), paths_.end(), path), paths_.end());
        return false;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (std::find(paths_.begin(), paths_.end(), path) == paths_.end()) paths_.push_back(path);
    return true;
}

bool StagedFiles::commit(std::string& error) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> paths;
    paths.swap(paths_);
    if (paths.empty()) return true;
    std::set<std::string> folders;
    std::vector<std::string> temps;
    for (const std::string& path : paths) {
        folders.insert(folder_of(path));
        temps.push_back(temporary_name(path));
    }
    // A folder under a final name would take no file: found before any is put in place, nothing changes.
    for (const std::string& path : paths) {
        std::error_code ec;
        if (!fs::is_directory(fs::symlink_status(path, ec))) continue;
        error = "cannot write '" + path + "': a folder of that name is in the way";
        for (const std::string& temp : temps) fs::remove(temp, ec);
        return false;
    }
    if (!flush_all(folders, temps)) {
        error = "cannot write the files in '" + *folders.begin() + "': they cannot be flushed to disk";
        for (const std::string& temp : temps) {
            std::error_code ec;
            fs::remove(temp, ec);
        }
        return false;
    }
    bool ok = true;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (::rename(temps[i].c_str(), paths[i].c_str()) == 0) continue;
        if (ok) error = "cannot write '" + paths[i] + "': " + std::strerror(errno);
        ok = false;
        std::error_code ec;
        fs::remove(temps[i], ec);
    }
    for (const std::string& folder : folders) sync_to_disk(folder, true);
    std::map<std::string, std::set<std::string>> names;
    for (const std::string& path : paths) names[folder_of(path)].insert(fs::path(path).filename().string());
    for (const auto& [folder, in_folder] : names) remove_stale_temporaries_in(folder, in_folder);
    return ok;
}

int StagedFiles::stage_open(const std::string& path, std::string& error) {
    const std::string temp = temporary_name(path);
    const int fd = ::open(temp.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        error = "cannot write '" + path + "': " + std::strerror(errno);
        return -1;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (std::find(paths_.begin(), paths_.end(), path) == paths_.end()) paths_.push_back(path);
    return fd;
}

std::size_t StagedFiles::size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return paths_.size();
}

namespace {
constexpr std::size_t kStreamBuffer = 1 << 20;
}

StagedStream::StagedStream() : buffer_(*this), out_(&buffer_) {}

StagedStream::~StagedStream() {
    if (fd_ >= 0) ::close(fd_);
}

bool StagedStream::open(StagedFiles& staged, const std::string& path, std::string& error) {
    path_ = path;
    fd_ = staged.stage_open(path, error);
    return fd_ >= 0;
}

bool StagedStream::write_all(const char* data, std::size_t size) {
    if (failure_ != 0) return false;
    if (fd_ < 0) {
        failure_ = EBADF;
        return false;
    }
    while (size > 0) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            failure_ = n < 0 ? errno : EIO;
            return false;
        }
        data += n, size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool StagedStream::Buffer::drain() {
    const bool ok = owner_.write_all(pending_.data(), pending_.size());
    pending_.clear();
    return ok;
}

StagedStream::Buffer::int_type StagedStream::Buffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return sync() == 0 ? traits_type::not_eof(c) : c;
    pending_.push_back(traits_type::to_char_type(c));
    if (pending_.size() >= kStreamBuffer && !drain()) return traits_type::eof();
    return c;
}

std::streamsize StagedStream::Buffer::xsputn(const char* data, std::streamsize size) {
    const auto count = static_cast<std::size_t>(size);
    if (pending_.size() + count < kStreamBuffer) {
        pending_.append(data, count);
        return size;
    }
    if (!drain() || !owner_.write_all(data, count)) return 0;
    return size;
}

int StagedStream::Buffer::sync() { return drain() ? 0 : -1; }

bool StagedStream::close(std::string& error) {
    out_.flush();
    const bool written = failure_ == 0 && out_.good();
    const int saved = failure_;
    const bool closed = fd_ >= 0 && ::close(fd_) == 0;
    const int close_errno = errno;
    fd_ = -1;
    if (written && closed) return true;
    error = "cannot write '" + path_ + "': " + std::strerror(saved != 0 ? saved : close_errno);
    return false;
}

}  // namespace cadhost::files
