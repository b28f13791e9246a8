#include "cadhost/dialog/dialog_form.h"

#include <cassert>

namespace cadhost::dialog {

Form::Form(DialogDefinition definition) : definition_(std::move(definition)) {
    for (const Field& field : definition_.fields) values_.push_back(field.initial);
}

const FieldValue& Form::value(const Field& field) const {
    // Fields come from this form's own definition; another form's field would be a bug in the facility.
    assert(&field >= definition_.fields.data() && &field < definition_.fields.data() + definition_.fields.size());
    return values_[&field - definition_.fields.data()];
}

void Form::set(const Field& field, FieldValue value) {
    assert(&field >= definition_.fields.data() && &field < definition_.fields.data() + definition_.fields.size());
    values_[&field - definition_.fields.data()] = std::move(value);
}

std::string describe(const Field& field, const FieldValue& value) {
    std::string text = format_value(value);
    if (field.kind == FieldKind::Text) return "\"" + text + "\"";
    if (field.kind == FieldKind::Toggle) return text == "1" ? "1 (on)" : "0 (off)";
    if (field.kind == FieldKind::Radio) {
        for (const Choice& choice : field.choices)
            if (format_value(choice.value) == text) return text + " (" + choice.text + ")";
    }
    return text;
}

void Form::show(std::ostream& out) const {
    out << "== " << (definition_.title.empty() ? "dialog" : definition_.title) << " ==\n";
    for (std::size_t i = 0; i < definition_.fields.size(); ++i) {
        const Field& field = definition_.fields[i];
        out << (i + 1 < 10 ? "   " : "  ") << i + 1 << ". " << field.label << " [" << field.id
            << "]: " << describe(field, values_[i]) << '\n';
    }
}

}  // namespace cadhost::dialog
