// The EDM setup list (a row per sheet) and the electrode bill of material (a row per electrode name) as CSV: UTF-8
// with a byte-order mark (spreadsheets guess a local code page without it), a header row, decimal points, CRLF line
// ends and fields quoted as RFC 4180 asks.
#ifndef CADHOST_SETUP_SETUP_CSV_H
#define CADHOST_SETUP_SETUP_CSV_H

#include <ostream>
#include <string>
#include <vector>

#include "cadhost/setup/list_tables.h"
#include "cadhost/setup/sheet_setup.h"

namespace cadhost::setup {

// One field, quoted when it holds a comma, a quote, a line break or blanks at its ends, and with a leading
// apostrophe when a spreadsheet would take it for a formula (it starts with = + - @, a tab or a carriage return and
// is not a plain number).
std::string csv_field(const std::string& text);

// A sign, digits and at most one decimal point among them: a cell a spreadsheet reads as that number and nothing more.
bool plain_number(const std::string& text);

void write_list_csv(std::ostream& out, const ListTable& table);

void write_setup_csv(std::ostream& out, const std::vector<SheetSetup>& setups, ListHeader header = ListHeader::chinese);
void write_bom_csv(std::ostream& out, const std::vector<BomLine>& lines, ListHeader header = ListHeader::chinese);

}  // namespace cadhost::setup

#endif
