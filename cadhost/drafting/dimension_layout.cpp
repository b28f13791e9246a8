#include "cadhost/drafting/dimension_layout.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "cadhost/drafting/annotation_geometry.h"

namespace cadhost::drafting {

namespace {

using render::Point2;

constexpr double kExtensionGap = 1.0;   // gap between a measured point and its extension line, mm
constexpr double kExtensionOver = 2.0;  // extension lines reach this far past the dimension line, mm
constexpr double kArrowRoom = 1.0;      // least free line between two arrowheads that point outwards, mm
constexpr double kOutsideTail = 2.0;    // line beyond an arrowhead that points inwards from outside, mm

Point2 sheet_point(const std::pair<double, double>& p) { return {p.first, p.second}; }

double coordinate(const Point2& p, int axis) { return axis == 0 ? p.x : p.y; }

// Sheet points of a dimension in its own frame: `along` the axis it measures, `across` the other.
struct Frame {
    int along_axis;
    Point2 at(double along, double across) const {
        return along_axis == 0 ? Point2{along, across} : Point2{across, along};
    }
};

// Where an extension line leaves its object, across the dimension: at the measured point, except for a straight object
// lying along the extension line (a centre line), where it leaves the end nearer `target` instead of running over the
// object's whole length.
double extension_start(const Document& doc, const AnnotationAnchor& anchor, const Point2& measured, const Frame& frame,
                       double target) {
    const int across_axis = 1 - frame.along_axis;
    AnnotationAnchor first = anchor, second = anchor;
    first.end = 1;
    second.end = 2;
    auto p = anchor_sheet_point(doc, first), q = anchor_sheet_point(doc, second);
    const double along = coordinate(measured, frame.along_axis);
    if (!p || !q || std::fabs(coordinate(sheet_point(*p), frame.along_axis) - along) > 1e-6 ||
        std::fabs(coordinate(sheet_point(*q), frame.along_axis) - along) > 1e-6)
        return coordinate(measured, across_axis);
    const double a = coordinate(sheet_point(*p), across_axis), b = coordinate(sheet_point(*q), across_axis);
    return std::fabs(a - target) <= std::fabs(b - target) ? a : b;
}

// A layout's measured points, value and text, before its lines are placed.
DimensionLayout measured_between(const Document& doc, const AnnotationData& a, const std::pair<double, double>& first,
                                 const std::pair<double, double>& second) {
    DimensionLayout out;
    out.first = sheet_point(first);
    out.second = sheet_point(second);
    out.text = dimension_text(doc, a);
    out.measured = measured_value(doc, a).value_or(0.0);
    return out;
}

double widest(const std::vector<std::string>& lines, const AnnotationStyle& style) {
    double width = 0;
    for (const auto& line : lines) width = std::max(width, text_width(line, style));
    return width;
}

std::optional<DimensionLayout> linear_layout(const Document& doc, const AnnotationData& a) {
    auto p = anchor_sheet_point(doc, a.first), q = anchor_sheet_point(doc, a.second);
    if (!p || !q) return std::nullopt;
    DimensionLayout out = measured_between(doc, a, *p, *q);
    const bool horizontal = a.kind == AnnotationData::Kind::Horizontal;
    const Frame frame{horizontal ? 0 : 1};
    const int across_axis = 1 - frame.along_axis;
    const AnnotationStyle& st = a.style;
    const Point2 origin{a.origin_x, a.origin_y};
    const double a1 = coordinate(out.first, frame.along_axis), a2 = coordinate(out.second, frame.along_axis);
    // Automatic placement centres the value between the extension lines; by hand it stands where it was put.
    const double text_along = st.manual_text ? coordinate(origin, frame.along_axis) : (a1 + a2) / 2;
    const double text_across = coordinate(origin, across_axis);

    // The value reads along its dimension line and stands on it: above a horizontal line, and left of a vertical
    // one with the text turned to read from the right.
    const double pitch = st.height * (1.0 + 0.6 * st.line_space);
    const double block = st.height + pitch * (static_cast<double>(out.text.size()) - 1);
    const double line_across =
        horizontal ? text_across - block / 2 - st.text_gap : text_across + block / 2 + st.text_gap;
    out.text_at = frame.at(text_along, text_across);
    out.line_at = frame.at(a2, line_across);
    out.alignment = 5;
    out.text_angle = horizontal ? 0.0 : 90.0;

    const int shown = st.extension_lines;
    for (int which = 1; which <= 2; ++which) {
        if (shown == 4 || (shown == 2 && which == 2) || (shown == 3 && which == 1)) continue;
        const Point2& from = which == 1 ? out.first : out.second;
        const double start = extension_start(doc, which == 1 ? a.first : a.second, from, frame, line_across);
        const double along = coordinate(from, frame.along_axis);
        const double sign = line_across >= start ? 1.0 : -1.0;
        if (std::fabs(line_across - start) < kExtensionGap) continue;
        out.lines.push_back(
            {frame.at(along, start + sign * kExtensionGap), frame.at(along, line_across + sign * kExtensionOver)});
    }

    const double lo = std::min(a1, a2), hi = std::max(a1, a2);
    double line_lo = lo, line_hi = hi;
    const double arrow = st.arrow_length;
    if (hi - lo >= 2 * arrow + kArrowRoom) {
        out.arrows.push_back({frame.at(lo, line_across), frame.at(hi, line_across)});
        out.arrows.push_back({frame.at(hi, line_across), frame.at(lo, line_across)});
    } else if (hi - lo > 1e-6) {
        // Too short for the arrowheads between the extension lines: they point in from outside.
        out.arrows.push_back({frame.at(lo, line_across), frame.at(lo - arrow, line_across)});
        out.arrows.push_back({frame.at(hi, line_across), frame.at(hi + arrow, line_across)});
        line_lo = lo - arrow - kOutsideTail;
        line_hi = hi + arrow + kOutsideTail;
    }
    // A value put beyond an extension line still stands on its dimension line: the line runs on under it.
    const double half = widest(out.text, st) / 2;
    line_lo = std::min(line_lo, text_along - half);
    line_hi = std::max(line_hi, text_along + half);
    out.lines.push_back({frame.at(line_lo, line_across), frame.at(line_hi, line_across)});
    return out;
}

const AnnotationData* annotation(const Document& doc, tag_t tag) {
    const Object* object = doc.find(tag);
    return object ? object->as<AnnotationData>() : nullptr;
}

std::optional<DimensionLayout> ordinate_layout(const Document& doc, const AnnotationData& a) {
    const AnnotationData* margin = annotation(doc, a.margin);
    const AnnotationData* origin = margin ? annotation(doc, margin->margin) : nullptr;
    if (!origin) return std::nullopt;
    auto o = anchor_sheet_point(doc, origin->first), p = anchor_sheet_point(doc, a.first);
    if (!o || !p) return std::nullopt;
    DimensionLayout out = measured_between(doc, a, *o, *p);
    const bool along_x = margin->margin_type == 1;  // a horizontal margin carries x values
    const Frame frame{along_x ? 0 : 1};
    const int across_axis = 1 - frame.along_axis;
    // The margin line: through the origin's sheet point, moved across itself by the offset.
    const double margin_at = coordinate(out.first, across_axis) + margin->offset;
    const double own = coordinate(out.second, frame.along_axis);
    const double placed = a.text_moved ? (along_x ? a.origin_x : a.origin_y) : own;
    const double object_across = extension_start(doc, a.first, out.second, frame, margin_at);
    const double towards = margin_at >= object_across ? 1.0 : -1.0;
    const double start = object_across + towards * kExtensionGap;
    const double reach = (margin_at - start) * towards;  // length available between the object and the margin
    // The value stands on its extension line beyond the margin, reading along it, and the line runs on under it:
    // a line leading into a value would read as a minus sign.
    const double shelf_end = margin_at + towards * (out.text.empty() ? 0.0 : text_width(out.text[0], a.style));
    if (a.text_moved && std::fabs(placed - own) > 1e-9) {
        // Straight from the object, a jog at the dogleg's angle from the extension line over to the value's place,
        // then straight on for the dogleg's distance to the margin.
        const double straight = std::clamp(a.dogleg_distance > 0 ? a.dogleg_distance : 3.0, 0.0, std::max(reach, 0.0));
        const double angle = std::clamp(a.dogleg_angle > 0 ? a.dogleg_angle : 60.0, 1.0, 89.0) * M_PI / 180.0;
        const double jog = std::min(std::fabs(placed - own) / std::tan(angle), std::max(reach - straight, 0.0));
        const double knee_out = margin_at - towards * straight, knee_in = knee_out - towards * jog;
        if ((knee_in - start) * towards > 0) out.lines.push_back({frame.at(own, start), frame.at(own, knee_in)});
        out.lines.push_back({frame.at(own, knee_in), frame.at(placed, knee_out)});
        out.lines.push_back({frame.at(placed, knee_out), frame.at(placed, shelf_end)});
    } else {
        out.lines.push_back({frame.at(own, reach > 0 ? start : margin_at), frame.at(own, shelf_end)});
    }
    // Above a horizontal line; a value turned to read up a vertical line stands left of it.
    const double beside = along_x ? -a.style->text_gap : a.style->text_gap;
    out.text_at = frame.at(placed + beside, margin_at);
    out.alignment = towards > 0 ? 7 : 9;
    out.text_angle = along_x ? 90.0 : 0.0;
    return out;
}

}  // namespace

std::optional<DimensionLayout> layout_dimension(const Document& doc, const AnnotationData& annotation) {
    using Kind = AnnotationData::Kind;
    if (annotation.kind == Kind::Horizontal || annotation.kind == Kind::Vertical) return linear_layout(doc, annotation);
    if (annotation.kind == Kind::Ordinate) return ordinate_layout(doc, annotation);
    return std::nullopt;
}

double text_width(const std::string& text, const AnnotationStyle& style) {
    // Advances of the sheet font, in capital heights: CJK glyphs take the whole em (1.4 capitals), digits and letters
    // about 0.76, narrow punctuation and the blank half that.
    double width = 0;
    for (std::size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        int length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
        const bool narrow = length == 1 && std::strchr(" .,:;!'|il", static_cast<char>(c)) != nullptr;
        const double advance = length >= 3 ? 1.4 : narrow ? 0.38 : 0.76;
        width +=
            advance * style.height * style.aspect_ratio + std::max(-0.1, (style.char_space - 1.0) * 0.2) * style.height;
        i += length;
    }
    return width;
}

}  // namespace cadhost::drafting
