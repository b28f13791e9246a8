// Names in STEP files are bytes in whatever code page the writing system used, or escapes that say which characters
// they are (see step_escapes.h). The translator is told to convert nothing: each byte comes back as the character of
// that number and each escape as written, so that the escapes are read as they are defined and only the bytes are
// decoded here, all names of a file together, in the encoding they were written in.
#ifndef CADHOST_IMPORT_NAME_ENCODING_H
#define CADHOST_IMPORT_NAME_ENCODING_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cadhost::import {

// The code page the translator reads text in (its own name for it).
inline constexpr const char* kTranslatorCodePage = "NoConversion";

// Empty when the system's converter (iconv) can decode text in `encoding`, else why it cannot.
std::string encoding_problem(const std::string& encoding);

// The bytes decoded from `encoding` into UTF-8; nullopt when they are not text in that encoding.
std::optional<std::string> decoded_text(std::string_view bytes, const std::string& encoding);

// The names of one file, decoded together.
class NameDecoding {
  public:
    // encoding: the one the user named, which the bytes beyond ASCII of every name are read in; empty: bytes that are
    // UTF-8 stay so, and the others are read as GB18030 when every one of them is GB18030, else as Latin-1. Escaped
    // characters are what the escapes say, whatever the encoding.
    explicit NameDecoding(std::string encoding) : forced_(std::move(encoding)) {}

    // A name as the translator read it (bytes as characters, escapes as written); returns its number for text().
    std::size_t add(const std::string& translator_text);

    // Decodes every name added; then text() gives each in UTF-8.
    void decode();
    const std::string& text(std::size_t index) const { return names_[index].text; }

    // What the user should know: the encoding used and for how many names, the names that could not be decoded.
    std::vector<std::string> notes() const;
    // Each name decoded, before and after, for --verbose.
    const std::vector<std::string>& details() const { return details_; }

  private:
    struct Name {
        // Runs of the text alternately bytes of the file (even positions) and characters from escapes (odd).
        std::vector<std::string> runs;
        std::string text;
        bool needs_decoding = false;
    };
    std::string forced_;
    std::string used_;
    std::vector<Name> names_;
    std::vector<std::string> details_;
    int decoded_ = 0;
    int failed_ = 0;
};

}  // namespace cadhost::import

#endif
