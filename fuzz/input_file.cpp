#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

#include "fuzz/fuzz_target.h"

namespace fuzz {

namespace {

constexpr std::string_view kPrefix = "quillon_fuzz_";

// The process that owns a file named quillon_fuzz_<pid>.<extension>, or 0 when the name is not of that pattern.
pid_t owner_of(const std::string& name) {
    if (name.compare(0, kPrefix.size(), kPrefix) != 0) return 0;
    std::size_t at = kPrefix.size();
    long pid = 0;
    while (at < name.size() && name[at] >= '0' && name[at] <= '9' && pid < 100'000'000)
        pid = pid * 10 + (name[at++] - '0');
    if (at == kPrefix.size() || at >= name.size() || name[at] != '.') return 0;
    return static_cast<pid_t>(pid);
}

// Input files of fuzz runs that ended without their exit handlers (a finding, a kill): only files of our pattern, and
// only when their process is gone.
void remove_orphans(const std::filesystem::path& folder) {
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const pid_t owner = owner_of(it->path().filename().string());
        if (owner <= 0 || owner == ::getpid()) continue;
        if (::kill(owner, 0) == 0 || errno != ESRCH) continue;
        std::error_code ignored;
        std::filesystem::remove(it->path(), ignored);
    }
}

// The input file of this process, removed when the process exits. Children that a target forks leave with _exit,
// so they never take the file from under their parent.
std::string& own_file() {
    static std::string path;
    return path;
}

// With the files a database library may have made beside it for an input that asked for them.
void remove_own_file() {
    if (own_file().empty()) return;
    for (const char* suffix : {"", "-journal", "-wal", "-shm"}) ::unlink((own_file() + suffix).c_str());
}

}  // namespace

std::string input_file(const std::uint8_t* data, std::size_t size, const char* extension) {
    std::string& path = own_file();
    if (path.empty()) {
        const std::filesystem::path folder = std::filesystem::temp_directory_path();
        remove_orphans(folder);
        path = (folder / (std::string(kPrefix) + std::to_string(::getpid()) + extension)).string();
        std::atexit(remove_own_file);
    }
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path;
}

}  // namespace fuzz
