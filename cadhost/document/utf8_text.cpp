#include "cadhost/document/utf8_text.h"

#include <cstdio>

namespace cadhost {

namespace {

// The code point of the well-formed character at text[at], of length bytes.
char32_t decode(std::string_view text, std::size_t at, std::size_t length) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    if (length == 1) return byte(0);
    char32_t code = byte(0) & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) code = (code << 6) | (byte(i) & 0x3F);
    return code;
}

// The length of the well-formed character at text[at], or 0 when the bytes there are not UTF-8.
std::size_t character_length(std::string_view text, std::size_t at) {
    const std::size_t bad = first_invalid_utf8(text.substr(at, 4));
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    return bad != std::string_view::npos && bad < length ? 0 : length;
}

std::string code_name(char32_t code) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(code));
    return name;
}

}  // namespace

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

namespace {

// The first unfit character of a text that is UTF-8, with its number (from 1); false when there is none.
bool first_unfit(std::string_view text, char32_t& code, std::size_t& number) {
    number = 1;
    for (std::size_t at = 0; at < text.size(); ++number) {
        const std::size_t length = character_length(text, at);
        code = decode(text, at, length);
        if (is_unfit_character(code)) return true;
        at += length;
    }
    return false;
}

std::string kind_of(char32_t code) {
    return (code < 0xA0 ? "the control character " : "the noncharacter ") + code_name(code);
}

}  // namespace

std::string text_problem(std::string_view text) {
    std::string problem = utf8_problem(text);
    if (!problem.empty()) return problem;
    char32_t code = 0;
    std::size_t number = 0;
    if (!first_unfit(text, code, number)) return {};
    return "character " + std::to_string(number) + " is " + kind_of(code);
}

std::string text_refusal(std::string_view text, std::string_view what) {
    const std::string problem = utf8_problem(text);
    if (!problem.empty()) return std::string(what) + " is not UTF-8 (" + problem + ")";
    char32_t code = 0;
    std::size_t number = 0;
    if (!first_unfit(text, code, number)) return {};
    return std::string(what) + " holds " + kind_of(code) + " (character " + std::to_string(number) + ")";
}

}  // namespace cadhost