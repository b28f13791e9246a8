#include "cadhost/drafting/sheet_report.h"

#include <cmath>
#include <map>

#include "cadhost/drafting/annotation_geometry.h"
#include "cadhost/drafting/dimension_layout.h"
#include "cadhost/drafting/sheet_builder.h"
#include "cadhost/drafting/view_frame.h"

namespace cadhost::drafting {

namespace {

using nlohmann::ordered_json;

// Four decimals of a millimetre: finer than any drawing shows, coarse enough that reports compare across machines.
double tidy(double value) {
    double rounded = std::round(value * 1e4) / 1e4;
    return rounded == 0.0 ? 0.0 : rounded;
}
ordered_json dir(const gp_Dir& d) { return ordered_json::array({tidy(d.X()), tidy(d.Y()), tidy(d.Z())}); }

const char* kind_name(AnnotationData::Kind kind) {
    switch (kind) {
        case AnnotationData::Kind::Note:
            return "note";
        case AnnotationData::Kind::Label:
            return "label";
        case AnnotationData::Kind::Horizontal:
            return "horizontal dimension";
        case AnnotationData::Kind::Vertical:
            return "vertical dimension";
        case AnnotationData::Kind::OrdinateOrigin:
            return "ordinate origin";
        case AnnotationData::Kind::OrdinateMargin:
            return "ordinate margin";
        case AnnotationData::Kind::Ordinate:
            return "ordinate dimension";
    }
    return "annotation";
}

ordered_json anchor_json(const Document& doc, const AnnotationAnchor& a) {
    ordered_json out;
    out["object"] = a.object;
    if (const Object* o = doc.find(a.object); o && !o->name.empty()) out["object_name"] = o->name;
    out["view"] = a.view;
    out["end"] = a.end;
    if (auto p = anchor_sheet_point(doc, a)) out["sheet_point"] = {tidy(p->first), tidy(p->second)};
    if (auto m = anchor_model_point(doc, a)) out["model_point"] = {tidy(m->X()), tidy(m->Y()), tidy(m->Z())};
    return out;
}

ordered_json view_json(const Document& doc, tag_t tag) {
    const Object* object = doc.find(tag);
    const auto& view = *object->as<DrawingViewData>();
    const Placement placed = placement(doc, tag);
    ordered_json out;
    out["tag"] = tag;
    out["name"] = object->name;
    if (const Object* model = doc.find(view.model_view)) out["model_view"] = model->name;
    if (view.parent) {
        out["parent"] = view.parent;
        out["projection"] = view.projection;
    }
    out["right"] = dir(view.orientation.right);
    out["up"] = dir(view.orientation.up);
    out["toward_eye"] = dir(view.orientation.toward_eye);
    out["scale"] = tidy(placed.scale);
    out["reference_point"] = {tidy(placed.ref_x), tidy(placed.ref_y)};
    if (!placed.extent.empty) {
        double x0 = placed.sheet_x(placed.extent.xmin), x1 = placed.sheet_x(placed.extent.xmax);
        double y0 = placed.sheet_y(placed.extent.ymin), y1 = placed.sheet_y(placed.extent.ymax);
        out["sheet_box"] = {tidy(std::min(x0, x1)), tidy(std::min(y0, y1)), tidy(std::max(x0, x1)),
                            tidy(std::max(y0, y1))};
    }
    ordered_json layers = ordered_json::array();
    for (int l = 1; l <= UF_LAYER_MAX_LAYER; ++l)
        if (view.layers[l - 1]) layers.push_back(l);
    out["layers"] = layers;
    out["erased"] = view.erased;
    out["shows"] = shown_objects(doc, view);
    out["hidden_edges"] = view.display.hidden_edges == 2 ? "dashed" : "left out";
    return out;
}

ordered_json annotation_json(const Document& doc, tag_t tag, const AnnotationData* drawn) {
    const auto& a = *doc.find(tag)->as<AnnotationData>();
    using Kind = AnnotationData::Kind;
    ordered_json out;
    out["tag"] = tag;
    out["kind"] = kind_name(a.kind);
    const bool dimension = a.kind == Kind::Horizontal || a.kind == Kind::Vertical || a.kind == Kind::Ordinate;
    if (a.kind == Kind::Note || a.kind == Kind::Label) out["text"] = a.lines;
    if (dimension) {
        out["text"] = dimension_text(doc, a);
        if (auto value = measured_value(doc, a)) out["measured"] = tidy(*value);
    }
    if (a.kind != Kind::OrdinateOrigin && a.kind != Kind::OrdinateMargin && (a.kind != Kind::Ordinate || a.text_moved))
        out["position"] = {tidy(a.origin_x), tidy(a.origin_y)};
    if (a.kind == Kind::Label) out["leader_point"] = {tidy(a.leader_x), tidy(a.leader_y)};
    if (dimension || a.kind == Kind::OrdinateOrigin || (a.kind == Kind::OrdinateMargin && a.first.object))
        out["first"] = anchor_json(doc, a.first);
    if (a.kind == Kind::Horizontal || a.kind == Kind::Vertical) out["second"] = anchor_json(doc, a.second);
    if (a.kind == Kind::Ordinate || a.kind == Kind::OrdinateMargin)
        out[a.kind == Kind::Ordinate ? "margin" : "origin"] = a.margin;
    if (a.kind == Kind::OrdinateMargin) {
        out["margin_type"] = a.margin_type == 1 ? "horizontal" : "vertical";
        out["offset"] = tidy(a.offset);
    }
    if (a.kind == Kind::Ordinate && a.text_moved) out["dogleg"] = {tidy(a.dogleg_angle), tidy(a.dogleg_distance)};
    out["text_height"] = tidy(a.style->height);
    out["alignment"] = a.style->alignment;
    // Where and how a value is drawn: for ordinates left in place and for automatic texts that is not the position
    // given, and a dimension's text takes the alignment and angle its layout gives it.
    // A text the sheet moved clear of others is reported where it is drawn; "position" stays the one given.
    if (dimension) {
        if (auto layout = layout_dimension(doc, drawn ? *drawn : a)) {
            out["text_position"] = {tidy(layout->text_at.x), tidy(layout->text_at.y)};
            out["alignment"] = layout->alignment;
            out["text_angle"] = tidy(layout->text_angle);
        }
    }
    if (drawn && a.kind == Kind::Label) out["text_position"] = {tidy(drawn->origin_x), tidy(drawn->origin_y)};
    if (drawn) out["moved_clear"] = true;
    return out;
}

}  // namespace

ordered_json sheet_report(const Document& doc, tag_t drawing) {
    return sheet_report(doc, drawing, arranged_annotations(doc, drawing));
}

ordered_json sheet_report(const Document& doc, tag_t drawing, const std::vector<ArrangedAnnotation>& arranged) {
    const Object* object = doc.find(drawing);
    const auto& data = std::get<DrawingData>(object->payload);
    ordered_json out;
    out["tag"] = drawing;
    out["name"] = object->name;
    out["size"] = {tidy(data.width), tidy(data.height)};
    ordered_json views = ordered_json::array(), annotations = ordered_json::array(), curves = ordered_json::array();
    std::map<tag_t, AnnotationData> moved;
    for (const auto& [tag, drawn] : arranged) moved.emplace(tag, drawn);
    for (tag_t member : doc.drawing_members(drawing)) {
        const Object* m = doc.find(member);
        if (m->as<DrawingViewData>())
            views.push_back(view_json(doc, member));
        else if (m->as<AnnotationData>())
            annotations.push_back(annotation_json(doc, member, moved.count(member) ? &moved.at(member) : nullptr));
        else
            curves.push_back(member);
    }
    out["views"] = views;
    out["annotations"] = annotations;
    out["sheet_curves"] = curves.size();
    return out;
}

// Texts are checked for UTF-8 where they enter a part; should one slip past, it shows as U+FFFD rather than ending
// the program. The entry is indented as it sits in the report's "sheets" array; JSON strings hold no raw line breaks,
// so every line break is one of the layout's.
std::string report_sheet_text(const Document& doc, tag_t drawing) {
    return report_sheet_text(doc, drawing, arranged_annotations(doc, drawing));
}

std::string report_sheet_text(const Document& doc, tag_t drawing, const std::vector<ArrangedAnnotation>& moved) {
    const PlacementScope placements(doc);
    const std::string text =
        sheet_report(doc, drawing, moved).dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    std::string out = "    ";
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        out += c;
        if (c == '\n') out += "    ";
    }
    return out;
}

void ReportWriter::add(const std::string& sheet_text) {
    out_ << (sheets_++ == 0 ? "{\n  \"sheets\": [\n" : ",\n") << sheet_text;
}

void ReportWriter::finish() { out_ << (sheets_ == 0 ? "{\n  \"sheets\": []\n}\n" : "\n  ]\n}\n"); }

void write_report(std::ostream& out, const Document& doc) {
    ReportWriter report(out);
    for (tag_t drawing : drawings_of(doc)) report.add(report_sheet_text(doc, drawing));
    report.finish();
}

}  // namespace cadhost::drafting
