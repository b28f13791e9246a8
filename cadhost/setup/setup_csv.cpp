#include "cadhost/setup/setup_csv.h"

#include <string_view>

namespace cadhost::setup {

namespace {

constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* kLineEnd = "\r\n";

void write_row(std::ostream& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) out << (i ? "," : "") << csv_field(fields[i]);
    out << kLineEnd;
}

}  // namespace

bool plain_number(const std::string& text) {
    std::size_t at = text.empty() || (text[0] != '-' && text[0] != '+') ? 0 : 1;
    bool digit = false, point = false;
    for (; at < text.size(); ++at) {
        if (text[at] >= '0' && text[at] <= '9')
            digit = true;
        else if (text[at] == '.' && !point)
            point = true;
        else
            return false;
    }
    return digit;
}

std::string csv_field(const std::string& raw) {
    // A spreadsheet takes a cell that starts with one of these for a formula and runs it (=HYPERLINK(...) reaches
    // out; a tab or carriage return it may skip first). A leading apostrophe makes the cell a text; plain numbers,
    // the negative coordinates among them, stay numbers.
    const bool formula =
        !raw.empty() && std::string_view("=+-@\t\r").find(raw.front()) != std::string_view::npos && !plain_number(raw);
    const std::string text = formula ? "'" + raw : raw;
    const bool quote = text.find_first_of(",\"\r\n") != std::string::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

void write_list_csv(std::ostream& out, const ListTable& table) {
    out << kByteOrderMark;
    write_row(out, table.header_row());
    for (const auto& row : table.rows) write_row(out, row);
}

void write_setup_csv(std::ostream& out, const std::vector<SheetSetup>& setups, ListHeader header) {
    write_list_csv(out, setup_table(setups, header));
}

void write_bom_csv(std::ostream& out, const std::vector<BomLine>& lines, ListHeader header) {
    write_list_csv(out, bom_table(lines, header));
}

}  // namespace cadhost::setup
