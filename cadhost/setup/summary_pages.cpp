#include "cadhost/setup/summary_pages.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "cadhost/render/text_placement.h"

namespace cadhost::setup {

namespace {

using render::LinePattern;
using render::LineWeight;
using render::Point2;
using render::Polyline;
using render::SheetGraphics;
using render::Stroke;
using render::Text;

constexpr double kTextHeight = 2.2;
constexpr double kHeaderHeight = 2.0;
constexpr double kRowPitch = 5.0;
constexpr double kCellPad = 0.8;
constexpr double kMinimumSqueeze = 0.6;  // narrower than this and a text is cut instead

struct Column {
    const char* heading;
    double width;  // mm; the last column takes what is left
};

// Headings as the shop reads them: sheet, page, electrode, layer, place, direction, which point X/Y/Z locate, the
// EDM point, the burn's depth, the copy's turn, spark gaps and counts, the special electrodes' gap and count, sizes,
// chamfer corner, note.
const Column kColumns[] = {{"图纸", 20},  {"页", 9},      {"铜公", 16},     {"层", 6},        {"处", 8},
                           {"方向", 7},   {"定位点", 11}, {"X", 14},        {"Y", 14},        {"Z", 14},
                           {"深度", 14},  {"转角", 9},    {"粗火花位", 12}, {"精火花位", 12}, {"粗公数", 8},
                           {"精公数", 8}, {"特粗公", 14}, {"特精公", 14},   {"外形尺寸", 19}, {"工作部分", 19},
                           {"C角", 6},    {"备注", 0}};
constexpr std::size_t kColumnCount = sizeof kColumns / sizeof kColumns[0];

std::string trimmed(double value) {
    std::string text = millimetres(value);
    if (text.find('.') == std::string::npos) return text;
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

// "0.35 / 1": a special electrode's gap and count in one cell.
std::string pair_text(const std::string& gap, const std::string& count) {
    if (gap.empty() && count.empty()) return "";
    return (gap.empty() ? "-" : gap) + " / " + (count.empty() ? "-" : count);
}

std::vector<std::string> cells_of(const SheetSetup& s) {
    auto point = [&](int i) { return s.edm_point ? millimetres((*s.edm_point)[i]) : std::string(); };
    std::string note = s.note;
    std::replace(note.begin(), note.end(), '\n', ' ');
    return {s.sheet,
            std::to_string(s.page) + "/" + std::to_string(s.pages),
            s.electrode,
            std::to_string(s.layer),
            std::to_string(s.place) + "/" + std::to_string(s.places),
            direction_name(s.direction),
            edm_point_kind_text(s),
            point(0),
            point(1),
            point(2),
            s.depth ? millimetres(*s.depth) : "",
            degrees_text(s.rotation),
            s.rough_gap,
            s.finish_gap,
            s.rough_count,
            s.finish_count,
            pair_text(s.special_rough_gap, s.special_rough_count),
            pair_text(s.special_finish_gap, s.special_finish_count),
            s.box ? size_text(*s.box) : "",
            s.working ? size_text(*s.working) : "",
            s.chamfer_corner ? std::to_string(s.chamfer_corner) : "",
            note};
}

// The longest run of whole UTF-8 characters from the start that fits with an ellipsis after it. The advance is a sum
// over the characters, so one pass finds it: a note of a million characters costs no more than its length.
std::string cut_to(const std::string& text, double width, double height) {
    const double room = width - text_advance("…", height);
    double advance = 0;
    std::size_t end = 0;
    for (std::size_t at = 0; at < text.size();) {
        std::size_t next = at + 1;
        while (next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80) ++next;
        advance += text_advance(text.substr(at, next - at), height);
        if (advance > room) break;
        end = at = next;
    }
    return text.substr(0, end) + "…";
}

constexpr double kWrappedHeight = 1.7;  // the height of each line of a value written on two lines

// A value's text split in two where it breaks best: after a "×" or a "/" nearest the middle, else at the middle
// character.
std::pair<std::string, std::string> split_value(const std::string& text) {
    std::size_t best = std::string::npos;
    const std::size_t middle = text.size() / 2;
    for (const std::string mark : {"×", "/", " "})
        for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + 1)) {
            const std::size_t cut = at + mark.size();
            if (cut < text.size() && (best == std::string::npos || (cut > middle ? cut - middle : middle - cut) <
                                                                       (best > middle ? best - middle : middle - best)))
                best = cut;
        }
    if (best == std::string::npos) {
        best = middle;
        while (best > 0 && (static_cast<unsigned char>(text[best]) & 0xC0) == 0x80) --best;
    }
    return {text.substr(0, best), text.substr(best)};
}

// One line of a cell: centred (left-aligned for the note), squeezed to the room as far as it takes.
void place_line(SheetGraphics& page, const std::string& text, double x0, double x1, double y, double height,
                bool left) {
    const double room = x1 - x0 - 2 * kCellPad;
    Text t;
    t.text = text;
    t.height = height;
    const double advance = text_advance(text, height);
    if (advance > room) t.width_factor = room / advance;
    t.alignment = left ? 4 : 5;
    t.anchor = {left ? x0 + kCellPad : (x0 + x1) / 2, y};
    t.layer = "SUMMARY";
    page.texts.push_back(t);
}

// A text in a cell, centred (left-aligned for the note), squeezed to the cell's width. A value that would have to be
// squeezed more than that goes on two lines, never cut; only the free-text note is cut, with an ellipsis.
void cell_text(SheetGraphics& page, const std::string& text, double x0, double x1, double y, double height, bool left) {
    if (text.empty()) return;
    const double room = x1 - x0 - 2 * kCellPad;
    const double advance = text_advance(text, height);
    if (advance * kMinimumSqueeze <= room) return place_line(page, text, x0, x1, y, height, left);
    if (left) {
        place_line(page, cut_to(text, room / kMinimumSqueeze, height), x0, x1, y, height, left);
        page.texts.back().width_factor = kMinimumSqueeze;
        return;
    }
    const auto [first, second] = split_value(text);
    const double half = (kWrappedHeight * 1.35) / 2;
    place_line(page, first, x0, x1, y + half, kWrappedHeight, left);
    place_line(page, second, x0, x1, y - half, kWrappedHeight, left);
}

void line(SheetGraphics& page, Point2 a, Point2 b, LineWeight weight) {
    page.polylines.push_back(Polyline{{a, b}, false, Stroke{weight, LinePattern::Continuous}, "SUMMARY"});
}

// What the frame sheet lends every summary page.
struct Frame {
    SheetGraphics lent;  // border, title block lines and texts
    double left = 10, right = 287, bottom = 10, top = 200;
    double title_top = 37;                                 // top line of the title block
    std::size_t page_text = static_cast<std::size_t>(-1);  // index in lent.texts of the page cell's text
};

bool on_or_below(const Polyline& p, double y) {
    return std::all_of(p.points.begin(), p.points.end(), [&](const Point2& q) { return q.y <= y + 0.01; });
}

// The border is the box of the template's lines; the title block's top is the highest line across the whole border
// width in the lower half. Lines above it (the sheets' own tables) and every view, note and dimension stay behind.
Frame frame_of(const SheetGraphics& sheet, const SheetSetup& first) {
    Frame f;
    f.lent.width = sheet.width;
    f.lent.height = sheet.height;
    std::vector<const Polyline*> template_lines;
    for (const Polyline& p : sheet.polylines)
        if (p.layer == "SHEET" && !p.points.empty()) template_lines.push_back(&p);
    if (template_lines.empty()) {
        // A sheet without a template: a plain border 10 mm in, and no title block.
        f.left = 10, f.bottom = 10, f.right = sheet.width - 10, f.top = sheet.height - 10, f.title_top = f.bottom;
        f.lent.polylines.push_back(
            Polyline{{{f.left, f.bottom}, {f.right, f.bottom}, {f.right, f.top}, {f.left, f.top}},
                     true,
                     {LineWeight::Wide, LinePattern::Continuous},
                     "SHEET"});
        return f;
    }
    f.left = f.bottom = 1e9, f.right = f.top = -1e9;
    for (const Polyline* p : template_lines)
        for (const Point2& q : p->points) {
            f.left = std::min(f.left, q.x), f.right = std::max(f.right, q.x);
            f.bottom = std::min(f.bottom, q.y), f.top = std::max(f.top, q.y);
        }
    const double across = 0.95 * (f.right - f.left), middle = (f.bottom + f.top) / 2;
    f.title_top = f.bottom;
    for (const Polyline* p : template_lines) {
        if (p->points.size() != 2) continue;
        const Point2 a = p->points[0], b = p->points[1];
        if (std::abs(a.y - b.y) < 0.01 && std::abs(a.x - b.x) >= across && a.y < middle)
            f.title_top = std::max(f.title_top, a.y);
    }
    for (const Polyline* p : template_lines) {
        bool border = true;
        for (std::size_t i = 0; i + 1 < p->points.size() && border; ++i) {
            const Point2 a = p->points[i], b = p->points[i + 1];
            const bool side =
                std::abs(a.x - b.x) < 0.01 && (std::abs(a.x - f.left) < 0.01 || std::abs(a.x - f.right) < 0.01);
            const bool edge =
                std::abs(a.y - b.y) < 0.01 && (std::abs(a.y - f.bottom) < 0.01 || std::abs(a.y - f.top) < 0.01);
            border = side || edge;
        }
        if (border || on_or_below(*p, f.title_top)) f.lent.polylines.push_back(*p);
    }
    for (const render::Arc& a : sheet.arcs)
        if (a.layer == "SHEET" && a.center.y + a.radius <= f.title_top + 0.01) f.lent.arcs.push_back(a);
    const std::string page_cell = "第 " + std::to_string(first.page) + "/" + std::to_string(first.pages) + " 页";
    for (const Text& t : sheet.texts) {
        if (t.layer != "NOTES" || t.anchor.y > f.title_top) continue;
        if (t.text == page_cell) f.page_text = f.lent.texts.size();
        f.lent.texts.push_back(t);
    }
    return f;
}

void draw_table(SheetGraphics& page, const Frame& f, const std::vector<SheetSetup>& setups, std::size_t from,
                std::size_t to) {
    const double top = f.top - 14;  // room for the heading above the table
    double x[kColumnCount + 1];
    x[0] = f.left;
    for (std::size_t c = 0; c < kColumnCount; ++c) x[c + 1] = kColumns[c].width ? x[c] + kColumns[c].width : f.right;
    const std::size_t rows = to - from;
    const double bottom = top - kRowPitch * static_cast<double>(rows + 1);
    line(page, {f.left, top}, {f.right, top}, LineWeight::Wide);
    for (std::size_t r = 1; r <= rows + 1; ++r) {
        const double y = top - kRowPitch * static_cast<double>(r);
        line(page, {f.left, y}, {f.right, y}, r == 1 || r == rows + 1 ? LineWeight::Wide : LineWeight::Thin);
    }
    for (std::size_t c = 1; c < kColumnCount; ++c) line(page, {x[c], top}, {x[c], bottom}, LineWeight::Thin);
    for (std::size_t c = 0; c < kColumnCount; ++c)
        cell_text(page, kColumns[c].heading, x[c], x[c + 1], top - kRowPitch / 2, kHeaderHeight, false);
    for (std::size_t r = from; r < to; ++r) {
        const std::vector<std::string> cells = cells_of(setups[r]);
        const double y = top - kRowPitch * (static_cast<double>(r - from) + 1.5);
        for (std::size_t c = 0; c < kColumnCount; ++c)
            cell_text(page, cells[c], x[c], x[c + 1], y, kTextHeight, c + 1 == kColumnCount);
    }
}

}  // namespace

std::string size_text(const std::array<double, 3>& size) {
    return trimmed(size[0]) + "×" + trimmed(size[1]) + "×" + trimmed(size[2]);
}

double text_advance(const std::string& text, double height) {
    const double em = height / render::kCapitalHeightPerEm;
    double advance = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80)
            advance += 0.6 * em;
        else if (c >= 0xC0)
            advance += em;  // a character's lead byte; continuation bytes add nothing
    }
    return advance;
}

std::vector<SheetGraphics> summary_pages(const std::vector<SheetSetup>& setups, const SheetGraphics& frame_sheet) {
    std::vector<SheetGraphics> pages;
    if (setups.empty()) return pages;
    const Frame frame = frame_of(frame_sheet, setups.front());
    const std::size_t count = (setups.size() + kRowsPerSummaryPage - 1) / kRowsPerSummaryPage;
    for (std::size_t p = 0; p < count; ++p) {
        SheetGraphics page = frame.lent;
        page.name = "setup " + std::to_string(p + 1);
        const std::string of = std::to_string(p + 1) + "/" + std::to_string(count);
        if (frame.page_text < page.texts.size()) page.texts[frame.page_text].text = "设置表 " + of;
        Text heading;
        heading.text = count > 1 ? "放电设置表  " + of : "放电设置表";
        heading.height = 5.0;
        heading.alignment = 5;
        heading.anchor = {(frame.left + frame.right) / 2, frame.top - 7};
        heading.layer = "SUMMARY";
        page.texts.push_back(heading);
        const std::size_t from = p * kRowsPerSummaryPage;
        draw_table(page, frame, setups, from, std::min(setups.size(), from + kRowsPerSummaryPage));
        pages.push_back(std::move(page));
    }
    return pages;
}

}  // namespace cadhost::setup
