#include "cadhost/setup/cell_table.h"

namespace cadhost::setup {

const TableCell* TableRow::cell(int column) const {
    for (const auto& [at, value] : cells)
        if (at == column) return &value;
    return nullptr;
}

std::string column_letters(int column) {
    std::string letters;
    for (; column > 0; column = (column - 1) / 26) letters.insert(letters.begin(), char('A' + (column - 1) % 26));
    return letters;
}

}  // namespace cadhost::setup
