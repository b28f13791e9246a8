// Text from outside (files, the command line, the command) must be UTF-8 before the part stores it: the writers
// that turn it into JSON, PDF and DXF later rely on it.
#ifndef CADHOST_DOCUMENT_UTF8_TEXT_H
#define CADHOST_DOCUMENT_UTF8_TEXT_H

#include <cstddef>
#include <string>
#include <string_view>

namespace cadhost {

// The offset of the first byte that does not belong to a well-formed UTF-8 character (overlong forms, surrogates and
// code points above U+10FFFF are not well formed), or npos when the whole text is UTF-8.
std::size_t first_invalid_utf8(std::string_view text);

inline bool is_utf8(std::string_view text) { return first_invalid_utf8(text) == std::string_view::npos; }

// "byte N is not UTF-8" for a message, or empty when the text is UTF-8.
std::string utf8_problem(std::string_view text);

// Characters no text of ours may hold: the control characters other than tab, line feed and carriage return (NUL and
// DEL included; XML cannot hold those of C0, and a NUL cuts a text short wherever it travels as a C string) and the
// noncharacters (U+FDD0 to U+FDEF and the last two code points of every plane), which PDF's text strings refuse.
inline bool is_unfit_character(char32_t code) {
    if (code < 0x20) return code != '\t' && code != '\n' && code != '\r';
    if (code >= 0x7F && code <= 0x9F) return true;
    return (code >= 0xFDD0 && code <= 0xFDEF) || (code & 0xFFFE) == 0xFFFE;
}

// "byte N is not UTF-8", "character N is the control character U+0007", "character N is the noncharacter U+FFFE", or
// empty when the text is UTF-8 without unfit characters. Where text enters the host it is checked with this.
std::string text_problem(std::string_view text);

inline bool is_fit_text(std::string_view text) { return text_problem(text).empty(); }

// The refusal of a text for a message, the text called what ("the text"): "the text is not UTF-8 (byte 3 is not
// UTF-8)" or "the text holds the control character U+0007 (character 2)"; empty when the text is fit.
std::string text_refusal(std::string_view text, std::string_view what);

}  // namespace cadhost

#endif
