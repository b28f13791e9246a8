// The files of an export that list the sheets' EDM setups: the setup list and the electrode bill of material, as CSV
// files and as one workbook.
#ifndef CADHOST_CLI_SETUP_OUTPUTS_H
#define CADHOST_CLI_SETUP_OUTPUTS_H

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cadhost/render/sheet_graphics.h"
#include "cadhost/setup/list_tables.h"
#include "cadhost/setup/sheet_browser.h"
#include "cadhost/setup/sheet_setup.h"

namespace cadhost::cli {

struct NamedOutput {
    std::string file;  // a name inside the export folder
    std::string bytes;
};

// STEM.electrodes.csv, STEM.bom.csv and STEM.electrodes.xlsx (both lists as worksheets), in that order; allowance is
// the stock allowance in millimetres a side. False with the reason in error when the workbook cannot be made.
bool setup_list_files(const std::vector<setup::SheetSetup>& setups, const std::string& stem, double allowance,
                      setup::ListHeader header, std::vector<NamedOutput>& files, std::string& error);

// The names setup_list_files gives its files.
std::vector<std::string> setup_list_names(const std::string& stem);

// The language of the lists' headers on the command line: "zh" (the default) or "en".
bool parse_list_header(const std::string& text, setup::ListHeader& header);

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
