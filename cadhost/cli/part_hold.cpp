#include "cadhost/cli/part_hold.h"

namespace cadhost::cli {

bool hold_part(partfile::PartLock& lock, const std::string& part, const char* command, std::ostream& err) {
    std::string message;
    const auto outcome = lock.acquire(part, message, [&](const std::string& note) {
        err << "quillon " << command << ": " << note << '\n' << std::flush;
    });
    if (outcome != partfile::PartLock::Outcome::Busy && outcome != partfile::PartLock::Outcome::Blocked) return true;
    err << "quillon " << command << ": " << message << '\n';
    return false;
}

}  // namespace cadhost::cli
