#include "cadhost/setup/csv_reader.h"

#include "cadhost/setup/setup_csv.h"

namespace cadhost::setup {

namespace {

char separator_of(std::string_view text) {
    std::size_t counts[3] = {0, 0, 0};
    const char candidates[3] = {',', ';', '\t'};
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (!quoted && (c == '\n' || c == '\r')) break;
        for (int i = 0; i < 3; ++i) counts[i] += !quoted && c == candidates[i];
    }
    int best = 0;
    for (int i = 1; i < 3; ++i)
        if (counts[i] > counts[best]) best = i;
    return candidates[best];
}

// The field as its writer meant it: the apostrophe the setup list puts before a text that looks like a formula is
// taken off; an '=' left at the start is a formula.
TableCell cell_of(std::string field) {
    TableCell cell;
    const std::string_view formula_start = "=+-@\t\r";
    if (field.size() > 1 && field[0] == '\'' && formula_start.find(field[1]) != std::string_view::npos &&
        !plain_number(field.substr(1))) {
        field.erase(0, 1);
    } else if (!field.empty() && field[0] == '=') {
        cell.kind = CellKind::formula;
    }
    cell.text = std::move(field);
    return cell;
}

}  // namespace

bool read_csv(std::string_view text, CellTable& table, std::string& error) {
    table.rows.clear();
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    const char separator = separator_of(text);
    std::size_t cells = 0;
    int number = 1;
    TableRow row{number, {}};
    std::string field;
    bool quoted = false, was_quoted = false;
    int column = 1;
    const auto end_field = [&]() {
        if (!field.empty()) row.cells.emplace_back(column, cell_of(std::move(field)));
        field.clear();
        was_quoted = false;
        ++column;
        return ++cells <= kMostTableCells;
    };
    const auto end_row = [&]() {
        if (!row.cells.empty()) table.rows.push_back(std::move(row));
        row = TableRow{++number, {}};
        column = 1;
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c != '"') {
                field += c;
            } else if (i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else {
                quoted = false;
            }
            continue;
        }
        if (c == '"' && field.empty() && !was_quoted) {
            quoted = was_quoted = true;
        } else if (c == separator || c == '\n' || c == '\r') {
            if (!end_field()) {
                error = "row " + std::to_string(number) + ": more than " + std::to_string(kMostTableCells) +
                        " cells, more than an electrode list has";
                return false;
            }
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            if (c != separator) end_row();
        } else {
            field += c;
        }
    }
    if (quoted) {
        error = "row " + std::to_string(number) + ": a quote is opened and never closed";
        return false;
    }
    if (!field.empty() || was_quoted || column > 1) {
        end_field();
        end_row();
    }
    return true;
}

}  // namespace cadhost::setup
