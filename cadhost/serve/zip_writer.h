// A zip archive made in memory: each file deflated (or stored when that is no smaller), names in UTF-8. For the
// sheets of one part, far below the format's 4 GiB and 65535-file limits; add refuses beyond them.
#ifndef CADHOST_SERVE_ZIP_WRITER_H
#define CADHOST_SERVE_ZIP_WRITER_H

#include <cstdint>
#include <string>

namespace cadhost::serve {

class ZipWriter {
  public:
    // False when the archive would exceed the format's limits.
    bool add(const std::string& name, const std::string& bytes);
    // The archive's bytes: the files, then the central directory.
    std::string finish();

  private:
    std::string data_;
    std::string directory_;
    std::uint16_t count_ = 0;
};

}  // namespace cadhost::serve

#endif
