#include "cadhost/cli/check_command.h"

#include <cstdlib>
#include <sstream>

#include <nlohmann/json.hpp>

#include "cadhost/cli/attribute_warnings.h"
#include "cadhost/cli/cli_commands.h"
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
constexpr int kDefaultCoreLayer = 240;

const char* kCheckUsage =
    "usage: quillon check PART.prt [--core-layer N] [--layers A-B] [--json] [--command LIBRARY] [--conf DIR]\n";

struct Problem {
    std::string message;      // the command's own words, as a run would stop with them
    std::string explanation;  // what was measured and what to fix
};

// One thing the command looked at: the configuration (layer 0), the core (no body) or an electrode body.
struct Stage {
    int layer = 0;
    tag_t body = NULL_TAG;
    bool reported = false;
    command_check_body report{};
    std::vector<Problem> problems;
};

struct Collector {
    const UiChannels* ui = nullptr;
    std::size_t mark = 0;
    std::vector<Stage> stages;
};

void on_begin(void* context, int layer, tag_t body) {
    auto* c = static_cast<Collector*>(context);
    c->stages.push_back(Stage{});
    c->stages.back().layer = layer;
    c->stages.back().body = body;
    c->mark = c->ui->messages().size();
}

// The message a stopped run would end with is the last one the failing step showed.
void on_problem(void* context, const char* explanation) {
    auto* c = static_cast<Collector*>(context);
    if (c->stages.empty()) on_begin(context, 0, NULL_TAG);
    const auto& shown = c->ui->messages();
    Problem problem;
    problem.message = shown.size() > c->mark ? shown.back() : std::string("(the command showed no message)");
    problem.explanation = explanation && explanation[0]
                              ? explanation
                              : "the step failed as the message says; docs/modelling.md tells what it asks for";
    c->mark = shown.size();
    c->stages.back().problems.push_back(problem);
}

void on_body(void* context, const command_check_body* body) {
    auto* c = static_cast<Collector*>(context);
    if (c->stages.empty() || !body) return;
    c->stages.back().report = *body;
    c->stages.back().reported = true;
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
    std::string part, library, conf;
    int core_layer = kDefaultCoreLayer;
    int from = 1, to = 256;
    bool json = false;
};

bool parse_options(const std::vector<std::string>& args, CheckOptions& options, std::ostream& err) {
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--json") {
            options.json = true;
            continue;
        }
        if (arg.size() > 1 && arg[0] == '-') {
            if (arg != "--core-layer" && arg != "--layers" && arg != "--command" && arg != "--conf") {
                err << "quillon check: unknown option " << arg << '\n' << kCheckUsage;
                return false;
            }
            if (i + 1 >= args.size()) {
                err << "quillon check: option " << arg << " needs a value\n";
                return false;
            }
            const std::string& value = args[++i];
            if (arg == "--core-layer" && !parse_layer(value, options.core_layer)) {
                err << "quillon check: --core-layer takes a layer from 1 to 256, not '" << value << "'\n";
                return false;
            }
            if (arg == "--layers") {
                const std::size_t dash = value.find('-');
                const std::string a = value.substr(0, dash), b = dash == std::string::npos ? a : value.substr(dash + 1);
                if (!parse_layer(a, options.from) || !parse_layer(b, options.to) || options.from > options.to) {
                    err << "quillon check: --layers takes A-B, layers from 1 to 256 in order, not '" << value << "'\n";
                    return false;
                }
            }
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

void write_problems(std::ostream& out, const std::vector<Problem>& problems) {
    for (const auto& p : problems) out << "    stops: " << p.message << "\n           " << p.explanation << '\n';
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
    write_problems(out, stage.problems);
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
    std::string error, conf_dir;
    if (!configuration_dir(options.conf, conf_dir, error)) {
        err << "quillon check: " << error << '\n';
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
    // report instead of on the terminal.
    session.ui().set_files("", "");
    std::ostream* terminal = session.ui().terminal();
    session.ui().set_terminal(nullptr);
    session.run() = RunContext{};
    session.run().conf_dir = conf_dir;
    ::setenv("QUILLON_CONF", conf_dir.c_str(), 1);

    const std::vector<std::string> warnings =
        attribute_warnings(session.display_part()->document, command_attribute_titles(library), options.core_layer);
    Collector collector;
    collector.ui = &session.ui();
    command_check_sink sink{&collector, on_begin, on_problem, on_body};
    const int told = check(options.core_layer, options.from, options.to, &sink);
    session.ui().set_terminal(terminal);
    close_display_part();
    if (told < 0) {
        err << "quillon check: the command could not start its check\n";
        return kUsage;
    }

    int problems = 0, bodies = 0, failing_bodies = 0;
    for (const auto& stage : collector.stages) {
        problems += static_cast<int>(stage.problems.size());
        if (stage.reported) ++bodies, failing_bodies += stage.problems.empty() ? 0 : 1;
    }
    const bool would_complete = problems == 0 && bodies > 0;
    const std::string range = std::to_string(options.from) + "-" + std::to_string(options.to);

    if (options.json) {
        ordered_json report;
        report["part"] = options.part;
        report["core_layer"] = options.core_layer;
        report["layers"] = {options.from, options.to};
        report["warnings"] = warnings;
        ordered_json configuration = ordered_json::array(), core = ordered_json::array();
        ordered_json body_list = ordered_json::array();
        for (const auto& stage : collector.stages) {
            if (stage.reported)
                body_list.push_back(body_json(stage));
            else
                for (const auto& p : problems_json(stage.problems))
                    (stage.layer == 0 ? configuration : core).push_back(p);
        }
        report["configuration_problems"] = configuration;
        report["core_problems"] = core;
        report["bodies"] = body_list;
        report["problems"] = problems;
        report["run_would_complete"] = would_complete;
        out << report.dump(2) << '\n';
        return would_complete ? kDone : kStopped;
    }

    out << "checking " << options.part << ": core on layer " << options.core_layer << ", electrodes on layers " << range
        << '\n';
    for (const auto& warning : warnings) out << "warning: " << warning << '\n';
    for (const auto& stage : collector.stages) {
        if (stage.reported) {
            write_body(out, stage);
        } else if (stage.layer == 0) {
            if (!stage.problems.empty()) out << "configuration (" << conf_dir << "):\n";
            write_problems(out, stage.problems);
        } else {
            out << "core, layer " << stage.layer << ": " << (stage.problems.empty() ? "ok" : "") << '\n';
            write_problems(out, stage.problems);
        }
    }
    if (bodies == 0) out << "no electrode body: layers " << range << " hold no visible solid body off the core layer\n";
    if (would_complete)
        out << bodies << (bodies == 1 ? " electrode body" : " electrode bodies")
            << ", no problem: a run makes every sheet\n";
    else if (problems > 0)
        out << problems << (problems == 1 ? " problem" : " problems") << " on " << failing_bodies
            << (failing_bodies == 1 ? " body" : " bodies") << " of " << bodies
            << (problems > 1 ? ": a run stops at the first of them" : ": a run stops at it") << '\n';
    return would_complete ? kDone : kStopped;
}

}  // namespace cadhost::cli
