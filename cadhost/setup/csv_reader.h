// A CSV file as a cell table: fields split as RFC 4180 has it, on commas or, where a spreadsheet wrote them so, on
// semicolons or tabs. The reader takes back what the setup list's writer wrote: a leading apostrophe that kept a text
// from being a formula goes again; a field that starts with '=' is a formula.
#ifndef CADHOST_SETUP_CSV_READER_H
#define CADHOST_SETUP_CSV_READER_H

#include <string>
#include <string_view>

#include "cadhost/setup/cell_table.h"

namespace cadhost::setup {

// text: UTF-8, a byte-order mark allowed. The separator is the one of comma, semicolon and tab that the first line
// holds most of outside quotes. False with the reason (naming the row) for a quote left open or too many cells.
bool read_csv(std::string_view text, CellTable& table, std::string& error);

}  // namespace cadhost::setup

#endif
