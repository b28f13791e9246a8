#include "cadhost/cli/check_command.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cadhost/cli/attribute_warnings.h"
#include "cadhost/cli/cli_commands.h"
#include "cadhost/cli/model_export.h"
#include "cadhost/dialog/batch_values.h"
#include "cadhost/dialog/dialog_lookup.h"
#include "cadhost/loader/library_entry.h"
#include "cadhost/render/number_text.h"
#include "cadhost/session/part_io.h"
#include "cadhost/session/session.h"
#include "cadhost/setup/sheet_setup.h"
#include "host/command_check.h"

namespace cadhost::cli {

namespace {

using nlohmann::ordered_json;

constexpr int kDone = 0;
constexpr int kStopped = 1;
constexpr int kUsage = 2;

const char* kCheckUsage =
    "usage: quillon check PART.prt [--core-layer N] [--layers A-B] [--set FIELD=VALUE]... [--answers FILE] [--json]\n"
    "                     [--progress] [--command LIBRARY] [--conf DIR]\n";

struct Problem {
    std::string message;      // the command's own words, as a run would stop with them
    std::string explanation;  // what was measured and what to fix
};

// One part of what the command looked at: the configuration, the dialog, the core, the sheets or an electrode body.
struct Stage {
    int what = CHECK_CONFIGURATION;
    int layer = 0;
    tag_t body = NULL_TAG;
    bool reported = false;
    command_check_body report{};
    std::vector<Problem> problems;
    std::vector<std::string> said;  // messages a run shows here without stopping
};

struct Collector {
    const UiChannels* ui = nullptr;
    std::size_t mark = 0;
    std::vector<Stage> stages;
    std::size_t current = 0;
    std::string first_stop;  // the message a run stops with: the first problem told
    bool confirmed = false;
    command_check_settings settings{};
    const Document* doc = nullptr;
    std::ostream* progress = nullptr;  // "checked N of M bodies" after each body, with --progress
    std::size_t bodies = 0, checked = 0;

    // Messages shown since the last look belong to the stage looked at until now.
    void take_said(std::size_t up_to) {
        const auto& shown = ui->messages();
        for (; mark < up_to && mark < shown.size(); ++mark)
            if (!stages.empty()) stages[current].said.push_back(shown[mark]);
    }
};

void on_begin(void* context, int what, int layer, tag_t body) {
    auto* c = static_cast<Collector*>(context);
    c->take_said(c->ui->messages().size());
    for (std::size_t i = 0; i < c->stages.size(); ++i) {
        const Stage& stage = c->stages[i];
        if (stage.what == what && stage.layer == layer && stage.body == body) {
            c->current = i;
            return;
        }
    }
    c->stages.push_back(Stage{});
    c->stages.back().what = what;
    c->stages.back().layer = layer;
    c->stages.back().body = body;
    c->current = c->stages.size() - 1;
}

// The message a stopped run would end with is the last one the failing step showed.
void on_problem(void* context, const char* explanation) {
    auto* c = static_cast<Collector*>(context);
    if (c->stages.empty()) on_begin(context, CHECK_CONFIGURATION, 0, NULL_TAG);
    const auto& shown = c->ui->messages();
    Problem problem;
    if (shown.size() > c->mark) {
        c->take_said(shown.size() - 1);
        problem.message = shown.back();
        c->mark = shown.size();
    } else {
        problem.message = "(the command showed no message)";
    }
    problem.explanation = explanation && explanation[0]
                              ? explanation
                              : "the step failed as the message says; docs/modelling.md tells what it asks for";
    if (c->first_stop.empty()) c->first_stop = problem.message;
    c->stages[c->current].problems.push_back(problem);
}

void on_body(void* context, const command_check_body* body) {
    auto* c = static_cast<Collector*>(context);
    if (c->stages.empty() || !body) return;
    const bool again = c->stages[c->current].reported;
    c->stages[c->current].report = *body;
    c->stages[c->current].reported = true;
    if (c->progress && !again) {
        ++c->checked;
        *c->progress << "checked " << c->checked << " of " << std::max(c->bodies, c->checked) << " bodies\n"
                     << std::flush;
    }
}

void on_confirmed(void* context, const command_check_settings* settings) {
    auto* c = static_cast<Collector*>(context);
    if (!settings) return;
    c->confirmed = true;
    c->settings = *settings;
    // The bodies the check will look at, now that the dialog said which layers: for "of how many".
    if (c->progress && c->doc)
        for (const auto& model : model_bodies(*c->doc, settings->core_layer))
            if (model.role == "electrode" && model.layer >= settings->from_layer && model.layer <= settings->to_layer)
                ++c->bodies;
}

std::string number(double value) {
    std::string text;
    render::append_trimmed(text, value, 3);
    return text;
}

std::string point(const double p[3]) { return "(" + number(p[0]) + ", " + number(p[1]) + ", " + number(p[2]) + ")"; }

bool parse_layer(const std::string& text, int& layer) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 1 || value > 256) return false;
    layer = static_cast<int>(value);
    return true;
}

struct CheckOptions {
    std::string part, library, conf, answers;
    // The dialog's values as a batch run takes them: --core-layer and --layers stand for the dialog's fields of the
    // core layer and the electrode range, and come in order with --set.
    std::vector<dialog::BatchValue> values;
    bool json = false;
    bool progress = false;
};

bool parse_options(const std::vector<std::string>& args, CheckOptions& options, std::ostream& err) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json" || arg == "--progress") {
            (arg == "--json" ? options.json : options.progress) = true;
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            if (arg != "--core-layer" && arg != "--layers" && arg != "--command" && arg != "--conf" && arg != "--set" &&
                arg != "--answers" && arg != "--answer") {
                err << "quillon check: unknown option " << arg << '\n' << kCheckUsage;
                return false;
            }
            if (i + 1 >= args.size()) {
                err << "quillon check: option " << arg << " needs a value\n";
                return false;
            }
            const std::string& value = args[++i];
            int layer = 0, last = 0;
            if (arg == "--core-layer") {
                if (!parse_layer(value, layer)) {
                    err << "quillon check: --core-layer takes a layer from 1 to 256, not '" << value << "'\n";
                    return false;
                }
                options.values.push_back({"core_layer", std::to_string(layer), arg});
            }
            if (arg == "--layers") {
                const std::size_t dash = value.find('-');
                const std::string a = value.substr(0, dash), b = dash == std::string::npos ? a : value.substr(dash + 1);
                if (!parse_layer(a, layer) || !parse_layer(b, last) || layer > last) {
                    err << "quillon check: --layers takes A-B, layers from 1 to 256 in order, not '" << value << "'\n";
                    return false;
                }
                options.values.push_back({"first_layer", std::to_string(layer), arg});
                options.values.push_back({"last_layer", std::to_string(last), arg});
            }
            std::string error;
            dialog::BatchValue assignment;
            dialog::PromptAnswer answer;
            if ((arg == "--set" && !dialog::parse_assignment(value, arg, assignment, error)) ||
                (arg == "--answer" && !dialog::parse_prompt_answer(value, arg, answer, error))) {
                err << "quillon check: " << error << '\n';
                return false;
            }
            if (arg == "--set") options.values.push_back(assignment);
            if (arg == "--answers") options.answers = value;
            if (arg == "--command") options.library = value;
            if (arg == "--conf") options.conf = value;
            continue;
        }
        if (!options.part.empty()) {
            err << "quillon check: one part at a time\n" << kCheckUsage;
            return false;
        }
        options.part = arg;
    }
    if (options.part.empty()) {
        err << kCheckUsage;
        return false;
    }
    return true;
}

// The values a run given the same options would fill its dialog with, the answers file's first, checked against the
// dialog files the command can open. The prompts come only while sheets are drawn, so their answers are not used.
bool dialog_values(CheckOptions& options, const std::string& library, const std::string& conf_dir,
                   std::vector<dialog::BatchValue>& values, std::string& error) {
    std::vector<dialog::PromptAnswer> answers;
    if (!options.answers.empty() && !dialog::read_answers_file(options.answers, values, answers, error)) return false;
    values.insert(values.end(), options.values.begin(), options.values.end());
    return dialog::check_batch_values(values, dialog::dialog_files_in(dialog::dialog_search_dirs(library, conf_dir)),
                                      error);
}

ordered_json problems_json(const std::vector<Problem>& problems) {
    ordered_json list = ordered_json::array();
    for (const auto& p : problems) list.push_back({{"message", p.message}, {"explanation", p.explanation}});
    return list;
}

ordered_json body_json(const Stage& stage) {
    const command_check_body& r = stage.report;
    ordered_json body;
    body["layer"] = stage.layer;
    body["name"] = r.name;
    body["index_on_layer"] = r.index_on_layer;
    body["count_on_layer"] = r.count_on_layer;
    body["analysed"] = r.analysed != 0;
    body["direction"] = r.direction ? ordered_json(setup::direction_name(r.direction)) : ordered_json(nullptr);
    body["without_base"] = r.without_base != 0;
    body["base_found"] = r.base_found != 0;
    body["diagonal_found"] = r.diagonal_found != 0;
    const auto array = [](const double p[3]) { return ordered_json::array({p[0], p[1], p[2]}); };
    body["reference_point"] = r.analysed ? array(r.reference) : ordered_json(nullptr);
    body["touch_point"] = r.have_touch_point ? array(r.touch_point) : ordered_json(nullptr);
    if (r.have_touch_point) body["touch_circle_found"] = r.touch_circle_found != 0;
    body["chamfer_corner"] = r.chamfer_corner ? ordered_json(r.chamfer_corner) : ordered_json(nullptr);
    body["box"] =
        r.analysed ? ordered_json{{"min", array(r.box_min)}, {"max", array(r.box_max)}} : ordered_json(nullptr);
    ordered_json attributes = ordered_json::object();
    for (int i = 0; i < CHECK_ATTR_SLOTS; ++i)
        if (r.attributes[i][0]) attributes[r.attribute_titles[i]] = r.attributes[i];
    body["attributes"] = attributes;
    body["defaults_stand_in"] = r.defaults_stand_in != 0;
    if (r.defaults_stand_in)
        body["defaults"] = {{"rough_gap", r.defaults[0]},
                            {"finish_gap", r.defaults[1]},
                            {"rough_count", r.defaults[2]},
                            {"finish_count", r.defaults[3]}};
    body["problems"] = problems_json(stage.problems);
    return body;
}

void write_problems(std::ostream& out, const Stage& stage) {
    for (const auto& said : stage.said) out << "    says: " << said << '\n';
    for (const auto& p : stage.problems) out << "    stops: " << p.message << "\n           " << p.explanation << '\n';
}

void write_body(std::ostream& out, const Stage& stage) {
    const command_check_body& r = stage.report;
    out << "layer " << stage.layer << ", " << (r.name[0] ? r.name : "(unnamed)");
    if (r.count_on_layer > 1) out << " (body " << r.index_on_layer << " of " << r.count_on_layer << ")";
    out << ": ";
    // How far the analysis came: a failed one still tells the side and faces it found.
    out << "direction " << (r.direction ? setup::direction_name(r.direction) : std::string("not found"));
    if (r.analysed) out << ", reference point " << point(r.reference);
    if (r.without_base)
        out << ", no base (diagonal across a side)";
    else
        out << ", base " << (r.base_found ? "found" : "not found");
    out << ", diagonal " << (r.diagonal_found ? "found" : "not found");
    if (r.analysed) out << ", chamfer corner " << (r.chamfer_corner ? std::to_string(r.chamfer_corner) : "none");
    if (r.have_touch_point)
        out << ", touch point " << point(r.touch_point) << (r.touch_circle_found ? " on its circle" : "");
    out << '\n';
    std::string carried;
    for (int i = 0; i < CHECK_ATTR_SLOTS; ++i)
        if (r.attributes[i][0])
            carried += std::string(carried.empty() ? "" : ", ") + r.attribute_titles[i] + " " + r.attributes[i];
    if (r.defaults_stand_in)
        out << "    gaps and counts: none on the body; the defaults stand in: " << r.defaults[0] << "/" << r.defaults[1]
            << ", " << r.defaults[2] << "+" << r.defaults[3] << '\n';
    else
        out << "    gaps and counts: " << carried << '\n';
    if (stage.problems.empty()) out << "    ok\n";
    write_problems(out, stage);
}

void write_stage(std::ostream& out, const Stage& stage, const std::string& conf_dir) {
    const bool anything = !stage.problems.empty() || !stage.said.empty();
    switch (stage.what) {
        case CHECK_BODY:
            if (stage.reported) return write_body(out, stage);
            out << "layer " << stage.layer << ":\n";
            break;
        case CHECK_CORE:
            out << "core, layer " << stage.layer << ": " << (stage.problems.empty() ? "ok" : "") << '\n';
            break;
        case CHECK_CONFIGURATION:
            if (anything) out << "configuration (" << conf_dir << "):\n";
            break;
        case CHECK_DIALOG:
            if (anything) out << "dialog, OK:\n";
            break;
        default:
            if (anything) out << "sheets:\n";
    }
    write_problems(out, stage);
}

ordered_json said_json(const std::vector<Stage>& stages) {
    ordered_json list = ordered_json::array();
    for (const auto& stage : stages)
        for (const auto& said : stage.said) list.push_back(said);
    return list;
}

}  // namespace

int check_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    CheckOptions options;
    if (!parse_options(args, options, err)) return kUsage;
    std::string library = options.library.empty() ? default_command_library() : options.library;
    if (library.empty()) {
        err << "quillon check: the command library is not beside the quillon program; give one with --command\n";
        return kUsage;
    }
    if (library.find('/') == std::string::npos) library = "./" + library;
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(library, ec);
    if (!ec) library = absolute.lexically_normal().string();
    std::string error, conf_dir;
    std::vector<dialog::BatchValue> values;
    if (!configuration_dir(options.conf, conf_dir, error) ||
        !dialog_values(options, library, conf_dir, values, error)) {
        err << "quillon check: " << error << "\nnothing was checked\n";
        return kUsage;
    }
    OpenedLibrary opened;
    if (!opened.open(library, error)) {
        err << "quillon check: " << error << '\n';
        return kUsage;
    }
    auto check = reinterpret_cast<ufusr_check_fn>(opened.entry("ufusr_check"));
    if (!check) {
        err << "quillon check: '" << library << "' offers no check (it has no entry point ufusr_check)\n";
        return kUsage;
    }
    if (!open_display_part(options.part, error)) {
        err << "quillon check: " << error << '\n';
        return kUsage;
    }
    Session& session = Session::instance();
    // The part is looked at, never written: no run log, no listing file, and the command's messages come in the
    // report instead of on the terminal. The dialog is filled as for a batch run.
    session.ui().set_files("", "");
    std::ostream* terminal = session.ui().terminal();
    session.ui().set_terminal(nullptr);
    RunContext& run = session.run();
    run = RunContext{};
    run.conf_dir = conf_dir;
    run.command_library = library;
    for (const auto& value : values) run.batch_values.emplace_back(value.field, value.value);
    ::setenv("QUILLON_CONF", conf_dir.c_str(), 1);

    Collector collector;
    collector.ui = &session.ui();
    collector.mark = session.ui().messages().size();
    collector.doc = &session.display_part()->document;
    if (options.progress) collector.progress = &err;
    command_check_sink sink{&collector, on_begin, on_problem, on_body, on_confirmed};
    const int told = check(&sink);
    collector.take_said(session.ui().messages().size());
    const int core_layer = collector.confirmed ? collector.settings.core_layer : 0;
    const std::vector<std::string> warnings =
        attribute_warnings(session.display_part()->document, command_attribute_titles(library), core_layer);
    session.ui().set_terminal(terminal);
    close_display_part();
    // The host ended the dialog itself (a dialog file it cannot read, a value its field cannot take): as a run, bad
    // input.
    if (run.stop_status == kUsage) {
        err << "quillon check: " << run.stop_reason << "\nnothing was checked\n";
        return kUsage;
    }
    if (told < 0) {
        err << "quillon check: the command could not start its check\n";
        return kUsage;
    }

    int problems = 0, bodies = 0, failing_bodies = 0;
    for (const auto& stage : collector.stages) {
        problems += static_cast<int>(stage.problems.size());
        if (stage.reported) ++bodies, failing_bodies += stage.problems.empty() ? 0 : 1;
    }
    const bool would_complete = problems == 0 && collector.confirmed && bodies > 0;
    const int from = collector.settings.from_layer, to = collector.settings.to_layer;

    if (options.json) {
        ordered_json report;
        report["part"] = options.part;
        report["core_layer"] = collector.confirmed ? ordered_json(core_layer) : ordered_json(nullptr);
        report["layers"] = collector.confirmed ? ordered_json::array({from, to}) : ordered_json(nullptr);
        report["warnings"] = warnings;
        ordered_json configuration = ordered_json::array(), dialog_problems = ordered_json::array();
        ordered_json core = ordered_json::array(), sheets = ordered_json::array();
        ordered_json body_list = ordered_json::array();
        for (const auto& stage : collector.stages) {
            if (stage.reported) {
                body_list.push_back(body_json(stage));
                continue;
            }
            ordered_json& into = stage.what == CHECK_CONFIGURATION ? configuration
                                 : stage.what == CHECK_DIALOG      ? dialog_problems
                                 : stage.what == CHECK_SHEETS      ? sheets
                                                                   : core;
            for (const auto& p : problems_json(stage.problems)) into.push_back(p);
        }
        report["configuration_problems"] = configuration;
        report["dialog_problems"] = dialog_problems;
        report["core_problems"] = core;
        report["sheet_problems"] = sheets;
        report["bodies"] = body_list;
        report["messages"] = said_json(collector.stages);
        report["problems"] = problems;
        report["stops_with"] =
            collector.first_stop.empty() ? ordered_json(nullptr) : ordered_json(collector.first_stop);
        report["run_would_complete"] = would_complete;
        out << report.dump(2) << '\n';
        return would_complete ? kDone : kStopped;
    }

    out << "checking " << options.part;
    if (collector.confirmed) out << ": core on layer " << core_layer << ", electrodes on layers " << from << "-" << to;
    out << '\n';
    for (const auto& warning : warnings) out << "warning: " << warning << '\n';
    for (const auto& stage : collector.stages) write_stage(out, stage, conf_dir);
    if (would_complete)
        out << bodies << (bodies == 1 ? " electrode body" : " electrode bodies")
            << ", no problem: a run makes every sheet\n";
    else if (!collector.confirmed)
        out << problems << (problems == 1 ? " problem" : " problems")
            << ": the dialog's OK is refused and a run draws nothing\n";
    else
        out << problems << (problems == 1 ? " problem" : " problems") << " on " << failing_bodies
            << (failing_bodies == 1 ? " body" : " bodies") << " of " << bodies
            << (problems > 1 ? ": a run stops at the first of them" : ": a run stops at it") << '\n';
    if (!collector.first_stop.empty()) out << "a run stops with: " << collector.first_stop << '\n';
    return would_complete ? kDone : kStopped;
}

bool check_part(const std::string& part, const std::string& library, const std::string& conf_dir,
                const std::vector<std::pair<std::string, std::string>>& values, std::vector<CheckedStage>& stages,
                std::string& error) {
    OpenedLibrary opened;
    if (!opened.open(library, error)) return false;
    auto check = reinterpret_cast<ufusr_check_fn>(opened.entry("ufusr_check"));
    if (!check) {
        error = "'" + library + "' offers no check";
        return false;
    }
    if (!open_display_part(part, error)) return false;
    Session& session = Session::instance();
    session.ui().set_files("", "");
    std::ostream* terminal = session.ui().terminal();
    session.ui().set_terminal(nullptr);
    RunContext& run = session.run();
    run = RunContext{};
    run.conf_dir = conf_dir;
    run.command_library = library;
    run.batch_values = values;
    ::setenv("QUILLON_CONF", conf_dir.c_str(), 1);
    Collector collector;
    collector.ui = &session.ui();
    collector.mark = session.ui().messages().size();
    command_check_sink sink{&collector, on_begin, on_problem, on_body, on_confirmed};
    const int told = check(&sink);
    session.ui().set_terminal(terminal);
    close_display_part();
    if (told < 0 || run.stop_status == kUsage) {
        error = told < 0 ? "the command could not start its check" : run.stop_reason;
        return false;
    }
    stages.clear();
    for (const Stage& stage : collector.stages) {
        CheckedStage checked;
        checked.what = stage.what;
        checked.layer = stage.layer;
        checked.name = stage.reported ? stage.report.name : "";
        checked.index_on_layer = stage.report.index_on_layer;
        checked.count_on_layer = stage.report.count_on_layer;
        for (const Problem& p : stage.problems) checked.problems.emplace_back(p.message, p.explanation);
        stages.push_back(std::move(checked));
    }
    return true;
}

}  // namespace cadhost::cli
