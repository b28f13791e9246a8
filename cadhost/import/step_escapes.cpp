#include "cadhost/import/step_escapes.h"

#include <optional>

#include "cadhost/import/name_encoding.h"

namespace cadhost::import {

namespace {

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The number the `count` hexadecimal digits at `at` write, or nullopt.
std::optional<char32_t> hex_at(std::string_view bytes, std::size_t at, std::size_t count) {
    if (at + count > bytes.size()) return std::nullopt;
    char32_t value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const int digit = hex_digit(bytes[at + i]);
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<char32_t>(digit);
    }
    return value;
}

// False for what no text may hold: NUL, surrogates, and what lies beyond U+10FFFF.
bool append_utf8(std::string& out, char32_t c) {
    if (c == 0 || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) return false;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return true;
}

// \X2\ (four digits a character) or \X4\ (eight) up to \X0\: the characters, and the bytes the escape takes. A pair
// of surrogates in \X2\ is taken as the one character it stands for, as writers that mean UTF-16 write it.
std::optional<std::size_t> ucs_escape(std::string_view bytes, std::size_t at, std::size_t digits, std::string& out) {
    std::size_t next = at + 4;
    char32_t high = 0;
    bool any = false;
    while (true) {
        if (bytes.substr(next, 4) == "\\X0\\") break;
        const auto code = hex_at(bytes, next, digits);
        if (!code) return std::nullopt;
        next += digits;
        any = true;
        if (digits == 4 && *code >= 0xD800 && *code <= 0xDBFF && high == 0) {
            high = *code;
            continue;
        }
        char32_t character = *code;
        if (high != 0) {
            if (*code < 0xDC00 || *code > 0xDFFF) return std::nullopt;
            character = 0x10000 + ((high - 0xD800) << 10) + (*code - 0xDC00);
            high = 0;
        }
        if (!append_utf8(out, character)) return std::nullopt;
    }
    if (!any || high != 0) return std::nullopt;
    return next + 4 - at;
}

// The escape at `at` (a backslash): how many bytes it takes, with its characters added to `out`; nullopt when no
// well-formed escape starts there. `page` is the ISO 8859 page \S\ refers to, which \P?\ changes.
std::optional<std::size_t> escape_at(std::string_view bytes, std::size_t at, char& page, std::string& out) {
    const std::string_view rest = bytes.substr(at);
    if (rest.starts_with("\\X\\")) {
        const auto code = hex_at(bytes, at + 3, 2);
        if (!code || !append_utf8(out, *code)) return std::nullopt;
        return 5;
    }
    if (rest.starts_with("\\X2\\")) return ucs_escape(bytes, at, 4, out);
    if (rest.starts_with("\\X4\\")) return ucs_escape(bytes, at, 8, out);
    if (rest.size() >= 4 && rest.starts_with("\\P") && rest[3] == '\\' && rest[2] >= 'A' && rest[2] <= 'I') {
        page = rest[2];
        return 4;
    }
    if (rest.size() >= 4 && rest.starts_with("\\S\\") && rest[3] >= 0x20 && rest[3] <= 0x7E) {
        const std::string byte(1, static_cast<char>(rest[3] | 0x80));
        const auto character = decoded_text(byte, "ISO-8859-" + std::to_string(page - 'A' + 1));
        if (!character) return std::nullopt;
        out += *character;
        return 4;
    }
    return std::nullopt;
}

}  // namespace

std::vector<EscapedRun> unescaped_runs(std::string_view bytes) {
    std::vector<EscapedRun> runs;
    const auto add = [&runs](std::string_view text, bool escaped) {
        if (text.empty()) return;
        if (runs.empty() || runs.back().escaped != escaped) runs.push_back({std::string(), escaped});
        runs.back().text += text;
    };
    char page = 'A';
    std::size_t plain_from = 0;
    for (std::size_t at = bytes.find('\\'); at != std::string_view::npos; at = bytes.find('\\', at)) {
        std::string characters;
        const auto used = escape_at(bytes, at, page, characters);
        if (!used) {
            ++at;
            continue;
        }
        add(bytes.substr(plain_from, at - plain_from), false);
        add(characters, true);
        at += *used;
        plain_from = at;
    }
    add(bytes.substr(plain_from), false);
    return runs;
}

}  // namespace cadhost::import
