// A run driven by another program (the web window of `quillon serve`): what a user is to see goes out as one JSON
// object a line, and what the user did comes back one line each.
//
// Out: {"event":"form",...} the dialog with its fields and their values now; {"event":"field_refused","field":ID,
// "why":...} a value that does not fit its field; {"event":"form_refused"} OK was refused (the command's message came
// just before), the form follows again; {"event":"form_closed","button":...}; {"event":"prompt",...} a text, point or
// button prompt; {"event":"not_accepted","why":...} an answer that does not fit the prompt, which is asked again; and
// the message, status, warning and listing lines the host shows.
//
// In, while a form is open: "set ID=VALUE" (the rest of the line is the value), then "ok", "back" or "cancel". While
// a prompt is open: one answer as a batch run writes it ("ok", "text: T", "point: X, Y[, Z]", "button: L", "back",
// "cancel"). The end of the input presses Cancel on a form and leaves a prompt unanswered.
#ifndef CADHOST_DIALOG_REMOTE_UI_H
#define CADHOST_DIALOG_REMOTE_UI_H

#include <istream>
#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

#include "cadhost/dialog/prompts.h"
#include "cadhost/dialog/terminal_form.h"

namespace cadhost::dialog {

class RemoteUi {
  public:
    RemoteUi(std::istream& in, std::ostream& out) : in_(in), out_(out) {}

    // One event line, flushed at once: the other side shows it as it comes.
    void event(const nlohmann::ordered_json& event);
    // Runs the form until a button closes it, as the terminal form does.
    Button run_form(Form& form, const PressButton& press);
    // Asks until an answer fits; false when the input ends first. `extra` joins the prompt's event (a sheet to pick
    // on).
    bool ask(const Prompt& prompt, const nlohmann::ordered_json& extra, Reply& reply);

  private:
    std::istream& in_;
    std::ostream& out_;
};

// The form as the page builds it: title, source file, and each field's id, kind, label, English name, value and
// choices.
nlohmann::ordered_json form_json(const Form& form);
nlohmann::ordered_json prompt_json(const Prompt& prompt);

}  // namespace cadhost::dialog

#endif
