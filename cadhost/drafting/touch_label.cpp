#include "cadhost/drafting/touch_label.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>

#include "cadhost/drafting/sheet_builder.h"
#include "cadhost/drafting/sheet_room.h"
#include "cadhost/drafting/view_frame.h"
#include "host/sheet_setup.h"

namespace cadhost::drafting {

namespace {

using render::Point2;
using render::SheetGraphics;

constexpr double kTextClearance = 1.0;    // the label's text keeps this far from other texts and from lines, mm
constexpr double kLeaderClearance = 0.5;  // its leader passes other texts at least this far
constexpr double kEdgeMargin = 3.0;       // and its text stays this far inside the sheet's border

const Attribute* attribute(const Object& object, const char* title) {
    const std::string wanted = Document::fold_case(title);
    for (const auto& a : object.attributes)
        if (Document::fold_case(a.title) == wanted) return &a;
    return nullptr;
}

// The label's look: that of the sheet's other labels as the run lettered them, else the run's label lettering.
AnnotationStyle label_style(const Document& doc, tag_t drawing) {
    for (tag_t member : doc.drawing_members(drawing))
        if (const auto* a = doc.find(member)->as<AnnotationData>(); a && a->kind == AnnotationData::Kind::Label)
            return a->style;
    AnnotationStyle style;
    style.height = 3.175;
    style.arrow_length = 1.5;
    return style;
}

// The touch point on the sheet, through the view the run named.
std::optional<Point2> touch_point_on_sheet(const Document& doc, tag_t drawing) {
    const Object* object = doc.find(drawing);
    if (!object) return std::nullopt;
    const Attribute* touch = attribute(*object, SHEET_SETUP_EDM_TOUCH);
    const Attribute* view_name = attribute(*object, SHEET_SETUP_TOP_VIEW);
    if (!touch || !view_name || std::get_if<int>(&touch->value) == nullptr || std::get<int>(touch->value) == 0)
        return std::nullopt;
    const auto* name = std::get_if<std::string>(&view_name->value);
    double model[3];
    const char* titles[3] = {SHEET_SETUP_EDM_MODEL_X, SHEET_SETUP_EDM_MODEL_Y, SHEET_SETUP_EDM_MODEL_Z};
    for (int k = 0; k < 3; ++k) {
        const Attribute* a = attribute(*object, titles[k]);
        const double* v = a ? std::get_if<double>(&a->value) : nullptr;
        if (!v || !std::isfinite(*v)) return std::nullopt;
        model[k] = *v;
    }
    if (!name) return std::nullopt;
    for (tag_t member : doc.drawing_members(drawing)) {
        const Object* view = doc.find(member);
        if (!view->as<DrawingViewData>() || Document::fold_case(view->name) != Document::fold_case(*name)) continue;
        double at[2];
        placement(doc, member).map(gp_Pnt(model[0], model[1], model[2]), at);
        if (!std::isfinite(at[0]) || !std::isfinite(at[1])) return std::nullopt;
        return Point2{at[0], at[1]};
    }
    return std::nullopt;
}

}  // namespace

std::optional<AnnotationData> touch_label(const Document& doc, tag_t drawing, const SheetGraphics& sheet) {
    const auto tip = touch_point_on_sheet(doc, drawing);
    if (!tip) return std::nullopt;
    return leader_label(doc, drawing, sheet, *tip, kTouchLabelText);
}

std::optional<AnnotationData> leader_label(const Document& doc, tag_t drawing, const SheetGraphics& sheet, Point2 tip,
                                           const std::string& text) {
    const SheetBox area = usable_area(sheet, kEdgeMargin);
    const SheetRoom room(sheet);

    AnnotationData label;
    label.kind = AnnotationData::Kind::Label;
    label.drawing = drawing;
    label.lines = {text};
    label.style = label_style(doc, drawing);
    label.style.change([&](AnnotationStyle& s) { s.angle = 0.0; });
    label.leader_x = tip.x, label.leader_y = tip.y;

    // Nearest first, up to the sheet's width away; at one distance the diagonals first, then every 15 degrees.
    std::vector<double> angles;
    for (double turn : {0.0, 15.0, -15.0, 30.0, -30.0, 45.0})
        for (double diagonal : {45.0, 135.0, 225.0, 315.0}) angles.push_back(diagonal + turn);
    const double reach = label.style->arrow_length + 3.0;
    // A sheet too full for a clear place still gets its label: first where it covers no text at least, at worst the
    // nearest place on the sheet.
    for (int demand = 2; demand >= 0; --demand)
        for (double distance = reach; distance <= std::max(sheet.width, sheet.height); distance += 2.0) {
            for (double degrees : angles) {
                const double a = degrees * M_PI / 180.0;
                const Point2 start{tip.x + distance * std::cos(a), tip.y + distance * std::sin(a)};
                // The leader leaves the text at the end facing the point; the text reads away from it.
                const bool rightwards = std::cos(a) >= -1e-9;
                label.style.change([&](AnnotationStyle& s) {
                    s.alignment = rightwards ? 4 : 6;
                    s.leader_side = rightwards ? 1 : 2;
                });
                label.origin_x = start.x + (rightwards ? 1.0 : -1.0);
                label.origin_y = start.y;
                SheetGraphics drawn;
                draw_annotation(doc, label, drawn);
                if (drawn.texts.empty() || drawn.polylines.empty()) return std::nullopt;
                const SheetBox box = ink_box(drawn.texts.front());
                if (!box.inside(area)) continue;
                const SheetBox clear = box.grown(demand > 0 ? kTextClearance : 0.0);
                if (demand > 0 && room.hits_text(clear)) continue;
                if (demand > 1 && room.hits_line(clear)) continue;
                const auto& leader = drawn.polylines.front().points;
                if (demand > 1 && room.line_hits_text(leader.front(), leader.back(), kLeaderClearance)) continue;
                return label;
            }
        }
    return std::nullopt;
}

std::optional<AnnotationData> draw_touch_label(const Document& doc, tag_t drawing, SheetGraphics& sheet) {
    const PlacementScope placements(doc);
    auto label = touch_label(doc, drawing, sheet);
    if (label) draw_annotation(doc, *label, sheet);
    return label;
}

void add_touch_label(Document& doc, AnnotationData label) {
    Object object;
    object.type = UF_drafting_entity_type;
    object.subtype = UF_draft_label_subtype;
    object.payload = std::move(label);
    doc.add(std::move(object), false);
}

}  // namespace cadhost::drafting
