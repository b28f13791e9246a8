#include "cadhost/dialog/prompts.h"

#include <cstdlib>
#include <sstream>

#include "cadhost/document/utf8_text.h"

namespace cadhost::dialog {

namespace {

std::string trim(const std::string& text) {
    std::size_t start = text.find_first_not_of(" \t\r");
    if (start == std::string::npos) return {};
    return text.substr(start, text.find_last_not_of(" \t\r") - start + 1);
}

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

const char* kind_word(Prompt::Kind kind) {
    switch (kind) {
        case Prompt::Kind::Text:
            return "a text";
        case Prompt::Kind::Point:
            return "a point";
        case Prompt::Kind::Buttons:
            return "a button";
    }
    return "?";
}

std::string offered(const Prompt& prompt) {
    std::string out;
    for (std::size_t i = 0; i < prompt.buttons.size(); ++i) out += (i ? ", " : "") + prompt.buttons[i];
    return out;
}

std::string point_form(const Prompt& prompt) { return prompt.coordinates == 3 ? "x, y, z" : "x, y"; }

// The offered button a label names, compared without regard to letter case; false when none does.
bool find_button(const Prompt& prompt, const std::string& label, std::size_t& index) {
    for (std::size_t i = 0; i < prompt.buttons.size(); ++i) {
        if (lower(prompt.buttons[i]) == lower(label)) {
            index = i;
            return true;
        }
    }
    return false;
}

bool take_point(const Prompt& prompt, const std::vector<double>& typed, Reply& reply) {
    if (static_cast<int>(typed.size()) != prompt.coordinates) return false;
    reply.kind = Reply::Kind::Point;
    for (int k = 0; k < 3; ++k) reply.point[k] = k < prompt.coordinates ? typed[k] : 0.0;
    return true;
}

// One line typed at the prompt: true with the reply when it fits, false with the reason otherwise.
bool reply_from_line(const Prompt& prompt, const std::string& line, Reply& reply, std::string& why) {
    const std::string word = trim(line);
    if (prompt.kind != Prompt::Kind::Buttons && (word == ":b" || word == ":c")) {
        reply.kind = word == ":b" ? Reply::Kind::Back : Reply::Kind::Cancel;
        return true;
    }
    switch (prompt.kind) {
        case Prompt::Kind::Text: {
            // Texts keep their inner blanks; an empty line keeps the text.
            if (word.empty()) {
                reply.kind = Reply::Kind::Kept;
                return true;
            }
            if (word.size() > kPromptTextLength) {
                why = "longer than " + std::to_string(kPromptTextLength) + " bytes";
                return false;
            }
            if (!is_fit_text(word)) {
                why = text_refusal(word, "the text");
                return false;
            }
            reply.kind = Reply::Kind::Text;
            reply.text = word;
            return true;
        }
        case Prompt::Kind::Point: {
            std::vector<double> typed;
            if (word.empty()) return false;
            if (!parse_coordinates(word, typed) || !take_point(prompt, typed, reply)) {
                why = "give " + point_form(prompt) + " as numbers";
                return false;
            }
            return true;
        }
        case Prompt::Kind::Buttons: {
            std::size_t index = 0;
            char* end = nullptr;
            const unsigned long number = std::strtoul(word.c_str(), &end, 10);
            if (!word.empty() && *end == '\0' && number >= 1 && number <= prompt.buttons.size()) {
                index = number - 1;
            } else if (!find_button(prompt, word, index)) {
                if (word.empty()) return false;
                why = "choose one of " + offered(prompt);
                return false;
            }
            reply.kind = Reply::Kind::Button;
            reply.button = index;
            return true;
        }
    }
    return false;
}

void show(const Prompt& prompt, std::ostream& out) {
    switch (prompt.kind) {
        case Prompt::Kind::Text:
            out << prompt.cue << "\n  now \"" << prompt.text
                << "\"; Enter keeps it, a new text replaces it, :b = Back, :c = Cancel\ntext: " << std::flush;
            return;
        case Prompt::Kind::Point:
            out << prompt.cue << "\n  a point " << (prompt.coordinates == 3 ? "in the " : "on ") << prompt.space << ": "
                << point_form(prompt) << " (commas or blanks between), :b = Back, :c = Cancel\npoint: " << std::flush;
            return;
        case Prompt::Kind::Buttons:
            out << "[" << prompt.heading << "]\n" << prompt.cue << "\n ";
            for (std::size_t i = 0; i < prompt.buttons.size(); ++i) out << ' ' << i + 1 << " = " << prompt.buttons[i];
            out << "\nbutton: " << std::flush;
            return;
    }
}

}  // namespace

std::string prompt_name(const Prompt& prompt) {
    std::string name = "'";
    name.append(prompt.cue, 0, prompt.cue.find('\n'));
    name += "' (";
    name += kind_word(prompt.kind);
    name += ")";
    return name;
}

bool ask_on_terminal(const Prompt& prompt, std::istream& in, std::ostream& out, Reply& reply) {
    show(prompt, out);
    std::string line;
    while (std::getline(in, line)) {
        std::string why;
        if (reply_from_line(prompt, line, reply, why)) return true;
        if (!why.empty()) out << "not accepted: " << why << '\n';
        out << (prompt.kind == Prompt::Kind::Text    ? "text: "
                : prompt.kind == Prompt::Kind::Point ? "point: "
                                                     : "button: ")
            << std::flush;
    }
    out << "\n(end of input)\n";
    return false;
}

bool reply_from_answer(const Prompt& prompt, const PromptAnswer& answer, Reply& reply, std::string& error) {
    using Kind = PromptAnswer::Kind;
    const std::string head =
        answer.origin + ": the answer '" + describe(answer) + "' does not fit the prompt " + prompt_name(prompt) + ": ";
    switch (answer.kind) {
        case Kind::Back:
        case Kind::Cancel:
            if (prompt.kind == Prompt::Kind::Buttons) break;
            reply.kind = answer.kind == Kind::Back ? Reply::Kind::Back : Reply::Kind::Cancel;
            return true;
        case Kind::Ok:
        case Kind::Text:
            if (prompt.kind != Prompt::Kind::Text) break;
            reply.kind = answer.kind == Kind::Ok ? Reply::Kind::Kept : Reply::Kind::Text;
            reply.text = answer.text;
            return true;
        case Kind::Point:
            if (prompt.kind != Prompt::Kind::Point) break;
            if (take_point(prompt, answer.point, reply)) return true;
            error = head + "it asks " + point_form(prompt) + " " + (prompt.coordinates == 3 ? "in the " : "on ") +
                    prompt.space;
            return false;
        case Kind::Button:
            if (prompt.kind != Prompt::Kind::Buttons) break;
            if (find_button(prompt, answer.text, reply.button)) {
                reply.kind = Reply::Kind::Button;
                return true;
            }
            error = head + "the buttons offered are " + offered(prompt);
            return false;
    }
    error = head + "it asks " + kind_word(prompt.kind);
    if (prompt.kind == Prompt::Kind::Buttons) error += ": one of " + offered(prompt);
    return false;
}

Reply closing_reply(const Prompt& prompt) {
    Reply reply;
    if (prompt.kind == Prompt::Kind::Buttons) {
        reply.kind = Reply::Kind::Button;
        reply.button = 0;
    }
    return reply;
}

std::string describe(const Prompt& prompt, const Reply& reply) {
    switch (reply.kind) {
        case Reply::Kind::Kept:
            return "ok (\"" + prompt.text + "\" kept)";
        case Reply::Kind::Back:
            return "back";
        case Reply::Kind::Cancel:
            return "cancel";
        case Reply::Kind::Text:
            return "text: " + reply.text;
        case Reply::Kind::Button:
            return "button: " + (reply.button < prompt.buttons.size() ? prompt.buttons[reply.button] : "?");
        case Reply::Kind::Point: {
            std::ostringstream out;
            out << "point: " << reply.point[0] << ", " << reply.point[1];
            if (prompt.coordinates == 3) out << ", " << reply.point[2];
            return out.str();
        }
    }
    return "?";
}

}  // namespace cadhost::dialog
