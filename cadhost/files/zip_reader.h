// Reading files out of a zip archive held in memory (a workbook is one), for archives from anywhere: every size and
// offset is checked against the archive and against limits before anything is unpacked, so that a damaged or hostile
// archive (a "zip bomb", entries that overlap or point outside, encryption, the 64-bit extensions) is refused with a
// reason rather than read.
#ifndef CADHOST_FILES_ZIP_READER_H
#define CADHOST_FILES_ZIP_READER_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cadhost::files {

struct ZipLimits {
    std::size_t most_entries = 4096;
    std::size_t most_entry_bytes = 64u << 20;   // unpacked, per file
    std::size_t most_total_bytes = 256u << 20;  // unpacked, over every file read from one archive
};

class ZipReader {
  public:
    explicit ZipReader(ZipLimits limits = {}) : limits_(limits) {}

    // Reads the archive's directory; the bytes must outlive the reader. False with the reason.
    bool open(std::string_view archive, std::string& error);

    const std::vector<std::string>& names() const { return names_; }
    bool has(const std::string& name) const;

    // The unpacked bytes of the named file, checked against its CRC. False with the reason.
    bool read(const std::string& name, std::string& bytes, std::string& error);

  private:
    struct Entry {
        std::string name;
        std::uint16_t method = 0;
        std::uint32_t crc = 0;
        std::uint32_t packed = 0, size = 0;
        std::size_t data = 0;  // offset of the packed bytes
    };
    bool read_entry(const Entry& entry, std::string& bytes, std::string& error);

    ZipLimits limits_;
    std::string_view archive_;
    std::vector<Entry> entries_;
    std::vector<std::string> names_;
    std::size_t unpacked_ = 0;
};

}  // namespace cadhost::files

#endif
