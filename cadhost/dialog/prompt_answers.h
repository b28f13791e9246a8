// Answers to a command's prompts in a batch run, given in the order the command asks.
//
// In the answers file, beside the dialog's FIELD=VALUE lines, and in --answer options:
//
//   ok                  press OK on a text prompt: the text stays as it is
//   back, cancel        press Back or Cancel on a text or point prompt
//   text: NEW TEXT      type a text (the rest of the line, without blanks around it; at most 132 bytes)
//   point: X, Y[, Z]    type a point: x, y, z while the model is displayed, x, y on a sheet (commas or blanks between)
//   button: LABEL       choose the message dialog's button of that label (letter case does not matter)
//
// A line is an answer when it is one of the three words or starts with "text:", "point:" or "button:"; a dialog value
// has "=" before any ":" and never looks like one. Which prompt an answer fits is checked when the prompt is asked.
#ifndef CADHOST_DIALOG_PROMPT_ANSWERS_H
#define CADHOST_DIALOG_PROMPT_ANSWERS_H

#include <string>
#include <vector>

namespace cadhost::dialog {

// Longest text a text prompt takes, in bytes.
constexpr std::size_t kPromptTextLength = 132;

struct PromptAnswer {
    enum class Kind { Ok, Back, Cancel, Text, Point, Button };
    Kind kind = Kind::Ok;
    std::string text;           // Text: the text typed; Button: the label
    std::vector<double> point;  // Point: the coordinates typed, two or three
    std::string origin;         // where it was given, for messages: "FILE:LINE" or "--answer"
};

// Whether a line (trimmed) is written as a prompt answer rather than a dialog value.
bool is_prompt_answer(const std::string& line);
// Reads an answer; false with "ORIGIN: problem" when it is not one of the forms above.
bool parse_prompt_answer(const std::string& line, const std::string& origin, PromptAnswer& out, std::string& error);
// Reads coordinates separated by commas or blanks: false when a word is not a finite number.
bool parse_coordinates(const std::string& text, std::vector<double>& out);
// The answer as written, for the terminal and the run log.
std::string describe(const PromptAnswer& answer);

}  // namespace cadhost::dialog

#endif
