// A table as a spreadsheet shows it: rows numbered as it numbers them, cells by column, each a text with the kind of
// value the file gave. What the CSV and workbook readers give, and the electrode table reads.
#ifndef CADHOST_SETUP_CELL_TABLE_H
#define CADHOST_SETUP_CELL_TABLE_H

#include <string>
#include <utility>
#include <vector>

namespace cadhost::setup {

// number: the file stored a number (a workbook); formula: a formula, whatever it last gave; error: an error value.
// A CSV file has texts and formulas only.
enum class CellKind { text, number, formula, error };

struct TableCell {
    std::string text;
    CellKind kind = CellKind::text;
};

struct TableRow {
    int number = 0;                                // from 1, as the spreadsheet numbers it
    std::vector<std::pair<int, TableCell>> cells;  // (column from 1, cell), in column order, empty cells left out

    const TableCell* cell(int column) const;
};

struct CellTable {
    std::string sheet;  // the worksheet's name; empty for a CSV file
    std::vector<TableRow> rows;
};

// The spreadsheet's name of a column: 1 is A, 27 is AA.
std::string column_letters(int column);

// Most cells a table may have: more than any electrode list, few enough to hold.
inline constexpr std::size_t kMostTableCells = 1000000;

}  // namespace cadhost::setup

#endif
