// A folder's new set of files put in place in one step: the set is written into a new folder beside it, which, once
// complete and on disk, takes the folder's place in one exchange of the two names (everything else the folder held
// comes along as links to the same files). A process killed at any moment leaves the old set or the new one, never
// some of each; what it left beside the folder is cleared by the next swap of that folder.
#ifndef CADHOST_FILES_FOLDER_SWAP_H
#define CADHOST_FILES_FOLDER_SWAP_H

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace cadhost::files {

class FolderSwap {
  public:
    // Tells, in a folder a killed swap left, the files that belong to the set (to be dropped) from anything else.
    using OwnFile = std::function<bool(const std::string& folder, const std::string& name)>;

    FolderSwap() = default;
    FolderSwap(const FolderSwap&) = delete;
    FolderSwap& operator=(const FolderSwap&) = delete;
    // A new folder that was not swapped in goes.
    ~FolderSwap();

    // Makes the new folder beside dir (which exists), once the folders that killed swaps of dir left are cleared:
    // files of the set go, anything else goes back into dir. False when the folder cannot be swapped (its parent
    // takes no new folder, or lies on another file system): the set is then put in place a file at a time.
    bool prepare(const std::string& dir, const OwnFile& own);
    // Where the new set is written.
    const std::string& folder() const { return new_folder_; }

    // Swaps the new folder in. Whatever else dir holds stays, except the regular files named in drop (the old set's
    // files the new one has no more), which are listed in dropped. When a file of the new set would take the place
    // of a folder, nothing changes and false comes with the reason. Where the file system cannot exchange two
    // folders, or a file of dir cannot be linked, the new set is put in place a file at a time instead.
    bool commit(const std::set<std::string>& drop, std::vector<std::string>& dropped, std::string& error);

  private:
    std::string dir_, new_folder_;
};

}  // namespace cadhost::files

#endif
