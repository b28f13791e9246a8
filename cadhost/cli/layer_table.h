// The table of layers an automatic layering gave a model at import, as the import shows it and `quillon info` shows it
// again: per layer its role, its objects by kind and the names of its solids.
#ifndef CADHOST_CLI_LAYER_TABLE_H
#define CADHOST_CLI_LAYER_TABLE_H

#include <ostream>
#include <string>

#include <nlohmann/json.hpp>

namespace cadhost::cli {

// The stored table (Document::import_layers) as JSON rows; false when the text is not such a table (a damaged part).
bool read_layer_table(const std::string& text, nlohmann::ordered_json& rows);

// "layers given by --auto-layers (layer: objects; names):" and a line per row.
void write_layer_table(std::ostream& out, const nlohmann::ordered_json& rows);

}  // namespace cadhost::cli

#endif
