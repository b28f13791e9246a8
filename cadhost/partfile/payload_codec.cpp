#include "cadhost/partfile/payload_codec.h"

#include <cstring>

namespace cadhost::partfile {

// Values are stored little-endian, whatever the machine, so that part files travel.
void ByteWriter::put_int(std::int64_t value) {
    auto bits = static_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i) bytes_.push_back(static_cast<char>((bits >> (8 * i)) & 0xff));
}

void ByteWriter::put_double(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    put_int(static_cast<std::int64_t>(bits));
}

void ByteWriter::put_string(const std::string& text) {
    put_int(static_cast<std::int64_t>(text.size()));
    bytes_ += text;
}

std::string ByteReader::get_string() {
    const std::int64_t size = get_int();
    if (size < 0) throw std::runtime_error("a text has a negative length");
    need(static_cast<std::size_t>(size));
    std::string text(reinterpret_cast<const char*>(data_ + offset_), static_cast<std::size_t>(size));
    offset_ += static_cast<std::size_t>(size);
    return text;
}

void ByteReader::need(std::size_t count) const {
    if (size_ - offset_ < count) throw std::runtime_error("payload ends early");
}

std::int64_t ByteReader::get_int() {
    need(8);
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= static_cast<std::uint64_t>(data_[offset_ + i]) << (8 * i);
    offset_ += 8;
    return static_cast<std::int64_t>(bits);
}

double ByteReader::get_double() {
    auto bits = static_cast<std::uint64_t>(get_int());
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace cadhost::partfile
