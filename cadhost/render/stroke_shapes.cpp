#include "cadhost/render/stroke_shapes.h"

#include <algorithm>
#include <cmath>

namespace cadhost::render {

namespace {

StrokeShape bounded(StrokeShape::Kind kind, const void* what, const std::vector<Point2>& points) {
    StrokeShape shape{kind, what, points.front().x, points.front().y, points.front().x, points.front().y};
    for (const Point2& p : points) {
        shape.x0 = std::min(shape.x0, p.x), shape.y0 = std::min(shape.y0, p.y);
        shape.x1 = std::max(shape.x1, p.x), shape.y1 = std::max(shape.y1, p.y);
    }
    return shape;
}

// The curve's points from its start over its sweep.
template <class Point>
std::vector<Point2> divided(double from, double sweep, double chord, int least, Point point) {
    const int n = std::max(least, static_cast<int>(std::ceil(std::fabs(sweep) / chord)));
    std::vector<Point2> points;
    for (int k = 0; k <= n; ++k) points.push_back(point(from + sweep * k / n));
    return points;
}

}  // namespace

std::vector<StrokeShape> stroke_shapes(const SheetGraphics& sheet, const std::function<bool(const Polyline&)>& keep) {
    std::vector<StrokeShape> out;
    for_each_polyline(sheet, [&](const Polyline& line) {
        if (!line.points.empty() && (!keep || keep(line)))
            out.push_back(bounded(StrokeShape::Line, &line, line.points));
    });
    for (const auto& spline : sheet.splines)
        if (!spline.points.empty()) out.push_back(bounded(StrokeShape::Spline, &spline, spline.points));
    for_each_triangle(sheet, [&](const Triangle& t) {
        out.push_back(bounded(StrokeShape::Triangle, &t, {t.a, t.b, t.c}));
    });
    for (const auto& arc : sheet.arcs) {
        const double r = std::fabs(arc.radius);
        out.push_back({StrokeShape::Arc, &arc, arc.center.x - r, arc.center.y - r, arc.center.x + r, arc.center.y + r});
    }
    for (const auto& e : sheet.ellipses) {
        // The ratio should be at most 1; a larger one stretches the minor axis past the major.
        const double a = std::hypot(e.major.x, e.major.y) * std::max(1.0, std::fabs(e.ratio));
        out.push_back({StrokeShape::Ellipse, &e, e.center.x - a, e.center.y - a, e.center.x + a, e.center.y + a});
    }
    return out;
}

std::vector<Point2> stroke_points(const StrokeShape& shape, double chord, int least, bool& closed) {
    closed = false;
    switch (shape.kind) {
        case StrokeShape::Line: {
            const auto& line = *static_cast<const Polyline*>(shape.what);
            closed = line.closed;
            return line.points;
        }
        case StrokeShape::Spline:
            return static_cast<const Spline*>(shape.what)->points;
        case StrokeShape::Triangle: {
            const auto& t = *static_cast<const Triangle*>(shape.what);
            closed = true;
            return {t.a, t.b, t.c};
        }
        case StrokeShape::Arc: {
            const auto& a = *static_cast<const Arc*>(shape.what);
            return divided(a.start_angle, a.end_angle - a.start_angle, chord, least, [&a](double t) {
                return Point2{a.center.x + a.radius * std::cos(t), a.center.y + a.radius * std::sin(t)};
            });
        }
        case StrokeShape::Ellipse: {
            const auto& e = *static_cast<const Ellipse*>(shape.what);
            return divided(e.start_param, e.end_param - e.start_param, chord, least, [&e](double t) {
                const double c = std::cos(t), s = std::sin(t);
                return Point2{e.center.x + e.major.x * c - e.ratio * e.major.y * s,
                              e.center.y + e.major.y * c + e.ratio * e.major.x * s};
            });
        }
    }
    return {};
}

}  // namespace cadhost::render
