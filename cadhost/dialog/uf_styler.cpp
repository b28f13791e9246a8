// Dialogs of commands: the file is read, the constructor fills the form, the user (or the batch values) fill it in,
// and the button's callback decides whether it closes.
#include <cstring>
#include <map>
#include <memory>
#include <variant>

#include "cadhost/api/boundary.h"
#include "cadhost/dialog/dialog_form.h"
#include "cadhost/dialog/dialog_lookup.h"
#include "cadhost/dialog/remote_ui.h"
#include "cadhost/dialog/terminal_form.h"
#include "host/uf_styler.h"

using cadhost::RunContext;
using cadhost::Session;
using namespace cadhost::dialog;

namespace {

// The dialogs open now, by identifier. Callbacks of a dialog may open none of their own: the form is modal.
std::map<int, std::unique_ptr<Form>> open_forms;
int last_dialog_id = 0;

Form* form_of(int dialog_id) {
    auto it = open_forms.find(dialog_id);
    return it == open_forms.end() ? nullptr : it->second.get();
}

const Field* field_of(Form* form, const UF_STYLER_item_value_type_t* record) {
    if (!form || !record || !record->item_id) return nullptr;
    return form->field(record->item_id);
}

class Callbacks {
  public:
    Callbacks(UF_STYLER_callback_item_t* rows, int count, int dialog_id, void* client_data)
        : dialog_id_(dialog_id), client_data_(client_data) {
        for (int i = 0; i < count; ++i) {
            const UF_STYLER_callback_item_t& row = rows[i];
            if (!row.item_id || std::strcmp(row.item_id, UF_STYLER_NULL_OBJECT) == 0) break;
            if (std::strcmp(row.item_id, UF_STYLER_DIALOG_INDEX) == 0 && row.callback) rows_.push_back(row);
        }
    }
    bool has(int reason) const { return find(reason) != nullptr; }
    // Calls the callback of the reason; a missing one closes the dialog.
    int call(int reason) const {
        const UF_STYLER_callback_item_t* row = find(reason);
        if (!row) return UF_UI_CB_EXIT_DIALOG;
        UF_STYLER_callback_info_t info{UF_STYLER_DIALOG_INDEX, reason, 0};
        return row->callback(dialog_id_, client_data_, &info);
    }
    bool press(Button button) const {
        int reason = button == Button::Ok     ? UF_STYLER_OK_CB
                     : button == Button::Back ? UF_STYLER_BACK_CB
                                              : UF_STYLER_CANCEL_CB;
        return call(reason) == UF_UI_CB_EXIT_DIALOG;
    }

  private:
    const UF_STYLER_callback_item_t* find(int reason) const {
        for (const auto& row : rows_)
            if (row.reason == reason) return &row;
        return nullptr;
    }
    std::vector<UF_STYLER_callback_item_t> rows_;
    int dialog_id_;
    void* client_data_;
};

std::string indicator_name(int indicator) {
    switch (indicator) {
        case UF_STYLER_INTEGER_VALUE:
            return "an integer";
        case UF_STYLER_REAL_VALUE:
            return "a real";
        case UF_STYLER_STRING_VALUE:
            return "a text";
        default:
            return "a value of no kind (indicator " + std::to_string(indicator) + ")";
    }
}

int response_of(Button button) {
    return button == Button::Ok ? UF_UI_OK : button == Button::Back ? UF_UI_BACK : UF_UI_CANCEL;
}

// The facility could not show the dialog: the reason goes to the status line and the run ends as unreadable input.
int refuse(RunContext& run, const std::string& reason, int status) {
    Session::instance().ui().status(reason);
    run.stop_status = 2;
    run.stop_reason = reason;
    return status;
}

// Fills the form with the batch values of its fields; the values were checked against the file before the run, so a
// value that does not fit is a file changed since.
bool apply_batch_values(Form& form, const RunContext& run, std::string& error) {
    for (const auto& [id, text] : run.batch_values) {
        const Field* field = form.field(id);
        if (!field) continue;  // a field of another dialog of the command
        FieldValue value;
        std::string why;
        if (!parse_value(*field, text, value, why)) {
            error = id + ": " + why;
            return false;
        }
        form.set(*field, value);
    }
    return true;
}

// A batch run presses OK once. When OK is refused there is nobody to correct the entries: Cancel closes the dialog
// and the run ends with the refusal.
Button run_batch(Form& form, const Callbacks& callbacks, RunContext& run, const std::string& file_name) {
    Session& session = Session::instance();
    if (run.form_out) {
        form.show(*run.form_out);
        *run.form_out << "batch run: OK\n";
    }
    const std::size_t shown = session.ui().messages().size();
    // A form refused in the callback closes; the refusal, not OK's, is the run's end.
    if (callbacks.press(Button::Ok) || form.refused()) return Button::Ok;
    run.stop_status = 1;
    run.stop_reason = "OK of dialog " + file_name + " was refused";
    if (session.ui().messages().size() > shown) run.stop_reason += ": " + session.ui().messages().back();
    callbacks.press(Button::Cancel);
    return Button::Cancel;
}

}  // namespace

extern "C" {

int UF_STYLER_create_dialog(const char* dialog_file, UF_STYLER_callback_item_t* callbacks, int count, void* client_data,
                            int* response) {
    if (!dialog_file || !dialog_file[0] || !response || count < 0 || (count > 0 && !callbacks))
        return UF_err_bad_argument;
    return cadhost::api::guarded([&]() -> int {
        Session& session = Session::instance();
        if (session.open_count() == 0) return UF_err_not_initialized;
        if (!open_forms.empty()) return UF_err_not_supported;
        RunContext& run = session.run();
        std::string conf_dir = run.conf_dir;
        if (conf_dir.empty())
            if (const char* env = std::getenv("QUILLON_CONF")) conf_dir = env;
        std::string path = find_dialog_file(dialog_file, dialog_search_dirs(run.command_library, conf_dir));
        if (path.empty())
            return refuse(run,
                          std::string("dialog file ") + dialog_file +
                              " is neither beside the command nor in the "
                              "configuration directory",
                          UF_err_io);
        DialogDefinition definition;
        std::string error;
        if (!read_dialog_file(path, definition, error)) return refuse(run, error, UF_err_io);

        const int dialog_id = ++last_dialog_id;
        Form& form = *(open_forms[dialog_id] = std::make_unique<Form>(std::move(definition)));
        struct Close {
            int id;
            ~Close() { open_forms.erase(id); }
        } close{dialog_id};
        Callbacks table(callbacks, count, dialog_id, client_data);
        table.call(UF_STYLER_CONSTRUCTOR_CB);

        Button button = Button::Cancel;
        if (form.refused()) {
            // The constructor set a value the form cannot take: no form is shown, the reason is the run's end.
        } else if (run.remote) {
            button = run.remote->run_form(form, [&](Button b) { return table.press(b) || form.refused(); });
        } else if (run.interactive && run.form_in && run.form_out) {
            button = run_terminal_form(form, *run.form_in, *run.form_out,
                                       [&](Button b) { return table.press(b) || form.refused(); });
        } else if (!apply_batch_values(form, run, error)) {
            refuse(run, error, UF_err_bad_argument);
            table.press(Button::Cancel);
        } else {
            button = run_batch(form, table, run, dialog_file);
        }
        table.call(UF_STYLER_DESTRUCTOR_CB);
        if (form.refused()) button = Button::Cancel;
        if (button == Button::Ok) {
            if (!run.confirmed) run.messages_at_confirm = Session::instance().ui().messages().size();
            run.confirmed = true;
            for (const Field& field : form.definition().fields)
                if (const int* number = std::get_if<int>(&form.value(field)))
                    run.confirmed_integers[field.id] = *number;
        } else
            run.declined =
                std::string("dialog ") + dialog_file + " closed with " + (button == Button::Back ? "Back" : "Cancel");
        *response = response_of(button);
        return UF_ok;
    });
}

int UF_STYLER_set_value(int dialog_id, UF_STYLER_item_value_type_p_t value) {
    return cadhost::api::guarded([&]() -> int {
        Form* form = form_of(dialog_id);
        const Field* field = field_of(form, value);
        if (!field) return UF_err_bad_argument;
        if (value->item_attr != UF_STYLER_VALUE) return UF_err_not_supported;
        // The record's indicator says which member of its union the command filled. Read as another kind, an integer
        // would be taken for a text's address: a dialog file whose field kinds do not match the command's ends the
        // run, naming the declaration.
        const int expected = field->kind == FieldKind::Text   ? UF_STYLER_STRING_VALUE
                             : field->kind == FieldKind::Real ? UF_STYLER_REAL_VALUE
                                                              : UF_STYLER_INTEGER_VALUE;
        if (value->indicator != expected) {
            if (form->refused()) return UF_err_bad_argument;  // the first mismatch is the one reported
            const DialogDefinition& definition = form->definition();
            form->refuse();
            return refuse(Session::instance().run(),
                          definition.source + ":" + std::to_string(field->line) + ": field " + field->id +
                              " is declared " + kind_name(field->kind) + ", but the command sets it as " +
                              indicator_name(value->indicator),
                          UF_err_bad_argument);
        }
        FieldValue typed;
        std::string why;
        switch (field->kind) {
            case FieldKind::Text:
                if (!value->value.string) return UF_err_bad_argument;
                typed = std::string(value->value.string);
                break;
            case FieldKind::Real:
                typed = value->value.real;
                break;
            default:
                // Toggles and radio boxes take only their own values; parse_value says which those are.
                if (!parse_value(*field, std::to_string(value->value.integer), typed, why)) return UF_err_bad_argument;
        }
        form->set(*field, typed);
        return UF_ok;
    });
}

int UF_STYLER_ask_value(int dialog_id, UF_STYLER_item_value_type_p_t value) {
    return cadhost::api::guarded([&]() -> int {
        Form* form = form_of(dialog_id);
        const Field* field = field_of(form, value);
        if (!field) return UF_err_bad_argument;
        if (value->item_attr != UF_STYLER_VALUE) return UF_err_not_supported;
        const FieldValue& current = form->value(*field);
        value->count = 1;
        if (const int* number = std::get_if<int>(&current)) {
            value->indicator = UF_STYLER_INTEGER_VALUE;
            value->value.integer = *number;
        } else if (const double* real = std::get_if<double>(&current)) {
            value->indicator = UF_STYLER_REAL_VALUE;
            value->value.real = *real;
        } else {
            value->value.string = cadhost::api::host_strdup(std::get<std::string>(current));
            value->indicator = UF_STYLER_STRING_VALUE;
        }
        return UF_ok;
    });
}

int UF_STYLER_free_value(UF_STYLER_item_value_type_p_t value) {
    if (!value) return UF_err_bad_argument;
    if (value->indicator == UF_STYLER_STRING_VALUE) {
        std::free(value->value.string);
        value->value.string = nullptr;
    }
    return UF_ok;
}

}  // extern "C"
