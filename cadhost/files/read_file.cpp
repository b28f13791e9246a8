#include "cadhost/files/read_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace cadhost::files {

bool read_whole_file(const std::string& path, std::string& bytes, std::string& why) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        why = errno == ENOENT ? "no such file" : std::string("cannot be read: ") + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        why =
            S_ISDIR(info.st_mode) ? "is a folder, not a file" : std::string("cannot be read: ") + std::strerror(errno);
        ::close(fd);
        return false;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            why = std::string("cannot be read: ") + std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

std::string nul_byte_place(std::string_view bytes) {
    const std::size_t at = bytes.find('\0');
    if (at == std::string_view::npos) return {};
    const std::size_t line_start = bytes.rfind('\n', at);
    const std::size_t line = 1 + static_cast<std::size_t>(std::count(bytes.begin(), bytes.begin() + at, '\n'));
    const std::size_t column = line_start == std::string_view::npos ? at + 1 : at - line_start;
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

}  // namespace cadhost::files
