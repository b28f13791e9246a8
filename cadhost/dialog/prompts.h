// A command's prompt as the host asks it (a text, a point, or a choice of buttons), and how it is answered: typed on
// the terminal, or taken from the batch answers.
#ifndef CADHOST_DIALOG_PROMPTS_H
#define CADHOST_DIALOG_PROMPTS_H

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "cadhost/dialog/prompt_answers.h"

namespace cadhost::dialog {

struct Prompt {
    enum class Kind { Text, Point, Buttons };
    Kind kind = Kind::Text;
    std::string heading;               // Buttons: the dialog's kind and title, shown above the message
    std::string cue;                   // what the command asks; a message dialog's lines joined by line feeds
    std::string text;                  // Text: the current text
    int coordinates = 3;               // Point: 3 in the model, 2 on a sheet
    std::string space;                 // Point: where the point lies, as the user reads it ("model", "sheet A1")
    std::vector<std::string> buttons;  // Buttons: the labels offered, in order
};

struct Reply {
    enum class Kind { Kept, Back, Cancel, Text, Point, Button };
    Kind kind = Kind::Cancel;
    std::string text;      // Text: the new text
    double point[3]{};     // Point: z is 0 on a sheet
    std::size_t button{};  // Button: its index among the offered labels
};

// What a prompt is called in messages: its cue (first line) and its kind.
std::string prompt_name(const Prompt& prompt);

// Asks on the terminal until the user gives an answer that fits; false when the input ends first.
bool ask_on_terminal(const Prompt& prompt, std::istream& in, std::ostream& out, Reply& reply);

// The reply a batch answer gives to the prompt; false with the reason when the answer does not fit it.
bool reply_from_answer(const Prompt& prompt, const PromptAnswer& answer, Reply& reply, std::string& error);

// The reply of a run that has been abandoned: the user backs out, or takes the first button offered.
Reply closing_reply(const Prompt& prompt);

// The reply as the run log writes it.
std::string describe(const Prompt& prompt, const Reply& reply);

}  // namespace cadhost::dialog

#endif
