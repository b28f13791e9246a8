#include "cadhost/setup/electrode_table.h"

#include <charconv>
#include <cmath>
#include <map>

#include "cadhost/document/document.h"
#include "cadhost/setup/list_tables.h"

namespace cadhost::setup {

namespace {

// The setup list's keys of the columns the table is read for, a slot's key at the slot's place.
const std::array<const char*, kTableSlots> kSlotKeys = {
    "rough_gap",         "finish_gap",         "rough_count",         "finish_count",
    "special_rough_gap", "special_finish_gap", "special_rough_count", "special_finish_count"};
// Columns that tell one row of an electrode from another in a list with a row per sheet.
const std::array<const char*, 5> kRowKeys = {"sheet", "layer", "place", "page", "pages"};

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// A header names a column by its English key, its Chinese title, or the title without its unit.
const char* column_key(const std::string& header) {
    const std::string text = trimmed(header);
    if (text.empty()) return nullptr;
    for (const ListColumn& column : setup_columns()) {
        const std::string title = column.title;
        const std::size_t unit = title.find('(');
        if (lower(text) == column.key || text == title || (unit != std::string::npos && text == title.substr(0, unit)))
            return column.key;
    }
    return nullptr;
}

struct Layout {
    int electrode = 0;
    std::array<int, kTableSlots> slots{};
    int note = 0;
    std::vector<int> row_columns;
    std::map<int, std::string> headers;
};

std::string place(const Layout& layout, int row, int column) {
    return "row " + std::to_string(row) + ", column " + column_letters(column) + " (" + layout.headers.at(column) + ")";
}

bool read_layout(const TableRow& header, Layout& layout, std::string& error) {
    std::map<std::string, int> seen;
    for (const auto& [column, cell] : header.cells) {
        const char* key = column_key(cell.text);
        if (!key) continue;
        layout.headers[column] = trimmed(cell.text);
        if (auto [at, fresh] = seen.emplace(key, column); !fresh) {
            error = "row " + std::to_string(header.number) + ": columns " + column_letters(at->second) + " and " +
                    column_letters(column) + " both name the column " + key;
            return false;
        }
        const std::string k = key;
        if (k == "electrode") layout.electrode = column;
        if (k == "note") layout.note = column;
        for (int slot = 0; slot < kTableSlots; ++slot)
            if (k == kSlotKeys[slot]) layout.slots[slot] = column;
        for (const char* row_key : kRowKeys)
            if (k == row_key) layout.row_columns.push_back(column);
    }
    if (layout.electrode == 0) {
        error = "row " + std::to_string(header.number) +
                ", the header, names no electrode column (电极名 or electrode): the table's columns are those of the "
                "setup list that quillon export writes";
        return false;
    }
    bool any = layout.note != 0;
    for (int column : layout.slots) any = any || column != 0;
    if (!any) {
        error = "row " + std::to_string(header.number) +
                ", the header, names none of the spark gaps, counts or the note of the setup list (粗公火花位(mm) or "
                "rough_gap, ...): the table would change nothing";
        return false;
    }
    return true;
}

// A gap is a length of 0 or more, a count a whole number of 0 or more.
bool number_in(const TableCell& cell, int slot, double& value) {
    const std::string text = trimmed(cell.text);
    const char* begin = text.data() + (text.starts_with('+') ? 1 : 0);
    const auto [end, ec] = std::from_chars(begin, text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value) || value < 0)
        return false;
    return !is_count_slot(slot) || (value == std::floor(value) && value <= 1e6);
}

// A cell that is read must hold a value: no formula, no error.
bool value_cell(const TableCell& cell, const std::string& where, std::string& error) {
    if (cell.kind == CellKind::formula) {
        error = where + ": a formula (" + cell.text + "); the table must hold values";
        return false;
    }
    if (cell.kind == CellKind::error) {
        error = where + ": the error value " + cell.text;
        return false;
    }
    return true;
}

bool same(const TableValue& a, const TableValue& b, bool number) {
    return number ? a.number == b.number : a.text == b.text;
}

}  // namespace

bool read_electrode_table(const CellTable& cells, ElectrodeTable& table, std::string& error) {
    table = ElectrodeTable{};
    if (cells.rows.empty()) {
        error = "the table is empty";
        return false;
    }
    Layout layout;
    if (!read_layout(cells.rows.front(), layout, error)) return false;
    for (int slot = 0; slot < kTableSlots; ++slot)
        if (layout.slots[slot]) table.slot_headers[slot] = layout.headers[layout.slots[slot]];
    if (layout.note) table.note_header = layout.headers[layout.note];

    std::map<std::string, std::size_t> by_name;  // folded name -> entry
    std::map<std::string, int> row_keys;         // the row's identity -> its row number
    for (std::size_t r = 1; r < cells.rows.size(); ++r) {
        const TableRow& row = cells.rows[r];
        std::vector<int> read{layout.electrode, layout.note};
        read.insert(read.end(), layout.slots.begin(), layout.slots.end());
        bool any = false;
        for (int column : read)
            if (const TableCell* cell = column ? row.cell(column) : nullptr; cell && !trimmed(cell->text).empty())
                any = true;
        if (!any) continue;
        const TableCell* name_cell = row.cell(layout.electrode);
        const std::string name_place = place(layout, row.number, layout.electrode);
        if (!name_cell || trimmed(name_cell->text).empty()) {
            error = name_place + ": no electrode name, though the row gives values";
            return false;
        }
        if (!value_cell(*name_cell, name_place, error)) return false;
        const std::string name = trimmed(name_cell->text);
        std::string identity = Document::fold_case(name);
        for (int column : layout.row_columns) {
            const TableCell* cell = row.cell(column);
            identity += '\x1f' + (cell ? trimmed(cell->text) : std::string());
        }
        if (auto [at, fresh] = row_keys.emplace(identity, row.number); !fresh) {
            error = "row " + std::to_string(row.number) + " repeats row " + std::to_string(at->second) +
                    " (electrode " + name + "): a duplicate row";
            return false;
        }
        auto [found, fresh] = by_name.emplace(Document::fold_case(name), table.entries.size());
        if (fresh) table.entries.push_back(ElectrodeEntry{name, name_place, {}, std::nullopt});
        ElectrodeEntry& entry = table.entries[found->second];
        const auto take = [&](int column, bool number, int slot, std::optional<TableValue>& into) {
            const TableCell* cell = column ? row.cell(column) : nullptr;
            if (!cell) return true;
            const std::string where = place(layout, row.number, column);
            if (!value_cell(*cell, where, error)) return false;
            TableValue value{number ? trimmed(cell->text) : cell->text, 0, row.number, where};
            if (value.text.empty() || trimmed(value.text).empty()) return true;
            if (number && !number_in(*cell, slot, value.number)) {
                error = where + ": '" + cell->text + "' is not " +
                        (is_count_slot(slot) ? "a whole number of 0 or more" : "a number of 0 or more");
                return false;
            }
            if (into && !same(*into, value, number)) {
                error = where + ": electrode " + name + " is given '" + value.text + "' here and '" + into->text +
                        "' in row " + std::to_string(into->row) + ": one electrode, one value";
                return false;
            }
            if (!into) into = value;
            return true;
        };
        for (int slot = 0; slot < kTableSlots; ++slot)
            if (!take(layout.slots[slot], true, slot, entry.slots[slot])) return false;
        if (!take(layout.note, false, 0, entry.note)) return false;
    }
    return true;
}

const CellTable* electrode_sheet(const std::vector<CellTable>& sheets, std::string& error) {
    for (const CellTable& sheet : sheets) {
        if (sheet.rows.empty()) continue;
        for (const auto& [column, cell] : sheet.rows.front().cells)
            if (const char* key = column_key(cell.text); key && std::string(key) == "electrode") return &sheet;
    }
    error =
        "no worksheet's first row names an electrode column (电极名 or electrode): the table's columns are those of "
        "the setup list that quillon export writes";
    return nullptr;
}

}  // namespace cadhost::setup
