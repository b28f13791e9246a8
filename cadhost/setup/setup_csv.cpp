#include "cadhost/setup/setup_csv.h"

#include <charconv>
#include <cmath>
#include <map>
#include <set>
#include <string_view>

namespace cadhost::setup {

namespace {

constexpr const char* kLineEnd = "\r\n";

void write_row(std::ostream& out, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) out << (i ? "," : "") << csv_field(fields[i]);
    out << kLineEnd;
}

std::string number(int value) { return std::to_string(value); }

void append_triple(std::vector<std::string>& row, const std::optional<std::array<double, 3>>& values) {
    for (int i = 0; i < 3; ++i) row.push_back(values ? millimetres((*values)[i]) : std::string());
}

// A count as the sheet writes it; nothing for a blank cell, and no value for a text that is not a whole number.
std::optional<int> count_of(const std::string& text, bool& valid) {
    if (text.empty()) return 0;
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 0) {
        valid = false;
        return std::nullopt;
    }
    return value;
}

// Whole millimetres of stock for a size: a size a thousandth over a whole number is that number, as the box is kept
// to three decimals.
int stock_of(double size, double allowance) {
    return static_cast<int>(std::ceil(std::round(size * 1000.0) / 1000.0 + 2.0 * allowance - 1e-9));
}

// A sign, digits and at most one decimal point among them: a cell a spreadsheet reads as that number and nothing more.
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

}  // namespace

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

void write_setup_csv(std::ostream& out, const std::vector<SheetSetup>& setups) {
    write_row(out, {"sheet",
                    "page",
                    "pages",
                    "electrode",
                    "layer",
                    "place",
                    "places",
                    "direction",
                    "edm_x",
                    "edm_y",
                    "edm_z",
                    "edm_point",
                    "depth",
                    "rotation",
                    "rough_gap",
                    "finish_gap",
                    "rough_count",
                    "finish_count",
                    "special_rough_gap",
                    "special_finish_gap",
                    "special_rough_count",
                    "special_finish_count",
                    "box_x",
                    "box_y",
                    "box_z",
                    "working_x",
                    "working_y",
                    "working_z",
                    "chamfer_corner",
                    "note"});
    for (const SheetSetup& s : setups) {
        std::vector<std::string> row{s.sheet,         number(s.page),  number(s.pages),  s.electrode,
                                     number(s.layer), number(s.place), number(s.places), direction_name(s.direction)};
        append_triple(row, s.edm_point);
        row.push_back(edm_point_kind(s));
        row.push_back(s.depth ? millimetres(*s.depth) : std::string());
        row.push_back(degrees_text(s.rotation));
        for (const std::string* t : {&s.rough_gap, &s.finish_gap, &s.rough_count, &s.finish_count, &s.special_rough_gap,
                                     &s.special_finish_gap, &s.special_rough_count, &s.special_finish_count})
            row.push_back(*t);
        append_triple(row, s.box);
        append_triple(row, s.working);
        row.push_back(s.chamfer_corner ? number(s.chamfer_corner) : std::string());
        row.push_back(s.note);
        write_row(out, row);
    }
}

std::vector<BomLine> bill_of_material(const std::vector<SheetSetup>& setups, double allowance) {
    std::vector<BomLine> lines;
    std::map<std::string, std::size_t> index;
    // A layer's places count once however many sheets show them: a second run on the part draws them again.
    std::set<std::pair<std::string, int>> layers;
    for (const SheetSetup& s : setups) {
        auto [at, fresh] = index.emplace(s.electrode, lines.size());
        const bool new_layer = layers.emplace(s.electrode, s.layer).second;
        if (!fresh) {
            if (new_layer) lines[at->second].places += s.places;
            continue;
        }
        BomLine line;
        line.electrode = s.electrode;
        line.places = s.places;
        line.rough_count = s.rough_count;
        line.finish_count = s.finish_count;
        line.special_rough_count = s.special_rough_count;
        line.special_finish_count = s.special_finish_count;
        bool valid = true;
        int pieces = 0;
        for (const std::string* t : {&s.rough_count, &s.finish_count, &s.special_rough_count, &s.special_finish_count})
            pieces += count_of(*t, valid).value_or(0);
        if (valid) line.pieces = pieces;
        line.box = s.box;
        if (s.box)
            line.stock = std::array<int, 3>{stock_of((*s.box)[0], allowance), stock_of((*s.box)[1], allowance),
                                            stock_of((*s.box)[2], allowance)};
        lines.push_back(std::move(line));
    }
    return lines;
}

void write_bom_csv(std::ostream& out, const std::vector<BomLine>& lines) {
    write_row(out, {"electrode", "places", "rough_count", "finish_count", "special_rough_count", "special_finish_count",
                    "pieces", "box_x", "box_y", "box_z", "stock_x", "stock_y", "stock_z"});
    for (const BomLine& l : lines) {
        std::vector<std::string> row{l.electrode,
                                     number(l.places),
                                     l.rough_count,
                                     l.finish_count,
                                     l.special_rough_count,
                                     l.special_finish_count,
                                     l.pieces ? number(*l.pieces) : std::string()};
        append_triple(row, l.box);
        for (int i = 0; i < 3; ++i) row.push_back(l.stock ? number((*l.stock)[i]) : std::string());
        write_row(out, row);
    }
}

}  // namespace cadhost::setup
