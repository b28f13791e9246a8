#include "cadhost/render/pdf_line_work.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "cadhost/render/line_style.h"
#include "cadhost/render/number_text.h"

namespace cadhost::render {
namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
constexpr int kDecimals = 3;              // 0.001 mm
constexpr double kArcTolerance = 0.0005;  // mm between a curve and its circle
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

void add_polyline(ContentText& out, const Polyline& polyline) {
    if (polyline.points.empty() ||
        !std::all_of(polyline.points.begin(), polyline.points.end(), [](const Point2& p) { return usable(p); }))
        return;
    out.point(polyline.points[0], " m\n");
    for (std::size_t i = 1; i < polyline.points.size(); ++i) out.point(polyline.points[i], " l\n");
    if (polyline.closed) out.raw("h\n");
}

// How far a cubic curve strays from an arc of the given sweep and radius: r * 2/27 * sin^6(a/4) / cos^2(a/4).
double curve_error(double sweep, double radius) {
    const double s = std::sin(sweep / 4.0);
    const double c = std::cos(sweep / 4.0);
    return radius * 2.0 / 27.0 * s * s * s * s * s * s / (c * c);
}

void add_arc(ContentText& out, const Arc& arc) {
    if (!usable(arc.center) || !usable(arc.radius) || !usable(arc.start_angle) || !usable(arc.end_angle) ||
        arc.radius <= 0.0)
        return;
    const double two_pi = 2.0 * std::numbers::pi;
    // As cairo_arc: an end before the start is taken a turn later; more than a turn draws the circle once.
    double sweep = arc.end_angle - arc.start_angle;
    if (sweep < 0.0) sweep = std::fmod(sweep, two_pi) + two_pi;
    sweep = std::min(sweep, two_pi);
    int pieces = std::max(1, static_cast<int>(std::ceil(sweep / (std::numbers::pi / 2.0) - 1e-9)));
    while (pieces < 64 && curve_error(sweep / pieces, arc.radius) > kArcTolerance) ++pieces;
    const double step = sweep / pieces;
    const double handle = 4.0 / 3.0 * std::tan(step / 4.0) * arc.radius;
    auto on_circle = [&](double angle) {
        return Point2{arc.center.x + arc.radius * std::cos(angle), arc.center.y + arc.radius * std::sin(angle)};
    };
    Point2 from = on_circle(arc.start_angle);
    out.point(from, " m\n");
    for (int i = 0; i < pieces; ++i) {
        const double a0 = arc.start_angle + step * i;
        const double a1 = arc.start_angle + step * (i + 1);
        const Point2 to = on_circle(a1);
        out.curve({from.x - handle * std::sin(a0), from.y + handle * std::cos(a0)},
                  {to.x + handle * std::sin(a1), to.y - handle * std::cos(a1)}, to);
        from = to;
    }
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
    for (auto weight : {LineWeight::Thin, LineWeight::Wide}) {
        for (auto pattern : {LinePattern::Continuous, LinePattern::Dashed, LinePattern::Chain}) {
            const Stroke stroke{weight, pattern};
            auto same = [&](const Stroke& s) { return s.weight == weight && s.pattern == pattern; };
            const std::size_t before = out.text().size();
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
            for (const Polyline& polyline : sheet.polylines)
                if (same(polyline.stroke)) add_polyline(out, polyline);
            for (const Arc& arc : sheet.arcs)
                if (same(arc.stroke)) add_arc(out, arc);
            if (out.text().size() == state)
                out.text().resize(before);  // nothing of this stroke: no state for it either
            else
                out.raw("S\n");
        }
    }
    if (out.text().size() == head) return {};
    out.raw("Q\n");
    return std::move(out.text());
}

bool deflate_into(const std::string& bytes, int level, std::string& packed) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    packed.assign(size, '\0');
    const int status =
        compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()),
                  static_cast<uLong>(bytes.size()), std::clamp(level, 1, 9));
    packed.resize(status == Z_OK ? size : 0);
    return status == Z_OK;
}

}  // namespace cadhost::render
