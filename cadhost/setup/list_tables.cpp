#include "cadhost/setup/list_tables.h"

#include <charconv>
#include <cmath>
#include <map>
#include <set>

namespace cadhost::setup {

namespace {

constexpr const char* kMm = "0.000";  // sizes and points carry three decimals, as the sheets write them

const std::vector<ListColumn> kSetupColumns = {
    {"sheet", "图纸", false},
    {"page", "页", true},
    {"pages", "总页数", true},
    {"electrode", "电极名", false},
    {"layer", "层", true},
    {"place", "处号", true},
    {"places", "同层处数", true},
    {"direction", "方向", false},
    {"edm_x", "放电点X(mm)", true, kMm},
    {"edm_y", "放电点Y(mm)", true, kMm},
    {"edm_z", "放电点Z(mm)", true, kMm},
    {"edm_point", "定位点", false},
    {"depth", "深度(mm)", true, kMm},
    {"rotation", "转角(°)", true},
    {"rough_gap", "粗公火花位(mm)", true},
    {"finish_gap", "精公火花位(mm)", true},
    {"rough_count", "粗公数量", true},
    {"finish_count", "精公数量", true},
    {"special_rough_gap", "特粗公火花位(mm)", true},
    {"special_finish_gap", "特精公火花位(mm)", true},
    {"special_rough_count", "特粗公数量", true},
    {"special_finish_count", "特精公数量", true},
    {"box_x", "外形尺寸X(mm)", true, kMm},
    {"box_y", "外形尺寸Y(mm)", true, kMm},
    {"box_z", "外形尺寸Z(mm)", true, kMm},
    {"working_x", "工作部分X(mm)", true, kMm},
    {"working_y", "工作部分Y(mm)", true, kMm},
    {"working_z", "工作部分Z(mm)", true, kMm},
    {"chamfer_corner", "C角位", true},
    {"note", "备注", false},
};

const std::vector<ListColumn> kBomColumns = {
    {"electrode", "电极名", false},
    {"places", "处数", true},
    {"rough_count", "粗公数量", true},
    {"finish_count", "精公数量", true},
    {"special_rough_count", "特粗公数量", true},
    {"special_finish_count", "特精公数量", true},
    {"pieces", "合计件数", true},
    {"box_x", "外形尺寸X(mm)", true, kMm},
    {"box_y", "外形尺寸Y(mm)", true, kMm},
    {"box_z", "外形尺寸Z(mm)", true, kMm},
    {"stock_x", "备料X(mm)", true},
    {"stock_y", "备料Y(mm)", true},
    {"stock_z", "备料Z(mm)", true},
};

std::string number(long long value) { return std::to_string(value); }

void append_triple(std::vector<std::string>& row, const std::optional<std::array<double, 3>>& values) {
    for (int i = 0; i < 3; ++i) row.push_back(values ? millimetres((*values)[i]) : std::string());
}

// A count as the sheet writes it: nothing for a blank cell, and valid cleared for a text that is not a whole number.
std::optional<int> count_of(const std::string& text, bool& valid) {
    if (text.empty()) return std::nullopt;
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

}  // namespace

std::vector<std::string> ListTable::header_row() const {
    std::vector<std::string> row;
    for (const ListColumn& c : columns) row.push_back(header == ListHeader::english ? c.key : c.title);
    return row;
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
        // A blank count adds nothing, but a sheet without any count gives no total: 0 pieces would be an order.
        bool valid = true, any = false;
        long long pieces = 0;
        for (const std::string* t : {&s.rough_count, &s.finish_count, &s.special_rough_count, &s.special_finish_count})
            if (const auto count = count_of(*t, valid)) {
                pieces += *count;
                any = true;
            }
        if (valid && any) line.pieces = pieces;
        line.box = s.box;
        if (s.box)
            line.stock = std::array<int, 3>{stock_of((*s.box)[0], allowance), stock_of((*s.box)[1], allowance),
                                            stock_of((*s.box)[2], allowance)};
        lines.push_back(std::move(line));
    }
    return lines;
}

ListTable setup_table(const std::vector<SheetSetup>& setups, ListHeader header) {
    ListTable table{header == ListHeader::english ? "electrodes" : "放电设置表", kSetupColumns, {}, header};
    for (const SheetSetup& s : setups) {
        std::vector<std::string> row{s.sheet,         number(s.page),  number(s.pages),  s.electrode,
                                     number(s.layer), number(s.place), number(s.places), direction_name(s.direction)};
        append_triple(row, s.edm_point);
        row.push_back(header == ListHeader::english ? edm_point_kind(s) : edm_point_kind_text(s));
        row.push_back(s.depth ? millimetres(*s.depth) : std::string());
        row.push_back(degrees_text(s.rotation));
        for (const std::string* t : {&s.rough_gap, &s.finish_gap, &s.rough_count, &s.finish_count, &s.special_rough_gap,
                                     &s.special_finish_gap, &s.special_rough_count, &s.special_finish_count})
            row.push_back(*t);
        append_triple(row, s.box);
        append_triple(row, s.working);
        // Corners are numbered from 1; 0 is an electrode without a chamfered corner.
        row.push_back(s.chamfer_corner ? number(s.chamfer_corner) : std::string());
        row.push_back(s.note);
        table.rows.push_back(std::move(row));
    }
    return table;
}

const std::vector<ListColumn>& setup_columns() { return kSetupColumns; }

ListTable bom_table(const std::vector<BomLine>& lines, ListHeader header) {
    ListTable table{header == ListHeader::english ? "bom" : "电极备料单", kBomColumns, {}, header};
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
        table.rows.push_back(std::move(row));
    }
    return table;
}

}  // namespace cadhost::setup
