// The files of an export that list the sheets' EDM setups: the setup list and the electrode bill of material.
#ifndef CADHOST_CLI_SETUP_OUTPUTS_H
#define CADHOST_CLI_SETUP_OUTPUTS_H

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cadhost/render/sheet_graphics.h"
#include "cadhost/setup/sheet_browser.h"
#include "cadhost/setup/sheet_setup.h"

namespace cadhost::cli {

struct NamedOutput {
    std::string file;  // a name inside the export folder
    std::string bytes;
};

// STEM.electrodes.csv and STEM.bom.csv; allowance is the stock allowance in millimetres a side.
std::vector<NamedOutput> setup_list_files(const std::vector<setup::SheetSetup>& setups, const std::string& stem,
                                          double allowance);

// The sheet whose frame the setup table's pages, which go ahead of the sheets in the PDF, are drawn in: its index in
// drawings, or none when there are no such pages: none unless summary is 1, or it is -1 and more than one sheet has
// a setup.
std::optional<std::size_t> summary_frame(const std::vector<tag_t>& drawings,
                                         const std::vector<setup::SheetSetup>& setups, int summary);

// What index.html shows of a drawn sheet of the drawing, whose SVG is svg_file in the same folder: kept for the page
// when the sheet itself is long gone.
setup::BrowserSheet browser_sheet(const render::SheetGraphics& sheet, tag_t drawing, const std::string& svg_file,
                                  const std::vector<setup::SheetSetup>& setups);

// The stock allowance given on the command line: a finite number of millimetres from 0 to 100.
bool parse_allowance(const std::string& text, double& allowance);

}  // namespace cadhost::cli

#endif
