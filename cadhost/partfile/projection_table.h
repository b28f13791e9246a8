// The projections kept in a part file, so that a later export finds the drawings' projections of the bodies that
// have not changed. The table is optional: a part file without it has none kept, and reads as before.
#ifndef CADHOST_PARTFILE_PROJECTION_TABLE_H
#define CADHOST_PARTFILE_PROJECTION_TABLE_H

#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace cadhost::partfile {

class Db;

// Hands every kept projection (its key and its bytes) to take. False with a message naming the file when the file
// cannot be read; a file without kept projections is not an error.
bool read_projections(const std::string& path, const std::function<void(std::string key, std::string bytes)>& take,
                      std::string& error);

// The projections kept in a part file, each read when it is asked for: a part keeps a set for every sheet, and an
// export then holds in memory only those of the sheets it is drawing. Safe to use from several threads.
class KeptProjections {
  public:
    KeptProjections();
    ~KeptProjections();
    // Opens the part file to read and lists the keys kept. False with a message naming the file when it cannot be
    // read; a file without kept projections has none.
    bool open(const std::string& path, std::vector<std::string>& keys, std::string& error);
    // The bytes kept under key; false when there are none, or the file cannot be read now.
    bool find(const std::string& key, std::string& bytes);

  private:
    std::mutex mutex_;
    std::unique_ptr<Db> db_;
};

// Adds the projections to the part file and forgets the kept ones whose keys are not in keep, in one transaction:
// the part itself is not touched. False with a message naming the file when it cannot be written.
bool keep_projections(const std::string& path, const std::vector<std::pair<std::string, std::string>>& added,
                      const std::set<std::string>& keep, std::string& error);

// Copies the projections kept in the part file at old_path, if any, into the part being written: saving a part
// keeps them. A file that cannot be read gives nothing to copy.
void carry_projections(Db& db, const std::string& old_path);

}  // namespace cadhost::partfile

#endif
