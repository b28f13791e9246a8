#include "cadhost/cli/run_closing.h"

#include <algorithm>
#include <set>

#include "cadhost/document/dump_json.h"
#include "host/command_check.h"
#include "host/uf_obj.h"
#include "host/uf_types.h"

namespace cadhost::cli {

namespace {

// The drawing command's dialog fields that hold its layers.
constexpr const char* kCoreLayerField = "INT_0";
constexpr const char* kFirstLayerField = "INT_1";
constexpr const char* kLastLayerField = "INT_2";
constexpr const char* kDrawingLayerField = "INT_4";
constexpr int kCheckCoreLayer = 240;  // the core layer `quillon check` takes when none is given

bool is_visible_solid_body(const Object& object) {
    return std::string(kind_name(object)) == "solid body" && object.blank_status == UF_OBJ_NOT_BLANKED;
}

// "2", "2–6" or "2–6, 9" for the layers in order.
std::string layer_runs(const std::set<int>& layers) {
    std::string text;
    for (auto it = layers.begin(); it != layers.end();) {
        const int first = *it;
        int last = first;
        for (++it; it != layers.end() && *it == last + 1; ++it) last = *it;
        text += (text.empty() ? "" : ", ") + std::to_string(first);
        if (last != first) text += "–" + std::to_string(last);
    }
    return text;
}

std::string body_words(const CheckedStage& stage) {
    switch (stage.what) {
        case CHECK_CONFIGURATION:
            return "the configuration";
        case CHECK_DIALOG:
            return "the dialog's OK";
        case CHECK_CORE:
            return "the core on layer " + std::to_string(stage.layer);
        case CHECK_SHEETS:
            return "the sheets' names";
        default:
            break;
    }
    std::string words = "layer " + std::to_string(stage.layer) + ", ";
    words += stage.name.empty() ? "unnamed body" : "body '" + stage.name + "'";
    if (stage.count_on_layer > 1)
        words += " " + std::to_string(stage.index_on_layer) + " of " + std::to_string(stage.count_on_layer);
    return words;
}

}  // namespace

std::optional<RunLayers> run_layers(const std::map<std::string, int>& confirmed) {
    const auto core = confirmed.find(kCoreLayerField), from = confirmed.find(kFirstLayerField),
               to = confirmed.find(kLastLayerField), drawing = confirmed.find(kDrawingLayerField);
    if (core == confirmed.end() || from == confirmed.end() || to == confirmed.end()) return std::nullopt;
    RunLayers layers{core->second, from->second, to->second, drawing == confirmed.end() ? 0 : drawing->second};
    if (layers.from < 1 || layers.to > UF_LAYER_MAX_LAYER || layers.from > layers.to) return std::nullopt;
    return layers;
}

std::string left_out_note(const Document& doc, const RunLayers& layers) {
    std::set<int> outside;
    for (int layer = 1; layer <= UF_LAYER_MAX_LAYER; ++layer) {
        if (layer == layers.core || layer == layers.drawing || (layer >= layers.from && layer <= layers.to)) continue;
        for (tag_t tag = doc.next_on_layer(layer, NULL_TAG); tag != NULL_TAG; tag = doc.next_on_layer(layer, tag)) {
            const Object* object = doc.find(tag);
            if (object && is_visible_solid_body(*object)) {
                outside.insert(layer);
                break;
            }
        }
    }
    if (outside.empty()) return {};
    const bool several = outside.size() > 1;
    std::string note = std::string(several ? "layers " : "layer ") + layer_runs(outside) +
                       (several ? " hold" : " holds") + " visible solid bodies outside the electrode range " +
                       std::to_string(layers.from) + "–" + std::to_string(layers.to) + ", which got no sheet";
    // One range that takes them in with the chosen one, when it leaves the core and drawing layers out: the command
    // refuses a range holding either.
    const int from = std::min(layers.from, *outside.begin()), to = std::max(layers.to, *outside.rbegin());
    const auto within = [&](int layer) { return layer >= from && layer <= to; };
    if (within(layers.core) || (layers.drawing > 0 && within(layers.drawing)))
        return note + ": the core or drawing layer lies between them and the range, so they need a run with a range " +
               "of their own (--set INT_1=FIRST --set INT_2=LAST)";
    std::string words, flags;
    if (from != layers.from) {
        words = "the first electrode layer to " + std::to_string(from);
        flags = "--set INT_1=" + std::to_string(from);
    }
    if (to != layers.to) {
        words += (words.empty() ? "the last electrode layer to " : " and the last to ") + std::to_string(to);
        flags += (flags.empty() ? "" : " ") + std::string("--set INT_2=") + std::to_string(to);
    }
    return note + ": set " + words + " (" + flags + ") to include them";
}

int sheet_of_status(const std::string& status) {
    const std::size_t open = status.rfind('(');
    if (open == std::string::npos || status.empty() || status.back() != ')') return 0;
    const std::size_t slash = status.find('/', open);
    if (slash == std::string::npos) return 0;
    int sheet = 0;
    for (std::size_t i = open + 1; i < slash; ++i) {
        if (status[i] < '0' || status[i] > '9' || sheet > 100000) return 0;
        sheet = sheet * 10 + (status[i] - '0');
    }
    return sheet;
}

StopPlace stop_place(const std::vector<CheckedStage>& stages, const std::string& message, int sheet) {
    for (const CheckedStage& stage : stages)
        for (const auto& [said, explanation] : stage.problems)
            if (said == message) return {body_words(stage), explanation};
    // A step the check does not take (one of a sheet's own) stopped it: the body is the one whose sheet was begun.
    int bodies = 0;
    for (const CheckedStage& stage : stages)
        if (stage.what == CHECK_BODY && ++bodies == sheet) return {body_words(stage), ""};
    return {};
}

std::string check_hint(const std::string& part, const std::optional<RunLayers>& layers,
                       const std::vector<std::pair<std::string, std::string>>& dialog_options) {
    // A word with a blank or a quote is quoted for the shell.
    const auto word = [](const std::string& text) {
        if (!text.empty() && text.find_first_of(" \t'\"\\$`;&|<>()*?") == std::string::npos) return text;
        std::string quoted = "'";
        for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return quoted + "'";
    };
    std::string hint = "quillon check " + word(part);
    if (!dialog_options.empty()) {
        for (const auto& [flag, value] : dialog_options) hint += " " + flag + " " + word(value);
    } else if (layers) {
        if (layers->core != kCheckCoreLayer) hint += " --core-layer " + std::to_string(layers->core);
        hint += " --layers " + std::to_string(layers->from) + "-" + std::to_string(layers->to);
    }
    return "'" + hint + "' lists every problem";
}

}  // namespace cadhost::cli
