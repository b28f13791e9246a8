// The form on a terminal: the user edits fields by number and presses OK, Back or Cancel.
#ifndef CADHOST_DIALOG_TERMINAL_FORM_H
#define CADHOST_DIALOG_TERMINAL_FORM_H

#include <functional>
#include <istream>
#include <ostream>

#include "cadhost/dialog/dialog_form.h"

namespace cadhost::dialog {

enum class Button { Ok, Back, Cancel };

// Calls the button's callback; true when the dialog is to close.
using PressButton = std::function<bool(Button)>;

// Runs the form until a button closes it and returns that button. The end of the input presses Cancel and closes.
Button run_terminal_form(Form& form, std::istream& in, std::ostream& out, const PressButton& press);

}  // namespace cadhost::dialog

#endif
