// The setup list and the bill of material as one workbook, a worksheet per table: numbers as numbers, texts as texts,
// the header row frozen and the columns as wide as their contents.
#ifndef CADHOST_SETUP_SETUP_XLSX_H
#define CADHOST_SETUP_SETUP_XLSX_H

#include <string>
#include <string_view>
#include <vector>

#include "cadhost/setup/list_tables.h"

namespace cadhost::setup {

// The workbook's bytes in bytes; false with the reason in error when it cannot be made.
bool write_lists_xlsx(const std::vector<ListTable>& tables, std::string& bytes, std::string& error);

// The width a spreadsheet gives a text, in widths of a digit: a wide (CJK) character takes two; a text of several
// lines takes its longest.
std::size_t display_width(std::string_view text);

}  // namespace cadhost::setup

#endif
