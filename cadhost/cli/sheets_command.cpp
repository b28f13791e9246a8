#include "cadhost/cli/sheets_command.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>

#include "cadhost/cli/cli_commands.h"
#include "cadhost/cli/export_command.h"
#include "cadhost/cli/import_command.h"
#include "cadhost/dialog/batch_values.h"
#include "cadhost/partfile/part_file.h"

namespace cadhost::cli {

namespace {

namespace fs = std::filesystem;

constexpr int kUsage = 2;

const char* kSheetsUsage =
    "usage: quillon sheets MODEL.step -o DIR [import options] [--set FIELD=VALUE]... [--answers FILE]\n"
    "                     [--answer ANSWER]... [--command LIBRARY] [--conf DIR] [export options]\n"
    "Imports the model into DIR/MODEL.prt, runs the drawing command on it and exports its sheets into DIR.\n";

// The dialog fields that say where the core and the electrodes are, by identifier and by name.
const std::map<std::string, std::string> kLayerFields = {{"int_0", "INT_0"}, {"core_layer", "INT_0"},
                                                         {"int_1", "INT_1"}, {"first_layer", "INT_1"},
                                                         {"int_2", "INT_2"}, {"last_layer", "INT_2"}};

std::string layer_field(const std::string& assignment) {
    std::string field = assignment.substr(0, assignment.find('='));
    field.erase(0, field.find_first_not_of(' '));
    field.erase(field.find_last_not_of(' ') + 1);
    for (char& c : field) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    const auto it = kLayerFields.find(field);
    return it == kLayerFields.end() ? std::string() : it->second;
}

// The layers the run is to take, where the user did not say: the core's, and from the lowest to the highest layer
// that holds a solid body off it.
std::vector<std::string> layer_values(const std::string& part, const std::map<std::string, std::string>& given,
                                      int core_layer, std::ostream& out) {
    partfile::LoadedPart loaded;
    std::string error;
    if (!partfile::load(part, loaded, error)) return {};
    int first = 0, last = 0;
    for (const auto& [tag, object] : loaded.document.objects()) {
        const auto* body = object.as<BodyData>();
        if (!body || body->sheet || object.type != UF_solid_type || object.layer == core_layer ||
            !Document::valid_layer(object.layer))
            continue;
        first = first ? std::min(first, object.layer) : object.layer;
        last = std::max(last, object.layer);
    }
    std::vector<std::string> values;
    const auto supply = [&](const char* field, int layer) {
        if (given.count(field) || layer == 0) return;
        values.insert(values.end(), {"--set", std::string(field) + "=" + std::to_string(layer)});
    };
    supply("INT_0", core_layer);
    supply("INT_1", first);
    supply("INT_2", last);
    if (!values.empty()) {
        out << "the run takes the core on layer "
            << (given.count("INT_0") ? given.at("INT_0") : std::to_string(core_layer))
            << " and the electrodes on layers " << (given.count("INT_1") ? given.at("INT_1") : std::to_string(first))
            << " to " << (given.count("INT_2") ? given.at("INT_2") : std::to_string(last))
            << " (--set INT_0, INT_1 and INT_2 choose others)\n";
    }
    return values;
}

const char* outcome(int status) { return status == 0 ? "done" : status == 1 ? "stopped" : "failed"; }

}  // namespace

int sheets_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ImportRequest request;
    std::string dir;
    std::vector<std::string> run_options, export_options;
    std::map<std::string, std::string> layers_given;  // field -> value, from --set and the answers file
    const std::set<std::string> export_flags = {"--pdf", "--svg",  "--dxf",     "--json",
                                                "--csv", "--html", "--summary", "--no-summary"};
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool bad = false;
        const bool valued = i + 1 < args.size();  // the option has a value after it
        if (arg == "--command" || arg == "--conf") {
            if (!parse_import_option(args, i, request, bad, err)) return kUsage;
            if (bad) return kUsage;
            run_options.insert(run_options.end(), {arg, args[i]});
        } else if (parse_import_option(args, i, request, bad, err)) {
            if (bad) {
                err << kSheetsUsage;
                return kUsage;
            }
        } else if ((arg == "--set" || arg == "--answers" || arg == "--answer") && valued) {
            run_options.insert(run_options.end(), {arg, args[++i]});
            if (arg == "--set")
                if (const std::string field = layer_field(args[i]); !field.empty())
                    layers_given[field] = args[i].substr(args[i].find('=') + 1);
            if (arg == "--answers") {
                std::vector<dialog::BatchValue> values;
                std::vector<dialog::PromptAnswer> answers;
                std::string error;
                if (dialog::read_answers_file(args[i], values, answers, error))
                    for (const auto& value : values)
                        if (const std::string field = layer_field(value.field); !field.empty())
                            layers_given.emplace(field, value.value);
            }
        } else if (export_flags.count(arg)) {
            export_options.push_back(arg);
        } else if ((arg == "--allowance" || arg == "--csv-header") && valued) {
            export_options.insert(export_options.end(), {arg, args[++i]});
        } else if (arg == "-o" && valued) {
            dir = args[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            const bool known = arg == "-o" || arg == "--set" || arg == "--answers" || arg == "--answer" ||
                               arg == "--allowance" || arg == "--csv-header";
            err << "quillon sheets: " << (known ? "option " + arg + " needs a value" : "unknown option " + arg) << '\n'
                << kSheetsUsage;
            return kUsage;
        } else if (request.step.empty()) {
            request.step = arg;
        } else {
            err << "quillon sheets: one STEP file at a time ('" << request.step << "' and '" << arg << "')\n";
            return kUsage;
        }
    }
    if (request.step.empty() || dir.empty()) {
        err << "quillon sheets: give one STEP file and -o DIR\n" << kSheetsUsage;
        return kUsage;
    }
    if (!check_import_request(request, err)) return kUsage;
    if (layers_given.count("INT_0")) {
        char* end = nullptr;
        const long layer = std::strtol(layers_given["INT_0"].c_str(), &end, 10);
        if (*end == '\0' && Document::valid_layer(static_cast<int>(layer)))
            request.core_layer = static_cast<int>(layer);
    }
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        err << "quillon sheets: cannot make folder '" << dir << "': " << ec.message() << '\n';
        return kUsage;
    }
    const std::string part = (fs::path(dir) / fs::path(request.step).stem()).string() + ".prt";
    request.output = part;

    out << "import: " << request.step << " into " << part << '\n';
    const int imported = import_and_save(request, out, err);
    if (imported != 0) {
        out << "sheets: import " << outcome(imported) << "; nothing was run\n";
        return imported;
    }
    std::vector<std::string> run{"run", part};
    const auto layers = layer_values(part, layers_given, request.core_layer, out);
    run.insert(run.end(), layers.begin(), layers.end());
    run.insert(run.end(), run_options.begin(), run_options.end());
    out << "run: the drawing command on " << part << '\n';
    const int ran = run_part(run, out, err);
    if (ran == kUsage) {
        out << "sheets: import done, run " << outcome(ran) << "; nothing was exported\n";
        return ran;
    }
    std::vector<std::string> exporting{"export", part, "-o", dir};
    exporting.insert(exporting.end(), export_options.begin(), export_options.end());
    out << "export: the sheets of " << part << " into " << dir << '\n';
    const int exported = export_sheets(exporting, out, err);
    out << "sheets: import done, run " << outcome(ran) << ", export " << outcome(exported) << '\n';
    return std::max({imported, ran, exported});
}

}  // namespace cadhost::cli
