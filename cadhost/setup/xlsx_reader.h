// The worksheets of a workbook (an .xlsx file) as cell tables, read with bounds fit for a file from anywhere.
#ifndef CADHOST_SETUP_XLSX_READER_H
#define CADHOST_SETUP_XLSX_READER_H

#include <string>
#include <string_view>
#include <vector>

#include "cadhost/setup/cell_table.h"

namespace cadhost::setup {

// Every worksheet in the workbook's order. False with the reason when the bytes are no workbook this can read.
bool read_workbook(std::string_view bytes, std::vector<CellTable>& sheets, std::string& error);

}  // namespace cadhost::setup

#endif
