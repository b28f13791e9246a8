// The compact binary form of object payloads other than shapes, as stored in the part file's payload column.
#ifndef CADHOST_PARTFILE_PAYLOAD_CODEC_H
#define CADHOST_PARTFILE_PAYLOAD_CODEC_H

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace cadhost::partfile {

class ByteWriter {
  public:
    void put_double(double value);
    void put_int(std::int64_t value);
    void put_string(const std::string& text);
    const std::string& bytes() const { return bytes_; }

  private:
    std::string bytes_;
};

// Reading past the end throws std::runtime_error, which the loader reports as a damaged object.
class ByteReader {
  public:
    explicit ByteReader(const void* data, std::size_t size)
        : data_(static_cast<const unsigned char*>(data)), size_(size) {}
    double get_double();
    std::int64_t get_int();
    std::string get_string();
    bool at_end() const { return offset_ == size_; }

  private:
    void need(std::size_t count) const;
    const unsigned char* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
};

}  // namespace cadhost::partfile

#endif
