#include "cadhost/render/path_data.h"

#include <algorithm>
#include <cmath>

namespace cadhost::render {
namespace {

constexpr double kSteps = 100.0;  // per mm
// Far beyond any sheet; a larger coordinate is a fault upstream and would only make a reader reject the file.
constexpr double kLargestCoordinate = 1e7;

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

// A number after another: a minus sign separates them by itself.
void append_next(std::string& out, long long value) {
    if (value >= 0) out += ' ';
    append_hundredths(out, value);
}

}  // namespace

void append_path(std::string& out, const std::vector<Point2>& points, bool closed, double height) {
    const bool usable = std::all_of(points.begin(), points.end(), [height](const Point2& p) {
        return std::isfinite(p.x) && std::isfinite(p.y) && std::fabs(p.x) <= kLargestCoordinate &&
               std::fabs(height - p.y) <= kLargestCoordinate;
    });
    if (points.empty() || !usable) return;
    long long x = std::llround(points[0].x * kSteps), y = std::llround((height - points[0].y) * kSteps);
    out += 'M';
    append_hundredths(out, x);
    append_next(out, y);
    char command = 'M';
    for (std::size_t i = 1; i < points.size(); ++i) {
        const long long nx = std::llround(points[i].x * kSteps), ny = std::llround((height - points[i].y) * kSteps);
        const long long dx = nx - x, dy = ny - y;
        if (dx == 0 && dy == 0) continue;
        const char wanted = dy == 0 ? 'h' : dx == 0 ? 'v' : 'l';
        if (wanted != command) {
            out += wanted;
            command = wanted;
            if (wanted == 'h') append_hundredths(out, dx);
            if (wanted == 'v') append_hundredths(out, dy);
            if (wanted == 'l') append_hundredths(out, dx), append_next(out, dy);
        } else {
            if (wanted != 'v') append_next(out, dx);
            if (wanted != 'h') append_next(out, dy);
        }
        x = nx, y = ny;
    }
    if (command == 'M') out += "h0";  // a dot still shows as one, with its round caps
    if (closed) out += 'z';
}

}  // namespace cadhost::render
