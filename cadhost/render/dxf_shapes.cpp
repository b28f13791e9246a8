#include "cadhost/render/dxf_shapes.h"

#include <algorithm>
#include <cmath>
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

}  // namespace

double sheet_digits(double value) {
    if (!std::isfinite(value) || std::fabs(value) > 1e9) return value;
    return std::round(value * 1e4) / 1e4;
}

Point2 sheet_digits(const Point2& p) { return {sheet_digits(p.x), sheet_digits(p.y)}; }

std::optional<DxfEllipse> dxf_ellipse(const Ellipse& ellipse) {
    if (!(ellipse.ratio > 0.0 && ellipse.ratio <= 1.0) || !(std::hypot(ellipse.major.x, ellipse.major.y) > 0.0))
        return std::nullopt;
    const double sweep = ellipse.end_param - ellipse.start_param;
    const bool whole = sweep >= kTurn - 1e-9;
    if (!whole && std::fabs(std::fmod(sweep, kTurn)) < 2e-7) return std::nullopt;

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

EllipseBlocks repeated_ellipses(const std::vector<Ellipse>& ellipses) {
    // Ellipses of one shape: the same as written but for the centre, on one layer in one stroke.
    using Shape = std::tuple<std::string, int, int, std::uint32_t, double, double, double, double, double>;
    std::map<Shape, std::vector<std::size_t>> of_shape;
    std::vector<const std::vector<std::size_t>*> in_order;  // shapes in the order the sheet first draws them
    for (std::size_t i = 0; i < ellipses.size(); ++i) {
        const Ellipse& e = ellipses[i];
        const std::optional<DxfEllipse> written = dxf_ellipse(e);
        if (!written) continue;
        const Shape shape{e.layer,
                          static_cast<int>(e.stroke.weight),
                          static_cast<int>(e.stroke.pattern),
                          e.stroke.ink,
                          written->major.x,
                          written->major.y,
                          written->ratio,
                          written->start,
                          written->end};
        auto [found, added] = of_shape.try_emplace(shape);
        found->second.push_back(i);
        if (added) in_order.push_back(&found->second);
    }
    EllipseBlocks blocks;
    blocks.block_of.assign(ellipses.size(), -1);
    for (const std::vector<std::size_t>* members : in_order) {
        if (members->size() < kPlacementsForBlock) continue;
        const int block = static_cast<int>(blocks.shapes.size());
        blocks.shapes.push_back(members->front());
        for (std::size_t i : *members) blocks.block_of[i] = block;
    }
    return blocks;
}

}  // namespace cadhost::render
