#include "cadhost/drafting/body_looks.h"

#include <algorithm>
#include <cmath>

#include "cadhost/document/object_colour.h"
#include "cadhost/drafting/view_frame.h"

namespace cadhost::drafting {

namespace {

// How far a merged line may lie from the body's own line and still be that line, in view mm: both are polylines of
// the same curve within the projection's deflection of it, made by different projections.
double match_tolerance(const ProjectionOptions& options) { return 0.01 + 4.0 * options.deflection; }

double distance_to_segment(Point2d p, Point2d a, Point2d b) {
    const double dx = b.x - a.x, dy = b.y - a.y, length2 = dx * dx + dy * dy;
    double t = length2 > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

bool styled(const Object& body) { return body.rgb.has_value() || body.line_width != kWidthNormal; }

}  // namespace

std::vector<const Object*> shown_bodies(const Document& doc, const DrawingViewData& view) {
    std::vector<const Object*> bodies;
    for (tag_t tag : shown_objects(doc, view))
        if (const Object* shown = doc.find(tag); shown && shown->as<BodyData>()) bodies.push_back(shown);
    return bodies;
}

Point2d middle_of(const Polyline2d& line) {
    if (line.empty()) return {};
    double total = 0.0;
    for (std::size_t i = 1; i < line.size(); ++i)
        total += std::hypot(line[i].x - line[i - 1].x, line[i].y - line[i - 1].y);
    double left = total / 2.0;
    for (std::size_t i = 1; i < line.size(); ++i) {
        const double step = std::hypot(line[i].x - line[i - 1].x, line[i].y - line[i - 1].y);
        if (step >= left && step > 0.0) {
            const double t = left / step;
            return {line[i - 1].x + t * (line[i].x - line[i - 1].x), line[i - 1].y + t * (line[i].y - line[i - 1].y)};
        }
        left -= step;
    }
    return line.front();
}

BodyLooks::BodyLooks(const std::vector<const Object*>& bodies, const ViewOrientation& orientation,
                     const ProjectionOptions& options) {
    std::vector<const Object*> order;
    for (const Object* body : bodies)
        if (styled(*body) && body->as<BodyData>()) order.push_back(body);
    if (order.empty()) return;
    // The thickest first; among equals the one shown last, as it would be drawn over the others.
    std::reverse(order.begin(), order.end());
    std::stable_sort(order.begin(), order.end(),
                     [](const Object* a, const Object* b) { return a->line_width > b->line_width; });
    const double tolerance = match_tolerance(options);
    for (const Object* body : order) {
        const auto alone = project_bodies({body->as<BodyData>()->shape}, orientation, options);
        Styled entry;
        entry.body = body;
        entry.cell = std::max(1.0, 100.0 * tolerance);
        auto cell_of = [&](double v) { return static_cast<long>(std::floor(v / entry.cell)); };
        for (const auto* lists : {&alone->visible, &alone->hidden}) {
            for (const auto& list : *lists) {
                for (const ProjectedLine& line : list) {
                    for (std::size_t i = 1; i < line.points.size(); ++i) {
                        const Point2d a = line.points[i - 1], b = line.points[i];
                        const long x0 = cell_of(std::min(a.x, b.x) - tolerance),
                                   x1 = cell_of(std::max(a.x, b.x) + tolerance);
                        const long y0 = cell_of(std::min(a.y, b.y) - tolerance),
                                   y1 = cell_of(std::max(a.y, b.y) + tolerance);
                        // A segment across very many cells (a long edge of a large body) is kept in each of them.
                        for (long x = x0; x <= x1; ++x)
                            for (long y = y0; y <= y1; ++y) entry.grid[{x, y}].emplace_back(a, b);
                    }
                }
            }
        }
        styled_.push_back(std::move(entry));
    }
    tolerance_ = tolerance;
}

bool BodyLooks::lies_on(const Styled& styled, Point2d point) const {
    const auto found = styled.grid.find(
        {static_cast<long>(std::floor(point.x / styled.cell)), static_cast<long>(std::floor(point.y / styled.cell))});
    if (found == styled.grid.end()) return false;
    for (const auto& [a, b] : found->second)
        if (distance_to_segment(point, a, b) <= tolerance_) return true;
    return false;
}

render::Stroke BodyLooks::stroke_of(const ProjectedLine& line, const render::Stroke& stroke, bool hidden) const {
    if (styled_.empty() || line.points.empty()) return stroke;
    const Point2d middle = middle_of(line.points);
    for (const Styled& entry : styled_) {
        if (!lies_on(entry, middle)) continue;
        render::Stroke own = stroke;
        if (entry.body->rgb) own.ink = ink_colour(*entry.body->rgb);
        if (!hidden && entry.body->line_width == kWidthThin) own.weight = render::LineWeight::Thin;
        if (!hidden && entry.body->line_width == kWidthThick) own.weight = render::LineWeight::Heavy;
        return own;
    }
    return stroke;
}

}  // namespace cadhost::drafting
