#include "cadhost/files/folder_swap.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "cadhost/files/atomic_file.h"

namespace cadhost::files {

namespace fs = std::filesystem;

namespace {

constexpr const char* kMark = ".quillon-swap-";
// The mark of a new folder not yet swapped in: a folder a killed swap left is a new set when it has the mark, and the
// old set when it has not (the mark went with the new set, which removes it as soon as it is in place).
constexpr const char* kNewSet = ".quillon-swap-new";

struct Entry {
    std::string name;
    bool folder = false;
};

std::vector<Entry> entries_of(const std::string& dir) {
    std::vector<Entry> entries;
    DIR* d = ::opendir(dir.c_str());
    if (!d) return entries;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st {};
        const bool folder = ::lstat((dir + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        entries.push_back({name, folder});
    }
    ::closedir(d);
    return entries;
}

bool exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool is_folder(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool is_regular(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool move_without_replacing(const std::string& from, const std::string& to) {
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0;
}

bool same_file(const std::string& a, const std::string& b) {
    struct stat first {
    }, second{};
    return ::lstat(a.c_str(), &first) == 0 && ::lstat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
}

// Clears the folder that held dir's old set, after a swap or one that a killed swap left. The set's own files go
// (`ours`: the new set's names; `own`: the old set's files). Another file that dir has too goes when it is the same
// file (the link the swap made); when it is not, another process replaced it while the swap was under way, and the
// newer file takes its place in dir. Anything dir lacks (a folder of dir's, a file made in dir meanwhile) goes back.
// The folder itself goes once empty.
void clear_beside(const std::string& beside, const std::string& dir, const std::set<std::string>& ours,
                  const std::set<std::string>& drop, const FolderSwap::OwnFile& own) {
    for (const Entry& e : entries_of(beside)) {
        const std::string from = beside + "/" + e.name, to = dir + "/" + e.name;
        const bool of_set = !e.folder && (ours.count(e.name) || drop.count(e.name) || (own && own(beside, e.name)));
        if (exists(to)) {
            if (e.folder || is_folder(to)) continue;
            if (of_set || same_file(from, to))
                ::unlink(from.c_str());
            else
                ::rename(from.c_str(), to.c_str());
        } else if (of_set) {
            ::unlink(from.c_str());
        } else {
            move_without_replacing(from, to);
        }
    }
    ::rmdir(beside.c_str());
}

// Whether this process works in dir or below it: a folder swapped away under a shell's feet leaves the shell in a
// folder that is gone.
bool works_in(const fs::path& dir) {
    std::error_code ec;
    const fs::path here = fs::current_path(ec);
    if (ec) return false;
    auto d = dir.begin(), h = here.begin();
    for (; d != dir.end(); ++d, ++h)
        if (h == here.end() || *d != *h) return false;
    return true;
}

bool process_alive(long pid) { return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

// Holds dir against other swaps of it: a lock on the folder itself, taken again when the folder under the name
// changed while this process waited (another swap put a new one there).
class FolderLock {
  public:
    explicit FolderLock(const std::string& dir) {
        for (int tries = 0; tries < 100; ++tries) {
            fd_ = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (fd_ < 0) return;
            struct stat locked {
            }, named{};
            if (::flock(fd_, LOCK_EX) == 0 && ::fstat(fd_, &locked) == 0 && ::stat(dir.c_str(), &named) == 0 &&
                locked.st_ino == named.st_ino && locked.st_dev == named.st_dev)
                return;
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~FolderLock() {
        if (fd_ >= 0) ::close(fd_);
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    int fd() const { return fd_; }

  private:
    int fd_ = -1;
};

}  // namespace

FolderSwap::~FolderSwap() {
    if (new_folder_.empty()) return;
    std::error_code ec;
    fs::remove_all(new_folder_, ec);
}

bool FolderSwap::prepare(const std::string& dir, const OwnFile& own) {
    std::error_code ec;
    const fs::path real = fs::canonical(dir, ec);
    if (ec || real.filename().empty() || real.parent_path() == real || works_in(real)) return false;
    dir_ = real.string();
    const std::string parent = real.parent_path().string();
    const std::string prefix = "." + real.filename().string() + kMark;
    {
        FolderLock lock(dir_);
        if (lock.fd() < 0) return false;
        for (const Entry& e : entries_of(parent)) {
            if (!e.folder || e.name.compare(0, prefix.size(), prefix) != 0) continue;
            const std::string digits = e.name.substr(prefix.size());
            if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos ||
                process_alive(std::stol(digits)))
                continue;
            const std::string left = parent + "/" + e.name;
            if (exists(left + "/" + kNewSet))
                fs::remove_all(left, ec);  // its own new files, and links to dir's
            else
                clear_beside(left, dir_, {}, {}, own);
        }
        ::unlink((dir_ + "/" + kNewSet).c_str());
    }
    struct stat folder {
    }, above{};
    if (::stat(dir_.c_str(), &folder) != 0 || ::stat(parent.c_str(), &above) != 0 || folder.st_dev != above.st_dev)
        return false;
    const std::string made = parent + "/" + prefix + std::to_string(::getpid());
    fs::remove_all(made, ec);
    if (::mkdir(made.c_str(), 0700) != 0) return false;
    new_folder_ = made;
    const int mark = ::open((made + "/" + kNewSet).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (mark < 0) return false;
    ::close(mark);
    return true;
}

bool FolderSwap::commit(const std::set<std::string>& drop, std::vector<std::string>& dropped, std::string& error) {
    FolderLock lock(dir_);
    std::vector<Entry> written;
    for (const Entry& e : entries_of(new_folder_))
        if (e.name != kNewSet) written.push_back(e);
    for (const Entry& e : written)
        if (is_folder(dir_ + "/" + e.name)) {
            error = "cannot write '" + dir_ + "/" + e.name + "': a folder of that name is in the way";
            return false;
        }
    // Everything else of dir comes along: its files as links to the same files, its folders once the swap is made.
    std::set<std::string> ours{kNewSet};
    for (const Entry& e : written) ours.insert(e.name);
    bool linked = lock.fd() >= 0;
    for (const Entry& e : entries_of(dir_)) {
        if (!linked) break;
        if (e.folder || ours.count(e.name)) continue;
        if (drop.count(e.name) && is_regular(dir_ + "/" + e.name)) {
            dropped.push_back(e.name);
            continue;
        }
        linked =
            ::linkat(AT_FDCWD, (dir_ + "/" + e.name).c_str(), AT_FDCWD, (new_folder_ + "/" + e.name).c_str(), 0) == 0;
    }
    struct stat mode {};
    if (::stat(dir_.c_str(), &mode) == 0) ::chmod(new_folder_.c_str(), mode.st_mode & 07777);
    sync_to_disk(new_folder_, true);
    if (linked && ::renameat2(AT_FDCWD, new_folder_.c_str(), AT_FDCWD, dir_.c_str(), RENAME_EXCHANGE) == 0) {
        // The old set is now under the new folder's name: what of it is not dir's any more is dropped or moved back.
        sync_to_disk(folder_of(dir_), true);
        ::unlink((dir_ + "/" + kNewSet).c_str());
        clear_beside(new_folder_, dir_, ours, drop, nullptr);
        new_folder_.clear();
        return true;
    }
    // One file at a time: each file whole, but a stop half-way leaves some of each set.
    dropped.clear();
    for (const Entry& e : written) {
        const std::string to = dir_ + "/" + e.name;
        if (::rename((new_folder_ + "/" + e.name).c_str(), to.c_str()) != 0 && error.empty())
            error = "cannot write '" + to + "': " + std::strerror(errno);
    }
    for (const std::string& name : drop)
        if (!ours.count(name) && is_regular(dir_ + "/" + name) && ::unlink((dir_ + "/" + name).c_str()) == 0)
            dropped.push_back(name);
    sync_to_disk(dir_, true);
    return error.empty();
}

}  // namespace cadhost::files
