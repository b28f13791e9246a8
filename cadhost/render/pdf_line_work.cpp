#include "cadhost/render/pdf_line_work.h"

#include <libdeflate.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "cadhost/render/line_style.h"
#include "cadhost/render/number_text.h"

namespace cadhost::render {
namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
constexpr int kDecimals = 2;             // 0.01 mm, a twentieth of the thinnest line
constexpr double kArcTolerance = 0.005;  // mm between a curve and its circle, as the sheet draws any curve
// Far beyond any sheet; a larger coordinate is a fault upstream and would only make a reader reject the page.
constexpr double kLargestCoordinate = 1e7;

bool usable(double value) { return std::isfinite(value) && std::abs(value) <= kLargestCoordinate; }
bool usable(const Point2& p) { return usable(p.x) && usable(p.y); }

class ContentText {
  public:
    void point(const Point2& p, const char* op) {
        append_trimmed(text_, p.x, kDecimals);
        text_ += ' ';
        append_trimmed(text_, p.y, kDecimals);
        text_ += op;
    }

    void curve(const Point2& a, const Point2& b, const Point2& c) {
        for (const Point2* p : {&a, &b, &c}) {
            append_trimmed(text_, p->x, kDecimals);
            text_ += ' ';
            append_trimmed(text_, p->y, kDecimals);
            text_ += ' ';
        }
        text_ += "c\n";
    }

    void number(double value) { append_trimmed(text_, value, 6); }
    void raw(const char* text) { text_ += text; }
    std::string& text() { return text_; }

  private:
    std::string text_;
};

bool all_usable(const std::vector<Point2>& points) {
    return std::all_of(points.begin(), points.end(), [](const Point2& p) { return usable(p); });
}

void add_points(ContentText& out, const std::vector<Point2>& points) {
    if (points.empty() || !all_usable(points)) return;
    out.point(points[0], " m\n");
    for (std::size_t i = 1; i < points.size(); ++i) out.point(points[i], " l\n");
}

void add_polyline(ContentText& out, const Polyline& polyline) {
    if (polyline.points.empty() || !all_usable(polyline.points)) return;
    add_points(out, polyline.points);
    if (polyline.closed) out.raw("h\n");
}

// How far a cubic curve strays from an arc of the given sweep and radius: r * 2/27 * sin^6(a/4) / cos^2(a/4).
double curve_error(double sweep, double radius) {
    const double s = std::sin(sweep / 4.0);
    const double c = std::cos(sweep / 4.0);
    return radius * 2.0 / 27.0 * s * s * s * s * s * s / (c * c);
}

// The points centre + u cos t + v sin t for t from start over sweep, as cubic curves: those of the unit circle, carried
// over by the affine map, which takes curves to curves. A circle has u and v at right angles and of its radius; an
// ellipse its two semi-axes. The curves stay within kArcTolerance of the arc for the longer axis, `reach`.
void add_conic(ContentText& out, const Point2& centre, const Point2& u, const Point2& v, double start, double end,
               double reach) {
    const double two_pi = 2.0 * std::numbers::pi;
    // As cairo_arc: an end before the start is taken a turn later; more than a turn draws the whole once.
    double sweep = end - start;
    if (sweep < 0.0) sweep = std::fmod(sweep, two_pi) + two_pi;
    sweep = std::min(sweep, two_pi);
    // A small circle needs no more than a curve for each half; a cubic cannot turn further.
    int pieces = std::max(1, static_cast<int>(std::ceil(sweep / std::numbers::pi - 1e-9)));
    while (pieces < 64 && curve_error(sweep / pieces, reach) > kArcTolerance) ++pieces;
    const double step = sweep / pieces;
    const double handle = 4.0 / 3.0 * std::tan(step / 4.0);
    auto map = [&](double x, double y) { return Point2{centre.x + u.x * x + v.x * y, centre.y + u.y * x + v.y * y}; };
    out.point(map(std::cos(start), std::sin(start)), " m\n");
    for (int i = 0; i < pieces; ++i) {
        const double a0 = start + step * i;
        const double a1 = start + step * (i + 1);
        const double c0 = std::cos(a0), s0 = std::sin(a0), c1 = std::cos(a1), s1 = std::sin(a1);
        out.curve(map(c0 - handle * s0, s0 + handle * c0), map(c1 + handle * s1, s1 - handle * c1), map(c1, s1));
    }
}

void add_arc(ContentText& out, const Arc& arc) {
    if (!usable(arc.center) || !usable(arc.radius) || !usable(arc.start_angle) || !usable(arc.end_angle) ||
        arc.radius <= 0.0)
        return;
    add_conic(out, arc.center, {arc.radius, 0.0}, {0.0, arc.radius}, arc.start_angle, arc.end_angle, arc.radius);
}

void add_ellipse(ContentText& out, const Ellipse& ellipse) {
    const double a = std::hypot(ellipse.major.x, ellipse.major.y), b = a * ellipse.ratio;
    if (!usable(ellipse.center) || !usable(ellipse.major) || !usable(ellipse.start_param) ||
        !usable(ellipse.end_param) || !(a > 0.0) || !(b > 1e-6) || !(ellipse.ratio <= 1.0))
        return;
    // The minor semi-axis is the major turned a quarter anticlockwise and shortened by the ratio.
    const Point2 minor{-ellipse.major.y * ellipse.ratio, ellipse.major.x * ellipse.ratio};
    add_conic(out, ellipse.center, ellipse.major, minor, ellipse.start_param, ellipse.end_param, a);
}

}  // namespace

std::string line_work_content(const SheetGraphics& sheet) {
    ContentText out;
    out.raw("q\n");
    out.number(kPointsPerMm);
    out.raw(" 0 0 ");
    out.number(kPointsPerMm);
    out.raw(" 0 0 cm\n1 j\n");
    const std::size_t head = out.text().size();
    // Strokes are grouped by ink, black first, so that a sheet without colours sets no colour at all.
    for (const std::uint32_t ink : sheet_inks(sheet)) {
        for (auto weight : kLineWeights) {
            for (auto pattern : kLinePatterns) {
                const Stroke stroke{weight, pattern, ink};
                auto same = [&](const Stroke& s) { return s.weight == weight && s.pattern == pattern && s.ink == ink; };
                const std::size_t before = out.text().size();
                if (ink != 0) {
                    out.number(ink_part(ink, 16));
                    out.raw(" ");
                    out.number(ink_part(ink, 8));
                    out.raw(" ");
                    out.number(ink_part(ink, 0));
                    out.raw(" RG\n");
                }
                out.number(line_width_mm(weight));
                // Round caps would lengthen each dash by a line width and close the short gaps of a chain line.
                const std::vector<double> dashes = dash_pattern_mm(stroke);
                out.raw(dashes.empty() ? " w\n1 J\n[" : " w\n0 J\n[");
                for (std::size_t i = 0; i < dashes.size(); ++i) {
                    if (i) out.raw(" ");
                    out.number(dashes[i]);
                }
                out.raw("] 0 d\n");
                const std::size_t state = out.text().size();
                for_each_polyline(sheet, [&](const Polyline& polyline) {
                    if (same(polyline.stroke)) add_polyline(out, polyline);
                });
                for (const Arc& arc : sheet.arcs)
                    if (same(arc.stroke)) add_arc(out, arc);
                for (const Ellipse& ellipse : sheet.ellipses)
                    if (same(ellipse.stroke)) add_ellipse(out, ellipse);
                for (const Spline& spline : sheet.splines)
                    if (same(spline.stroke)) add_points(out, spline.points);
                if (out.text().size() == state)
                    out.text().resize(before);  // nothing of this stroke: no state for it either
                else
                    out.raw("S\n");
            }
        }
    }
    if (out.text().size() == head) return {};
    out.raw("Q\n");
    return std::move(out.text());
}

bool deflate_into(const std::string& bytes, int level, std::string& packed) {
    const std::unique_ptr<libdeflate_compressor, void (*)(libdeflate_compressor*)> compressor(
        libdeflate_alloc_compressor(std::clamp(level, 1, 12)), libdeflate_free_compressor);
    if (!compressor) return false;
    packed.assign(libdeflate_zlib_compress_bound(compressor.get(), bytes.size()), '\0');
    const std::size_t size =
        libdeflate_zlib_compress(compressor.get(), bytes.data(), bytes.size(), packed.data(), packed.size());
    packed.resize(size);
    return size > 0;
}

}  // namespace cadhost::render
