// The setup list (a row per sheet) and the electrode bill of material (a row per electrode name) as tables of
// columns and cell texts, which the CSV and the workbook writers both put out: one place decides what a cell holds.
#ifndef CADHOST_SETUP_LIST_TABLES_H
#define CADHOST_SETUP_LIST_TABLES_H

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "cadhost/setup/sheet_setup.h"

namespace cadhost::setup {

// The language of the lists' header rows: Chinese shop terms with units for the people who read them, or the English
// keys for programs that read the lists.
enum class ListHeader { chinese, english };

struct ListColumn {
    const char* key;          // the English key, as the header of --csv-header en
    const char* title;        // the Chinese header, with the unit where the column has one
    bool number;              // cells that are numbers: a spreadsheet keeps them as numbers
    const char* format = "";  // how a spreadsheet shows the column's numbers; "" for its general format
};

struct ListTable {
    std::string name;  // the worksheet's name
    std::vector<ListColumn> columns;
    // A cell text per column, as the CSV writes it before quoting; "" for none (a zero is "0").
    std::vector<std::vector<std::string>> rows;
    ListHeader header = ListHeader::chinese;

    std::vector<std::string> header_row() const;
};

// A line of the bill of material: one electrode name and the copper it takes.
struct BomLine {
    std::string electrode;
    long long places = 0;  // places the name burns: the copies on each of its layers
    // The counts of the electrode's first sheet, which carries its body views: one set of electrodes burns every place.
    std::string rough_count, finish_count, special_rough_count, special_finish_count;
    // The four counts summed (each at most 2147483647, so the sum is exact); nothing when one of them is not a whole
    // number or none of them is given.
    std::optional<long long> pieces;
    std::optional<std::array<double, 3>> box;
    std::optional<std::array<int, 3>> stock;  // box rounded up to whole millimetres, plus the allowance on both sides
};

// Lines in the order the names first appear. allowance is millimetres a side.
std::vector<BomLine> bill_of_material(const std::vector<SheetSetup>& setups, double allowance);

ListTable setup_table(const std::vector<SheetSetup>& setups, ListHeader header);
// The setup list's columns, in order: what an electrode table read back is matched against.
const std::vector<ListColumn>& setup_columns();
ListTable bom_table(const std::vector<BomLine>& lines, ListHeader header);

}  // namespace cadhost::setup

#endif
