#include "cadhost/cli/import_command.h"

#include <cstdlib>
#include <optional>

#include "cadhost/cli/attribute_files.h"
#include "cadhost/cli/attribute_warnings.h"
#include "cadhost/cli/cli_commands.h"
#include "cadhost/cli/command_analysis.h"
#include "cadhost/cli/diagonal_lines.h"
#include "cadhost/cli/layer_table.h"
#include "cadhost/cli/part_hold.h"
#include "cadhost/document/dump_json.h"
#include "cadhost/import/name_encoding.h"
#include "cadhost/partfile/import_layers.h"
#include "cadhost/partfile/part_file.h"

namespace cadhost::cli {

namespace {

constexpr int kDone = 0;
constexpr int kUsage = 2;

const char* kImportUsage =
    "usage: quillon import MODEL.step -o PART.prt [--attrs FILE]... [--layer-map FILE | --auto-layers]\n"
    "                      [--add-diagonals] [--core-layer N] [--keep-going] [--names auto|product|body]\n"
    "                      [--name-encoding ENC] [--command LIBRARY] [--conf DIR] [--verbose]\n";

void write_units(std::ostream& out, const std::string& unit) {
    if (unit.empty()) {
        out << "units: the file declares no length unit; its numbers are taken as millimetres\n";
    } else if (unit == "millimetre") {
        out << "units: millimetre\n";
    } else {
        out << "units: " << unit << " (the geometry is scaled to millimetres)\n";
    }
}

// The drawing command's analysis completes what the model lacks: the diagonal lines of its electrodes.
bool add_diagonals(const ImportRequest& request, Document& doc, std::ostream& out, std::string& error) {
    std::string library, conf_dir;
    if (!command_library(request.library, library, error) || !configuration_dir(request.conf, conf_dir, error))
        return false;
    std::vector<CheckStage> stages;
    if (!check_document(doc, library, conf_dir, request.core_layer, stages, error)) return false;
    const auto added = add_missing_diagonals(doc, stages);
    for (const auto& line : added) out << added_diagonal_text(line, stages) << '\n';
    if (added.empty()) out << "diagonal lines: every electrode body that needs one has one\n";
    return true;
}

}  // namespace

int import_and_save(const ImportRequest& request, std::ostream& out, std::ostream& err) {
    Document doc;
    import::ImportResult result = import::import_step(request.step, request.options, doc);
    if (request.verbose)
        for (const auto& detail : result.details) out << "detail: " << detail << '\n';
    if (!result.ok) {
        err << "quillon import: " << result.error << "\nnothing was written\n";
        return kUsage;
    }
    for (const auto& note : result.notes) out << "note: " << note << '\n';
    for (const auto& left : result.left_out) out << "left out: " << left << '\n';
    std::string error;
    if (!request.attrs.empty()) {
        AttributeSources sources{request.library, request.conf, request.core_layer};
        std::vector<std::string> changes;
        if (!apply_attribute_files(request.attrs, doc, sources, changes, error)) {
            err << "quillon import: " << error << "\nnothing was written\n";
            return kUsage;
        }
        for (const auto& change : changes) out << change << '\n';
    }
    if (request.add_diagonals && !add_diagonals(request, doc, out, error)) {
        err << "quillon import: --add-diagonals: " << error << "\nnothing was written\n";
        return kUsage;
    }
    // The core's layer is chosen only when the command runs: here only the kind of object tells an electrode body.
    const std::string library = request.library.empty() ? default_command_library() : request.library;
    for (const auto& warning : attribute_warnings(doc, command_attribute_titles(library), 0))
        err << "quillon import: warning: " << warning << '\n';
    partfile::PartLock lock;
    if (!hold_part(lock, request.output, "import", err)) {
        err << "nothing was written\n";
        return kUsage;
    }
    if (!partfile::save(request.output, doc, std::nullopt, error) ||
        !partfile::write_import_layers(request.output, result.layer_table, error)) {
        err << "quillon import: " << error << '\n';
        return kUsage;
    }
    out << "wrote " << request.output << '\n';
    write_units(out, result.length_unit);
    // The table of an automatic layering says all the summary would, and more.
    if (nlohmann::ordered_json rows; read_layer_table(result.layer_table, rows))
        write_layer_table(out, rows);
    else
        write_layer_summary(out, doc);
    return kDone;
}

int import_and_save(const std::string& step, const import::ImportOptions& options, const std::string& output,
                    std::ostream& out, std::ostream& err, bool verbose) {
    ImportRequest request;
    request.step = step;
    request.output = output;
    request.options = options;
    request.verbose = verbose;
    return import_and_save(request, out, err);
}

bool parse_import_option(const std::vector<std::string>& args, std::size_t& i, ImportRequest& request, bool& bad,
                         std::ostream& err) {
    const std::string& arg = args[i];
    bad = false;
    if (arg == "--keep-going") {
        request.options.keep_going = true;
    } else if (arg == "--verbose") {
        request.verbose = true;
    } else if (arg == "--auto-layers") {
        request.options.auto_layers = true;
    } else if (arg == "--add-diagonals") {
        request.add_diagonals = true;
    } else if (arg == "--attrs" || arg == "--layer-map" || arg == "--names" || arg == "--name-encoding" ||
               arg == "--core-layer" || arg == "--command" || arg == "--conf") {
        if (i + 1 >= args.size()) {
            err << "quillon " << args[0] << ": option " << arg << " needs a value\n";
            bad = true;
            return true;
        }
        const std::string& value = args[++i];
        if (arg == "--attrs") request.attrs.push_back(value);
        if (arg == "--command") request.library = value;
        if (arg == "--conf") request.conf = value;
        if (arg == "--name-encoding") request.options.name_encoding = value;
        if (arg == "--layer-map") request.layer_map = value;
        if (arg == "--names") {
            const auto source = import::name_source_of(value);
            if (!source) {
                err << "quillon " << args[0] << ": --names takes auto, product or body, not '" << value << "'\n";
                bad = true;
            } else {
                request.options.names = *source;
            }
        }
        if (arg == "--core-layer") {
            char* end = nullptr;
            const long layer = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end != '\0' || layer < 1 || layer > UF_LAYER_MAX_LAYER) {
                err << "quillon " << args[0] << ": --core-layer takes a layer from 1 to 256, not '" << value << "'\n";
                bad = true;
            } else {
                request.core_layer = static_cast<int>(layer);
            }
        }
    } else {
        return false;
    }
    return true;
}

bool check_import_request(ImportRequest& request, std::ostream& err) {
    const std::string& encoding = request.options.name_encoding;
    if (!encoding.empty()) {
        if (const std::string problem = import::encoding_problem(encoding); !problem.empty()) {
            err << "quillon import: --name-encoding: " << problem << '\n';
            return false;
        }
    }
    if (request.options.auto_layers && !request.layer_map.empty()) {
        err << "quillon import: --auto-layers and --layer-map each choose the layers; give one of them\n"
            << kImportUsage;
        return false;
    }
    std::string error;
    if (!request.layer_map.empty() && !import::read_layer_map(request.layer_map, request.options.layer_map, error)) {
        err << "quillon import: " << error << "\nnothing was written\n";
        return false;
    }
    return true;
}

int import_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ImportRequest request;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool bad = false;
        if (parse_import_option(args, i, request, bad, err)) {
            if (bad) {
                err << kImportUsage;
                return kUsage;
            }
        } else if (arg == "-o" && i + 1 < args.size()) {
            request.output = args[++i];
        } else if (arg.size() > 1 && arg[0] == '-') {
            err << "quillon import: " << (arg == "-o" ? "option -o needs a value" : "unknown option " + arg) << '\n'
                << kImportUsage;
            return kUsage;
        } else if (request.step.empty()) {
            request.step = arg;
        } else {
            err << "quillon import: one STEP file at a time ('" << request.step << "' and '" << arg << "')\n"
                << kImportUsage;
            return kUsage;
        }
    }
    if (request.step.empty() || request.output.empty()) {
        err << "quillon import: give one STEP file and -o PART.prt\n" << kImportUsage;
        return kUsage;
    }
    if (!check_import_request(request, err)) return kUsage;
    return import_and_save(request, out, err);
}

}  // namespace cadhost::cli
