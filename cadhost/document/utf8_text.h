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

}  // namespace cadhost

#endif
