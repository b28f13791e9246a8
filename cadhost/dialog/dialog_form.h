// An open dialog: its definition and the values its fields hold now.
#ifndef CADHOST_DIALOG_DIALOG_FORM_H
#define CADHOST_DIALOG_DIALOG_FORM_H

#include <ostream>
#include <string>
#include <vector>

#include "cadhost/dialog/dialog_file.h"

namespace cadhost::dialog {

class Form {
  public:
    explicit Form(DialogDefinition definition);

    const DialogDefinition& definition() const { return definition_; }
    // Null when the dialog has no such field.
    const Field* field(const std::string& id) const { return definition_.find(id); }
    const FieldValue& value(const Field& field) const;
    // The value must be of the field's kind (parse_value gives such values).
    void set(const Field& field, FieldValue value);

    // The fields, numbered from 1, with their labels and values, and the buttons.
    void show(std::ostream& out) const;

    // Set when the command handed the form something it cannot take (a value of another kind than its field's): the
    // dialog then closes as cancelled and the run ends with the reason.
    void refuse() { refused_ = true; }
    bool refused() const { return refused_; }

  private:
    bool refused_ = false;
    DialogDefinition definition_;
    std::vector<FieldValue> values_;
};

// How a value reads on the form: a radio value with its choice's text, a text in quotes.
std::string describe(const Field& field, const FieldValue& value);

}  // namespace cadhost::dialog

#endif
