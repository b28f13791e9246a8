#include "cadhost/drafting/projected_strokes.h"

#include <cmath>
#include <utility>

#include <GCPnts_TangentialDeflection.hxx>
#include <Geom2dAdaptor_Curve.hxx>
#include <Geom2d_BSplineCurve.hxx>
#include <Standard_Failure.hxx>
#include <TColStd_Array1OfInteger.hxx>
#include <TColStd_Array1OfReal.hxx>
#include <TColgp_Array1OfPnt2d.hxx>

namespace cadhost::drafting {

namespace {

double distance_to_segment(const Point2d& p, const Point2d& a, const Point2d& b) {
    const double dx = b.x - a.x, dy = b.y - a.y, length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0.0;
    t = std::max(0.0, std::min(1.0, t));
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// The turn about the origin along the points given by at(0) .. at(n - 1), as its sign (a sum of the steps' angles
// where its sign alone does not tell). Where every step turns the same way and the ends lie apart, each step turns
// less than half a turn that way and the whole turns that way by at least the angle between the ends: where that is
// plainly more than nothing, only its sign is needed, and the steps' angles are not worked out one by one.
template <class At>
double turning(std::size_t n, At at) {
    bool left = true, right = true;
    for (std::size_t i = 0; i + 1 < n && (left || right); ++i) {
        const Point2d a = at(i), b = at(i + 1);
        const double cross = a.x * b.y - a.y * b.x;
        left = left && cross > 0.0;
        right = right && cross < 0.0;
    }
    const Point2d first = at(0), last = at(n - 1);
    const double across = std::fabs(first.x * last.y - first.y * last.x), along = first.x * last.x + first.y * last.y,
                 lengths = std::hypot(first.x, first.y) * std::hypot(last.x, last.y);
    if ((left || right) && n >= 2 && (across >= 1e-9 * lengths || along < 0.0)) return left ? 1.0 : -1.0;
    double turned = 0.0;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const Point2d a = at(i), b = at(i + 1);
        turned += std::atan2(a.x * b.y - a.y * b.x, a.x * b.x + a.y * b.y);
    }
    return turned;
}

// How far the ends of a piece of a circle or an ellipse may lie off it: a piece cut where the line leaves a region
// ends on a chord of the polyline, which strays from the curve by the projection's deflection at most.
constexpr double kOffCurve = 0.01;

// The line as an arc of its circle, anticlockwise on the sheet; false when its points are off the circle. A piece of
// two points is the shorter way between them: the curve was divided wherever it turned further.
bool as_arc(const ProjectedLine& line, const Placement& placed, render::Arc& arc) {
    const Polyline2d& p = line.points;
    if (line.radius <= 0 || p.size() < 2) return false;
    const Point2d c = line.centre;
    for (const Point2d* q : {&p.front(), &p[p.size() / 2], &p.back()})
        if (std::fabs(std::hypot(q->x - c.x, q->y - c.y) - line.radius) > kOffCurve) return false;
    arc.center = {placed.sheet_x(c.x), placed.sheet_y(c.y)};
    arc.radius = line.radius * placed.scale;
    if (std::hypot(p.front().x - p.back().x, p.front().y - p.back().y) < 1e-9) {
        arc.start_angle = 0.0, arc.end_angle = 2 * M_PI;
        return true;
    }
    // The sense of travel: the turn about the centre along the polyline.
    const double turned = turning(p.size(), [&](std::size_t i) { return Point2d{p[i].x - c.x, p[i].y - c.y}; });
    if (std::fabs(turned) < 1e-12) return false;
    double from = std::atan2(p.front().y - c.y, p.front().x - c.x), to = std::atan2(p.back().y - c.y, p.back().x - c.x);
    if (turned < 0) std::swap(from, to);
    while (to <= from) to += 2 * M_PI;
    arc.start_angle = from, arc.end_angle = to;
    return true;
}

// The line as an arc of its ellipse, anticlockwise on the sheet; false when its points are off the ellipse. Points are
// measured in the ellipse's own frame scaled to a unit circle, where the parameter is the angle. A piece of two points
// is the shorter way between them, as for a circle.
bool as_ellipse(const ProjectedLine& line, const Placement& placed, render::Ellipse& ellipse) {
    const Polyline2d& p = line.points;
    const double a = std::hypot(line.major.x, line.major.y);
    if (!line.is_ellipse() || line.ratio < 1e-6 || line.ratio > 1.0 || a <= 0.0 || p.size() < 2) return false;
    const double ux = line.major.x / a, uy = line.major.y / a, b = a * line.ratio;
    auto unit = [&](const Point2d& q) {
        const double dx = q.x - line.centre.x, dy = q.y - line.centre.y;
        return Point2d{(dx * ux + dy * uy) / a, (-dx * uy + dy * ux) / b};
    };
    // a |r - 1| bounds the distance from the ellipse of a point at r times the way from the centre to it.
    for (const Point2d* q : {&p.front(), &p[p.size() / 2], &p.back()}) {
        const Point2d u = unit(*q);
        if (a * std::fabs(std::hypot(u.x, u.y) - 1.0) > kOffCurve) return false;
    }
    ellipse.center = {placed.sheet_x(line.centre.x), placed.sheet_y(line.centre.y)};
    ellipse.major = {line.major.x * placed.scale, line.major.y * placed.scale};
    ellipse.ratio = line.ratio;
    if (std::hypot(p.front().x - p.back().x, p.front().y - p.back().y) < 1e-9) {
        ellipse.start_param = 0.0, ellipse.end_param = 2 * M_PI;
        return true;
    }
    const double turned = turning(p.size(), [&](std::size_t i) { return unit(p[i]); });
    if (std::fabs(turned) < 1e-12) return false;
    const Point2d first = unit(p.front()), last = unit(p.back());
    // Within [0, 2 pi): a point on the axis behind the centre is at pi whichever sign its zero has.
    auto angle = [](const Point2d& u) {
        const double t = std::atan2(u.y, u.x);
        return t < 0.0 ? t + 2 * M_PI : t;
    };
    double from = angle(first), to = angle(last);
    if (turned < 0) std::swap(from, to);
    while (to <= from) to += 2 * M_PI;
    ellipse.start_param = from, ellipse.end_param = to;
    return true;
}

// The spline on the sheet: the placement only moves and scales, so the curve on the sheet is the one whose poles are
// the placed poles. The polyline for outputs without splines is divided on the sheet, within the sheet's tolerance.
bool as_spline(const ProjectedLine& line, const Placement& placed, render::Spline& out) {
    if (!line.spline) return false;
    const Spline2d& spline = *line.spline;
    // A spline of degree one is a polyline, which every reader draws.
    if (spline.degree == 1 && spline.weights.empty()) return false;
    if (spline.degree < 1 || spline.poles.size() < static_cast<std::size_t>(spline.degree) + 1 ||
        spline.knots.size() != spline.poles.size() + static_cast<std::size_t>(spline.degree) + 1 ||
        (!spline.weights.empty() && spline.weights.size() != spline.poles.size()))
        return false;
    out.degree = spline.degree;
    out.knots = spline.knots;
    out.weights = spline.weights;
    for (const auto& pole : spline.poles) out.poles.push_back({placed.sheet_x(pole.x), placed.sheet_y(pole.y)});
    return sampled_spline(out, kSheetTolerance);
}

// Puts the shape that make() gives on the sheet, with the line's stroke and layer; false when make() gives none.
template <class Shape, class Make>
bool add_if(std::vector<Shape>& to, Make make, const render::Stroke& stroke, const std::string& layer) {
    Shape shape;
    if (!make(shape)) return false;
    shape.stroke = stroke;
    shape.layer = layer;
    to.push_back(std::move(shape));
    return true;
}

}  // namespace

bool sampled_spline(render::Spline& spline, double tolerance) {
    try {
        const int n = static_cast<int>(spline.poles.size());
        TColgp_Array1OfPnt2d poles(1, n);
        for (int i = 0; i < n; ++i) poles(i + 1) = gp_Pnt2d(spline.poles[i].x, spline.poles[i].y);
        std::vector<double> distinct;
        std::vector<int> counts;
        for (double k : spline.knots) {
            if (!distinct.empty() && k == distinct.back())
                ++counts.back();
            else
                distinct.push_back(k), counts.push_back(1);
        }
        TColStd_Array1OfReal knots(1, static_cast<int>(distinct.size()));
        TColStd_Array1OfInteger multiplicities(1, static_cast<int>(distinct.size()));
        for (std::size_t i = 0; i < distinct.size(); ++i) {
            knots(static_cast<int>(i) + 1) = distinct[i];
            multiplicities(static_cast<int>(i) + 1) = counts[i];
        }
        Handle(Geom2d_BSplineCurve) curve;
        if (spline.weights.empty()) {
            curve = new Geom2d_BSplineCurve(poles, knots, multiplicities, spline.degree);
        } else {
            TColStd_Array1OfReal weights(1, n);
            for (int i = 0; i < n; ++i) weights(i + 1) = spline.weights[i];
            curve = new Geom2d_BSplineCurve(poles, weights, knots, multiplicities, spline.degree);
        }
        Geom2dAdaptor_Curve adaptor(curve);
        GCPnts_TangentialDeflection sampler(adaptor, 0.2, tolerance, 2);
        spline.points.clear();
        for (int i = 1; i <= sampler.NbPoints(); ++i) {
            const gp_Pnt p = sampler.Value(i);
            spline.points.push_back({p.X(), p.Y()});
        }
        return spline.points.size() >= 2;
    } catch (const Standard_Failure&) {
        return false;  // knots the kernel refuses: the line is drawn from its own polyline
    }
}

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
    if (add_if(
            sheet.arcs, [&](render::Arc& arc) { return as_arc(line, placed, arc); }, stroke, layer) ||
        add_if(
            sheet.ellipses, [&](render::Ellipse& e) { return as_ellipse(line, placed, e); }, stroke, layer) ||
        add_if(
            sheet.splines, [&](render::Spline& spline) { return as_spline(line, placed, spline); }, stroke, layer))
        return;
    render::Polyline out{{}, false, stroke, layer};
    for (const auto& p : simplified(line.points, kSheetTolerance / placed.scale))
        out.points.push_back({placed.sheet_x(p.x), placed.sheet_y(p.y)});
    sheet.polylines.push_back(std::move(out));
}

}  // namespace cadhost::drafting
