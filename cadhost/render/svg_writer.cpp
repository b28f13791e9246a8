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
#include "cadhost/render/path_data.h"
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

// An arc's end, a turn later when it lies before the start: arcs run anticlockwise from start to end.
double anticlockwise_end(double start, double end) {
    const double turn = 2.0 * std::numbers::pi;
    if (end - start >= turn - 1e-9) return start + turn;
    double sweep = std::fmod(end - start, turn);
    if (sweep < 0) sweep += turn;
    return start + sweep;
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
        write_line_paths(layer);
        for_each_triangle(sheet_, [&](const Triangle& t) {
            if (on_layer(t.layer, layer)) write_triangle(t);
        });
        for_each_text(sheet_, [&](const Text& t) {
            if (on_layer(t.layer, layer)) write_text(t);
        });
        out_ << "</g>\n";
    }

    // The layer's lines (polylines, splines by their polylines, arcs and elliptic arcs), one path for each stroke in
    // the order the strokes first appear: the style is written once, not once a line.
    void write_line_paths(const std::string& layer) {
        std::vector<Stroke> strokes;
        auto note = [&strokes](const Stroke& s) {
            for (const Stroke& known : strokes)
                if (known.weight == s.weight && known.pattern == s.pattern && known.ink == s.ink) return;
            strokes.push_back(s);
        };
        for_each_polyline(sheet_, [&](const Polyline& p) {
            if (on_layer(p.layer, layer)) note(p.stroke);
        });
        for (const Spline& s : sheet_.splines)
            if (on_layer(s.layer, layer)) note(s.stroke);
        for (const Arc& a : sheet_.arcs)
            if (on_layer(a.layer, layer)) note(a.stroke);
        for (const Ellipse& e : sheet_.ellipses)
            if (on_layer(e.layer, layer)) note(e.stroke);
        for (const Stroke& stroke : strokes) {
            auto same = [&](const Stroke& s) {
                return s.weight == stroke.weight && s.pattern == stroke.pattern && s.ink == stroke.ink;
            };
            points_.assign("<path d=\"");
            const std::size_t empty = points_.size();
            PathData path(points_, sheet_.height);
            for_each_polyline(sheet_, [&](const Polyline& p) {
                if (on_layer(p.layer, layer) && same(p.stroke)) path.polyline(p.points, p.closed);
            });
            for (const Spline& s : sheet_.splines)
                if (on_layer(s.layer, layer) && same(s.stroke)) path.polyline(s.points, false);
            for (const Arc& a : sheet_.arcs)
                if (on_layer(a.layer, layer) && same(a.stroke) && a.radius > 0.0)
                    path.conic(a.center, {a.radius, 0.0}, 1.0, a.start_angle,
                               anticlockwise_end(a.start_angle, a.end_angle));
            for (const Ellipse& e : sheet_.ellipses)
                if (on_layer(e.layer, layer) && same(e.stroke))
                    path.conic(e.center, e.major, e.ratio, e.start_param,
                               anticlockwise_end(e.start_param, e.end_param));
            if (points_.size() == empty) continue;
            points_ += "\" ";
            points_ += stroke_text(stroke);
            points_ += "/>\n";
            out_.write(points_.data(), static_cast<std::streamsize>(points_.size()));
        }
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
