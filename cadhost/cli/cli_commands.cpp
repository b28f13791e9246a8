#include "cadhost/cli/cli_commands.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <fstream>
#include <map>
#include <optional>

#include "cadhost/dialog/batch_values.h"
#include "cadhost/dialog/dialog_lookup.h"
#include "cadhost/dialog/remote_ui.h"
#include "cadhost/cli/attribute_warnings.h"
#include "cadhost/cli/check_command.h"
#include "cadhost/cli/export_command.h"
#include "cadhost/cli/help_text.h"
#include "cadhost/cli/import_command.h"
#include "cadhost/cli/info_command.h"
#include "cadhost/cli/part_hold.h"
#include "cadhost/cli/run_closing.h"
#include "cadhost/cli/sheets_command.h"
#include "cadhost/cli/shipped_files.h"
#include "cadhost/document/dump_json.h"
#include "cadhost/drafting/sheet_builder.h"
#include "cadhost/import/import_model.h"
#include "cadhost/loader/command_loader.h"
#include "cadhost/partfile/part_file.h"
#include "cadhost/serve/serve_command.h"
#include "cadhost/session/part_io.h"
#include "cadhost/session/session.h"

namespace cadhost::cli {

namespace {

constexpr int kDone = 0;
constexpr int kStopped = 1;
constexpr int kUsage = 2;

const char* kUsageText =
    "usage:\n"
    "  quillon import MODEL.step [--attrs FILE]... [--layer-map FILE | --auto-layers] [--add-diagonals]\n"
    "                 [--core-layer N] [--keep-going] [--names auto|product|body] [--name-encoding ENC]\n"
    "                 [--command LIBRARY] [--conf DIR] [--verbose] -o PART.prt\n"
    "  quillon run PART.prt [--command LIBRARY] [--conf DIR] [--set FIELD=VALUE]... [--answers FILE]\n"
    "              [--answer ANSWER]...\n"
    "  quillon export PART.prt -o DIR [--pdf] [--svg] [--dxf] [--json] [--csv] [--html] [--summary | --no-summary]\n"
    "                [--allowance MM] [--csv-header zh|en]\n"
    "  quillon export PART.prt --glb [-o DIR] [--core-layer N]   (the 3D model, PART.glb)\n"
    "  quillon sheets MODEL.step -o DIR [import options] [--set FIELD=VALUE]... [export options]\n"
    "  quillon undo PART.prt\n"
    "  quillon dump PART.prt\n"
    "  quillon info PART.prt [--json] [--core-layer N]\n"
    "  quillon check PART.prt [--core-layer N] [--layers A-B] [--set FIELD=VALUE]... [--answers FILE] [--json]\n"
    "                [--progress] [--command LIBRARY] [--conf DIR]\n"
    "  quillon demo [-o DIR] [--command LIBRARY]\n"
    "  quillon serve [--root DIR] [--port N] [--open] [--listen ADDR] [--command LIBRARY] [--conf DIR]\n"
    "                [--max-upload MB]\n"
    "  quillon --version | -h | help | run --help\n";

// Options of one subcommand: positional arguments and "--name value" pairs; a flag not in `known` is an error. A flag
// given twice keeps its last value in `values`; `all` keeps every pair in order, for flags that repeat.
struct Options {
    std::vector<std::string> positional;
    std::map<std::string, std::string> values;
    std::vector<std::pair<std::string, std::string>> all;
};

bool parse(const std::vector<std::string>& args, const std::vector<std::string>& known, Options& options,
           std::ostream& err) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() > 1 && arg[0] == '-') {
            bool ok = false;
            for (const auto& k : known) ok = ok || k == arg;
            if (!ok) {
                err << "quillon " << args[0] << ": unknown option " << arg << '\n' << kUsageText;
                return false;
            }
            if (i + 1 >= args.size()) {
                err << "quillon " << args[0] << ": option " << arg << " needs a value\n";
                return false;
            }
            options.values[arg] = args[++i];
            options.all.emplace_back(arg, args[i]);
        } else {
            options.positional.push_back(arg);
        }
    }
    return true;
}

constexpr const char* kCommandLibrary = "libquillon_command.so";

std::string examples_dir() {
    if (const char* env = std::getenv("QUILLON_EXAMPLES")) return env;
    return shipped_dir("examples");
}

int cmd_run(std::vector<std::string> args, std::ostream& out, std::ostream& err);

// The main job on the bundled sample mould: import it, run the command in batch with values that fit it (core on layer
// 240, electrodes on layers 1 to 7) and export its sheets beside the part.
int cmd_demo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options options;
    if (!parse(args, {"-o", "--command"}, options, err)) return kUsage;
    const std::string dir = options.values.count("-o") ? options.values["-o"] : "quillon-demo";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        err << "quillon demo: cannot make folder '" << dir << "': " << ec.message() << '\n';
        return kUsage;
    }
    const std::string examples = examples_dir();
    const std::string part = dir + "/sample_mould.prt";
    out << "importing the sample mould from " << examples << '\n';
    import::ImportOptions sample;
    sample.sidecar_path = examples + "/sample_mould.attrs.json";
    int status = import_and_save(examples + "/sample_mould.step", sample, part, out, err);
    if (status != kDone) return status;
    std::vector<std::string> run{"run",   part,      "--set", "INT_0=240",       "--set", "INT_1=1",
                                 "--set", "INT_2=7", "--set", "STR_1=SAMPLE-01", "--set", "STR_0=示例客户"};
    if (options.values.count("--command")) {
        run.push_back("--command");
        run.push_back(options.values["--command"]);
    }
    out << "running the drawing command on " << part << '\n';
    status = cmd_run(run, out, err);
    if (status != kDone) return status;
    return export_sheets({"export", part, "-o", dir}, out, err);
}

int cmd_dump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options options;
    if (!parse(args, {}, options, err)) return kUsage;
    if (options.positional.size() != 1) {
        err << kUsageText;
        return kUsage;
    }
    partfile::LoadedPart part;
    std::string error;
    if (!partfile::load(options.positional[0], part, error)) {
        err << "quillon dump: " << error << '\n';
        return kUsage;
    }
    write_part_json(out, part.document, part.undo_mark);
    return kDone;
}

int cmd_undo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options options;
    if (!parse(args, {}, options, err)) return kUsage;
    if (options.positional.size() != 1) {
        err << kUsageText;
        return kUsage;
    }
    const std::string& path = options.positional[0];
    partfile::PartLock lock;
    if (!hold_part(lock, path, "undo", err)) return kUsage;
    partfile::LoadedPart part;
    std::string error;
    if (!partfile::load(path, part, error)) {
        err << "quillon undo: " << error << '\n';
        return kUsage;
    }
    if (!part.undo_mark) {
        err << "quillon undo: part '" << path << "' has no undo mark: nothing to undo\n";
        return kStopped;
    }
    // The mark is used up: undoing twice must not bring back the state after the mark.
    if (!partfile::save(path, *part.undo_mark, std::nullopt, error)) {
        err << "quillon undo: " << error << '\n';
        return kUsage;
    }
    out << "part '" << path << "' is back as it was at the last undo mark\n";
    return kDone;
}

bool options_conf_dir(const Options& options, std::string& dir, std::string& error) {
    auto it = options.values.find("--conf");
    return configuration_dir(it == options.values.end() ? std::string() : it->second, dir, error);
}

// The dialog values of a batch run, the answers file's first so that --set wins, each checked against the dialog files
// the command can open: a wrong field or value is refused before the command runs. The prompt answers come in order,
// the file's first, then --answer.
bool batch_values(const Options& options, const std::string& library, const std::string& conf_dir,
                  std::vector<dialog::BatchValue>& values, std::vector<dialog::PromptAnswer>& answers,
                  std::string& error) {
    if (auto it = options.values.find("--answers"); it != options.values.end())
        if (!dialog::read_answers_file(it->second, values, answers, error)) return false;
    for (const auto& [flag, text] : options.all) {
        if (flag == "--answer") {
            dialog::PromptAnswer answer;
            if (!dialog::parse_prompt_answer(text, "--answer", answer, error)) return false;
            answers.push_back(answer);
        }
        if (flag != "--set") continue;
        dialog::BatchValue value;
        if (!dialog::parse_assignment(text, "--set", value, error)) return false;
        values.push_back(value);
    }
    auto files = dialog::dialog_files_in(dialog::dialog_search_dirs(library, conf_dir));
    return dialog::check_batch_values(values, files, error);
}

// quillon run --help: the usage, and the dialog's fields as the dialog file the run would use defines them.
int run_help(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
    std::erase_if(args, [](const std::string& arg) { return arg == "--help" || arg == "-h"; });
    Options options;
    if (!parse(args, {"--command", "--conf", "--set", "--answers"}, options, err)) return kUsage;
    std::string library = options.values["--command"];
    if (library.empty()) library = default_command_library();
    std::string conf_dir, error;
    out << "usage: quillon run PART.prt [--command LIBRARY] [--conf DIR] [--set FIELD=VALUE]... [--answers FILE]\n"
           "Runs the drawing command on the part and saves it. In a batch run the values come from --answers FILE\n"
           "(one FIELD=VALUE a line) and --set, later ones winning, and OK is pressed once.\n\n";
    if (!options_conf_dir(options, conf_dir, error) || !write_dialog_fields(out, library, conf_dir, error)) {
        err << "quillon run: " << error << '\n';
        return kUsage;
    }
    return kDone;
}

// How a run ended in the host's eyes: its exit status, whether it did nothing the user asked for (so that the part is
// left as it was), and why it stopped.
struct RunEnd {
    int status = kDone;
    bool nothing_run = false;
    std::string reason;
    // When the command stopped with one of its messages: the message, and the status line it was shown under.
    std::string message, where;
};

// The message a stopped command stopped with, and where it was then. A command shows why it stopped, and may show a
// closing message after that; it clears its progress status line in between, so the reason is the last message shown
// before the status line last changed, else the last message of the run.
std::string stop_message(std::size_t first, RunEnd& end) {
    const UiChannels& ui = Session::instance().ui();
    const std::size_t shown = ui.messages().size();
    if (shown <= first) return "the command stopped without a message";
    const std::size_t at_status = ui.messages_at_last_status();
    const std::size_t index = at_status > first && at_status <= shown ? at_status - 1 : shown - 1;
    end.where = ui.status_at_message(index);
    end.message = ui.messages()[index];
    return (end.where.empty() ? std::string("stopped: ") : "stopped at " + end.where + ": ") + end.message;
}

// How many messages the command showed while its run went on after the dialog: the same span as stop_message's, the
// closing message after the progress line ended left out. A run that completed with messages has told the user of
// something to look at (a configuration key it could not read, a sheet name passed over).
std::size_t run_messages(const RunContext& run, std::size_t first) {
    const UiChannels& ui = Session::instance().ui();
    const std::size_t start = std::max(first, run.messages_at_confirm);
    const std::size_t shown = ui.messages().size();
    if (shown <= start) return 0;
    const std::size_t at_status = ui.messages_at_last_status();
    return at_status > start && at_status <= shown ? at_status - start : shown - start - 1;
}

RunEnd run_end(const RunContext& run, int return_code, std::size_t first_message) {
    RunEnd end;
    if (run.stop_status == kUsage) {
        end.status = kUsage;
        end.reason = run.stop_reason;
        return end;
    }
    const bool stopped = return_code != 0 || run.stop_status != 0;
    if (!stopped && run.declined.empty()) return end;
    end.status = kStopped;
    end.nothing_run = !run.confirmed;
    if (!run.stop_reason.empty())
        end.reason = run.stop_reason;
    else if (end.nothing_run && !run.declined.empty())
        end.reason = run.declined;
    else
        end.reason = (end.nothing_run ? "the command " : "") + stop_message(first_message, end);
    return end;
}

// "stopped at layer 2, body 'E02' (E02 (2/2)): MESSAGE (EXPLANATION)": where and why, in the check's words when its
// analysis meets the same message. The check reads the part as the run left it on disk.
std::string stopped_text(const RunEnd& end, const std::string& part, const std::string& library,
                         const std::string& conf_dir, const std::optional<RunLayers>& layers,
                         const std::vector<std::pair<std::string, std::string>>& values) {
    if (end.message.empty()) return end.reason;
    StopPlace place;
    std::vector<CheckedStage> stages;
    std::string error;
    if (layers && check_part(part, library, conf_dir, values, stages, error))
        place = stop_place(stages, end.message, sheet_of_status(end.where));
    std::string text = "stopped";
    if (!place.place.empty())
        text += " at " + place.place + (end.where.empty() ? "" : " (" + end.where + ")");
    else if (!end.where.empty())
        text += " at " + end.where;
    text += ": " + end.message;
    if (!place.explanation.empty()) text += " (" + place.explanation + ")";
    return text;
}

// Shows the host's dialogs, prompts and lines as events for another program while the run lasts, and puts the
// terminal back after.
class RemoteSession {
  public:
    RemoteSession(dialog::RemoteUi* remote) : remote_(remote) {
        if (!remote_) return;
        UiChannels& ui = Session::instance().ui();
        terminal_ = ui.terminal();
        ui.set_terminal(nullptr);
        ui.set_observer([this](const char* kind, const std::string& text) {
            if (kind != std::string("status") || !text.empty()) remote_->event({{"event", kind}, {"text", text}});
        });
        Session::instance().run().remote = remote_;
    }
    ~RemoteSession() {
        if (!remote_) return;
        UiChannels& ui = Session::instance().ui();
        ui.set_terminal(terminal_);
        ui.set_observer({});
        Session::instance().run().remote = nullptr;
    }

  private:
    dialog::RemoteUi* remote_;
    std::ostream* terminal_ = nullptr;
};

int cmd_run(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
    if (std::find(args.begin() + 1, args.end(), "--help") != args.end() ||
        std::find(args.begin() + 1, args.end(), "-h") != args.end())
        return run_help(args, out, err);
    // --events: the dialogs and prompts are shown by the program that started this one (quillon serve), through
    // standard input and output.
    const bool events = std::erase(args, std::string("--events")) > 0;
    Options options;
    if (!parse(args, {"--command", "--conf", "--set", "--answers", "--answer"}, options, err)) return kUsage;
    if (options.positional.size() != 1) {
        err << kUsageText;
        return kUsage;
    }
    std::string library = options.values["--command"];
    if (library.empty()) library = default_command_library();
    if (library.empty()) {
        err << "quillon run: the command library " << kCommandLibrary
            << " is not beside the quillon program; give one with --command LIBRARY\n";
        return kUsage;
    }
    if (library.find('/') == std::string::npos) library = "./" + library;
    std::string error, conf_dir;
    std::vector<dialog::BatchValue> values;
    std::vector<dialog::PromptAnswer> answers;
    if (!options_conf_dir(options, conf_dir, error) ||
        !batch_values(options, library, conf_dir, values, answers, error)) {
        err << "quillon run: " << error << "\nnothing was run\n";
        return kUsage;
    }
    // Held until the part is saved: a second run of the part waits, then loads what this one saved.
    partfile::PartLock lock;
    if (!hold_part(lock, options.positional[0], "run", err)) {
        err << "nothing was run\n";
        return kUsage;
    }
    if (!open_display_part(options.positional[0], error)) {
        err << "quillon run: " << error << '\n';
        return kUsage;
    }
    for (const auto& warning :
         attribute_warnings(Session::instance().display_part()->document, command_attribute_titles(library), 0))
        err << "quillon run: warning: " << warning << '\n';
    RunContext& run = Session::instance().run();
    run = RunContext{};
    run.conf_dir = conf_dir;
    for (const auto& value : values) run.batch_values.emplace_back(value.field, value.value);
    // Dialogs ask the user only when nobody answered them beforehand and someone sits at the terminal.
    run.prompt_answers = answers;
    run.interactive = values.empty() && answers.empty() && !options.values.count("--answers") && ::isatty(STDIN_FILENO);
    run.form_in = &std::cin;
    run.form_out = &out;
    // The command finds its configuration through the environment: it sees nothing of the host but host/.
    ::setenv("QUILLON_CONF", conf_dir.c_str(), 1);

    dialog::RemoteUi remote(std::cin, out);
    std::optional<RemoteSession> remote_session;
    if (events) {
        run.interactive = false;
        remote_session.emplace(&remote);
    }
    CommandLoader loader;
    const std::size_t sheets_before = drafting::drawings_of(Session::instance().display_part()->document).size();
    const std::size_t messages_before = Session::instance().ui().messages().size();
    bool ran = loader.run(library, "", error);
    const std::string stop_reason = run.stop_reason;
    const bool abandoned = run.abandoned;
    const int failed_imports = run.failed_imports;
    const std::string import_failure = run.import_failure;
    const std::size_t unused_answers = run.prompt_answers.size() - run.answers_used;
    run.form_in = nullptr;
    run.form_out = nullptr;
    remote_session.reset();
    if (!ran) {
        close_display_part();
        err << "quillon run: " << error << '\n';
        return kUsage;
    }
    // A prompt nobody answered leaves the run half done by nobody's choice: the part stays as it was.
    if (abandoned) {
        close_display_part();
        err << "quillon run: " << stop_reason << "\nnothing was saved\n";
        return kUsage;
    }
    if (unused_answers > 0)
        err << "quillon run: note: " << unused_answers << " answer(s) were not asked for, the first "
            << answers[answers.size() - unused_answers].origin << '\n';
    const RunEnd end = run_end(run, loader.return_code(), messages_before);
    if (end.status == kUsage || end.nothing_run) {
        // The part file keeps its bytes, and with them the undo mark of the run before.
        close_display_part();
        err << "quillon run: " << (end.nothing_run ? "nothing was run: " : "") << end.reason
            << "\nthe part was left as it was\n";
        return end.status;
    }
    const std::size_t sheets_after = drafting::drawings_of(Session::instance().display_part()->document).size();
    const std::size_t made = sheets_after > sheets_before ? sheets_after - sheets_before : 0;
    const std::string made_text = "made " + std::to_string(made) + (made == 1 ? " sheet" : " sheets");
    const std::optional<RunLayers> layers = run_layers(run.confirmed_integers);
    std::vector<std::pair<std::string, std::string>> dialog_options;
    for (const auto& [flag, value] : options.all)
        if (flag == "--set" || flag == "--answers") dialog_options.emplace_back(flag, value);
    // The check repeats the run's dialog with the whole numbers it was confirmed with (layers and switches).
    std::vector<std::pair<std::string, std::string>> confirmed_values;
    for (const auto& [field, value] : run.confirmed_integers)
        confirmed_values.emplace_back(field, std::to_string(value));
    const std::string left_out = layers ? left_out_note(Session::instance().display_part()->document, *layers) : "";
    const std::string& part_path = options.positional[0];
    // What the command did is kept even when it stopped: a stopped run's sheets stay in the part. A stopped run that
    // made none has nothing to keep, so the part stays as it was, with the undo mark of the run before.
    const bool keep = end.status == kDone || made > 0 || failed_imports > 0;
    if (keep && !save_display_part(error)) {
        close_display_part();
        err << "quillon run: " << error << '\n';
        return kUsage;
    }
    close_display_part();
    if (keep) out << "saved " << part_path << '\n';
    if (end.status != kDone) {
        err << "quillon run: " << made_text << "; "
            << stopped_text(end, part_path, library, conf_dir, layers, confirmed_values)
            << (keep ? "" : "; nothing was saved") << "; " << check_hint(part_path, layers, dialog_options) << '\n';
        return end.status;
    }
    // Sheets without their template are saved (undo takes them back) but are not what the run was to make.
    if (failed_imports > 0) {
        err << "quillon run: " << made_text << "; " << failed_imports
            << (failed_imports == 1 ? " sheet lacks its template: " : " sheets lack their template: ") << import_failure
            << '\n';
        return kStopped;
    }
    const std::size_t shown = run_messages(run, messages_before);
    out << made_text;
    if (!left_out.empty()) out << "; " << left_out;
    if (shown > 0)
        out << "; " << shown << (shown == 1 ? " message" : " messages") << ", see "
            << std::filesystem::path(options.positional[0]).replace_extension(".log").string();
    out << '\n';
    return kDone;
}

}  // namespace

int run_part(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
    return cmd_run(std::move(args), out, err);
}

std::string default_command_library() { return shipped_command_library(kCommandLibrary); }

// The configuration directory: --conf, else QUILLON_CONF, else the conf/ that came with the program.
bool configuration_dir(const std::string& given, std::string& dir, std::string& error) {
    if (!given.empty())
        dir = given;
    else if (const char* env = std::getenv("QUILLON_CONF"); env && env[0])
        dir = env;
    else
        dir = shipped_dir("conf");
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) {
        error = "configuration directory '" + dir + "' does not exist";
        return false;
    }
    dir = std::filesystem::absolute(dir, ec).lexically_normal().string();
    if (!dir.empty() && dir.back() == '/' && dir.size() > 1) dir.pop_back();
    return true;
}

int dispatch(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << kUsageText;
        return kUsage;
    }
    const std::string& command = args[0];
    if (command == "import") return import_command(args, out, err);
    if (command == "sheets") return sheets_command(args, out, err);
    if (command == "run") return cmd_run(args, out, err);
    if (command == "undo") return cmd_undo(args, out, err);
    if (command == "dump") return cmd_dump(args, out, err);
    if (command == "demo") return cmd_demo(args, out, err);
    if (command == "export") return export_sheets(args, out, err);
    if (command == "info") return info_command(args, out, err);
    if (command == "check") return check_command(args, out, err);
    if (command == "serve") return serve::serve_command(args, out, err);
    if (command == "--help" || command == "-h" || command == "help") {
        out << kUsageText;
        return kDone;
    }
    if (command == "--version") {
        // and where this program takes its files from, which tells an installed tree from a build tree
        out << version_text() << '\n';
        const std::string library = default_command_library();
        std::string conf_dir, error;
        out << "command library: " << (library.empty() ? "none beside the program" : library) << '\n'
            << "configuration: " << (configuration_dir("", conf_dir, error) ? conf_dir : error) << '\n';
        return kDone;
    }
    err << "quillon: unknown command '" << command << "'\n" << kUsageText;
    return kUsage;
}

}  // namespace cadhost::cli
