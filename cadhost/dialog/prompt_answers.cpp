#include "cadhost/dialog/prompt_answers.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "cadhost/document/utf8_text.h"

namespace cadhost::dialog {

namespace {

std::string trim(const std::string& text) {
    std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return {};
    return text.substr(start, text.find_last_not_of(" \t") - start + 1);
}

// The value after "word:" when the line starts with it.
bool after_word(const std::string& line, const char* word, std::string& value) {
    const std::string head = std::string(word) + ":";
    if (line.rfind(head, 0) != 0) return false;
    value = trim(line.substr(head.size()));
    return true;
}

std::string format_number(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

}  // namespace

bool is_prompt_answer(const std::string& line) {
    const std::string text = trim(line);
    std::string value;
    return text == "ok" || text == "back" || text == "cancel" || after_word(text, "text", value) ||
           after_word(text, "point", value) || after_word(text, "button", value);
}

bool parse_coordinates(const std::string& text, std::vector<double>& out) {
    out.clear();
    std::string spaced = text;
    for (char& c : spaced)
        if (c == ',') c = ' ';
    std::istringstream words(spaced);
    std::string word;
    while (words >> word) {
        char* end = nullptr;
        const double value = std::strtod(word.c_str(), &end);
        if (end != word.c_str() + word.size() || !std::isfinite(value)) return false;
        out.push_back(value);
    }
    return true;
}

bool parse_prompt_answer(const std::string& line, const std::string& origin, PromptAnswer& out, std::string& error) {
    const std::string text = trim(line);
    out = PromptAnswer{};
    out.origin = origin;
    std::string value;
    if (text == "ok") {
        out.kind = PromptAnswer::Kind::Ok;
    } else if (text == "back") {
        out.kind = PromptAnswer::Kind::Back;
    } else if (text == "cancel") {
        out.kind = PromptAnswer::Kind::Cancel;
    } else if (after_word(text, "text", value)) {
        if (value.size() > kPromptTextLength) {
            error = origin + ": the text is " + std::to_string(value.size()) + " bytes long; a prompt takes at most " +
                    std::to_string(kPromptTextLength);
            return false;
        }
        // The text goes into the part and its sheets, whose writers need UTF-8 without control characters.
        if (!is_fit_text(value)) {
            error = origin + ": " + text_refusal(value, "the text");
            return false;
        }
        out.kind = PromptAnswer::Kind::Text;
        out.text = value;
    } else if (after_word(text, "point", value)) {
        if (!parse_coordinates(value, out.point) || out.point.size() < 2 || out.point.size() > 3) {
            error = origin + ": '" + value + "' is not a point: give x, y (on a sheet) or x, y, z (in the model)";
            return false;
        }
        out.kind = PromptAnswer::Kind::Point;
    } else if (after_word(text, "button", value)) {
        if (value.empty()) {
            error = origin + ": 'button:' needs the label of the button";
            return false;
        }
        out.kind = PromptAnswer::Kind::Button;
        out.text = value;
    } else {
        error = origin + ": '" + text + "' is not an answer: ok, back, cancel, text: TEXT, point: X, Y[, Z] or " +
                "button: LABEL";
        return false;
    }
    return true;
}

std::string describe(const PromptAnswer& answer) {
    switch (answer.kind) {
        case PromptAnswer::Kind::Ok:
            return "ok";
        case PromptAnswer::Kind::Back:
            return "back";
        case PromptAnswer::Kind::Cancel:
            return "cancel";
        case PromptAnswer::Kind::Text:
            return "text: " + answer.text;
        case PromptAnswer::Kind::Button:
            return "button: " + answer.text;
        case PromptAnswer::Kind::Point: {
            std::string out = "point: ";
            for (std::size_t i = 0; i < answer.point.size(); ++i)
                out += (i ? ", " : "") + format_number(answer.point[i]);
            return out;
        }
    }
    return "?";
}

}  // namespace cadhost::dialog
