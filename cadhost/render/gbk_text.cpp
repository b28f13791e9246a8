#include "cadhost/render/gbk_text.h"

#include <cerrno>
#include <cstdio>

#include <iconv.h>

namespace cadhost::render {
namespace {

// Length of the UTF-8 sequence that starts with lead, and its code point; 0 when the bytes are not valid UTF-8.
std::size_t decode_one(const std::string& text, std::size_t at, char32_t& code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = lead < 0x80           ? 1
                         : (lead >> 5) == 0x6  ? 2
                         : (lead >> 4) == 0xE  ? 3
                         : (lead >> 3) == 0x1E ? 4
                                               : 0;
    if (length == 0 || at + length > text.size()) return 0;
    code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(at + i) & 0x3F);
    }
    return length;
}

class Iconv {
  public:
    Iconv() : handle_(iconv_open("GBK", "UTF-8")) {}
    ~Iconv() {
        if (ok()) iconv_close(handle_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts one whole character; false when GBK has no code for it.
    bool convert(const char* utf8, std::size_t length, std::string& out) {
        char buffer[8];
        char* in = const_cast<char*>(utf8);
        char* to = buffer;
        std::size_t in_left = length;
        std::size_t out_left = sizeof buffer;
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        if (iconv(handle_, &in, &in_left, &to, &out_left) == static_cast<std::size_t>(-1) || in_left != 0) return false;
        out.append(buffer, to);
        return true;
    }

  private:
    iconv_t handle_;
};

// GBK codes B8F5 to B8FE (铬个各给根跟耕更庚羹) are missing from the code page table of a common free DXF reader, which
// shows each as '?': "这个铜公" is on most sheets. Written as escapes, every reader that reads escapes shows them.
bool escaped_for_readers(const std::string& gbk, std::size_t from) {
    if (gbk.size() != from + 2) return false;
    const auto lead = static_cast<unsigned char>(gbk[from]);
    const auto trail = static_cast<unsigned char>(gbk[from + 1]);
    return lead == 0xB8 && trail >= 0xF5 && trail <= 0xFE;
}

}  // namespace

bool utf8_to_gbk(const std::string& utf8, std::string& out) {
    out.clear();
    Iconv converter;
    if (!converter.ok()) return false;
    std::size_t at = 0;
    while (at < utf8.size()) {
        char32_t code = 0;
        const std::size_t length = decode_one(utf8, at, code);
        if (length == 0) {
            out += '?';
            ++at;
            continue;
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (const std::size_t from = out.size();
                   !converter.convert(utf8.data() + at, length, out) || escaped_for_readers(out, from)) {
            out.resize(from);
            char escape[16];
            std::snprintf(escape, sizeof escape, "\\U+%04X", static_cast<unsigned>(code));
            out += escape;
        }
        at += length;
    }
    return true;
}

}  // namespace cadhost::render
