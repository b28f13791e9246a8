// quillon export: the part's drawing sheets as PDF, SVG, DXF and a JSON report, the setup list and bill of material
// as CSV, and a page that shows them all.
#ifndef CADHOST_CLI_EXPORT_COMMAND_H
#define CADHOST_CLI_EXPORT_COMMAND_H

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace cadhost::cli {

// args: "export", PART.prt, -o DIR and any of --pdf --svg --dxf --json --csv --html (all when none is named; --html
// brings the SVGs it shows), --summary or --no-summary (the setup table ahead of the PDF's sheets; by default when
// more than one sheet has a setup) and --allowance MM (the bill of material's stock a side, 2 by default).
int export_sheets(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// How many sheets an export draws ahead of the one it writes: a few more than there are processors, so that none
// waits. The export holds at most this many sheets at a time, and the sheet whose frame the setup table borrows.
std::size_t sheet_window();
// Sets the window (0: the default), for tests and for a machine short of memory.
void set_sheet_window(std::size_t sheets);
// The most sheets the last export held at once, for tests.
std::size_t most_sheets_in_flight();

// A sheet name as a file name: characters that file systems refuse or that split paths become '_'.
std::string file_name_for(const std::string& sheet_name);

}  // namespace cadhost::cli

#endif
