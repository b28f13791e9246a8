#include "cadhost/drafting/annotation_geometry.h"

#include <cmath>
#include <cstdio>

#include <TopoDS.hxx>

#include "cadhost/drafting/view_frame.h"
#include "cadhost/geometry/queries.h"

namespace cadhost::drafting {

std::optional<gp_Pnt> anchor_model_point(const Document& doc, const AnnotationAnchor& anchor) {
    const Object* object = doc.find(anchor.object);
    if (!object) return std::nullopt;
    const bool second = anchor.end == 2;
    if (const auto* point = object->as<PointData>()) return point->point;
    if (const auto* line = object->as<LineData>()) return second ? line->end : line->start;
    if (const auto* arc = object->as<ArcData>()) {
        double angle = second ? arc->end : arc->start;
        const gp_Ax2& a = arc->position;
        return gp_Pnt(a.Location().XYZ() +
                      arc->radius * (std::cos(angle) * a.XDirection().XYZ() + std::sin(angle) * a.YDirection().XYZ()));
    }
    if (object->as<SubShapeData>() && object->subtype == UF_solid_edge_subtype) {
        // A closed edge without a real end still reports where it starts, which is what it is measured from.
        gp_Pnt first, last;
        geometry::edge_vertices(TopoDS::Edge(doc.shape_of(anchor.object)), first, last);
        return second ? last : first;
    }
    return std::nullopt;
}

std::optional<std::pair<double, double>> anchor_sheet_point(const Document& doc, const AnnotationAnchor& anchor) {
    auto model = anchor_model_point(doc, anchor);
    const Object* view = doc.find(anchor.view);
    if (!model || !view || !view->as<DrawingViewData>()) return std::nullopt;
    double sheet[2];
    placement(doc, anchor.view).map(*model, sheet);
    return std::make_pair(sheet[0], sheet[1]);
}

std::optional<double> measured_value(const Document& doc, const AnnotationData& a) {
    using Kind = AnnotationData::Kind;
    if (a.kind == Kind::Horizontal || a.kind == Kind::Vertical) {
        auto p = anchor_sheet_point(doc, a.first), q = anchor_sheet_point(doc, a.second);
        if (!p || !q) return std::nullopt;
        double scale = placement(doc, a.first.view).scale;
        double along = a.kind == Kind::Horizontal ? q->first - p->first : q->second - p->second;
        return std::fabs(along) / scale;
    }
    if (a.kind == Kind::Ordinate) {
        const Object* margin_object = doc.find(a.margin);
        const auto* margin = margin_object ? margin_object->as<AnnotationData>() : nullptr;
        if (!margin) return std::nullopt;
        const Object* origin_object = doc.find(margin->margin);
        const auto* origin = origin_object ? origin_object->as<AnnotationData>() : nullptr;
        if (!origin) return std::nullopt;
        auto p = anchor_sheet_point(doc, a.first), o = anchor_sheet_point(doc, origin->first);
        if (!p || !o) return std::nullopt;
        double scale = placement(doc, a.first.view).scale;
        double along = margin->margin_type == 1 ? p->first - o->first : p->second - o->second;
        return std::fabs(along) / scale;
    }
    return std::nullopt;
}

std::string format_value(double value, const AnnotationStyle& style) {
    int decimals = style.decimals < 0 ? 0 : (style.decimals > 6 ? 6 : style.decimals);
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string out = text;
    if (!style.trailing_zeros && out.find('.') != std::string::npos) {
        while (out.back() == '0') out.pop_back();
        if (out.back() == '.') out.pop_back();
    }
    if (out == "-0") out = "0";
    return out;
}

std::vector<std::string> dimension_text(const Document& doc, const AnnotationData& a) {
    std::vector<std::string> out;
    const std::string user = a.lines.empty() ? std::string() : a.lines[0];
    // One-character user texts are placeholders that ask for the measured value.
    if (user.size() > 1) {
        out.push_back(user);
    } else {
        auto value = measured_value(doc, a);
        if (!value) {
            out.push_back("?");
        } else {
            // Model values are millimetres; the style says which unit is written first and whether both are.
            const double mm = *value, in = *value / 25.4;
            std::string text = format_value(a.style->inches ? in : mm, a.style);
            if (a.style->dual) text += " [" + format_value(a.style->inches ? mm : in, a.style) + "]";
            out.push_back(text);
        }
    }
    for (std::size_t i = 1; i < a.lines.size(); ++i)
        if (a.lines[i].size() > 1) out.push_back(a.lines[i]);
    return out;
}

}  // namespace cadhost::drafting
