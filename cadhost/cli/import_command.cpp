#include "cadhost/cli/import_command.h"

#include <optional>

#include "cadhost/cli/layer_table.h"
#include "cadhost/document/dump_json.h"
#include "cadhost/partfile/import_layers.h"
#include "cadhost/partfile/part_file.h"

namespace cadhost::cli {

namespace {

constexpr int kDone = 0;
constexpr int kUsage = 2;

const char* kImportUsage =
    "usage: quillon import MODEL.step -o PART.prt [--attrs MODEL.attrs.json] [--layer-map FILE | --auto-layers]\n"
    "                      [--keep-going]\n";

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
                    std::ostream& out, std::ostream& err) {
    Document doc;
    import::ImportResult result = import::import_step(step, options, doc);
    if (!result.ok) {
        err << "quillon import: " << result.error << "\nnothing was written\n";
        return kUsage;
    }
    for (const auto& note : result.notes) out << "note: " << note << '\n';
    for (const auto& left : result.left_out) out << "left out: " << left << '\n';
    std::string error;
    if (!partfile::save(output, doc, std::nullopt, error) ||
        !partfile::write_import_layers(output, result.layer_table, error)) {
        err << "quillon import: " << error << '\n';
        return kUsage;
    }
    out << "wrote " << output << '\n';
    write_units(out, result.length_unit);
    write_layer_summary(out, doc);
    if (nlohmann::ordered_json rows; read_layer_table(result.layer_table, rows)) write_layer_table(out, rows);
    return kDone;
}

int import_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string step, output, attrs, layer_map;
    import::ImportOptions options;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string* value = arg == "-o"            ? &output
                             : arg == "--attrs"     ? &attrs
                             : arg == "--layer-map" ? &layer_map
                                                    : nullptr;
        if (value) {
            if (i + 1 >= args.size()) {
                err << "quillon import: option " << arg << " needs a value\n" << kImportUsage;
                return kUsage;
            }
            *value = args[++i];
        } else if (arg == "--keep-going") {
            options.keep_going = true;
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
    return import_and_save(step, options, output, out, err);
}

}  // namespace cadhost::cli
