// The EDM setup list (a row per sheet) and the electrode bill of material (a row per electrode name) as CSV: UTF-8,
// a header row, decimal points, CRLF line ends and fields quoted as RFC 4180 asks.
#ifndef CADHOST_SETUP_SETUP_CSV_H
#define CADHOST_SETUP_SETUP_CSV_H

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cadhost/setup/sheet_setup.h"

namespace cadhost::setup {

// One field, quoted when it holds a comma, a quote, a line break or blanks at its ends, and with a leading
// apostrophe when a spreadsheet would take it for a formula (it starts with = + - @, a tab or a carriage return and
// is not a plain number).
std::string csv_field(const std::string& text);

void write_setup_csv(std::ostream& out, const std::vector<SheetSetup>& setups);

// A line of the bill of material: one electrode name and the copper it takes.
struct BomLine {
    std::string electrode;
    int places = 0;  // places the name burns: the copies on each of its layers
    // The counts of the electrode's first sheet, which carries its body views: one set of electrodes burns every place.
    std::string rough_count, finish_count, special_rough_count, special_finish_count;
    std::optional<int> pieces;  // the four counts summed; nothing when one of them is not a whole number
    std::optional<std::array<double, 3>> box;
    std::optional<std::array<int, 3>> stock;  // box rounded up to whole millimetres, plus the allowance on both sides
};

// Lines in the order the names first appear. allowance is millimetres a side.
std::vector<BomLine> bill_of_material(const std::vector<SheetSetup>& setups, double allowance);

void write_bom_csv(std::ostream& out, const std::vector<BomLine>& lines);

}  // namespace cadhost::setup

#endif
