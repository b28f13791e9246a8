#include "cadhost/setup/xlsx_reader.h"

#include <charconv>
#include <map>

#include "cadhost/files/zip_reader.h"
#include "cadhost/setup/xml_scan.h"

namespace cadhost::setup {

namespace {

constexpr int kMostRows = 1048576, kMostColumns = 16384;  // the format's own limits
constexpr std::size_t kMostSheets = 256;

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// A relationship's target, relative to the part that names it, as a name in the archive.
std::string resolve(const std::string& base_folder, const std::string& target) {
    std::string joined = !target.empty() && target[0] == '/' ? target.substr(1) : base_folder + target;
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= joined.size()) {
        const std::size_t slash = std::min(joined.find('/', start), joined.size());
        const std::string part = joined.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    std::string out;
    for (const auto& part : parts) out += (out.empty() ? "" : "/") + part;
    return out;
}

bool ends_with(const std::string& text, std::string_view tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

class Workbook {
  public:
    Workbook(std::string_view bytes, std::string& error) : bytes_(bytes), error_(error) {}

    bool read(std::vector<CellTable>& sheets) {
        if (!zip_.open(bytes_, error_)) return false;
        std::string book = "xl/workbook.xml";
        if (zip_.has("_rels/.rels")) {
            std::map<std::string, std::pair<std::string, std::string>> rels;
            if (!relationships("_rels/.rels", "", rels)) return false;
            for (const auto& [id, rel] : rels)
                if (ends_with(rel.first, "/officeDocument")) book = rel.second;
        }
        if (!zip_.has(book)) return fail("no workbook in it (no " + book + ")");
        std::map<std::string, std::pair<std::string, std::string>> rels;
        const std::string rels_name = folder_of(book) + "_rels/" + book.substr(folder_of(book).size()) + ".rels";
        if (zip_.has(rels_name) && !relationships(rels_name, folder_of(book), rels)) return false;
        for (const auto& [id, rel] : rels)
            if (ends_with(rel.first, "/sharedStrings") && !shared_strings(rel.second)) return false;
        std::vector<std::pair<std::string, std::string>> listed;  // name, part
        if (!sheet_list(book, rels, listed)) return false;
        for (const auto& [name, part] : listed) {
            CellTable table;
            table.sheet = name;
            if (!worksheet(part, table)) return false;
            sheets.push_back(std::move(table));
        }
        return true;
    }

  private:
    bool fail(const std::string& why) {
        error_ = why;
        return false;
    }
    bool part_text(const std::string& name, std::string& text) {
        std::string why;
        if (!zip_.read(name, text, why)) return fail(why);
        return true;
    }
    bool scan_failed(const std::string& part, const XmlScan& scan) { return fail(part + ": " + scan.error()); }

    // Id -> (type, target as an archive name).
    bool relationships(const std::string& part, const std::string& folder,
                       std::map<std::string, std::pair<std::string, std::string>>& rels) {
        std::string text;
        if (!part_text(part, text)) return false;
        XmlScan scan(text);
        for (XmlScan::Item item; (item = scan.next()) != XmlScan::Item::end;) {
            if (item == XmlScan::Item::error) return scan_failed(part, scan);
            if (item == XmlScan::Item::open && scan.name() == "Relationship" && scan.attribute("TargetMode").empty())
                rels[scan.attribute("Id")] = {scan.attribute("Type"), resolve(folder, scan.attribute("Target"))};
        }
        return true;
    }

    bool sheet_list(const std::string& book, const std::map<std::string, std::pair<std::string, std::string>>& rels,
                    std::vector<std::pair<std::string, std::string>>& listed) {
        std::string text;
        if (!part_text(book, text)) return false;
        XmlScan scan(text);
        for (XmlScan::Item item; (item = scan.next()) != XmlScan::Item::end;) {
            if (item == XmlScan::Item::error) return scan_failed(book, scan);
            if (item != XmlScan::Item::open || scan.name() != "sheet") continue;
            const auto rel = rels.find(scan.attribute("id"));
            // Chart sheets and dialog sheets hold no cells.
            if (rel == rels.end() || !ends_with(rel->second.first, "/worksheet")) continue;
            if (listed.size() >= kMostSheets) return fail("more than " + std::to_string(kMostSheets) + " worksheets");
            listed.emplace_back(scan.attribute("name"), rel->second.second);
        }
        return true;
    }

    // The texts of a string item: its own <t> or those of its runs, without the phonetic guides.
    bool shared_strings(const std::string& part) {
        std::string text;
        if (!part_text(part, text)) return false;
        XmlScan scan(text);
        int phonetic = 0;
        bool in_text = false;
        for (XmlScan::Item item; (item = scan.next()) != XmlScan::Item::end;) {
            if (item == XmlScan::Item::error) return scan_failed(part, scan);
            if (item == XmlScan::Item::open) {
                if (scan.name() == "si") {
                    if (strings_.size() >= kMostTableCells) return fail(part + ": too many texts");
                    strings_.emplace_back();
                }
                if (scan.name() == "rPh") ++phonetic;
                if (scan.name() == "t") in_text = true;
            } else if (item == XmlScan::Item::close) {
                if (scan.name() == "rPh") --phonetic;
                if (scan.name() == "t") in_text = false;
            } else if (item == XmlScan::Item::text && in_text && phonetic == 0 && !strings_.empty()) {
                strings_.back() += scan.text();
            }
        }
        return true;
    }

    // "B12" as column 2, row 12; false for anything else.
    static bool reference(const std::string& ref, int& column, int& row) {
        std::size_t i = 0;
        column = 0;
        while (i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z' && column <= kMostColumns)
            column = column * 26 + (ref[i++] - 'A' + 1);
        const auto [end, ec] = std::from_chars(ref.data() + i, ref.data() + ref.size(), row);
        return i > 0 && column <= kMostColumns && ec == std::errc() && end == ref.data() + ref.size() && row >= 1 &&
               row <= kMostRows;
    }

    bool worksheet(const std::string& part, CellTable& table) {
        std::string text;
        if (!part_text(part, text)) return false;
        XmlScan scan(text);
        const std::string where = "worksheet '" + table.sheet + "'";
        int row = 0, column = 0;
        struct Cell {
            std::string type, value, inline_text;
            bool formula = false;
        } cell;
        enum class In { none, value, inline_text } in = In::none;
        bool in_cell = false;
        int phonetic = 0;
        for (XmlScan::Item item; (item = scan.next()) != XmlScan::Item::end;) {
            if (item == XmlScan::Item::error) return scan_failed(part, scan);
            const std::string& name = scan.name();
            if (item == XmlScan::Item::open) {
                if (name == "row") {
                    int number = row + 1;
                    if (const std::string r = scan.attribute("r"); !r.empty()) {
                        const auto [end, ec] = std::from_chars(r.data(), r.data() + r.size(), number);
                        if (ec != std::errc() || end != r.data() + r.size()) number = 0;
                    }
                    if (number <= row || number > kMostRows)
                        return fail(where + ": row numbers out of order after row " + std::to_string(row));
                    row = number;
                    column = 0;
                    table.rows.push_back(TableRow{row, {}});
                } else if (name == "c") {
                    if (table.rows.empty()) return fail(where + ": a cell outside any row");
                    int at_column = column + 1, at_row = row;
                    if (const std::string r = scan.attribute("r"); !r.empty() && !reference(r, at_column, at_row))
                        return fail(where + ", row " + std::to_string(row) + ": a cell named '" + r + "'");
                    if (at_row != row || at_column <= column)
                        return fail(where + ", row " + std::to_string(row) + ": cells out of order");
                    column = at_column;
                    cell = Cell{scan.attribute("t"), {}, {}, false};
                    in_cell = true;
                } else if (in_cell && name == "f") {
                    cell.formula = true;
                } else if (in_cell && name == "v") {
                    in = In::value;
                } else if (in_cell && name == "rPh") {
                    ++phonetic;
                } else if (in_cell && name == "t") {
                    in = In::inline_text;
                }
            } else if (item == XmlScan::Item::close) {
                if (name == "v" || name == "t") in = In::none;
                if (name == "rPh") --phonetic;
                if (name == "c" && in_cell) {
                    in_cell = false;
                    if (!add_cell(table, column, cell.type, cell.value, cell.inline_text, cell.formula, where))
                        return false;
                }
            } else if (item == XmlScan::Item::text && in_cell && phonetic == 0) {
                if (in == In::value) cell.value += scan.text();
                if (in == In::inline_text) cell.inline_text += scan.text();
            }
        }
        return true;
    }

    bool add_cell(CellTable& table, int column, const std::string& type, const std::string& value,
                  const std::string& inline_text, bool formula, const std::string& where) {
        TableCell out;
        if (formula) {
            out.kind = CellKind::formula;
            out.text = value;
        } else if (type == "s") {
            std::size_t index = 0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), index);
            if (ec != std::errc() || end != value.data() + value.size() || index >= strings_.size())
                return fail(where + ", cell " + column_letters(column) + std::to_string(table.rows.back().number) +
                            ": a text the workbook does not hold");
            out.text = strings_[index];
        } else if (type == "inlineStr") {
            out.text = inline_text;
        } else if (type == "e") {
            out.kind = CellKind::error;
            out.text = value;
        } else if (type == "b") {
            out.text = value == "1" ? "TRUE" : "FALSE";
        } else if (type == "str" || type == "d") {
            out.text = value;
        } else {
            out.kind = CellKind::number;
            out.text = value;
        }
        if (out.text.empty() && out.kind != CellKind::formula) return true;
        if (++cells_ > kMostTableCells)
            return fail("more than " + std::to_string(kMostTableCells) + " cells, more than an electrode list has");
        table.rows.back().cells.emplace_back(column, std::move(out));
        return true;
    }

    std::string_view bytes_;
    std::string& error_;
    files::ZipReader zip_;
    std::vector<std::string> strings_;
    std::size_t cells_ = 0;
};

}  // namespace

bool read_workbook(std::string_view bytes, std::vector<CellTable>& sheets, std::string& error) {
    sheets.clear();
    Workbook book(bytes, error);
    return book.read(sheets);
}

}  // namespace cadhost::setup
