// The shop's electrode table: a CSV file or workbook keyed by electrode name, whose columns are those of the setup
// list (Chinese or English headers), read for the spark gaps, counts and note it gives each electrode. Other columns
// are passed over, so that the exported setup list can be read back as it is.
#ifndef CADHOST_SETUP_ELECTRODE_TABLE_H
#define CADHOST_SETUP_ELECTRODE_TABLE_H

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "cadhost/setup/cell_table.h"

namespace cadhost::setup {

// The gaps and counts in the order the sheet shows them: rough and finish gap, rough and finish count, then the
// special electrodes' four.
inline constexpr int kTableSlots = 8;
inline constexpr bool is_count_slot(int slot) { return slot % 4 >= 2; }

struct TableValue {
    std::string text;   // as the cell holds it
    double number = 0;  // for a gap or count
    int row = 0;
    std::string place;  // "row 5, column O (粗公火花位(mm))", for messages
};

struct ElectrodeEntry {
    std::string electrode;  // as the table writes it
    std::string place;      // of its name in its first row
    std::array<std::optional<TableValue>, kTableSlots> slots;
    std::optional<TableValue> note;
};

struct ElectrodeTable {
    std::vector<ElectrodeEntry> entries;                // in the order the names first come
    std::array<std::string, kTableSlots> slot_headers;  // the table's own headers, "" for a column it lacks
    std::string note_header;
};

// Reads the table from its first row (the header) on. Rows of one electrode merge, so that a list with a row per
// sheet gives each electrode its values once; a row that repeats another (the same electrode, and the same sheet or
// layer, place and page where the table has those columns) or gives one electrode two values, a formula or error
// cell, a number that is not one and a row without a name are refused, the message naming row and column.
bool read_electrode_table(const CellTable& cells, ElectrodeTable& table, std::string& error);

// The worksheet a workbook's electrode table is on: the first whose first row names an electrode column. Null (with
// the reason) when none does.
const CellTable* electrode_sheet(const std::vector<CellTable>& sheets, std::string& error);

}  // namespace cadhost::setup

#endif
