#include "cadhost/document/utf8_text.h"

namespace cadhost {

std::size_t first_invalid_utf8(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    std::size_t at = 0;
    while (at < text.size()) {
        const unsigned char lead = byte(at);
        if (lead < 0x80) {
            ++at;
            continue;
        }
        std::size_t length;
        unsigned char low = 0x80, high = 0xBF;  // the range of the second byte, narrowed where the lead needs it
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0) low = 0xA0;   // overlong
            if (lead == 0xED) high = 0x9F;  // surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0) low = 0x90;   // overlong
            if (lead == 0xF4) high = 0x8F;  // above U+10FFFF
        } else {
            return at;
        }
        if (at + length > text.size()) return at;
        if (byte(at + 1) < low || byte(at + 1) > high) return at;
        for (std::size_t i = 2; i < length; ++i)
            if ((byte(at + i) & 0xC0) != 0x80) return at;
        at += length;
    }
    return std::string_view::npos;
}

std::string utf8_problem(std::string_view text) {
    const std::size_t at = first_invalid_utf8(text);
    if (at == std::string_view::npos) return {};
    return "byte " + std::to_string(at + 1) + " is not UTF-8";
}

}  // namespace cadhost
