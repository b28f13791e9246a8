// Prompts of commands: a text, a point, a message dialog's buttons. Typed on the terminal in an interactive run, taken
// from the batch answers in order otherwise; an unanswered prompt gives the run up.
#include <cstring>

#include "cadhost/api/boundary.h"
#include "cadhost/dialog/prompt_sheet.h"
#include "cadhost/dialog/prompts.h"
#include "cadhost/dialog/remote_ui.h"
#include "host/uf_draw.h"
#include "host/uf_ui.h"

using cadhost::RunContext;
using cadhost::Session;
using namespace cadhost::dialog;

namespace {

// Gives the run up: the reason is told on the status line and later prompts back out at once.
void abandon(RunContext& run, const std::string& reason) {
    run.abandoned = true;
    run.stop_status = 2;
    run.stop_reason = reason;
    Session::instance().ui().status(reason);
}

Reply ask(const Prompt& prompt) {
    Session& session = Session::instance();
    RunContext& run = session.run();
    Reply reply = closing_reply(prompt);
    if (run.abandoned) {
        session.ui().prompt(prompt.cue, describe(prompt, reply) + " (the run is given up)", true);
        return reply;
    }
    if (run.remote) {
        // A point is picked on the sheet being made (the model's in one of its views seen from above), and a question
        // that follows asks about what that sheet now shows.
        nlohmann::ordered_json extra = nlohmann::ordered_json::object();
        if (prompt.kind != Prompt::Kind::Text && session.display_part())
            extra = sheet_to_pick_on(session.display_part()->document);
        if (!run.remote->ask(prompt, extra, reply)) {
            reply = closing_reply(prompt);
            abandon(run, "the page went away at the prompt " + prompt_name(prompt));
        }
        session.ui().prompt(prompt.cue, describe(prompt, reply), false);
        return reply;
    }
    if (run.interactive && run.form_in && run.form_out) {
        if (!ask_on_terminal(prompt, *run.form_in, *run.form_out, reply)) {
            reply = closing_reply(prompt);
            abandon(run, "the input ended at the prompt " + prompt_name(prompt));
        }
        session.ui().prompt(prompt.cue, describe(prompt, reply), false);
        return reply;
    }
    std::string error;
    if (run.answers_used >= run.prompt_answers.size()) {
        abandon(run,
                "no answer for the prompt " + prompt_name(prompt) + ": give it in the answers file or with --answer");
    } else if (const PromptAnswer& answer = run.prompt_answers[run.answers_used++];
               !reply_from_answer(prompt, answer, reply, error)) {
        reply = closing_reply(prompt);
        abandon(run, error);
    }
    session.ui().prompt(prompt.cue, describe(prompt, reply), true);
    return reply;
}

// Points are typed in the coordinates of what is displayed: the model, or the current drawing.
void point_space(Prompt& prompt) {
    prompt.coordinates = 3;
    prompt.space = "model";
    cadhost::Part* part = Session::instance().display_part();
    if (!part || part->document.display_state() != UF_DRAW_DRAWING_DISPLAY) return;
    const cadhost::Object* drawing = part->document.find(part->document.current_drawing());
    if (!drawing) return;
    prompt.coordinates = 2;
    prompt.space = "sheet " + drawing->name + " (mm)";
}

int prompt_status(const Reply& reply) {
    switch (reply.kind) {
        case Reply::Kind::Kept:
            return UF_UI_PROMPT_KEPT;
        case Reply::Kind::Back:
            return UF_UI_PROMPT_BACK;
        case Reply::Kind::Text:
        case Reply::Kind::Point:
            return UF_UI_PROMPT_ENTERED;
        default:
            return UF_UI_PROMPT_CANCEL;
    }
}

const char* type_word(int type) {
    switch (type) {
        case UF_UI_MESSAGE_QUESTION:
            return "question";
        case UF_UI_MESSAGE_INFORMATION:
            return "information";
        case UF_UI_MESSAGE_WARNING:
            return "warning";
        case UF_UI_MESSAGE_ERROR:
            return "error";
    }
    return "message";
}

}  // namespace

extern "C" {

int uc1600(const char* cue, char* text, int* length) {
    if (!cue || !text || !length || !std::memchr(text, '\0', UF_UI_MAX_STRING_LEN + 1)) return UF_err_bad_argument;
    return cadhost::api::guarded([&] {
        Prompt prompt;
        prompt.kind = Prompt::Kind::Text;
        prompt.cue = cue;
        prompt.text = text;
        const Reply reply = ask(prompt);
        if (reply.kind == Reply::Kind::Text) {
            // Answers are held to the buffer's size where they are read; the check here keeps the buffer safe anyway.
            const std::size_t n = std::min(reply.text.size(), static_cast<std::size_t>(UF_UI_MAX_STRING_LEN));
            std::memcpy(text, reply.text.data(), n);
            text[n] = '\0';
        }
        *length = static_cast<int>(std::strlen(text));
        return prompt_status(reply);
    });
}

int uc1616(const char* cue, int mode[2], int /*display*/, double point[3]) {
    if (!cue || !mode || !point) return UF_err_bad_argument;
    return cadhost::api::guarded([&] {
        Prompt prompt;
        prompt.kind = Prompt::Kind::Point;
        prompt.cue = cue;
        point_space(prompt);
        const Reply reply = ask(prompt);
        if (reply.kind == Reply::Kind::Point) std::memcpy(point, reply.point, sizeof reply.point);
        return prompt_status(reply);
    });
}

int UF_UI_message_dialog(const char* title, int type, const char** messages, int num_messages,
                         const UF_UI_message_buttons_t* buttons, int* response) {
    if (!messages || num_messages < 1 || !buttons || !response) return UF_err_bad_argument;
    for (int i = 0; i < num_messages; ++i)
        if (!messages[i]) return UF_err_bad_argument;
    const logical offered[3] = {buttons->button1, buttons->button2, buttons->button3};
    const char* labels[3] = {buttons->label1, buttons->label2, buttons->label3};
    const int responses[3] = {buttons->response1, buttons->response2, buttons->response3};
    return cadhost::api::guarded([&] {
        Prompt prompt;
        prompt.kind = Prompt::Kind::Buttons;
        prompt.heading = type_word(type);
        if (title && title[0]) prompt.heading += std::string(": ") + title;
        for (int i = 0; i < num_messages; ++i) {
            if (i) prompt.cue += '\n';
            prompt.cue += messages[i];
        }
        std::vector<int> answers;
        for (int b = 0; b < 3; ++b) {
            if (!offered[b]) continue;
            if (!labels[b] || !labels[b][0]) return UF_err_bad_argument;
            prompt.buttons.push_back(labels[b]);
            answers.push_back(responses[b]);
        }
        if (prompt.buttons.empty()) return UF_err_bad_argument;
        const Reply reply = ask(prompt);
        *response = answers[reply.button < answers.size() ? reply.button : 0];
        return UF_ok;
    });
}

}  // extern "C"
