#include "cadhost/drafting/projected_strokes.h"

#include <cmath>
#include <utility>

namespace cadhost::drafting {

namespace {

double distance_to_segment(const Point2d& p, const Point2d& a, const Point2d& b) {
    const double dx = b.x - a.x, dy = b.y - a.y, length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0.0;
    t = std::max(0.0, std::min(1.0, t));
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// The line as an arc of its circle, anticlockwise on the sheet; false when its points do not make one (a piece too
// short to tell its sense, or points off the circle).
bool as_arc(const ProjectedLine& line, const Placement& placed, render::Arc& arc) {
    const Polyline2d& p = line.points;
    if (line.radius <= 0 || p.size() < 3) return false;
    const Point2d c = line.centre;
    for (const Point2d* q : {&p.front(), &p[p.size() / 2], &p.back()})
        if (std::fabs(std::hypot(q->x - c.x, q->y - c.y) - line.radius) > 1e-3) return false;
    arc.center = {placed.sheet_x(c.x), placed.sheet_y(c.y)};
    arc.radius = line.radius * placed.scale;
    if (std::hypot(p.front().x - p.back().x, p.front().y - p.back().y) < 1e-9) {
        arc.start_angle = 0.0, arc.end_angle = 2 * M_PI;
        return true;
    }
    // The sense of travel: the sum of turns about the centre along the polyline.
    double turned = 0.0;
    for (std::size_t i = 0; i + 1 < p.size(); ++i)
        turned += std::atan2((p[i].x - c.x) * (p[i + 1].y - c.y) - (p[i].y - c.y) * (p[i + 1].x - c.x),
                             (p[i].x - c.x) * (p[i + 1].x - c.x) + (p[i].y - c.y) * (p[i + 1].y - c.y));
    if (std::fabs(turned) < 1e-12) return false;
    double from = std::atan2(p.front().y - c.y, p.front().x - c.x), to = std::atan2(p.back().y - c.y, p.back().x - c.x);
    if (turned < 0) std::swap(from, to);
    while (to <= from) to += 2 * M_PI;
    arc.start_angle = from, arc.end_angle = to;
    return true;
}

}  // namespace

Polyline2d simplified(const Polyline2d& line, double tolerance) {
    if (line.size() <= 2) return line;
    std::vector<char> keep(line.size(), 0);
    keep.front() = keep.back() = 1;
    std::vector<std::pair<std::size_t, std::size_t>> spans{{0, line.size() - 1}};
    while (!spans.empty()) {
        auto [first, last] = spans.back();
        spans.pop_back();
        double worst = -1.0;
        std::size_t at = first;
        for (std::size_t i = first + 1; i < last; ++i) {
            const double d = distance_to_segment(line[i], line[first], line[last]);
            if (d > worst) worst = d, at = i;
        }
        if (worst <= tolerance) continue;
        keep[at] = 1;
        spans.push_back({first, at});
        spans.push_back({at, last});
    }
    Polyline2d out;
    for (std::size_t i = 0; i < line.size(); ++i)
        if (keep[i]) out.push_back(line[i]);
    return out;
}

void add_projected(render::SheetGraphics& sheet, const ProjectedLine& line, const Placement& placed,
                   const render::Stroke& stroke, const std::string& layer) {
    render::Arc arc;
    if (as_arc(line, placed, arc)) {
        arc.stroke = stroke;
        arc.layer = layer;
        sheet.arcs.push_back(std::move(arc));
        return;
    }
    render::Polyline out{{}, false, stroke, layer};
    for (const auto& p : simplified(line.points, kSheetTolerance / placed.scale))
        out.points.push_back({placed.sheet_x(p.x), placed.sheet_y(p.y)});
    sheet.polylines.push_back(std::move(out));
}

}  // namespace cadhost::drafting
