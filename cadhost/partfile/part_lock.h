// One process at a time changes a part: a command that loads a part, changes it and saves it holds the part's lock from
// the load to the save, so that a second such command waits for the first and then loads what the first saved,
// instead of saving over it. The lock is an advisory lock on "PART.prt.lock" beside the part (the part itself cannot
// carry it: a save renames a new file over it); a part named through a symbolic link is locked beside the file the
// link points to, so that both names take one lock. The system drops the lock of a process that is killed; a lock
// file left by one is taken over by the next command, whoever made it. Something else under the lock file's name (a
// folder, a link) is no lock: the part is refused rather than changed without one.
#ifndef CADHOST_PARTFILE_PART_LOCK_H
#define CADHOST_PARTFILE_PART_LOCK_H

#include <functional>
#include <string>

namespace cadhost::partfile {

class PartLock {
  public:
    enum class Outcome {
        Held,       // this process holds the part
        Busy,       // another process held it for the whole wait
        Blocked,    // something that is no lock file has the lock file's name
        Impossible  // no lock file can be made beside the part (a read-only folder, where no save can succeed)
    };

    PartLock() = default;
    ~PartLock();
    PartLock(const PartLock&) = delete;
    PartLock& operator=(const PartLock&) = delete;

    // Takes the lock of the part at part_path, waiting up to part_wait_seconds() while another process holds it;
    // `waiting` is told once when the wait begins. Busy, Blocked and Impossible set message, naming the part.
    Outcome acquire(const std::string& part_path, std::string& message,
                    const std::function<void(const std::string&)>& waiting = {});
    void release();

  private:
    int fd_ = -1;
    std::string file_;
};

}  // namespace cadhost::partfile

#endif
