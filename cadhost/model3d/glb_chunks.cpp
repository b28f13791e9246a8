#include "cadhost/model3d/glb_chunks.h"

#include <cstdint>
#include <cstring>

namespace cadhost::model3d {

namespace {

constexpr std::uint32_t kMagic = 0x46546C67;  // "glTF"
constexpr std::uint32_t kJson = 0x4E4F534A;   // "JSON"
constexpr std::uint32_t kBin = 0x004E4942;    // "BIN\0"
constexpr std::size_t kHeader = 12, kChunkHeader = 8;

std::uint32_t word(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

void put_word(std::string& bytes, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>(value >> (8 * i) & 0xff);
}

}  // namespace

bool split_glb(const std::string& bytes, GlbChunks& chunks, std::string& error) {
    if (bytes.size() < kHeader || word(bytes, 0) != kMagic || word(bytes, 4) != 2) {
        error = "not a binary glTF file of version 2";
        return false;
    }
    if (word(bytes, 8) != bytes.size()) {
        error = "the binary glTF file's length is not its header's";
        return false;
    }
    chunks = {};
    bool have_json = false;
    for (std::size_t at = kHeader; at < bytes.size();) {
        if (bytes.size() - at < kChunkHeader) {
            error = "a binary glTF chunk is cut short";
            return false;
        }
        const std::uint32_t length = word(bytes, at), type = word(bytes, at + 4);
        if (length > bytes.size() - at - kChunkHeader) {
            error = "a binary glTF chunk runs past the file's end";
            return false;
        }
        const std::string data = bytes.substr(at + kChunkHeader, length);
        if (type == kJson && !have_json) {
            chunks.json = data;
            have_json = true;
        } else if (type == kBin && have_json && chunks.bin.empty()) {
            chunks.bin = data;
        }
        at += kChunkHeader + length;
    }
    if (!have_json) error = "the binary glTF file has no JSON chunk";
    return have_json;
}

std::string join_glb(const GlbChunks& chunks) {
    std::string json = chunks.json, bin = chunks.bin;
    while (json.size() % 4) json += ' ';
    while (bin.size() % 4) bin += '\0';
    std::string out;
    const std::size_t total = kHeader + kChunkHeader + json.size() + (bin.empty() ? 0 : kChunkHeader + bin.size());
    put_word(out, kMagic);
    put_word(out, 2);
    put_word(out, static_cast<std::uint32_t>(total));
    put_word(out, static_cast<std::uint32_t>(json.size()));
    put_word(out, kJson);
    out += json;
    if (!bin.empty()) {
        put_word(out, static_cast<std::uint32_t>(bin.size()));
        put_word(out, kBin);
        out += bin;
    }
    return out;
}

}  // namespace cadhost::model3d
