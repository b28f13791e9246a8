#include "cadhost/dialog/remote_ui.h"

#include "cadhost/dialog/batch_values.h"

namespace cadhost::dialog {

namespace {

using nlohmann::ordered_json;

ordered_json value_json(const FieldValue& value) {
    if (const int* number = std::get_if<int>(&value)) return *number;
    if (const double* real = std::get_if<double>(&value)) return *real;
    return std::get<std::string>(value);
}

const char* prompt_kind(Prompt::Kind kind) {
    switch (kind) {
        case Prompt::Kind::Text:
            return "text";
        case Prompt::Kind::Point:
            return "point";
        case Prompt::Kind::Buttons:
            return "buttons";
    }
    return "?";
}

bool read_line(std::istream& in, std::string& line) {
    if (!std::getline(in, line)) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

}  // namespace

void RemoteUi::event(const ordered_json& event) {
    // Texts reach the host checked as UTF-8; a byte that is not is shown replaced rather than ending the run.
    out_ << event.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << '\n' << std::flush;
}

ordered_json form_json(const Form& form) {
    const DialogDefinition& definition = form.definition();
    ordered_json fields = ordered_json::array();
    for (const Field& field : definition.fields) {
        ordered_json f{
            {"id", field.id},     {"kind", kind_name(field.kind)},          {"label", field.label},
            {"name", field.name}, {"value", value_json(form.value(field))}, {"initial", value_json(field.initial)}};
        if (field.kind == FieldKind::Radio) {
            ordered_json choices = ordered_json::array();
            for (const Choice& choice : field.choices)
                choices.push_back({{"value", choice.value}, {"text", choice.text}});
            f["choices"] = choices;
        }
        fields.push_back(f);
    }
    return {{"event", "form"}, {"title", definition.title}, {"source", definition.source}, {"fields", fields}};
}

ordered_json prompt_json(const Prompt& prompt) {
    ordered_json event{{"event", "prompt"}, {"kind", prompt_kind(prompt.kind)}, {"cue", prompt.cue}};
    switch (prompt.kind) {
        case Prompt::Kind::Text:
            event["text"] = prompt.text;
            event["max_bytes"] = kPromptTextLength;
            break;
        case Prompt::Kind::Point:
            event["coordinates"] = prompt.coordinates;
            event["space"] = prompt.space;
            break;
        case Prompt::Kind::Buttons:
            event["heading"] = prompt.heading;
            event["buttons"] = prompt.buttons;
            break;
    }
    return event;
}

Button RemoteUi::run_form(Form& form, const PressButton& press) {
    event(form_json(form));
    std::string line;
    while (read_line(in_, line)) {
        if (line.rfind("set ", 0) == 0) {
            BatchValue assignment;
            std::string error, why;
            const Field* field = nullptr;
            FieldValue value;
            if (!parse_assignment(line.substr(4), "the form", assignment, error)) {
                event({{"event", "field_refused"}, {"field", ""}, {"why", error}});
            } else if (!(field = form.definition().find_id_or_name(assignment.field))) {
                event(
                    {{"event", "field_refused"}, {"field", assignment.field}, {"why", "the dialog has no such field"}});
            } else if (!parse_value(*field, assignment.value, value, why)) {
                event({{"event", "field_refused"}, {"field", field->id}, {"why", why}});
            } else {
                form.set(*field, value);
            }
            continue;
        }
        Button button;
        if (line == "ok")
            button = Button::Ok;
        else if (line == "back")
            button = Button::Back;
        else if (line == "cancel")
            button = Button::Cancel;
        else {
            event({{"event", "field_refused"}, {"field", ""}, {"why", "not a form command: " + line}});
            continue;
        }
        if (press(button)) {
            event({{"event", "form_closed"}, {"button", line}});
            return button;
        }
        // A refused OK has shown the command's message; the entries stay on the form.
        event({{"event", "form_refused"}});
        event(form_json(form));
    }
    press(Button::Cancel);
    event({{"event", "form_closed"}, {"button", "cancel"}});
    return Button::Cancel;
}

bool RemoteUi::ask(const Prompt& prompt, const ordered_json& extra, Reply& reply) {
    ordered_json shown = prompt_json(prompt);
    for (const auto& [key, value] : extra.items()) shown[key] = value;
    event(shown);
    std::string line;
    while (read_line(in_, line)) {
        PromptAnswer answer;
        std::string error;
        if (parse_prompt_answer(line, "the page", answer, error) && reply_from_answer(prompt, answer, reply, error))
            return true;
        event({{"event", "not_accepted"}, {"why", error}});
    }
    return false;
}

}  // namespace cadhost::dialog
