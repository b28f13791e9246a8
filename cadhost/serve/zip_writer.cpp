#include "cadhost/serve/zip_writer.h"

#include <zlib.h>

#include <limits>

namespace cadhost::serve {

namespace {

void put16(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xff);
    out += static_cast<char>((v >> 8) & 0xff);
}

void put32(std::string& out, std::uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

// Raw deflate (no zlib header), as zip stores it; false when zlib fails.
bool deflated(const std::string& bytes, std::string& out) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) return false;
    out.resize(deflateBound(&stream, static_cast<uLong>(bytes.size())));
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return result == Z_STREAM_END;
}

constexpr std::uint32_t kUtf8Names = 1u << 11;
constexpr std::uint32_t kDosDate = (1u << 5) | 1u;  // 1980-01-01: the archive does not depend on when it was made

}  // namespace

bool ZipWriter::add(const std::string& name, const std::string& bytes) {
    constexpr std::size_t most = std::numeric_limits<std::uint32_t>::max() / 2;
    if (count_ == 0xffff || bytes.size() > most || data_.size() + bytes.size() > most || name.size() > 0xffff)
        return false;
    const std::uint32_t crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
    std::string packed;
    const bool deflate_it = deflated(bytes, packed) && packed.size() < bytes.size();
    const std::string& stored = deflate_it ? packed : bytes;
    const std::uint32_t method = deflate_it ? 8 : 0;
    const std::uint32_t offset = static_cast<std::uint32_t>(data_.size());

    put32(data_, 0x04034b50);
    put16(data_, 20);
    put16(data_, kUtf8Names);
    put16(data_, method);
    put16(data_, 0);
    put16(data_, kDosDate);
    put32(data_, crc);
    put32(data_, static_cast<std::uint32_t>(stored.size()));
    put32(data_, static_cast<std::uint32_t>(bytes.size()));
    put16(data_, static_cast<std::uint32_t>(name.size()));
    put16(data_, 0);
    data_ += name;
    data_ += stored;

    put32(directory_, 0x02014b50);
    put16(directory_, 20);
    put16(directory_, 20);
    put16(directory_, kUtf8Names);
    put16(directory_, method);
    put16(directory_, 0);
    put16(directory_, kDosDate);
    put32(directory_, crc);
    put32(directory_, static_cast<std::uint32_t>(stored.size()));
    put32(directory_, static_cast<std::uint32_t>(bytes.size()));
    put16(directory_, static_cast<std::uint32_t>(name.size()));
    put16(directory_, 0);
    put16(directory_, 0);
    put16(directory_, 0);
    put16(directory_, 0);
    put32(directory_, 0);
    put32(directory_, offset);
    directory_ += name;
    ++count_;
    return true;
}

std::string ZipWriter::finish() {
    std::string out = data_ + directory_;
    put32(out, 0x06054b50);
    put16(out, 0);
    put16(out, 0);
    put16(out, count_);
    put16(out, count_);
    put32(out, static_cast<std::uint32_t>(directory_.size()));
    put32(out, static_cast<std::uint32_t>(data_.size()));
    put16(out, 0);
    return out;
}

}  // namespace cadhost::serve
