#include "cadhost/cli/command_analysis.h"

#include <cstdlib>
#include <memory>

#include "cadhost/cli/cli_commands.h"
#include "cadhost/loader/library_entry.h"
#include "cadhost/session/session.h"

namespace cadhost::cli {

namespace {

struct Collector {
    std::vector<CheckStage>* stages = nullptr;
    bool body = false;  // the stage begun last is a body's
    bool confirmed = false;
    const UiChannels* ui = nullptr;
    std::string refusal;  // the first message a problem was told with
};

void on_begin(void* context, int what, int layer, tag_t body) {
    auto* c = static_cast<Collector*>(context);
    c->body = what == CHECK_BODY && body != NULL_TAG;
    if (!c->body) return;
    for (const auto& stage : *c->stages)
        if (stage.body == body) return;
    c->stages->push_back(CheckStage{layer, body, false, {}});
}

void on_problem(void* context, const char*) {
    auto* c = static_cast<Collector*>(context);
    if (c->refusal.empty() && !c->ui->messages().empty()) c->refusal = c->ui->messages().back();
}

void on_body(void* context, const command_check_body* body) {
    auto* c = static_cast<Collector*>(context);
    if (!body || !c->body) return;
    for (auto& stage : *c->stages)
        if (stage.body == body->body) stage.report = *body, stage.reported = true;
}

void on_confirmed(void* context, const command_check_settings*) { static_cast<Collector*>(context)->confirmed = true; }

// The electrode layers: from the lowest to the highest that holds a solid off the core, in the ranges below and
// above the core layer; and a layer for the sheets apart from them.
struct Ranges {
    std::vector<std::pair<int, int>> electrodes;
    int sheets = 0;
};

Ranges electrode_ranges(const Document& doc, int core_layer) {
    bool used[UF_LAYER_MAX_LAYER + 1] = {};
    for (const auto& [tag, object] : doc.objects())
        if (const auto* body = object.as<BodyData>();
            body && !body->sheet && object.type == UF_solid_type && Document::valid_layer(object.layer))
            used[object.layer] = true;
    Ranges ranges;
    for (const auto& [from, to] : {std::pair{1, core_layer - 1}, std::pair{core_layer + 1, UF_LAYER_MAX_LAYER}}) {
        int low = 0, high = 0;
        for (int layer = from; layer <= to; ++layer)
            if (used[layer]) low = low ? low : layer, high = layer;
        if (low) ranges.electrodes.emplace_back(low, high);
    }
    for (int layer = UF_LAYER_MAX_LAYER; layer >= 1 && !ranges.sheets; --layer) {
        bool apart = layer != core_layer;
        for (const auto& [low, high] : ranges.electrodes) apart = apart && (layer < low || layer > high);
        if (apart) ranges.sheets = layer;
    }
    return ranges;
}

}  // namespace

bool command_library(const std::string& given, std::string& library, std::string& error) {
    library = given.empty() ? default_command_library() : given;
    if (library.empty()) {
        error = "the command library is not beside the quillon program; give one with --command";
        return false;
    }
    if (library.find('/') == std::string::npos) library = "./" + library;
    return true;
}

bool check_document(const Document& doc, const std::string& library, const std::string& conf_dir, int core_layer,
                    std::vector<CheckStage>& stages, std::string& error) {
    const Ranges ranges = electrode_ranges(doc, core_layer);
    if (ranges.electrodes.empty()) return true;
    OpenedLibrary opened;
    if (!opened.open(library, error)) return false;
    auto check = reinterpret_cast<ufusr_check_fn>(opened.entry("ufusr_check"));
    if (!check) {
        error = "'" + library + "' offers no check (it has no entry point ufusr_check)";
        return false;
    }
    Session& session = Session::instance();
    std::ostream* terminal = session.ui().terminal();
    for (const auto& [from, to] : ranges.electrodes) {
        auto part = std::make_unique<Part>();
        part->document = doc;
        session.set_display_part(std::move(part));
        // The part is looked at, never written: no run log, no listing file, no messages on the terminal.
        session.ui().set_files("", "");
        session.ui().set_terminal(nullptr);
        RunContext& run = session.run();
        run = RunContext{};
        run.conf_dir = conf_dir;
        run.command_library = library;
        run.batch_values = {{"INT_0", std::to_string(core_layer)},
                            {"INT_1", std::to_string(from)},
                            {"INT_2", std::to_string(to)},
                            {"INT_4", std::to_string(ranges.sheets)},
                            {"TOGGLE_10", "0"}};
        ::setenv("QUILLON_CONF", conf_dir.c_str(), 1);
        Collector collector{&stages, false, false, &session.ui(), {}};
        command_check_sink sink{&collector, on_begin, on_problem, on_body, on_confirmed};
        const int told = check(&sink);
        const std::string stopped = run.stop_status ? run.stop_reason : std::string();
        session.ui().set_terminal(terminal);
        session.set_display_part(nullptr);
        if (told < 0 || !stopped.empty()) {
            error = told < 0 ? "the command could not start its check" : stopped;
            return false;
        }
        if (!collector.confirmed) {
            error = "the command's dialog refused layers " + std::to_string(from) + " to " + std::to_string(to) +
                    " with the core on layer " + std::to_string(core_layer) + ": " + collector.refusal;
            return false;
        }
    }
    return true;
}

}  // namespace cadhost::cli
