#include "cadhost/drafting/stroke_cutting.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace cadhost::drafting {

namespace {

using render::Point2;

Box2 box_around(const std::vector<Point2>& points, Box2 box = {}) {
    for (const Point2& p : points) box.merge(Box2{p.x, p.y, p.x, p.y, false});
    return box;
}

// Cuts the points where they cross into the regions; false when they never do, and nothing is handed on.
template <class Emit>
bool cut_points(const std::vector<Point2>& points, bool closed, const std::vector<Box2>& regions, Emit emit) {
    Polyline2d line;
    line.reserve(points.size() + 1);
    for (const Point2& p : points) line.push_back({p.x, p.y});
    if (closed && line.size() >= 2) line.push_back(line.front());
    bool entered = false;
    std::vector<Polyline2d> outside;
    split_by_regions(line, regions, [&](int region, Polyline2d piece) {
        if (region >= 0)
            entered = true;
        else
            outside.push_back(std::move(piece));
    });
    if (!entered) return false;
    for (const Polyline2d& piece : outside) {
        std::vector<Point2> out;
        out.reserve(piece.size());
        for (const Point2d& p : piece) out.push_back({p.x, p.y});
        emit(std::move(out));
    }
    return true;
}

// The spans of t, from t0 to t1, where the curve centre + u cos t + v sin t lies outside the regions; entered tells
// whether any part lies inside. A whole curve (t1 = t0 + 2 pi) cut somewhere keeps what is outside on either side of
// its start as one span, running past t0 + 2 pi.
std::vector<std::pair<double, double>> outside_spans(Point2 c, Point2 u, Point2 v, double t0, double t1,
                                                     const std::vector<Box2>& regions, bool& entered) {
    constexpr double kTurn = 2 * M_PI;
    std::vector<double> cuts{t0, t1};
    // Where a cos t + b sin t = d: at t = phi +- delta.
    auto crossings = [&](double a, double b, double d) {
        const double r = std::hypot(a, b);
        if (r == 0.0 || std::fabs(d) > r) return;
        const double phi = std::atan2(b, a), delta = std::acos(std::clamp(d / r, -1.0, 1.0));
        for (double t : {phi + delta, phi - delta}) {
            double s = t0 + std::fmod(t - t0, kTurn);
            if (s < t0) s += kTurn;
            if (s > t0 && s < t1) cuts.push_back(s);
        }
    };
    for (const Box2& r : regions) {
        crossings(u.x, v.x, r.x0 - c.x), crossings(u.x, v.x, r.x1 - c.x);
        crossings(u.y, v.y, r.y0 - c.y), crossings(u.y, v.y, r.y1 - c.y);
    }
    std::sort(cuts.begin(), cuts.end());
    std::vector<std::pair<double, double>> spans;
    entered = false;
    for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
        const double a = cuts[k], b = cuts[k + 1];
        if (b <= a) continue;
        const double m = (a + b) / 2;
        const double x = c.x + u.x * std::cos(m) + v.x * std::sin(m), y = c.y + u.y * std::cos(m) + v.y * std::sin(m);
        if (std::any_of(regions.begin(), regions.end(), [&](const Box2& r) { return r.contains(x, y); })) {
            entered = true;
            continue;
        }
        if (!spans.empty() && spans.back().second == a)
            spans.back().second = b;
        else
            spans.push_back({a, b});
    }
    const bool whole = t1 - t0 >= kTurn - 1e-12;
    if (entered && whole && spans.size() >= 2 && spans.front().first == t0 && spans.back().second == t1) {
        spans.back().second = spans.front().second + kTurn;
        spans.erase(spans.begin());
    }
    return spans;
}

// An arc of a circle or an ellipse, centre + u cos t + v sin t for t from its start to its end: itself when it does
// not enter the regions, else an arc of the same curve for each span outside them.
template <class Conic>
void add_conic_outside(const Conic& conic, Point2 u, Point2 v, double Conic::*start, double Conic::*end,
                       const std::vector<Box2>& regions, std::vector<Conic>& to) {
    bool entered = false;
    const auto spans = outside_spans(conic.center, u, v, conic.*start, conic.*end, regions, entered);
    if (!entered) {
        to.push_back(conic);
        return;
    }
    for (const auto& [from, till] : spans) {
        Conic piece = conic;
        piece.*start = from, piece.*end = till;
        to.push_back(std::move(piece));
    }
}

}  // namespace

Box2 box_of(const render::Polyline& polyline) { return box_around(polyline.points); }

Box2 box_of(const render::Arc& arc) {
    return {arc.center.x - arc.radius, arc.center.y - arc.radius, arc.center.x + arc.radius, arc.center.y + arc.radius,
            false};
}

Box2 box_of(const render::Ellipse& ellipse) {
    const double a = std::hypot(ellipse.major.x, ellipse.major.y);
    return {ellipse.center.x - a, ellipse.center.y - a, ellipse.center.x + a, ellipse.center.y + a, false};
}

Box2 box_of(const render::Spline& spline) { return box_around(spline.poles, box_around(spline.points)); }

void add_outside(const render::Polyline& polyline, const std::vector<Box2>& regions, render::SheetGraphics& to) {
    const bool cut = cut_points(polyline.points, polyline.closed, regions, [&](std::vector<Point2> piece) {
        to.polylines.push_back(render::Polyline{std::move(piece), false, polyline.stroke, polyline.layer});
    });
    if (!cut) to.polylines.push_back(polyline);
}

void add_outside(const render::Arc& arc, const std::vector<Box2>& regions, render::SheetGraphics& to) {
    add_conic_outside(arc, {arc.radius, 0.0}, {0.0, arc.radius}, &render::Arc::start_angle, &render::Arc::end_angle,
                      regions, to.arcs);
}

void add_outside(const render::Ellipse& ellipse, const std::vector<Box2>& regions, render::SheetGraphics& to) {
    const Point2 minor{-ellipse.major.y * ellipse.ratio, ellipse.major.x * ellipse.ratio};
    add_conic_outside(ellipse, ellipse.major, minor, &render::Ellipse::start_param, &render::Ellipse::end_param,
                      regions, to.ellipses);
}

void add_outside(const render::Spline& spline, const std::vector<Box2>& regions, render::SheetGraphics& to) {
    const bool cut = cut_points(spline.points, false, regions, [&](std::vector<Point2> piece) {
        to.polylines.push_back(render::Polyline{std::move(piece), false, spline.stroke, spline.layer});
    });
    if (!cut) to.splines.push_back(spline);
}

}  // namespace cadhost::drafting
