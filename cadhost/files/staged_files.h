// Many files that each appear whole or not at all, brought to disk together. Each is written under its temporary
// name as it is ready; commit() flushes them all to disk in one pass and only then renames each over its final name.
// A power loss or a kill at any moment leaves under each final name the old file or the new one, never a part of one:
// no rename happens before the data it exposes is on disk. One flush for hundreds of files costs far less than a
// flush each, which write_atomically pays.
#ifndef CADHOST_FILES_STAGED_FILES_H
#define CADHOST_FILES_STAGED_FILES_H

#include <cstdint>
#include <mutex>
#include <ostream>
#include <streambuf>
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
    // the temporaries that killed writes of the same final names left. When the flush fails, or a final name is a
    // folder, no final name is touched;
    // when a rename fails the others still happen. False with the first message on error. Nothing is staged after.
    bool commit(std::string& error);

    std::size_t size() const;

    // Opens path's temporary for reading and writing, empty, and stages it: what is written through the descriptor is
    // what commit() puts in place, so the descriptor must be closed before then. -1 with a message naming the file
    // when it cannot be opened.
    int stage_open(const std::string& path, std::string& error);

  private:
    mutable std::mutex mutex_;
    std::vector<std::string> paths_;  // final names, in the order staged
};

// A staged file written a piece at a time, for an output too large to be made in memory first. A stream not closed,
// or closed with a failure, must not be committed: the export gives up, and the temporary goes with the staging.
class StagedStream {
  public:
    StagedStream();
    StagedStream(const StagedStream&) = delete;
    StagedStream& operator=(const StagedStream&) = delete;
    ~StagedStream();

    bool open(StagedFiles& staged, const std::string& path, std::string& error);
    // Buffered writes to the file; one that the disk refuses fails the stream and close() tells of it.
    std::ostream& out() { return out_; }
    // The file's descriptor, open for reading too, for writers that read back what they wrote (after out().flush()).
    int descriptor() const { return fd_; }
    const std::string& path() const { return path_; }
    // Flushes and closes the file; false with a message naming it when any write failed.
    bool close(std::string& error);

  private:
    class Buffer : public std::streambuf {
      public:
        explicit Buffer(StagedStream& owner) : owner_(owner) {}

      protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* data, std::streamsize size) override;
        int sync() override;

      private:
        bool drain();
        StagedStream& owner_;
        std::string pending_;
    };
    bool write_all(const char* data, std::size_t size);

    int fd_ = -1;
    int failure_ = 0;  // the errno of the first refused write
    std::string path_;
    Buffer buffer_;
    std::ostream out_;
};

}  // namespace cadhost::files

#endif
