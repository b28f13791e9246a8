#include "cadhost/render/dxf_shapes.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <numbers>
#include <string>
#include <tuple>

namespace cadhost::render {

namespace {

constexpr double kTurn = 2.0 * std::numbers::pi;
constexpr int kMostDecimals = 9;

double to_decimals(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

// A parameter within one turn, as readers expect it; an arc through 0 ends before it starts.
double within_turn(double t, int decimals) {
    t = std::fmod(t, kTurn);
    t = to_decimals(t < 0.0 ? t + kTurn : t, decimals);
    return t >= kTurn ? 0.0 : t;
}

bool whole_turn(double start, double end) { return end - start >= kTurn - 1e-9; }

}  // namespace

double sheet_digits(double value) {
    if (!std::isfinite(value) || std::fabs(value) > 1e9) return value;
    return std::round(value * 1e4) / 1e4;
}

Point2 sheet_digits(const Point2& p) { return {sheet_digits(p.x), sheet_digits(p.y)}; }

double arc_degrees(double radians) {
    double d = std::fmod(radians * 180.0 / std::numbers::pi, 360.0);
    if (d < 0.0) d += 360.0;
    d = std::round(d * 1e6) / 1e6;
    return d >= 360.0 ? 0.0 : d;
}

bool arc_left_out(const Arc& arc) {
    if (!(arc.radius > 0.0)) return true;
    const double sweep = std::fmod(arc.end_angle - arc.start_angle, kTurn);
    return !whole_turn(arc.start_angle, arc.end_angle) && std::fabs(sweep) * 180.0 / std::numbers::pi < 2e-6;
}

std::optional<DxfEllipse> dxf_ellipse(const Ellipse& ellipse) {
    if (!(ellipse.ratio > 0.0 && ellipse.ratio <= 1.0) || !(std::hypot(ellipse.major.x, ellipse.major.y) > 0.0))
        return std::nullopt;
    const bool whole = whole_turn(ellipse.start_param, ellipse.end_param);
    if (!whole && std::fabs(std::fmod(ellipse.end_param - ellipse.start_param, kTurn)) < 2e-7) return std::nullopt;

    DxfEllipse written;
    written.center = sheet_digits(ellipse.center);
    // The axis to the sheet's digits unless that would shorten it to nothing.
    written.major = std::hypot(sheet_digits(ellipse.major.x), sheet_digits(ellipse.major.y)) > 0.0
                        ? sheet_digits(ellipse.major)
                        : ellipse.major;
    // A step of the ratio or of a parameter moves a point of the ellipse by at most the axis' length times the step,
    // so they take the decimals that keep every point within the sheet's 0.0001 mm, and no more.
    const double length = std::hypot(written.major.x, written.major.y);
    int decimals = std::clamp(static_cast<int>(std::ceil(std::log10(length * 1e4))), 4, kMostDecimals);
    const double ratio = to_decimals(ellipse.ratio, decimals);
    written.ratio = ratio > 0.0 ? ratio : ellipse.ratio;
    if (whole) {
        // Just short of a turn: a reader that brings the end within one turn keeps it where it is, and one that
        // compares the sweep with a turn, to a billionth, finds the ellipse whole.
        written.start = 0.0;
        written.end = std::floor(kTurn * 1e9) / 1e9;
        return written;
    }
    // Ends that rounding would make agree take more decimals: a reader would draw the whole ellipse.
    while (decimals < kMostDecimals &&
           within_turn(ellipse.start_param, decimals) == within_turn(ellipse.end_param, decimals))
        ++decimals;
    written.start = within_turn(ellipse.start_param, decimals);
    written.end = within_turn(ellipse.end_param, decimals);
    return written;
}

Point2 anchor_of(const Polyline& polyline) {
    return polyline.points.empty() ? Point2{} : sheet_digits(polyline.points.front());
}

Point2 anchor_of(const Arc& arc) { return sheet_digits(arc.center); }

namespace {

// A shape: what is written of it but for where it is, on one layer in one stroke, as exact numbers.
using Shape = std::tuple<ShapeBlocks::Kind, std::string, int, int, std::uint32_t, std::vector<std::int64_t>>;

Shape shape_of(ShapeBlocks::Kind kind, const std::string& layer, const Stroke& stroke) {
    return {kind, layer, static_cast<int>(stroke.weight), static_cast<int>(stroke.pattern), stroke.ink, {}};
}

// A number of the sheet's grid as a count of its steps; nothing for one off any sheet.
std::optional<std::int64_t> steps(double value) {
    if (!std::isfinite(value) || std::fabs(value) > 1e6) return std::nullopt;
    return std::llround(value * 1e4);
}

std::optional<std::int64_t> exact(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    std::int64_t bits;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

class Grouping {
  public:
    // saving: how many bytes shorter a placement is than the entity it stands for.
    void add(const std::optional<Shape>& shape, ShapeBlocks::Kind kind, std::size_t index, std::size_t saving) {
        if (!shape) return;
        auto [found, added] = members_.try_emplace(*shape);
        found->second.push_back(index);
        if (added) order_.push_back({kind, &found->second, kBlockBytes / saving + 1});
    }

    ShapeBlocks blocks(const SheetGraphics& sheet) const {
        ShapeBlocks made;
        made.polyline_block.assign(sheet.polylines.size(), -1);
        made.arc_block.assign(sheet.arcs.size(), -1);
        made.ellipse_block.assign(sheet.ellipses.size(), -1);
        for (const auto& [kind, members, paying] : order_) {
            if (members->size() < paying) continue;
            const int block = static_cast<int>(made.blocks.size());
            made.blocks.push_back({kind, members->front()});
            std::vector<int>& of = kind == ShapeBlocks::Kind::Polyline ? made.polyline_block
                                   : kind == ShapeBlocks::Kind::Arc    ? made.arc_block
                                                                       : made.ellipse_block;
            for (std::size_t i : *members) of[i] = block;
        }
        return made;
    }

  private:
    std::map<Shape, std::vector<std::size_t>> members_;
    struct Group {
        ShapeBlocks::Kind kind;
        const std::vector<std::size_t>* members;
        std::size_t paying;  // how many placements pay for the block
    };
    std::vector<Group> order_;  // as the sheet first draws them
};

std::optional<Shape> polyline_shape(const Polyline& p) {
    if (p.points.size() < 2 || p.stroke.pattern == LinePattern::Continuous) return std::nullopt;
    Shape shape = shape_of(ShapeBlocks::Kind::Polyline, p.layer, p.stroke);
    auto& numbers = std::get<5>(shape);
    numbers.push_back(p.closed);
    const Point2 anchor = anchor_of(p);
    for (const Point2& point : p.points) {
        const Point2 at = sheet_digits(point);
        const auto x = steps(at.x - anchor.x), y = steps(at.y - anchor.y);
        if (!x || !y || !steps(at.x) || !steps(at.y)) return std::nullopt;
        numbers.push_back(*x);
        numbers.push_back(*y);
    }
    return shape;
}

std::optional<Shape> arc_shape(const Arc& a) {
    if (arc_left_out(a) || a.stroke.pattern == LinePattern::Continuous) return std::nullopt;
    Shape shape = shape_of(ShapeBlocks::Kind::Arc, a.layer, a.stroke);
    const bool whole = whole_turn(a.start_angle, a.end_angle);
    const auto r = exact(sheet_digits(a.radius));
    const auto start = exact(whole ? 0.0 : arc_degrees(a.start_angle));
    const auto end = exact(whole ? 360.0 : arc_degrees(a.end_angle));
    if (!r || !start || !end || !steps(a.center.x) || !steps(a.center.y)) return std::nullopt;
    std::get<5>(shape) = {*r, *start, *end};
    return shape;
}

std::optional<Shape> ellipse_shape(const Ellipse& e) {
    const std::optional<DxfEllipse> written = dxf_ellipse(e);
    if (!written || !steps(written->center.x) || !steps(written->center.y)) return std::nullopt;
    Shape shape = shape_of(ShapeBlocks::Kind::Ellipse, e.layer, e.stroke);
    for (double value : {written->major.x, written->major.y, written->ratio, written->start, written->end}) {
        const auto bits = exact(value);
        if (!bits) return std::nullopt;
        std::get<5>(shape).push_back(*bits);
    }
    return shape;
}

}  // namespace

ShapeBlocks repeated_shapes(const SheetGraphics& sheet) {
    Grouping grouping;
    // A placement writes its block's name and one point where a LINE writes its pattern and two points, a polyline a
    // count and its points, an arc its angles, an ellipse its axis, ratio and parameters, a circle only its radius.
    for (std::size_t i = 0; i < sheet.polylines.size(); ++i) {
        const Polyline& p = sheet.polylines[i];
        const std::size_t saving = p.points.size() == 2 && !p.closed ? 15 : 24 * p.points.size() - 20;
        grouping.add(polyline_shape(p), ShapeBlocks::Kind::Polyline, i, saving);
    }
    for (std::size_t i = 0; i < sheet.arcs.size(); ++i) {
        const Arc& a = sheet.arcs[i];
        grouping.add(arc_shape(a), ShapeBlocks::Kind::Arc, i, whole_turn(a.start_angle, a.end_angle) ? 6 : 40);
    }
    for (std::size_t i = 0; i < sheet.ellipses.size(); ++i)
        grouping.add(ellipse_shape(sheet.ellipses[i]), ShapeBlocks::Kind::Ellipse, i, 50);
    return grouping.blocks(sheet);
}

}  // namespace cadhost::render
