// quillon info: what a part holds, in short, for a person (or as JSON for a program).
#ifndef CADHOST_CLI_INFO_COMMAND_H
#define CADHOST_CLI_INFO_COMMAND_H

#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cadhost/document/document.h"

namespace cadhost::cli {

// args: "info", PART.prt and any of --json, --core-layer N (240 when not given).
int info_command(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The summary itself: layers with their objects by kind and name, electrode candidates per layer (visible solid bodies
// off the core layer, with their names and attributes), the core layer's bodies, the sheets.
nlohmann::ordered_json part_info(const Document& doc, int core_layer);
void write_part_info(std::ostream& out, const nlohmann::ordered_json& info);

}  // namespace cadhost::cli

#endif
