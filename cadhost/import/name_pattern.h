// Shell patterns for the names of a model's layers and objects, as a layer map writes them ("CORE*", "E??", "50").
#ifndef CADHOST_IMPORT_NAME_PATTERN_H
#define CADHOST_IMPORT_NAME_PATTERN_H

#include <string>
#include <string_view>
#include <vector>

namespace cadhost::import {

// A pattern of characters: '*' any run of characters, '?' one character, "[...]" one of a set ("[0-9]", "[!A-C]" none
// of them), '\' takes the next character as it is. Letters compare without regard to case (a to z), and a run of
// digits matches a run with the same value however many leading zeros either has ("50" matches "050", "E1" matches
// "E01"), so that numbered layers and objects match whichever way a system writes their numbers.
class NamePattern {
  public:
    // Reads the pattern; false and why (an unclosed '[', a '\' at the end, bytes that are not UTF-8) when it is none.
    bool parse(std::string_view text, std::string& error);
    bool matches(std::string_view name) const;
    const std::string& text() const { return text_; }

  private:
    enum class Kind { literal, digits, any_one, any_run, set };
    struct Piece {
        Kind kind;
        std::u32string chars;  // the literal character, the run of digits or the set's members
        std::vector<std::pair<char32_t, char32_t>> ranges;  // of the set
        bool negated = false;
    };
    bool set_holds(const Piece& piece, char32_t c) const;

    std::string text_;
    std::vector<Piece> pieces_;
};

// The code points of a UTF-8 text; bytes that are not UTF-8 count one each.
std::u32string code_points(std::string_view text);

}  // namespace cadhost::import

#endif
