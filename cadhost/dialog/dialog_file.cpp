#include "cadhost/dialog/dialog_file.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "cadhost/document/utf8_text.h"
#include "cadhost/files/read_file.h"

namespace cadhost::dialog {

namespace {

bool whole_number(const std::string& text, int& out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 10);
    // The whole text must be the number: a NUL inside it is not its end.
    if (end != text.c_str() + text.size() || errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return false;
    out = static_cast<int>(value);
    return true;
}

bool real_number(const std::string& text, double& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value)) return false;
    out = value;
    return true;
}

bool valid_id(const std::string& id) {
    if (id.empty()) return false;
    for (char c : id)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
    return true;
}

// Splits "word rest" at the first blank; rest keeps its inner blanks.
void split(const std::string& line, std::string& word, std::string& rest) {
    std::size_t gap = line.find(' ');
    word = line.substr(0, gap);
    rest.clear();
    if (gap == std::string::npos) return;
    std::size_t start = line.find_first_not_of(' ', gap);
    if (start != std::string::npos) rest = line.substr(start);
}

bool parse_kind(const std::string& name, FieldKind& kind) {
    for (FieldKind k : {FieldKind::Integer, FieldKind::Real, FieldKind::Toggle, FieldKind::Text, FieldKind::Radio}) {
        if (name == kind_name(k)) {
            kind = k;
            return true;
        }
    }
    return false;
}

FieldValue empty_value(FieldKind kind) {
    switch (kind) {
        case FieldKind::Real:
            return 0.0;
        case FieldKind::Text:
            return std::string();
        default:
            return 0;
    }
}

}  // namespace

const Field* DialogDefinition::find(const std::string& id) const {
    for (const Field& field : fields)
        if (field.id == id) return &field;
    return nullptr;
}

const Field* DialogDefinition::find_id_or_name(const std::string& key) const {
    if (const Field* field = find(key)) return field;
    for (const Field& field : fields)
        if (!field.name.empty() && field.name == key) return &field;
    return nullptr;
}

const char* kind_name(FieldKind kind) {
    switch (kind) {
        case FieldKind::Integer:
            return "integer";
        case FieldKind::Real:
            return "real";
        case FieldKind::Toggle:
            return "toggle";
        case FieldKind::Text:
            return "text";
        case FieldKind::Radio:
            return "radio";
    }
    return "?";
}

bool parse_value(const Field& field, const std::string& text, FieldValue& value, std::string& why) {
    int number = 0;
    switch (field.kind) {
        case FieldKind::Text:
            // The text goes into the part and its sheets, whose writers need UTF-8 without control characters.
            if (!is_fit_text(text)) {
                why = text_refusal(text, "the text");
                return false;
            }
            value = text;
            return true;
        case FieldKind::Real: {
            double real = 0.0;
            if (!real_number(text, real)) {
                why = "'" + text + "' is not a number";
                return false;
            }
            value = real;
            return true;
        }
        case FieldKind::Integer:
            if (!whole_number(text, number)) {
                why = "'" + text + "' is not a whole number";
                return false;
            }
            value = number;
            return true;
        case FieldKind::Toggle:
            if (!whole_number(text, number) || (number != 0 && number != 1)) {
                why = "'" + text + "' is not 0 or 1";
                return false;
            }
            value = number;
            return true;
        case FieldKind::Radio:
            if (whole_number(text, number)) {
                for (const Choice& choice : field.choices) {
                    if (choice.value == number) {
                        value = number;
                        return true;
                    }
                }
            }
            why = "'" + text + "' is not one of the choices";
            for (std::size_t i = 0; i < field.choices.size(); ++i)
                why += (i ? ", " : " ") + std::to_string(field.choices[i].value);
            return false;
    }
    return false;
}

std::string format_value(const FieldValue& value) {
    if (const int* number = std::get_if<int>(&value)) return std::to_string(*number);
    if (const double* real = std::get_if<double>(&value)) {
        std::ostringstream out;
        out << *real;
        return out.str();
    }
    return std::get<std::string>(value);
}

bool parse_dialog(std::istream& in, const std::string& source, DialogDefinition& definition, std::string& error) {
    definition = DialogDefinition{};
    definition.source = source;
    std::string line;
    int number = 0;
    // Which fields were given a default, so that radio fields without one take their first choice.
    std::vector<bool> has_default;
    auto fail = [&](const std::string& problem) {
        error = source + ":" + std::to_string(number) + ": " + problem;
        return false;
    };
    while (std::getline(in, line)) {
        ++number;
        // A NUL would end the line early for whoever reads it as a C string; tabs and the CR of CRLF are fine.
        if (!is_fit_text(line)) return fail(text_refusal(line, "the line"));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        std::string word, rest;
        split(line.substr(start), word, rest);
        Field* field = definition.fields.empty() ? nullptr : &definition.fields.back();
        if (word == "dialog") {
            if (!definition.fields.empty()) return fail("'dialog' must come before the first field");
            definition.title = rest;
        } else if (word == "field") {
            std::string id, kind_text;
            split(rest, id, kind_text);
            FieldKind kind;
            if (!valid_id(id)) return fail("a field needs an identifier of letters, digits and '_'");
            if (definition.find_id_or_name(id)) return fail("field " + id + " is defined twice");
            if (!parse_kind(kind_text, kind))
                return fail("field " + id + ": kind '" + kind_text + "' is not integer, real, toggle, text or radio");
            definition.fields.push_back(Field{id, kind, id, "", empty_value(kind), {}, number});
            has_default.push_back(false);
        } else if (word == "label" || word == "name" || word == "default" || word == "choice" || word == "opens") {
            if (!field) return fail("'" + word + "' outside a field");
            if (word == "label") {
                field->label = rest;
            } else if (word == "opens") {
                field->opens = rest;
            } else if (word == "name") {
                if (!valid_id(rest)) return fail("field " + field->id + ": a name is letters, digits and '_'");
                if (definition.find_id_or_name(rest))
                    return fail("field " + field->id + ": name " + rest + " is taken");
                field->name = rest;
            } else if (word == "default") {
                std::string why;
                if (field->kind == FieldKind::Radio && field->choices.empty())
                    return fail("field " + field->id + ": give the choices before the default");
                if (!parse_value(*field, rest, field->initial, why))
                    return fail("field " + field->id + ": default " + why);
                has_default.back() = true;
            } else {
                if (field->kind != FieldKind::Radio) return fail("field " + field->id + " is not a radio box");
                std::string value_text, text;
                split(rest, value_text, text);
                Choice choice{0, text};
                if (!whole_number(value_text, choice.value))
                    return fail("field " + field->id + ": a choice starts with its whole-number value");
                for (const Choice& other : field->choices)
                    if (other.value == choice.value)
                        return fail("field " + field->id + ": choice " + value_text + " is given twice");
                field->choices.push_back(choice);
            }
        } else {
            return fail("unknown statement '" + word + "'");
        }
    }
    for (std::size_t i = 0; i < definition.fields.size(); ++i) {
        Field& field = definition.fields[i];
        if (field.kind != FieldKind::Radio) continue;
        if (field.choices.empty()) {
            error = source + ": radio field " + field.id + " has no choices";
            return false;
        }
        if (!has_default[i]) field.initial = field.choices.front().value;
    }
    return true;
}

bool read_dialog_file(const std::string& path, DialogDefinition& definition, std::string& error) {
    std::string bytes, why;
    if (!files::read_whole_file(path, bytes, why)) {
        error = "cannot read dialog file '" + path + "': " + why;
        return false;
    }
    std::istringstream in(bytes);
    return parse_dialog(in, path, definition, error);
}

}  // namespace cadhost::dialog
