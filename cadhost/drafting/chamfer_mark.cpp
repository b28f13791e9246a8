#include "cadhost/drafting/chamfer_mark.h"

#include <cmath>

#include "cadhost/drafting/sheet_builder.h"
#include "cadhost/drafting/touch_label.h"
#include "cadhost/drafting/view_frame.h"
#include "host/sheet_setup.h"

namespace cadhost::drafting {

namespace {

constexpr double kParallel = 1e-6;  // views looking along directions this close to opposite look along one axis

// The core's top view: the view the run named in the sheet's setup.
tag_t core_top_view(const Document& doc, tag_t drawing) {
    const Object* object = doc.find(drawing);
    if (!object) return NULL_TAG;
    const std::string wanted = Document::fold_case(SHEET_SETUP_TOP_VIEW);
    const std::string* name = nullptr;
    for (const auto& a : object->attributes)
        if (Document::fold_case(a.title) == wanted) name = std::get_if<std::string>(&a.value);
    if (!name) return NULL_TAG;
    for (tag_t member : doc.drawing_members(drawing)) {
        const Object* view = doc.find(member);
        if (view->as<DrawingViewData>() && Document::fold_case(view->name) == Document::fold_case(*name)) return member;
    }
    return NULL_TAG;
}

// The electrode's own top view: the one other imported view that looks along the same axis, the opposite way.
tag_t electrode_top_view(const Document& doc, tag_t drawing, tag_t core_top) {
    const gp_Dir core_eye = doc.find(core_top)->as<DrawingViewData>()->orientation.toward_eye;
    tag_t found = NULL_TAG;
    for (tag_t member : doc.drawing_members(drawing)) {
        const auto* view = doc.find(member)->as<DrawingViewData>();
        if (!view || member == core_top || view->parent != NULL_TAG) continue;
        if (!view->orientation.toward_eye.IsOpposite(core_eye, kParallel)) continue;
        if (found != NULL_TAG) return NULL_TAG;  // two such views: which is the electrode's is not known
        found = member;
    }
    return found;
}

}  // namespace

std::optional<AnnotationData> draw_chamfer_mark(const Document& doc, tag_t drawing, render::SheetGraphics& sheet) {
    const PlacementScope placements(doc);
    const tag_t core_top = core_top_view(doc, drawing);
    if (core_top == NULL_TAG) return std::nullopt;
    const AnnotationData* core_label = nullptr;
    for (tag_t member : doc.drawing_members(drawing)) {
        const auto* a = doc.find(member)->as<AnnotationData>();
        if (a && a->kind == AnnotationData::Kind::Label && a->lines.size() == 1 && a->lines[0] == kChamferLabelText)
            core_label = a;
    }
    if (!core_label) return std::nullopt;
    const tag_t electrode_top = electrode_top_view(doc, drawing, core_top);
    if (electrode_top == NULL_TAG) return std::nullopt;

    // The corner back in the model, in the plane of the core's view: the depth along the common axis does not change
    // where it lands in the electrode's view.
    const Placement core = placement(doc, core_top);
    if (core.scale <= 0) return std::nullopt;
    const double vx = (core_label->leader_x - core.ref_x) / core.scale + core.cx;
    const double vy = (core_label->leader_y - core.ref_y) / core.scale + core.cy;
    const gp_Pnt corner(gp_XYZ(core.orientation.right.XYZ() * vx + core.orientation.up.XYZ() * vy));
    double at[2];
    placement(doc, electrode_top).map(corner, at);
    if (!std::isfinite(at[0]) || !std::isfinite(at[1])) return std::nullopt;
    auto label = leader_label(doc, drawing, sheet, {at[0], at[1]}, kChamferLabelText);
    if (label) draw_annotation(doc, *label, sheet);
    return label;
}

}  // namespace cadhost::drafting
