#include "cadhost/setup/edm_table.h"

#include <algorithm>

#include "cadhost/drafting/sheet_room.h"
#include "cadhost/drafting/view_frame.h"

namespace cadhost::setup {

namespace {

using drafting::SheetBox;
using render::LinePattern;
using render::LineWeight;
using render::Point2;
using render::SheetGraphics;

constexpr double kHeight = 2.5;       // capital height of the table's texts, mm
constexpr double kWidthFactor = 0.8;  // their glyphs' width
constexpr double kRow = 5.0;          // row pitch
constexpr double kPad = 1.2;          // a cell's text keeps this far from its side lines
constexpr double kClearance = 1.5;    // the table keeps this far from the sheet's texts, lines and views
constexpr double kStep = 2.0;         // places are tried this far apart
constexpr double kEdgeMargin = 2.0;   // inside the sheet's border

// "+45.000", "-20.000", "0.000": a coordinate reads with its sign.
std::string signed_millimetres(double value) {
    const std::string text = millimetres(value);
    return text.empty() || text[0] == '-' || text == "0.000" ? text : "+" + text;
}

double text_width(const std::string& text) {
    render::Text t;
    t.text = text;
    t.height = kHeight;
    t.width_factor = kWidthFactor;
    t.alignment = 4;
    const SheetBox box = drafting::ink_box(t);
    return box.x1 - box.x0;
}

// A table of cells in rows; the cell texts centred. A cell of span 2 takes two rows (the title of the wide table).
struct Cell {
    std::string text;
    double x0, y0, x1, y1;  // from the table's lower left corner
};

struct Layout {
    double width = 0, height = 0;
    std::vector<Cell> cells;
};

// The title on the left over both rows, then a column per row: headings above, values below.
Layout wide(const std::vector<std::pair<std::string, std::string>>& rows) {
    Layout out;
    out.height = 2 * kRow;
    double x = text_width(kEdmTableTitle) + 2 * kPad;
    out.cells.push_back({kEdmTableTitle, 0, 0, x, out.height});
    for (const auto& [heading, value] : rows) {
        const double w = std::max(text_width(heading), text_width(value)) + 2 * kPad;
        out.cells.push_back({heading, x, kRow, x + w, 2 * kRow});
        out.cells.push_back({value, x, 0, x + w, kRow});
        x += w;
    }
    out.width = x;
    return out;
}

// The title across the top, then a row per heading and value.
Layout tall(const std::vector<std::pair<std::string, std::string>>& rows) {
    Layout out;
    double left = 0, right = 0;
    for (const auto& [heading, value] : rows) {
        left = std::max(left, text_width(heading) + 2 * kPad);
        right = std::max(right, text_width(value) + 2 * kPad);
    }
    right = std::max(right, text_width(kEdmTableTitle) + 2 * kPad - left);
    out.width = left + right;
    out.height = kRow * static_cast<double>(rows.size() + 1);
    out.cells.push_back({kEdmTableTitle, 0, out.height - kRow, out.width, out.height});
    double y = out.height - kRow;
    for (const auto& [heading, value] : rows) {
        out.cells.push_back({heading, 0, y - kRow, left, y});
        out.cells.push_back({value, left, y - kRow, out.width, y});
        y -= kRow;
    }
    return out;
}

void line(SheetGraphics& sheet, Point2 a, Point2 b, LineWeight weight) {
    sheet.polylines.push_back(render::Polyline{{a, b}, false, {weight, LinePattern::Continuous}, "NOTES"});
}

void draw(const Layout& layout, double x, double y, SheetGraphics& sheet) {
    sheet.polylines.push_back(
        render::Polyline{{{x, y}, {x + layout.width, y}, {x + layout.width, y + layout.height}, {x, y + layout.height}},
                         true,
                         {LineWeight::Wide, LinePattern::Continuous},
                         "NOTES"});
    for (const Cell& c : layout.cells) {
        // Inner sides only: the frame draws the outer ones.
        if (c.x1 < layout.width - 1e-9) line(sheet, {x + c.x1, y + c.y0}, {x + c.x1, y + c.y1}, LineWeight::Thin);
        if (c.y0 > 1e-9) line(sheet, {x + c.x0, y + c.y0}, {x + c.x1, y + c.y0}, LineWeight::Thin);
        render::Text t;
        t.text = c.text;
        t.height = kHeight;
        t.width_factor = kWidthFactor;
        t.alignment = 5;
        t.anchor = {x + (c.x0 + c.x1) / 2, y + (c.y0 + c.y1) / 2};
        t.layer = "NOTES";
        sheet.texts.push_back(t);
    }
}

bool clear(const drafting::SheetRoom& room, const std::vector<drafting::SheetView>& views, const SheetBox& box) {
    const SheetBox near = box.grown(kClearance);
    if (std::any_of(views.begin(), views.end(), [&](const drafting::SheetView& v) { return v.box.overlaps(near); }))
        return false;
    return !room.hits_text(near) && !room.hits_line(near);
}

}  // namespace

std::vector<std::pair<std::string, std::string>> edm_table_rows(const SheetSetup& s) {
    auto point = [&](int i) { return s.edm_point ? signed_millimetres((*s.edm_point)[i]) : std::string("-"); };
    const std::string turn = degrees_text(s.rotation);
    const std::string depth = s.depth ? millimetres(*s.depth) : "";
    const std::string burn = burn_direction_name(s.direction), kind = edm_point_kind_text(s);
    return {{"X", point(0)},
            {"Y", point(1)},
            {"Z", point(2)},
            {"转角", turn.empty() ? "-" : turn + "°"},
            {"放电方向", burn.empty() ? "-" : burn},
            {"深度", depth.empty() ? "-" : depth},
            {"定位点", kind.empty() ? "-" : kind}};
}

std::optional<AnnotationData> draw_edm_table(const Document& doc, tag_t drawing, SheetGraphics& sheet) {
    const auto setup = sheet_setup(doc, drawing);
    if (!setup) return std::nullopt;
    const auto rows = edm_table_rows(*setup);
    const drafting::PlacementScope placements(doc);
    const std::vector<drafting::SheetView> views = drafting::sheet_views(doc, drawing);
    const SheetBox area = drafting::usable_area(sheet, kEdgeMargin);
    std::optional<Point2> at;
    Layout chosen;
    {
        const drafting::SheetRoom room(sheet);
        // Low on the sheet first (above the title block, where a sheet has room), from the right.
        for (const Layout& layout : {wide(rows), tall(rows)}) {
            for (double y = area.y0; y + layout.height <= area.y1 && !at; y += kStep)
                for (double x = area.x1 - layout.width; x >= area.x0; x -= kStep)
                    if (clear(room, views, {x, y, x + layout.width, y + layout.height})) {
                        at = Point2{x, y};
                        break;
                    }
            if (at) {
                chosen = layout;
                break;
            }
        }
    }
    if (!at) return std::nullopt;
    draw(chosen, at->x, at->y, sheet);
    AnnotationData note;
    note.kind = AnnotationData::Kind::Note;
    note.drawing = drawing;
    note.lines = {kEdmTableTitle};
    for (const auto& [heading, value] : rows) note.lines.push_back(heading + " " + value);
    note.origin_x = at->x, note.origin_y = at->y + chosen.height;
    note.style.change([](AnnotationStyle& s) {
        s.height = kHeight;
        s.aspect_ratio = kWidthFactor;
        s.alignment = 1;
    });
    return note;
}

}  // namespace cadhost::setup
