#include "cadhost/files/zip_reader.h"

#include <algorithm>
#include <set>

#include <zlib.h>

namespace cadhost::files {

namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kDirectorySignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kEndSize = 22, kDirectorySize = 46, kLocalSize = 30;
constexpr std::uint16_t kStored = 0, kDeflated = 8;

std::uint16_t u16(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1])
                                                                                  << 8);
}

std::uint32_t u32(std::string_view bytes, std::size_t at) {
    return static_cast<std::uint32_t>(u16(bytes, at)) | static_cast<std::uint32_t>(u16(bytes, at + 2)) << 16;
}

// The end record is the last thing in the archive, followed only by a comment of up to 64 KiB.
std::size_t find_end(std::string_view archive) {
    if (archive.size() < kEndSize) return std::string_view::npos;
    const std::size_t last = archive.size() - kEndSize;
    const std::size_t first = last > 0xFFFF ? last - 0xFFFF : 0;
    for (std::size_t at = last + 1; at-- > first;)
        if (u32(archive, at) == kEndSignature && at + kEndSize + u16(archive, at + 20) == archive.size()) return at;
    return std::string_view::npos;
}

}  // namespace

bool ZipReader::open(std::string_view archive, std::string& error) {
    archive_ = archive;
    entries_.clear();
    names_.clear();
    unpacked_ = 0;
    const std::size_t end = find_end(archive);
    if (end == std::string_view::npos) {
        error = "not a zip archive (no end of its directory)";
        return false;
    }
    const std::size_t count = u16(archive, end + 10);
    const std::uint32_t directory_size = u32(archive, end + 12), directory_at = u32(archive, end + 16);
    if (u16(archive, end + 4) != 0 || u16(archive, end + 6) != 0 || u16(archive, end + 8) != count) {
        error = "a zip archive split over several disks";
        return false;
    }
    if (count == 0xFFFF || directory_size == 0xFFFFFFFF || directory_at == 0xFFFFFFFF) {
        error = "a zip archive with the 64-bit extensions, which no workbook of this size needs";
        return false;
    }
    if (count > limits_.most_entries) {
        error = "a zip archive of " + std::to_string(count) + " files (at most " +
                std::to_string(limits_.most_entries) + " are read)";
        return false;
    }
    if (std::size_t(directory_at) + directory_size > end) {
        error = "a zip archive whose directory lies outside it";
        return false;
    }
    std::set<std::string> seen;
    std::size_t at = directory_at;
    for (std::size_t i = 0; i < count; ++i) {
        if (at + kDirectorySize > std::size_t(directory_at) + directory_size ||
            u32(archive, at) != kDirectorySignature) {
            error = "a zip archive whose directory is damaged at file " + std::to_string(i + 1);
            return false;
        }
        Entry entry;
        const std::uint16_t flags = u16(archive, at + 8);
        entry.method = u16(archive, at + 10);
        entry.crc = u32(archive, at + 16);
        entry.packed = u32(archive, at + 20);
        entry.size = u32(archive, at + 24);
        const std::size_t name_length = u16(archive, at + 28), extra = u16(archive, at + 30),
                          comment = u16(archive, at + 32);
        const std::uint32_t local = u32(archive, at + 42);
        const std::size_t next = at + kDirectorySize + name_length + extra + comment;
        if (next > std::size_t(directory_at) + directory_size) {
            error = "a zip archive whose directory is damaged at file " + std::to_string(i + 1);
            return false;
        }
        entry.name.assign(archive.substr(at + kDirectorySize, name_length));
        const std::string which = "file " + std::to_string(i + 1) + " of the zip archive ('" + entry.name + "')";
        if (flags & 1) {
            error = which + " is encrypted";
            return false;
        }
        if (entry.packed == 0xFFFFFFFF || entry.size == 0xFFFFFFFF || local == 0xFFFFFFFF) {
            error = which + " uses the 64-bit extensions";
            return false;
        }
        if (std::size_t(local) + kLocalSize > directory_at || u32(archive, local) != kLocalSignature) {
            error = which + " points outside the archive";
            return false;
        }
        entry.data = std::size_t(local) + kLocalSize + u16(archive, local + 26) + u16(archive, local + 28);
        if (entry.data + entry.packed > directory_at) {
            error = which + " runs past the archive's files";
            return false;
        }
        if (!seen.insert(entry.name).second) {
            error = which + " is in the archive twice";
            return false;
        }
        names_.push_back(entry.name);
        entries_.push_back(std::move(entry));
        at = next;
    }
    return true;
}

bool ZipReader::has(const std::string& name) const {
    return std::find(names_.begin(), names_.end(), name) != names_.end();
}

bool ZipReader::read(const std::string& name, std::string& bytes, std::string& error) {
    for (const Entry& entry : entries_)
        if (entry.name == name) return read_entry(entry, bytes, error);
    error = "the zip archive holds no '" + name + "'";
    return false;
}

bool ZipReader::read_entry(const Entry& entry, std::string& bytes, std::string& error) {
    const std::string which = "'" + entry.name + "' in the zip archive";
    if (entry.size > limits_.most_entry_bytes || unpacked_ + entry.size > limits_.most_total_bytes) {
        error = which + " unpacks to " + std::to_string(entry.size) + " bytes, more than is read (" +
                std::to_string(limits_.most_entry_bytes) + " a file, " + std::to_string(limits_.most_total_bytes) +
                " in all)";
        return false;
    }
    const std::string_view packed = archive_.substr(entry.data, entry.packed);
    if (entry.method == kStored) {
        if (entry.packed != entry.size) {
            error = which + " is stored with two different sizes";
            return false;
        }
        bytes.assign(packed);
    } else if (entry.method == kDeflated) {
        z_stream stream{};
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) {
            error = "cannot start unpacking " + which;
            return false;
        }
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
        stream.avail_in = static_cast<uInt>(packed.size());
        // One spare byte: a stream that would fill it holds more than the directory says, and is refused.
        std::string out(std::size_t(entry.size) + 1, '\0');
        stream.next_out = reinterpret_cast<Bytef*>(out.data());
        stream.avail_out = static_cast<uInt>(out.size());
        const int result = inflate(&stream, Z_FINISH);
        const std::size_t made = stream.total_out;
        inflateEnd(&stream);
        if (result != Z_STREAM_END || made != entry.size) {
            error = which + (result == Z_STREAM_END || made > entry.size ? " does not unpack to the size it says"
                                                                         : " is damaged: it does not unpack");
            return false;
        }
        out.resize(made);
        bytes = std::move(out);
    } else {
        error = which + " is packed with method " + std::to_string(entry.method) + " (stored and deflated are read)";
        return false;
    }
    if (crc32(0L, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())) != entry.crc) {
        error = which + " is damaged: its check sum does not match";
        return false;
    }
    unpacked_ += bytes.size();
    return true;
}

}  // namespace cadhost::files
