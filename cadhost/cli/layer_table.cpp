#include "cadhost/cli/layer_table.h"

namespace cadhost::cli {

using nlohmann::ordered_json;

namespace {

std::string counted(int n, const std::string& kind) {
    if (n == 1) return "1 " + kind;
    return std::to_string(n) + " " + (kind.ends_with("body") ? kind.substr(0, kind.size() - 1) + "ies" : kind + "s");
}

bool is_row(const ordered_json& row) {
    if (!row.is_object() || !row.contains("layer") || !row["layer"].is_number_integer()) return false;
    if (!row.contains("role") || !row["role"].is_string()) return false;
    if (row.contains("found_by") && !row["found_by"].is_string()) return false;
    if (!row.contains("objects") || !row["objects"].is_object()) return false;
    for (const auto& [kind, count] : row["objects"].items())
        if (!count.is_number_integer()) return false;
    if (!row.contains("names") || !row["names"].is_array()) return false;
    for (const auto& name : row["names"])
        if (!name.is_string()) return false;
    return true;
}

}  // namespace

bool read_layer_table(const std::string& text, ordered_json& rows) {
    const ordered_json table = ordered_json::parse(text, nullptr, false);
    if (!table.is_object() || !table.contains("layers") || !table["layers"].is_array()) return false;
    for (const auto& row : table["layers"])
        if (!is_row(row)) return false;
    rows = table["layers"];
    return true;
}

void write_layer_table(std::ostream& out, const ordered_json& rows) {
    out << "layers given by --auto-layers (layer: objects; names):\n";
    for (const auto& row : rows) {
        const std::string role = row["role"].get<std::string>();
        out << "  layer " << row["layer"].get<int>();
        if (role == "core")
            out << " (core, found by " << row.value("found_by", std::string("?")) << ")";
        else if (role == "copies")
            out << " (copies)";
        else if (role == "loose")
            out << " (touching no solid)";
        out << ":";
        const char* separator = " ";
        for (const auto& [kind, count] : row["objects"].items()) {
            out << separator << counted(count.get<int>(), kind);
            separator = ", ";
        }
        if (row["objects"].empty()) out << " nothing";
        separator = "; ";
        for (const auto& name : row["names"]) {
            out << separator << name.get<std::string>();
            separator = ", ";
        }
        out << '\n';
    }
}

}  // namespace cadhost::cli
