#include "cadhost/drafting/sheet_room.h"

#include <algorithm>
#include <cmath>

#include "cadhost/drafting/text_arrangement.h"
#include "cadhost/drafting/view_frame.h"

namespace cadhost::drafting {

using render::Point2;
using render::SheetGraphics;

namespace {

constexpr double kCell = 5.0;

void add_chain(std::vector<Point2>& out, const std::vector<Point2>& points, bool closed) {
    for (std::size_t i = 1; i < points.size(); ++i) out.insert(out.end(), {points[i - 1], points[i]});
    if (closed && points.size() > 2) out.insert(out.end(), {points.back(), points.front()});
}

}  // namespace

SheetBox ink_box(const render::Text& t) {
    const Box ink = text_box(t);
    return {ink.x0, ink.y0, ink.x1, ink.y1};
}

bool segment_hits_box(Point2 a, Point2 b, const SheetBox& box) {
    // Clipping of the segment's parameter to the box, slab by slab.
    double t0 = 0.0, t1 = 1.0;
    const double d[2] = {b.x - a.x, b.y - a.y};
    const double from[2] = {a.x, a.y}, lo[2] = {box.x0, box.y0}, hi[2] = {box.x1, box.y1};
    for (int k = 0; k < 2; ++k) {
        if (std::abs(d[k]) < 1e-12) {
            if (from[k] < lo[k] || from[k] > hi[k]) return false;
            continue;
        }
        double ta = (lo[k] - from[k]) / d[k], tb = (hi[k] - from[k]) / d[k];
        if (ta > tb) std::swap(ta, tb);
        t0 = std::max(t0, ta), t1 = std::min(t1, tb);
        if (t0 > t1) return false;
    }
    return true;
}

std::vector<SheetView> sheet_views(const Document& doc, tag_t drawing) {
    std::vector<SheetView> out;
    for (tag_t member : doc.drawing_members(drawing)) {
        if (!doc.find(member)->as<DrawingViewData>()) continue;
        const Placement placed = placement(doc, member);
        if (placed.extent.empty) continue;
        const double x0 = placed.sheet_x(placed.extent.xmin), x1 = placed.sheet_x(placed.extent.xmax);
        const double y0 = placed.sheet_y(placed.extent.ymin), y1 = placed.sheet_y(placed.extent.ymax);
        if (!std::isfinite(x0) || !std::isfinite(x1) || !std::isfinite(y0) || !std::isfinite(y1)) continue;
        out.push_back({member, {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)}});
    }
    return out;
}

SheetBox usable_area(const SheetGraphics& sheet, double margin) {
    SheetBox border{1e300, 1e300, -1e300, -1e300};
    for (const auto& p : sheet.polylines)
        if (p.layer == "SHEET")
            for (const Point2& q : p.points)
                border = {std::min(border.x0, q.x), std::min(border.y0, q.y), std::max(border.x1, q.x),
                          std::max(border.y1, q.y)};
    if (border.x0 >= border.x1 || border.y0 >= border.y1)
        return SheetBox{0.0, 0.0, sheet.width, sheet.height}.grown(-margin);
    // The title block: up to the highest line across (nearly) the whole border in its lower half. Its empty cells
    // are the title block's, not room for anything else.
    const double across = 0.95 * (border.x1 - border.x0), middle = (border.y0 + border.y1) / 2;
    double floor = border.y0;
    for (const auto& p : sheet.polylines) {
        if (p.layer != "SHEET") continue;
        for (std::size_t i = 1; i < p.points.size(); ++i) {
            const Point2 a = p.points[i - 1], b = p.points[i];
            if (std::abs(a.y - b.y) < 0.01 && std::abs(a.x - b.x) >= across && a.y < middle)
                floor = std::max(floor, a.y);
        }
    }
    border.y0 = floor;
    return border.grown(-margin);
}

// The strokes are filed by the cells of a square grid their boxes cover, so that a box is tested against the strokes
// near it only: a sheet of a large core holds a hundred thousand strokes and a placement looks in a few places, and
// a stroke is divided into straight pieces only when a box first comes near it.
SheetRoom::SheetRoom(const SheetGraphics& sheet) {
    render::for_each_text(sheet, [this](const render::Text& t) { texts_.push_back(ink_box(t)); });
    shapes_ = render::stroke_shapes(sheet, [](const render::Polyline& p) { return p.layer != "GRID"; });
    for (std::size_t i = 0; i < shapes_.size(); ++i) {
        const render::StrokeShape& shape = shapes_[i];
        for (long cx = cell(shape.x0); cx <= cell(shape.x1); ++cx)
            for (long cy = cell(shape.y0); cy <= cell(shape.y1); ++cy) cells_[{cx, cy}].push_back(i);
    }
    segments_.resize(shapes_.size());
    looked_.assign(shapes_.size(), 0);
}

bool SheetRoom::hits_text(const SheetBox& box) const {
    return std::any_of(texts_.begin(), texts_.end(), [&](const SheetBox& t) { return t.overlaps(box); });
}

bool SheetRoom::line_hits_text(Point2 a, Point2 b, double clearance) const {
    const SheetBox line{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    return std::any_of(texts_.begin(), texts_.end(), [&](const SheetBox& t) {
        const SheetBox near = t.grown(clearance);
        return line.overlaps(near) && segment_hits_box(a, b, near);
    });
}

bool SheetRoom::hits_line(const SheetBox& box) const {
    ++query_;
    for (long cx = cell(box.x0); cx <= cell(box.x1); ++cx)
        for (long cy = cell(box.y0); cy <= cell(box.y1); ++cy) {
            auto found = cells_.find({cx, cy});
            if (found == cells_.end()) continue;
            for (std::size_t i : found->second) {
                if (looked_[i] == query_) continue;
                looked_[i] = query_;
                const render::StrokeShape& shape = shapes_[i];
                if (!SheetBox{shape.x0, shape.y0, shape.x1, shape.y1}.overlaps(box)) continue;
                const auto& ends = segments(i);
                for (std::size_t k = 0; k + 1 < ends.size(); k += 2) {
                    const Point2 a = ends[k], b = ends[k + 1];
                    const SheetBox piece{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x),
                                         std::max(a.y, b.y)};
                    if (piece.overlaps(box) && segment_hits_box(a, b, box)) return true;
                }
            }
        }
    return false;
}

// Curves divided finely enough for clearances of a millimetre.
const std::vector<Point2>& SheetRoom::segments(std::size_t i) const {
    auto& out = segments_[i];
    if (out) return *out;
    bool closed = false;
    const std::vector<Point2> points = render::stroke_points(shapes_[i], M_PI / 36, 4, closed);
    add_chain(out.emplace(), points, closed);
    return *out;
}

// Strokes far off the sheet (a view reaching beyond it) share the outermost cells rather than making many.
long SheetRoom::cell(double v) { return static_cast<long>(std::floor(std::clamp(v, -1000.0, 2000.0) / kCell)); }

}  // namespace cadhost::drafting
