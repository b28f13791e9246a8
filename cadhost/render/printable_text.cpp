#include "cadhost/render/printable_text.h"

#include "cadhost/document/utf8_text.h"

namespace cadhost::render {
namespace {

// The length of the well-formed character at text[at] and its code point, or 0 when the bytes there are not UTF-8
// (overlong forms, surrogates and code points above U+10FFFF included).
std::size_t decode(std::string_view text, std::size_t at, char32_t& code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    std::size_t length = 0;
    char32_t lowest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, lowest = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(i) & 0x3F);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

std::string printable_text(std::string_view text, bool one_line) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t code = 0;
        const std::size_t length = decode(text, at, code);
        if (length == 0) {
            out += "\uFFFD";
            ++at;
            continue;
        }
        if (one_line && (code == '\t' || code == '\n' || code == '\r'))
            out += ' ';
        else if (!is_unfit_character(code))
            out.append(text.substr(at, length));
        at += length;
    }
    return out;
}

}  // namespace cadhost::render
