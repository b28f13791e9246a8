#include "cadhost/dialog/terminal_form.h"

#include <string>

namespace cadhost::dialog {

namespace {

const char* kPrompt = "field number to edit, o = OK, b = Back, c = Cancel: ";

std::string trim(const std::string& text) {
    std::size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string::npos) return {};
    return text.substr(start, text.find_last_not_of(" \t\r") - start + 1);
}

// Asks a new value for one field; an empty answer keeps the value, one of the wrong kind is refused and kept.
bool edit(Form& form, const Field& field, std::istream& in, std::ostream& out) {
    if (field.kind == FieldKind::Radio) {
        for (const Choice& choice : field.choices) out << "      " << choice.value << " = " << choice.text << '\n';
    }
    out << field.label << " [" << field.id << "] (" << kind_name(field.kind) << ", now "
        << describe(field, form.value(field)) << "): " << std::flush;
    std::string line;
    if (!std::getline(in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // Texts keep their blanks; an empty line keeps the field as it is.
    std::string text = field.kind == FieldKind::Text ? line : trim(line);
    if (text.empty()) return true;
    FieldValue value;
    std::string why;
    if (!parse_value(field, text, value, why)) {
        out << "not accepted: " << why << '\n';
        return true;
    }
    form.set(field, value);
    return true;
}

}  // namespace

Button run_terminal_form(Form& form, std::istream& in, std::ostream& out, const PressButton& press) {
    const auto& fields = form.definition().fields;
    form.show(out);
    for (;;) {
        out << kPrompt << std::flush;
        std::string line;
        if (!std::getline(in, line)) break;
        std::string command = trim(line);
        if (command.empty()) continue;
        Button button;
        if (command == "o" || command == "O" || command == "ok" || command == "OK") {
            button = Button::Ok;
        } else if (command == "b" || command == "B") {
            button = Button::Back;
        } else if (command == "c" || command == "C") {
            button = Button::Cancel;
        } else {
            std::size_t number = 0;
            try {
                number = std::stoul(command);
            } catch (...) {
                number = 0;
            }
            if (number < 1 || number > fields.size()) {
                out << "no field " << command << '\n';
                continue;
            }
            if (!edit(form, fields[number - 1], in, out)) break;
            form.show(out);
            continue;
        }
        if (press(button)) return button;
        // A refused OK has shown its reason; the user's entries stay on the form.
        out << "the dialog stays open with your entries\n";
        form.show(out);
    }
    out << "\n(end of input: Cancel)\n";
    press(Button::Cancel);
    return Button::Cancel;
}

}  // namespace cadhost::dialog
