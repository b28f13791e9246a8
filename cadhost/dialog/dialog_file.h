// Dialog-definition files: the fields of a dialog, their kinds, labels, defaults and radio choices.
//
// The format, one statement per line (UTF-8; blank lines and lines starting with '#' are ignored; leading blanks are
// ignored, so statements of a field may be indented):
//
//   dialog TITLE            the dialog's title; once, before the first field
//   field ID KIND           starts a field; ID is the identifier the command names it by (letters, digits, '_'),
//                           KIND one of integer, real, toggle, text, radio
//   label TEXT              the field's label as the form shows it
//   name NAME               an English name a batch run may give instead of the identifier (letters, digits, '_')
//   default VALUE           the value the form opens with, of the field's kind: a whole number (integer), a number
//                           (real), 0 or 1 (toggle), the rest of the line (text), one of the choice values (radio)
//   choice VALUE TEXT       a radio choice: the whole number the field takes when it is chosen, and its text
//   opens TEXT              in words, what the command puts in the field as its dialog opens, when that is no fixed
//                           default (help shows it instead of the default)
//
// A field without default opens with 0, 0.0, 0, the empty text, or its first choice. Identifiers and names are unique;
// a radio field has at least one choice and no value twice. Anything else is refused with the file and line.
#ifndef CADHOST_DIALOG_DIALOG_FILE_H
#define CADHOST_DIALOG_DIALOG_FILE_H

#include <istream>
#include <string>
#include <variant>
#include <vector>

namespace cadhost::dialog {

enum class FieldKind { Integer, Real, Toggle, Text, Radio };

// Integers, toggles and radio boxes hold an int, reals a double, texts a string.
using FieldValue = std::variant<int, double, std::string>;

struct Choice {
    int value = 0;
    std::string text;
};

struct Field {
    std::string id;
    FieldKind kind = FieldKind::Integer;
    std::string label;
    std::string name;  // English name, empty when the file gives none
    FieldValue initial = 0;
    std::vector<Choice> choices;
    int line = 0;       // where the file declares it, for messages
    std::string opens;  // what the command opens the field with, in words; empty when the default says it
};

struct DialogDefinition {
    std::string source;  // the file, as messages name it
    std::string title;
    std::vector<Field> fields;

    const Field* find(const std::string& id) const;
    // The field with this identifier, else the one with this English name.
    const Field* find_id_or_name(const std::string& key) const;
};

const char* kind_name(FieldKind kind);

// Reads a value typed for the field: false with the reason when it is not of the field's kind.
bool parse_value(const Field& field, const std::string& text, FieldValue& value, std::string& why);
// The value as a user types it.
std::string format_value(const FieldValue& value);

// Parses a dialog file read from in; source names it in messages. False with "source:line: problem" on error.
bool parse_dialog(std::istream& in, const std::string& source, DialogDefinition& definition, std::string& error);
bool read_dialog_file(const std::string& path, DialogDefinition& definition, std::string& error);

}  // namespace cadhost::dialog

#endif
