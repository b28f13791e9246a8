#include "cadhost/cli/import_command.h"

#include <optional>

#include "cadhost/cli/attribute_warnings.h"
#include "cadhost/cli/cli_commands.h"
#include "cadhost/cli/part_hold.h"
#include "cadhost/cli/layer_table.h"
#include "cadhost/document/dump_json.h"
#include "cadhost/import/name_encoding.h"
#include "cadhost/partfile/import_layers.h"
#include "cadhost/partfile/part_file.h"

namespace cadhost::cli {

namespace {

constexpr int kDone = 0;
constexpr int kUsage = 2;

const char* kImportUsage =
    "usage: quillon import MODEL.step -o PART.prt [--attrs MODEL.attrs.json] [--layer-map FILE | --auto-layers]\n"
    "                      [--keep-going] [--names auto|product|body] [--name-encoding ENC] [--verbose]\n";

void write_units(std::ostream& out, const std::string& unit) {
    if (unit.empty()) {
        out << "units: the file declares no length unit; its numbers are taken as millimetres\n";
    } else if (unit == "millimetre") {
        out << "units: millimetre\n";
    } else {
        out << "units: " << unit << " (the geometry is scaled to millimetres)\n";
    }
}

}  // namespace

int import_and_save(const std::string& step, const import::ImportOptions& options, const std::string& output,
                    std::ostream& out, std::ostream& err, bool verbose) {
    Document doc;
    import::ImportResult result = import::import_step(step, options, doc);
    if (verbose)
        for (const auto& detail : result.details) out << "detail: " << detail << '\n';
    if (!result.ok) {
        err << "quillon import: " << result.error << "\nnothing was written\n";
        return kUsage;
    }
    for (const auto& note : result.notes) out << "note: " << note << '\n';
    for (const auto& left : result.left_out) out << "left out: " << left << '\n';
    // The core's layer is chosen only when the command runs: here only the kind of object tells an electrode body.
    for (const auto& warning : attribute_warnings(doc, command_attribute_titles(default_command_library()), 0))
        err << "quillon import: warning: " << warning << '\n';
    std::string error;
    partfile::PartLock lock;
    if (!hold_part(lock, output, "import", err)) {
        err << "nothing was written\n";
        return kUsage;
    }
    if (!partfile::save(output, doc, std::nullopt, error) ||
        !partfile::write_import_layers(output, result.layer_table, error)) {
        err << "quillon import: " << error << '\n';
        return kUsage;
    }
    out << "wrote " << output << '\n';
    write_units(out, result.length_unit);
    // The table of an automatic layering says all the summary would, and more.
    if (nlohmann::ordered_json rows; read_layer_table(result.layer_table, rows))
        write_layer_table(out, rows);
    else
        write_layer_summary(out, doc);
    return kDone;
}

int import_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string step, output, attrs, layer_map, names;
    import::ImportOptions options;
    bool verbose = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string* value = arg == "-o"                ? &output
                             : arg == "--attrs"         ? &attrs
                             : arg == "--layer-map"     ? &layer_map
                             : arg == "--names"         ? &names
                             : arg == "--name-encoding" ? &options.name_encoding
                                                        : nullptr;
        if (value) {
            if (i + 1 >= args.size()) {
                err << "quillon import: option " << arg << " needs a value\n" << kImportUsage;
                return kUsage;
            }
            *value = args[++i];
        } else if (arg == "--keep-going") {
            options.keep_going = true;
        } else if (arg == "--verbose") {
            verbose = true;
        } else if (arg == "--auto-layers") {
            options.auto_layers = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            err << "quillon import: unknown option " << arg << '\n' << kImportUsage;
            return kUsage;
        } else if (step.empty()) {
            step = arg;
        } else {
            err << "quillon import: one STEP file at a time ('" << step << "' and '" << arg << "')\n" << kImportUsage;
            return kUsage;
        }
    }
    if (step.empty() || output.empty()) {
        err << "quillon import: give one STEP file and -o PART.prt\n" << kImportUsage;
        return kUsage;
    }
    if (!names.empty()) {
        const auto source = import::name_source_of(names);
        if (!source) {
            err << "quillon import: --names takes auto, product or body, not '" << names << "'\n" << kImportUsage;
            return kUsage;
        }
        options.names = *source;
    }
    if (!options.name_encoding.empty()) {
        if (const std::string problem = import::encoding_problem(options.name_encoding); !problem.empty()) {
            err << "quillon import: --name-encoding: " << problem << '\n';
            return kUsage;
        }
    }
    if (options.auto_layers && !layer_map.empty()) {
        err << "quillon import: --auto-layers and --layer-map each choose the layers; give one of them\n"
            << kImportUsage;
        return kUsage;
    }
    std::string error;
    if (!layer_map.empty() && !import::read_layer_map(layer_map, options.layer_map, error)) {
        err << "quillon import: " << error << "\nnothing was written\n";
        return kUsage;
    }
    options.sidecar_path = attrs;
    return import_and_save(step, options, output, out, err, verbose);
}

}  // namespace cadhost::cli
