#include "cadhost/render/path_data.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace cadhost::render {
namespace {

constexpr double kSteps = 100.0;  // per mm
// Far beyond any sheet; a larger coordinate is a fault upstream and would only make a reader reject the file.
constexpr double kLargestCoordinate = 1e7;

bool usable(double v) { return std::isfinite(v) && std::fabs(v) <= kLargestCoordinate; }

// A number of hundredths as the shortest decimal SVG reads: "12.5", "-.05", "3", "0".
void append_hundredths(std::string& out, long long value) {
    if (value < 0) out += '-';
    const unsigned long long magnitude = static_cast<unsigned long long>(value < 0 ? -value : value);
    const unsigned long long whole = magnitude / 100, part = magnitude % 100;
    if (whole > 0 || part == 0) out += std::to_string(whole);
    if (part == 0) return;
    out += '.';
    out += static_cast<char>('0' + part / 10);
    if (part % 10) out += static_cast<char>('0' + part % 10);
}

}  // namespace

bool PathData::to_steps(const Point2& p, long long& x, long long& y) const {
    if (!usable(p.x) || !usable(height_ - p.y)) return false;
    x = std::llround(p.x * kSteps), y = std::llround((height_ - p.y) * kSteps);
    return true;
}

// A number after a command letter stands alone; after another number a minus sign separates them by itself.
void PathData::number(long long hundredths, bool first) {
    if (!first && hundredths >= 0) out_ += ' ';
    append_hundredths(out_, hundredths);
}

void PathData::move_to(long long x, long long y) {
    if (pen_ && x == x_ && y == y_) return;
    out_ += 'M';
    number(x, true);
    number(y, false);
    x_ = x, y_ = y, pen_ = true, command_ = 'M';
}

void PathData::polyline(const std::vector<Point2>& points, bool closed) {
    long long x = 0, y = 0;
    for (const Point2& p : points)
        if (!to_steps(p, x, y)) return;
    if (points.empty()) return;
    to_steps(points[0], x, y);
    move_to(x, y);
    bool moved = false;
    for (std::size_t i = 1; i < points.size(); ++i) {
        to_steps(points[i], x, y);
        const long long dx = x - x_, dy = y - y_;
        if (dx == 0 && dy == 0) continue;
        const char wanted = dy == 0 ? 'h' : dx == 0 ? 'v' : 'l';
        const bool first = wanted != command_;
        if (first) out_ += wanted, command_ = wanted;
        if (wanted != 'v') number(dx, first);
        if (wanted != 'h') number(dy, first && wanted == 'v');
        x_ = x, y_ = y, moved = true;
    }
    if (!moved) out_ += "h0", command_ = 'h';  // a dot still shows as one, with its round caps
    if (closed) out_ += 'z', pen_ = false;
}

void PathData::conic(const Point2& centre, const Point2& major, double ratio, double start, double end) {
    const double a = std::hypot(major.x, major.y), b = a * ratio;
    if (!usable(centre.x) || !usable(centre.y) || !usable(a) || !(a > 0.0) || !(ratio > 0.0 && ratio <= 1.0) ||
        !std::isfinite(start) || !std::isfinite(end) || !(end > start))
        return;
    const double turn = 2.0 * std::numbers::pi;
    const double sweep = std::min(end - start, turn);
    auto at = [&](double t) {
        return Point2{centre.x + major.x * std::cos(t) - ratio * major.y * std::sin(t),
                      centre.y + major.y * std::cos(t) + ratio * major.x * std::sin(t)};
    };
    // A whole curve starts at its parameter 0 and runs the other way round, as SVG's own circle and ellipse do, so that
    // dashes fall where they would on those.
    const bool whole = sweep >= turn - 1e-9;
    if (whole) start = 0.0;
    long long x = 0, y = 0;
    if (!to_steps(at(start), x, y)) return;
    move_to(x, y);
    // The sheet's anticlockwise is SVG's negative sweep, its y running down; so is the major axis's angle.
    std::string radii;
    append_hundredths(radii, std::max(1LL, std::llround(a * kSteps)));
    radii += ' ';
    append_hundredths(radii, std::max(1LL, std::llround(b * kSteps)));
    radii += ' ';
    append_hundredths(radii, std::llround(-std::atan2(major.y, major.x) * 180.0 / std::numbers::pi * kSteps));
    // A whole curve is drawn as two halves: one arc cannot end where it starts.
    const int halves = whole ? 2 : 1;
    for (int i = 1; i <= halves; ++i) {
        to_steps(at(whole ? start + std::numbers::pi * i : start + sweep), x, y);
        out_ += 'a';
        out_ += radii;
        out_ += whole ? " 0 1" : sweep > std::numbers::pi ? " 1 0" : " 0 0";
        number(x - x_, false);
        number(y - y_, false);
        x_ = x, y_ = y;
    }
    command_ = 'a';
}

}  // namespace cadhost::render
