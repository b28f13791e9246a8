#include "cadhost/partfile/part_check.h"

#include <cmath>
#include <set>
#include <sstream>

#include "cadhost/document/object_colour.h"
#include "cadhost/document/utf8_text.h"
#include "host/uf_attr.h"

namespace cadhost::partfile {

namespace {

struct Problem {
    std::string text;
};

std::string number_text(double value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

// Throws the problem; the checks read as a list of demands that way.
void demand(bool sound, const std::string& what) {
    if (!sound) throw Problem{what};
}

void finite(double value, const std::string& what) {
    demand(std::isfinite(value) && std::abs(value) <= kLargestCoordinate, what + " is " + number_text(value));
}

void positive(double value, double largest, const std::string& what) {
    demand(std::isfinite(value) && value > 0 && value <= largest, what + " is " + number_text(value));
}

void text(const std::string& value, const std::string& what) {
    const std::string problem = utf8_problem(value);
    demand(problem.empty(), what + ": " + problem);
}

void point(const gp_XYZ& p, const std::string& what) {
    finite(p.X(), what + " x"), finite(p.Y(), what + " y"), finite(p.Z(), what + " z");
}

// A direction made from components whose squares overflow (1e300, 1e300, 0) comes out of normalising as a zero vector,
// which no later use of it survives: a direction is sound only with a unit length.
void direction(const gp_Dir& d, const std::string& what) {
    demand(std::isfinite(d.X()) && std::isfinite(d.Y()) && std::isfinite(d.Z()) &&
               std::abs(d.XYZ().Modulus() - 1.0) <= kDirectionTolerance,
           what + " is not a direction (" + number_text(d.X()) + ", " + number_text(d.Y()) + ", " + number_text(d.Z()) +
               ")");
}

void orientation(const ViewOrientation& view, const std::string& what) {
    direction(view.right, what + ": the right direction");
    direction(view.up, what + ": the up direction");
    direction(view.toward_eye, what + ": the direction toward the eye");
    demand(std::abs(view.right.Dot(view.up)) < 1e-6 && std::abs(view.right.Dot(view.toward_eye)) < 1e-6 &&
               std::abs(view.up.Dot(view.toward_eye)) < 1e-6,
           what + ": its directions are not square to each other");
}

// A tag that must be NULL_TAG, gone, or an object of that type.
void refers(const Document& doc, tag_t tag, int type, const std::string& what) {
    if (tag == NULL_TAG) return;
    const Object* object = doc.find(tag);
    demand(!object || object->type == type, what + " refers to object " + std::to_string(tag) + ", which is a " +
                                                (object ? std::to_string(object->type) : "") + " object, not a " +
                                                std::to_string(type));
}

const char* kind_name(const Payload& payload) {
    static const char* names[] = {"part", "body",   "face or edge", "line",    "arc",          "point",     "curve",
                                  "csys", "matrix", "model view",   "drawing", "drawing view", "annotation"};
    return names[payload.index()];
}

bool type_fits(const Object& o) {
    const int t = o.type, s = o.subtype;
    switch (o.payload.index()) {
        case 0:
            return t == UF_part_type;
        case 1:
            return t == UF_solid_type && s == UF_solid_body_subtype;
        case 2:
            return t == UF_solid_type && (s == UF_solid_face_subtype || s == UF_solid_edge_subtype);
        case 3:
            return t == UF_line_type && s == UF_line_normal_subtype;
        case 4:
            return t == UF_circle_type && s == UF_circle_normal_subtype;
        case 5:
            return t == UF_point_type;
        case 6:
            return t == UF_spline_type && s == UF_spline_normal_subtype;
        case 7:
            return t == UF_coordinate_system_type;
        case 8:
            return t == UF_matrix_type;
        case 9:
            return t == UF_view_type && s == UF_view_normal_subtype;
        case 10:
            return t == UF_drawing_type;
        case 11:
            return t == UF_view_type && s == UF_draw_view_subtype;
        case 12:
            return t == UF_drafting_entity_type;
    }
    return false;
}

int annotation_subtype(AnnotationData::Kind kind) {
    switch (kind) {
        case AnnotationData::Kind::Note:
            return UF_draft_note_subtype;
        case AnnotationData::Kind::Label:
            return UF_draft_label_subtype;
        case AnnotationData::Kind::Horizontal:
        case AnnotationData::Kind::Vertical:
            return UF_draft_linear_dim_subtype;
        case AnnotationData::Kind::OrdinateOrigin:
            return UF_draft_ordinate_origin_subtype;
        case AnnotationData::Kind::OrdinateMargin:
            return UF_draft_ordinate_margin_subtype;
        case AnnotationData::Kind::Ordinate:
            return UF_draft_ordinate_dim_subtype;
    }
    return -1;
}

void check_view(const Document& doc, tag_t tag, const DrawingViewData& v, const std::string& at) {
    refers(doc, v.drawing, UF_drawing_type, at + ": its sheet");
    refers(doc, v.model_view, UF_view_type, at + ": its model view");
    refers(doc, v.parent, UF_view_type, at + ": its parent");
    orientation(v.orientation, at);
    positive(v.scale, kLargestScale, at + ": its scale");
    finite(v.ref_x, at + ": its reference point x"), finite(v.ref_y, at + ": its reference point y");
    demand(v.layers.size() == UF_LAYER_MAX_LAYER, at + ": its layer table has the wrong size");
    demand(v.erased.size() <= kMostErased, at + ": it erases " + std::to_string(v.erased.size()) + " objects");
    // Each view has one parent, so a chain that comes back to a view it passed is a cycle; the chain's length is
    // bounded by the number of objects.
    std::set<tag_t> seen{tag};
    for (tag_t up = v.parent; up != NULL_TAG;) {
        demand(seen.insert(up).second, at + ": its parent chain comes back to view " + std::to_string(up));
        const Object* parent = doc.find(up);
        const auto* data = parent ? parent->as<DrawingViewData>() : nullptr;
        if (!data) break;
        up = data->parent;
    }
}

void check_annotation(const Document& doc, const Object& o, const AnnotationData& a, const std::string& at) {
    demand(o.subtype == annotation_subtype(a.kind),
           at + ": subtype " + std::to_string(o.subtype) + " does not match its kind");
    refers(doc, a.drawing, UF_drawing_type, at + ": its sheet");
    demand(a.lines.size() <= kMostAnnotationLines, at + ": it has " + std::to_string(a.lines.size()) + " text lines");
    for (std::size_t i = 0; i < a.lines.size(); ++i) text(a.lines[i], at + ": text line " + std::to_string(i + 1));
    text(a.name, at + ": its name");
    finite(a.origin_x, at + ": its origin x"), finite(a.origin_y, at + ": its origin y");
    finite(a.leader_x, at + ": its leader x"), finite(a.leader_y, at + ": its leader y");
    for (const AnnotationAnchor* anchor : {&a.first, &a.second}) {
        refers(doc, anchor->view, UF_view_type, at + ": an anchor's view");
        demand(anchor->end == 1 || anchor->end == 2 || anchor->end == 0,
               at + ": an anchor's end is " + std::to_string(anchor->end));
    }
    refers(doc, a.margin, UF_drafting_entity_type, at + ": its margin or origin");
    finite(a.offset, at + ": its offset"), finite(a.dogleg_angle, at + ": its dogleg angle");
    finite(a.dogleg_distance, at + ": its dogleg distance");
    const AnnotationStyle& st = a.style;
    positive(st.height, kLargestSheet, at + ": its text height");
    positive(st.aspect_ratio, 100, at + ": its aspect ratio");
    finite(st.char_space, at + ": its character spacing"), finite(st.line_space, at + ": its line spacing");
    finite(st.angle, at + ": its text angle"), finite(st.text_gap, at + ": its text gap");
    positive(st.arrow_length, kLargestSheet, at + ": its arrow length");
    finite(st.arrow_angle, at + ": its arrow angle"), finite(st.origin_symbol, at + ": its origin symbol");
    demand(st.decimals >= 0 && st.decimals <= 6, at + ": it shows " + std::to_string(st.decimals) + " decimals");
    demand(st.alignment >= 1 && st.alignment <= 9, at + ": its alignment is " + std::to_string(st.alignment));
}

void check_payload(const Document& doc, tag_t tag, const Object& o, const std::string& at) {
    if (const auto* sub = o.as<SubShapeData>()) {
        const Object* body = doc.find(sub->body);
        demand(body && body->as<BodyData>(), at + ": the body it belongs to is missing");
    } else if (const auto* line = o.as<LineData>()) {
        point(line->start.XYZ(), at + ": its start"), point(line->end.XYZ(), at + ": its end");
    } else if (const auto* arc = o.as<ArcData>()) {
        point(arc->position.Location().XYZ(), at + ": its centre");
        direction(arc->position.Direction(), at + ": its axis"), direction(arc->position.XDirection(), at);
        positive(arc->radius, kLargestCoordinate, at + ": its radius");
        finite(arc->start, at + ": its start angle"), finite(arc->end, at + ": its end angle");
    } else if (const auto* p = o.as<PointData>()) {
        point(p->point.XYZ(), at);
    } else if (const auto* curve = o.as<CurveData>()) {
        finite(curve->first, at + ": its first parameter"), finite(curve->last, at + ": its last parameter");
    } else if (const auto* csys = o.as<CsysData>()) {
        point(csys->origin.XYZ(), at + ": its origin");
        const Object* matrix = doc.find(csys->matrix);
        demand(matrix && matrix->as<MatrixData>(), at + ": its matrix is missing");
    } else if (const auto* matrix = o.as<MatrixData>()) {
        direction(matrix->axes.Direction(), at), direction(matrix->axes.XDirection(), at);
    } else if (const auto* view = o.as<ModelViewData>()) {
        orientation(view->orientation, at);
    } else if (const auto* sheet = o.as<DrawingData>()) {
        positive(sheet->width, kLargestSheet, at + ": its width");
        positive(sheet->height, kLargestSheet, at + ": its height");
        positive(sheet->scale, kLargestScale, at + ": its scale");
    } else if (const auto* dview = o.as<DrawingViewData>()) {
        check_view(doc, tag, *dview, at);
    } else if (const auto* annotation = o.as<AnnotationData>()) {
        check_annotation(doc, o, *annotation, at);
    }
}

void check_object(const Document& doc, tag_t tag, const Object& o) {
    std::string at = "object " + std::to_string(tag);
    demand(type_fits(o), at + ": type " + std::to_string(o.type) + " and subtype " + std::to_string(o.subtype) +
                             " do not fit a " + kind_name(o.payload));
    at += std::string(" (a ") + kind_name(o.payload) + ")";
    demand(o.layer == 0 || Document::valid_layer(o.layer), at + ": it lies on layer " + std::to_string(o.layer));
    text(o.name, at + ": its name");
    demand(o.name.size() <= UF_OBJ_NAME_LEN,
           at + ": its name is longer than " + std::to_string(UF_OBJ_NAME_LEN) + " bytes");
    demand(o.blank_status == UF_OBJ_NOT_BLANKED || o.blank_status == UF_OBJ_BLANKED,
           at + ": its blank status is " + std::to_string(o.blank_status));
    demand(o.font >= UF_OBJ_FONT_SOLID && o.font <= UF_OBJ_FONT_CENTERLINE,
           at + ": its font is " + std::to_string(o.font));
    demand(o.color >= 0 && o.color <= 216, at + ": its colour is " + std::to_string(o.color));
    if (o.rgb) demand(*o.rgb <= kLargestColour, at + ": its drawn colour is " + std::to_string(*o.rgb));
    refers(doc, o.drawing, UF_drawing_type, at + ": its sheet");
    for (const Attribute& attribute : o.attributes) {
        const std::string of = at + ": attribute \"" + (is_utf8(attribute.title) ? attribute.title : "?") + "\"";
        text(attribute.title, at + ": an attribute title");
        demand(!attribute.title.empty() && attribute.title.size() <= UF_ATTR_MAX_TITLE_LEN,
               of + ": its title has " + std::to_string(attribute.title.size()) + " bytes");
        if (const auto* real = std::get_if<double>(&attribute.value))
            demand(std::isfinite(*real), of + " is not finite");
        if (const auto* string = std::get_if<std::string>(&attribute.value)) text(*string, of);
    }
    check_payload(doc, tag, o, at);
}

void check_settings(const Document& doc) {
    for (int layer = 1; layer <= UF_LAYER_MAX_LAYER; ++layer) {
        const int status = doc.layer_status(layer);
        demand(status >= UF_LAYER_WORK_LAYER && status <= UF_LAYER_INACTIVE_LAYER,
               "layer " + std::to_string(layer) + " has state " + std::to_string(status));
    }
    demand(Document::valid_layer(doc.work_layer()),
           "the work layer " + std::to_string(doc.work_layer()) + " is not a layer");
    const Object* wcs = doc.find(doc.wcs());
    demand(wcs && wcs->as<CsysData>(), "the work coordinate system is missing");
    orientation(doc.work_view(), "the work view");
    refers(doc, doc.current_drawing(), UF_drawing_type, "the current sheet");
    const auto& display = doc.drawing_display();
    demand(std::isfinite(display.grid_spacing) && display.grid_spacing >= kSmallestGridSpacing &&
               display.grid_spacing <= kLargestSheet,
           "the sheets' grid spacing is " + number_text(display.grid_spacing) + " mm");
    const DraftingPreferences& prefs = doc.drafting_preferences();
    for (std::size_t i = 0; i < prefs.mpr.size(); ++i)
        finite(prefs.mpr[i], "the annotation preference mpr[" + std::to_string(i) + "]");
    text(prefs.radius_text, "the radius text"), text(prefs.diameter_text, "the diameter text");
    demand(prefs.radius_text.size() <= DraftingPreferences::kSymbolTextLength &&
               prefs.diameter_text.size() <= DraftingPreferences::kSymbolTextLength,
           "the radius or diameter text is longer than " + std::to_string(DraftingPreferences::kSymbolTextLength) +
               " bytes");
    for (const Lettering& l : prefs.lettering) {
        finite(l.size, "a lettering size"), finite(l.char_space_factor, "a lettering spacing");
        finite(l.aspect_ratio, "a lettering aspect ratio"), finite(l.line_space_factor, "a lettering line spacing");
    }
    finite(prefs.text_angle, "the text angle preference");
}

}  // namespace

std::string part_problem(const Document& doc) {
    try {
        check_settings(doc);
        for (const auto& [tag, object] : doc.objects()) check_object(doc, tag, object);
    } catch (const Problem& problem) {
        return problem.text;
    }
    return {};
}

}  // namespace cadhost::partfile
