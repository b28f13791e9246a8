// The host's process-wide state: the displayed part, the open count of the host interface, the model lists handed
// out, and the user-interface channels.
#ifndef CADHOST_SESSION_SESSION_H
#define CADHOST_SESSION_SESSION_H

#include <istream>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "cadhost/dialog/prompt_answers.h"
#include "cadhost/document/document.h"
#include "cadhost/session/ui_channels.h"
#include "host/uf_modl.h"

struct UF_MODL_list_s {
    std::vector<tag_t> items;
};

namespace cadhost {

namespace dialog {
class RemoteUi;
}

// A part as the host holds it: the document, the state at the last visible undo mark, and the file it came from.
struct Part {
    Document document;
    std::optional<Document> undo_mark;
    std::string path;
};

// What the command line tells the host about one run of a command, and how the run ended in the host's eyes.
struct RunContext {
    std::string command_library;  // the library being run: dialog files are looked for beside it
    std::string conf_dir;         // the configuration directory: dialog files are looked for there next
    // Dialog values of a batch run, FIELD and VALUE, in the order given (later ones win).
    std::vector<std::pair<std::string, std::string>> batch_values;
    // Dialogs are shown on form_out and edited from form_in; otherwise the run is a batch run.
    bool interactive = false;
    std::istream* form_in = nullptr;
    std::ostream* form_out = nullptr;
    // Set when another program shows the dialogs and prompts (the web window): it answers them instead.
    dialog::RemoteUi* remote = nullptr;
    // Answers to the command's prompts in a batch run, in the order given, and how many have been used.
    std::vector<dialog::PromptAnswer> prompt_answers;
    std::size_t answers_used = 0;
    // Set when the host ended a command's dialog itself: the exit status it calls for and why.
    int stop_status = 0;
    std::string stop_reason;
    // Set when a prompt went unanswered: the run is given up and nothing of it is to be saved.
    bool abandoned = false;
    // Set when a dialog of the command closed with OK. A command none of whose dialogs was confirmed, and whose
    // dialog was closed otherwise or which stopped, has done nothing the user asked for: the part is left as it was.
    bool confirmed = false;
    // How many messages the host had shown when the first dialog closed with OK: those after it are the run's.
    std::size_t messages_at_confirm = 0;
    // How the last dialog that closed without OK was closed, for example "dialog x.dlg closed with Cancel".
    std::string declined;
    // Parts the command brought onto its sheets (their templates) that could not be read, and the first reason: the
    // sheets lack their border and title block, so the run is not complete.
    int failed_imports = 0;
    std::string import_failure;
    // The whole-number fields of the last dialog closed with OK, by identifier (the layers the run was given).
    std::map<std::string, int> confirmed_integers;
};

class Session {
  public:
    static Session& instance();

    Part* display_part() { return part_.get(); }
    void set_display_part(std::unique_ptr<Part> part);
    std::unique_ptr<Part> take_display_part();

    int open_count() const { return open_count_; }
    void open() { ++open_count_; }
    bool close();

    UiChannels& ui() { return ui_; }
    RunContext& run() { return run_; }

    uf_list_p_t new_list();
    bool owns_list(uf_list_p_t list) const { return lists_.count(list) != 0; }
    void delete_list(uf_list_p_t list);

  private:
    Session() = default;
    std::unique_ptr<Part> part_;
    int open_count_ = 0;
    UiChannels ui_;
    RunContext run_;
    std::set<uf_list_p_t> lists_;
};

}  // namespace cadhost

#endif
