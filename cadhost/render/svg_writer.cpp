#include "cadhost/render/svg_writer.h"

#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>
#include <string>
#include <tuple>
#include <vector>

#include "cadhost/render/line_style.h"
#include "cadhost/render/number_text.h"
#include "cadhost/render/printable_text.h"
#include "cadhost/render/text_placement.h"

namespace cadhost::render {
namespace {

// Three decimals are a micrometre on the sheet, finer than any plotter; "-0.000" is folded to "0.000" so that a value
// that wobbles around zero does not make a diff.
constexpr int kDecimals = 3;

std::string num(double value) {
    std::string text;
    append_fixed(text, value, kDecimals);
    return text;
}

// XML holds no C0 control character but tab and the line breaks, and a reader stops at the first one.
std::string escape(const std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : printable_text(text)) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string layer_name(const std::string& layer) { return layer.empty() ? "0" : layer; }

// Whether a primitive of the given layer belongs to the named one, without making the name.
bool on_layer(const std::string& layer, const std::string& name) { return layer.empty() ? name == "0" : layer == name; }

class SvgSheet {
  public:
    SvgSheet(const SheetGraphics& sheet, std::ostream& out) : sheet_(sheet), out_(out) {}

    void write() {
        out_ << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        out_ << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << num(sheet_.width) << "mm\" height=\""
             << num(sheet_.height) << "mm\" viewBox=\"0 0 " << num(sheet_.width) << ' ' << num(sheet_.height)
             << "\">\n";
        if (!sheet_.name.empty()) out_ << "<title>" << escape(sheet_.name) << "</title>\n";
        for (const std::string& layer : layers_in_order()) write_layer(layer);
        out_ << "</svg>\n";
    }

  private:
    // Sheet y goes up, SVG y goes down.
    std::string xy(const Point2& p) const { return num(p.x) + ',' + num(sheet_.height - p.y); }

    std::vector<std::string> layers_in_order() const {
        std::vector<std::string> layers;
        auto note = [&layers](const std::string& layer) {
            const std::string name = layer_name(layer);
            for (const std::string& known : layers)
                if (known == name) return;
            layers.push_back(name);
        };
        for_each_polyline(sheet_, [&](const Polyline& p) { note(p.layer); });
        for (const Arc& a : sheet_.arcs) note(a.layer);
        for (const Ellipse& e : sheet_.ellipses) note(e.layer);
        for (const Spline& s : sheet_.splines) note(s.layer);
        for_each_triangle(sheet_, [&](const Triangle& t) { note(t.layer); });
        for_each_text(sheet_, [&](const Text& t) { note(t.layer); });
        return layers;
    }

    void write_layer(const std::string& layer) {
        out_ << "<g data-layer=\"" << escape(layer) << "\">\n";
        for_each_polyline(sheet_, [&](const Polyline& p) {
            if (on_layer(p.layer, layer)) write_polyline(p);
        });
        for (const Arc& a : sheet_.arcs)
            if (on_layer(a.layer, layer)) write_arc(a);
        for (const Ellipse& e : sheet_.ellipses)
            if (on_layer(e.layer, layer)) write_ellipse(e);
        for (const Spline& s : sheet_.splines)
            if (on_layer(s.layer, layer)) write_polyline(Polyline{s.points, false, s.stroke, s.layer});
        for_each_triangle(sheet_, [&](const Triangle& t) {
            if (on_layer(t.layer, layer)) write_triangle(t);
        });
        for_each_text(sheet_, [&](const Text& t) {
            if (on_layer(t.layer, layer)) write_text(t);
        });
        out_ << "</g>\n";
    }

    static std::string stroke_attributes(const Stroke& stroke) {
        const std::vector<double> dashes = dash_pattern_mm(stroke);
        // Round caps would lengthen each dash by a line width and close the short gaps of a chain line.
        std::string attributes = "fill=\"none\" stroke=\"" + ink_text(stroke.ink) + "\" stroke-width=\"" +
                                 num(line_width_mm(stroke.weight)) + "\" stroke-linecap=\"" +
                                 (dashes.empty() ? "round" : "butt") + "\" stroke-linejoin=\"round\"";
        if (!dashes.empty()) {
            attributes += " stroke-dasharray=\"";
            for (std::size_t i = 0; i < dashes.size(); ++i) {
                if (i) attributes += ',';
                attributes += num(dashes[i]);
            }
            attributes += '"';
        }
        return attributes;
    }

    // A large sheet's views hold tens of thousands of points: they are formatted straight into one buffer.
    void write_polyline(const Polyline& polyline) {
        if (polyline.points.empty()) return;
        points_.assign(polyline.closed ? "<polygon points=\"" : "<polyline points=\"");
        for (std::size_t i = 0; i < polyline.points.size(); ++i) {
            if (i) points_ += ' ';
            append_fixed(points_, polyline.points[i].x, kDecimals);
            points_ += ',';
            append_fixed(points_, sheet_.height - polyline.points[i].y, kDecimals);
        }
        points_ += "\" ";
        points_ += stroke_text(polyline.stroke);
        points_ += "/>\n";
        out_.write(points_.data(), static_cast<std::streamsize>(points_.size()));
    }

    static std::string ink_text(std::uint32_t ink) {
        if (ink == 0) return "black";
        char hex[8];
        std::snprintf(hex, sizeof hex, "#%06x", static_cast<unsigned>(ink & 0xFFFFFF));
        return hex;
    }

    // The attributes of each stroke are made once.
    const std::string& stroke_text(const Stroke& stroke) {
        std::string& text =
            strokes_[std::make_tuple(static_cast<int>(stroke.weight), static_cast<int>(stroke.pattern), stroke.ink)];
        if (text.empty()) text = stroke_attributes(stroke);
        return text;
    }

    void write_arc(const Arc& arc) {
        const double two_pi = 2.0 * std::numbers::pi;
        double sweep = arc.end_angle - arc.start_angle;
        if (sweep >= two_pi - 1e-9) {
            out_ << "<circle cx=\"" << num(arc.center.x) << "\" cy=\"" << num(sheet_.height - arc.center.y) << "\" r=\""
                 << num(arc.radius) << "\" " << stroke_text(arc.stroke) << "/>\n";
            return;
        }
        sweep = std::fmod(sweep, two_pi);
        if (sweep < 0) sweep += two_pi;
        const Point2 from{arc.center.x + arc.radius * std::cos(arc.start_angle),
                          arc.center.y + arc.radius * std::sin(arc.start_angle)};
        const Point2 to{arc.center.x + arc.radius * std::cos(arc.start_angle + sweep),
                        arc.center.y + arc.radius * std::sin(arc.start_angle + sweep)};
        // Anticlockwise on the sheet stays anticlockwise on the page, which is SVG's negative sweep (its y is down).
        out_ << "<path d=\"M" << xy(from) << " A" << num(arc.radius) << ',' << num(arc.radius) << " 0 "
             << (sweep > std::numbers::pi ? 1 : 0) << ",0 " << xy(to) << "\" " << stroke_text(arc.stroke) << "/>\n";
    }

    void write_ellipse(const Ellipse& ellipse) {
        const double a = std::hypot(ellipse.major.x, ellipse.major.y), b = a * ellipse.ratio;
        if (!(a > 0.0) || !(b > 0.0)) return;
        // The sheet's anticlockwise angle of the major axis is a clockwise one in SVG, whose y runs down.
        const std::string rotation = num(-std::atan2(ellipse.major.y, ellipse.major.x) * 180.0 / std::numbers::pi);
        const double sweep = ellipse.end_param - ellipse.start_param;
        if (sweep >= 2.0 * std::numbers::pi - 1e-9) {
            const std::string cx = num(ellipse.center.x), cy = num(sheet_.height - ellipse.center.y);
            out_ << "<ellipse cx=\"" << cx << "\" cy=\"" << cy << "\" rx=\"" << num(a) << "\" ry=\"" << num(b)
                 << "\" transform=\"rotate(" << rotation << ' ' << cx << ' ' << cy << ")\" "
                 << stroke_text(ellipse.stroke) << "/>\n";
            return;
        }
        const Point2& m = ellipse.major;
        const auto at = [&](double t) {
            return Point2{ellipse.center.x + m.x * std::cos(t) - ellipse.ratio * m.y * std::sin(t),
                          ellipse.center.y + m.y * std::cos(t) + ellipse.ratio * m.x * std::sin(t)};
        };
        // The parameter's sweep is the angle swept on the circle the ellipse is squeezed from, which is what SVG's
        // large-arc flag chooses by.
        out_ << "<path d=\"M" << xy(at(ellipse.start_param)) << " A" << num(a) << ',' << num(b) << ' ' << rotation
             << ' ' << (sweep > std::numbers::pi ? 1 : 0) << ",0 " << xy(at(ellipse.end_param)) << "\" "
             << stroke_text(ellipse.stroke) << "/>\n";
    }

    void write_triangle(const Triangle& triangle) {
        out_ << "<polygon points=\"" << xy(triangle.a) << ' ' << xy(triangle.b) << ' ' << xy(triangle.c)
             << "\" fill=\"black\" stroke=\"none\"/>\n";
    }

    void write_text(const Text& text) {
        const TextPlacement placement = placement_of(text.alignment);
        const char* anchor = placement.horizontal == 0.0 ? "start" : placement.horizontal == 0.5 ? "middle" : "end";
        const double degrees = text.angle * 180.0 / std::numbers::pi;
        // The anchor is placed by the transform so that rotation and width factor act about it; inside, y is the
        // baseline's drop below the anchor in the text's own frame.
        out_ << "<text transform=\"translate(" << num(text.anchor.x) << ' ' << num(sheet_.height - text.anchor.y)
             << ") rotate(" << num(-degrees) << ") scale(" << num(text.width_factor) << " 1)\" x=\"0\" y=\""
             << num(baseline_below_anchor(placement, text.height)) << "\" font-family=\"" << kSheetFontFamilies
             << "\" font-size=\"" << num(text.height / kCapitalHeightPerEm) << "\" text-anchor=\"" << anchor << '"';
        if (text.spacing_factor != 0.0 && text.width_factor != 0.0)
            out_ << " letter-spacing=\"" << num(text.spacing_factor * text.height / text.width_factor) << '"';
        out_ << " fill=\"black\" xml:space=\"preserve\">" << escape(text.text) << "</text>\n";
    }

    const SheetGraphics& sheet_;
    std::ostream& out_;
    std::string points_;
    std::map<std::tuple<int, int, std::uint32_t>, std::string> strokes_;
};

}  // namespace

void write_svg(const SheetGraphics& sheet, std::ostream& out) { SvgSheet(sheet, out).write(); }

}  // namespace cadhost::render
