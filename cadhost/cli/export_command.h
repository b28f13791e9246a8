// quillon export: the part's drawing sheets as PDF, SVG, DXF and a JSON report.
#ifndef CADHOST_CLI_EXPORT_COMMAND_H
#define CADHOST_CLI_EXPORT_COMMAND_H

#include <ostream>
#include <string>
#include <vector>

namespace cadhost::cli {

// args: "export", PART.prt, -o DIR and any of --pdf --svg --dxf --json (all four when none is named).
int export_sheets(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// A sheet name as a file name: characters that file systems refuse or that split paths become '_'.
std::string file_name_for(const std::string& sheet_name);

}  // namespace cadhost::cli

#endif
