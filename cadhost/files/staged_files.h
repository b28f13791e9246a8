// Many files that each appear whole or not at all, brought to disk together. Each is written under its temporary
// name as it is ready; commit() flushes them all to disk in one pass and only then renames each over its final name.
// A power loss or a kill at any moment leaves under each final name the old file or the new one, never a part of one:
// no rename happens before the data it exposes is on disk. One flush for hundreds of files costs far less than a
// flush each, which write_atomically pays.
#ifndef CADHOST_FILES_STAGED_FILES_H
#define CADHOST_FILES_STAGED_FILES_H

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace cadhost::files {

class StagedFiles {
  public:
    StagedFiles() = default;
    StagedFiles(const StagedFiles&) = delete;
    StagedFiles& operator=(const StagedFiles&) = delete;
    // Temporaries that were never committed are removed.
    ~StagedFiles();

    // Writes bytes under path's temporary name; false with a message naming the file, and nothing staged, when it
    // cannot. Several threads may stage at once. Staging a path again replaces what was staged for it.
    bool stage(const std::string& path, std::string_view bytes, std::string& error);

    // Flushes every staged file to disk, renames each over its final name, flushes the folders' entries and removes
    // the temporaries that killed writes of the same final names left. When the flush fails no final name is touched;
    // when a rename fails the others still happen. False with the first message on error. Nothing is staged after.
    bool commit(std::string& error);

    std::size_t size() const;

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> paths_;  // final names, in the order staged
};

}  // namespace cadhost::files

#endif
