#include "cadhost/drafting/view_labels.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "cadhost/drafting/sheet_builder.h"
#include "cadhost/drafting/sheet_room.h"
#include "cadhost/drafting/view_frame.h"

namespace cadhost::drafting {

namespace {

using render::SheetGraphics;

constexpr double kHeight = 2.5;          // the label's capital height, mm
constexpr double kTextClearance = 1.0;   // from other texts, mm
constexpr double kLineClearance = 0.5;   // from lines
constexpr double kEdgeMargin = 2.0;      // inside the sheet's border
constexpr double kAxisTolerance = 1e-6;  // a direction this close to an axis is that axis

// "+X" for a direction along a model axis, "" for any other.
std::string axis_name(const gp_Dir& d) {
    const double c[3] = {d.X(), d.Y(), d.Z()};
    for (int k = 0; k < 3; ++k)
        if (std::abs(std::abs(c[k]) - 1.0) < kAxisTolerance)
            return std::string(c[k] > 0 ? "+" : "-") + static_cast<char>('X' + k);
    return "";
}

// "-X+Y-Z": the signs of a direction's parts along the axes it has a part along.
std::string signs_name(const gp_Dir& d) {
    const double c[3] = {d.X(), d.Y(), d.Z()};
    std::string out;
    for (int k = 0; k < 3; ++k)
        if (std::abs(c[k]) > 1e-3) out += std::string(c[k] > 0 ? "+" : "-") + static_cast<char>('X' + k);
    return out;
}

// The side of the model a view from that eye direction shows.
const char* side_name(const std::string& looks_along) {
    if (looks_along == "-Z") return "俯视";
    if (looks_along == "+Z") return "仰视";
    if (looks_along == "+Y") return "前视";
    if (looks_along == "-Y") return "后视";
    if (looks_along == "-X") return "右视";
    if (looks_along == "+X") return "左视";
    return "轴测";
}

double gap_between(const SheetBox& a, const SheetBox& b) {
    const double dx = std::max({0.0, b.x0 - a.x1, a.x0 - b.x1}), dy = std::max({0.0, b.y0 - a.y1, a.y0 - b.y1});
    return std::hypot(dx, dy);
}

// How far the free room above (or below) the view reaches before another view that stands over (or under) it.
double room_towards(const SheetView& own, const std::vector<SheetView>& views, bool above) {
    double room = std::numeric_limits<double>::infinity();
    for (const SheetView& other : views) {
        if (other.view == own.view || other.box.x1 <= own.box.x0 || other.box.x0 >= own.box.x1) continue;
        const double gap = above ? other.box.y0 - own.box.y1 : own.box.y0 - other.box.y1;
        if (gap >= 0) room = std::min(room, gap);
    }
    return room;
}

struct Candidate {
    double x, y;
    int alignment;
};

// Places to try: on the side above or below the view with more room (the side away from a neighbouring view, so
// the label is not read as the neighbour's), centred and at either end, slid along the edge; then beside the view at
// its corners; the other side last.
std::vector<Candidate> candidates(const SheetView& own, const std::vector<SheetView>& views) {
    const SheetBox& v = own.box;
    const bool above_first = room_towards(own, views, true) >= room_towards(own, views, false);
    std::vector<Candidate> out;
    const auto along = [&](bool above) {
        for (double gap : {1.5, 3.0, 5.0})
            for (double slide : {0.0, -5.0, 5.0, -10.0, 10.0, -20.0, 20.0}) {
                const double y = above ? v.y1 + gap : v.y0 - gap;
                const int row = above ? 6 : 0;  // bottom row of the keypad above, top row below
                out.push_back({(v.x0 + v.x1) / 2 + slide, y, row + 2});
                out.push_back({v.x0 + slide, y, row + 1});
                out.push_back({v.x1 + slide, y, row + 3});
            }
    };
    along(above_first);
    for (double gap : {1.5, 3.0, 5.0})
        for (double slide : {0.0, 5.0, 10.0, 15.0}) {
            // At the corners of the side chosen first, the text's near end by the view, reading away from it.
            const double y = above_first ? v.y1 - slide : v.y0 + slide;
            const int row = above_first ? 6 : 0;
            out.push_back({v.x1 + gap, y, row + 1});
            out.push_back({v.x0 - gap, y, row + 3});
        }
    along(!above_first);
    return out;
}

AnnotationStyle label_style() {
    AnnotationStyle style;
    style.height = kHeight;
    style.aspect_ratio = 0.8;
    return style;
}

}  // namespace

std::string view_label_text(const ViewOrientation& orientation) {
    const gp_Dir looks_along = orientation.toward_eye.Reversed();
    const std::string axis = axis_name(looks_along);
    const char* side = side_name(axis);
    if (axis.empty()) return std::string(side) + " 视向" + signs_name(looks_along);
    std::string out = std::string(side) + " 视向" + axis;
    const std::string right = axis_name(orientation.right), up = axis_name(orientation.up);
    if (!right.empty() && !up.empty()) out += " 右" + right + " 上" + up;
    return out;
}

std::vector<AnnotationData> draw_view_labels(const Document& doc, tag_t drawing, SheetGraphics& sheet) {
    const PlacementScope placements(doc);
    const std::vector<SheetView> views = sheet_views(doc, drawing);
    std::vector<AnnotationData> labels;
    if (views.empty()) return labels;
    const SheetBox area = usable_area(sheet, kEdgeMargin);
    SheetRoom room(sheet);
    for (const SheetView& own : views) {
        AnnotationData label;
        label.kind = AnnotationData::Kind::Note;
        label.drawing = drawing;
        label.lines = {view_label_text(doc.find(own.view)->as<DrawingViewData>()->orientation)};
        label.style = label_style();
        const std::vector<Candidate> places = candidates(own, views);
        // Clear of everything and nearer its own view than any other; failing that, clear of texts at least.
        bool placed = false;
        for (int demand = 2; demand >= 1 && !placed; --demand)
            for (const Candidate& c : places) {
                label.style.change([&](AnnotationStyle& s) { s.alignment = c.alignment; });
                label.origin_x = c.x, label.origin_y = c.y;
                SheetGraphics drawn;
                draw_annotation(doc, label, drawn);
                if (drawn.texts.empty()) break;
                const SheetBox box = ink_box(drawn.texts.front());
                if (!box.inside(area) || room.hits_text(box.grown(kTextClearance))) continue;
                if (demand > 1) {
                    if (room.hits_line(box.grown(kLineClearance))) continue;
                    const double own_gap = gap_between(box, own.box);
                    if (std::any_of(views.begin(), views.end(), [&](const SheetView& other) {
                            return other.view != own.view &&
                                   (other.box.overlaps(box) || gap_between(box, other.box) < own_gap);
                        }))
                        continue;
                }
                room.occupy(box);
                labels.push_back(label);
                placed = true;
                break;
            }
    }
    for (const AnnotationData& label : labels) draw_annotation(doc, label, sheet);
    return labels;
}

void add_sheet_notes(Document& doc, std::vector<AnnotationData> notes) {
    for (AnnotationData& note : notes) {
        Object object;
        object.type = UF_drafting_entity_type;
        object.subtype = note.kind == AnnotationData::Kind::Label ? UF_draft_label_subtype : UF_draft_note_subtype;
        object.payload = std::move(note);
        doc.add(std::move(object), false);
    }
}

}  // namespace cadhost::drafting
