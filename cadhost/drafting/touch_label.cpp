#include "cadhost/drafting/touch_label.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>

#include "cadhost/drafting/sheet_builder.h"
#include "cadhost/drafting/view_frame.h"
#include "cadhost/render/stroke_shapes.h"
#include "host/sheet_setup.h"

namespace cadhost::drafting {

namespace {

using render::Point2;
using render::SheetGraphics;

struct Box {
    double x0, y0, x1, y1;
    bool overlaps(const Box& o) const { return x0 < o.x1 && o.x0 < x1 && y0 < o.y1 && o.y0 < y1; }
    Box grown(double by) const { return {x0 - by, y0 - by, x1 + by, y1 + by}; }
};

struct Segment {
    Point2 a, b;
    Box box() const { return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)}; }
};

constexpr double kTextClearance = 1.0;    // the label's text keeps this far from other texts and from lines, mm
constexpr double kLeaderClearance = 0.5;  // its leader passes other texts at least this far
constexpr double kEdgeMargin = 3.0;       // and its text stays this far inside the sheet's border

// The ink of a text as the sheet font draws it, with room for descenders: a little below the baseline to a little
// above the capitals, the width from the font's usual advances.
Box text_box(const render::Text& t) {
    double width = 0;
    for (std::size_t i = 0; i < t.text.size();) {
        const unsigned char c = static_cast<unsigned char>(t.text[i]);
        const int length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : 4;
        width += (length >= 3 ? 1.4 : 0.76) * t.height * t.width_factor + t.spacing_factor * t.height;
        i += length;
    }
    const int column = (std::clamp(t.alignment, 1, 9) - 1) % 3, row = (std::clamp(t.alignment, 1, 9) - 1) / 3;
    const double left = -width * 0.5 * column;
    const double baseline = row == 0 ? -t.height : row == 1 ? -0.5 * t.height : 0.0;
    const double lo = baseline - 0.3 * t.height, hi = baseline + 1.2 * t.height;
    const double c = std::cos(t.angle), s = std::sin(t.angle);
    Box box{1e300, 1e300, -1e300, -1e300};
    for (const auto& [u, v] :
         std::array<std::pair<double, double>, 4>{{{left, lo}, {left + width, lo}, {left, hi}, {left + width, hi}}}) {
        const double x = t.anchor.x + c * u - s * v, y = t.anchor.y + s * u + c * v;
        box = {std::min(box.x0, x), std::min(box.y0, y), std::max(box.x1, x), std::max(box.y1, y)};
    }
    return box;
}

bool segment_hits_box(const Segment& s, const Box& b) {
    // Clipping of the segment's parameter to the box, slab by slab.
    double t0 = 0.0, t1 = 1.0;
    const double d[2] = {s.b.x - s.a.x, s.b.y - s.a.y};
    const double from[2] = {s.a.x, s.a.y}, lo[2] = {b.x0, b.y0}, hi[2] = {b.x1, b.y1};
    for (int k = 0; k < 2; ++k) {
        if (std::abs(d[k]) < 1e-12) {
            if (from[k] < lo[k] || from[k] > hi[k]) return false;
            continue;
        }
        double ta = (lo[k] - from[k]) / d[k], tb = (hi[k] - from[k]) / d[k];
        if (ta > tb) std::swap(ta, tb);
        t0 = std::max(t0, ta), t1 = std::min(t1, tb);
        if (t0 > t1) return false;
    }
    return true;
}

void add_chain(std::vector<Segment>& out, const std::vector<Point2>& points, bool closed) {
    for (std::size_t i = 1; i < points.size(); ++i) out.push_back({points[i - 1], points[i]});
    if (closed && points.size() > 2) out.push_back({points.back(), points.front()});
}

// The sheet's strokes by the cells of a square grid their boxes cover, so that a box is tested against the strokes
// near it only. A sheet of a large core holds a hundred thousand strokes and the label looks in a few places: a
// stroke is divided into straight pieces only when a box first comes near it.
class SegmentGrid {
  public:
    explicit SegmentGrid(const SheetGraphics& sheet) {
        shapes_ = render::stroke_shapes(sheet, [](const render::Polyline& p) { return p.layer != "GRID"; });
        for (std::size_t i = 0; i < shapes_.size(); ++i) file(i);
        segments_.resize(shapes_.size());
        looked_.assign(shapes_.size(), 0);
    }

    bool hits(const Box& box) const {
        ++query_;
        for (long cx = cell(box.x0); cx <= cell(box.x1); ++cx)
            for (long cy = cell(box.y0); cy <= cell(box.y1); ++cy) {
                auto found = cells_.find({cx, cy});
                if (found == cells_.end()) continue;
                for (std::size_t i : found->second) {
                    if (looked_[i] == query_) continue;
                    looked_[i] = query_;
                    const render::StrokeShape& shape = shapes_[i];
                    if (!Box{shape.x0, shape.y0, shape.x1, shape.y1}.overlaps(box)) continue;
                    for (const Segment& s : segments(i))
                        if (s.box().overlaps(box) && segment_hits_box(s, box)) return true;
                }
            }
        return false;
    }

  private:
    void file(std::size_t i) {
        const render::StrokeShape& shape = shapes_[i];
        for (long cx = cell(shape.x0); cx <= cell(shape.x1); ++cx)
            for (long cy = cell(shape.y0); cy <= cell(shape.y1); ++cy) cells_[{cx, cy}].push_back(i);
    }

    // Curves divided finely enough for clearances of a millimetre.
    const std::vector<Segment>& segments(std::size_t i) const {
        auto& out = segments_[i];
        if (out) return *out;
        bool closed = false;
        const std::vector<Point2> points = render::stroke_points(shapes_[i], M_PI / 36, 4, closed);
        add_chain(out.emplace(), points, closed);
        return *out;
    }

    static constexpr double kCell = 5.0;
    // Strokes far off the sheet (a view reaching beyond it) share the outermost cells rather than making many.
    static long cell(double v) { return static_cast<long>(std::floor(std::clamp(v, -1000.0, 2000.0) / kCell)); }
    std::vector<render::StrokeShape> shapes_;
    std::map<std::pair<long, long>, std::vector<std::size_t>> cells_;
    mutable std::vector<std::optional<std::vector<Segment>>> segments_;
    mutable std::vector<unsigned> looked_;  // the query that last looked at each stroke
    mutable unsigned query_ = 0;
};

// The area texts may take: inside the template's border where the sheet has one, else inside the paper.
Box usable_area(const SheetGraphics& sheet) {
    Box border{1e300, 1e300, -1e300, -1e300};
    for (const auto& p : sheet.polylines)
        if (p.layer == "SHEET")
            for (const Point2& q : p.points)
                border = {std::min(border.x0, q.x), std::min(border.y0, q.y), std::max(border.x1, q.x),
                          std::max(border.y1, q.y)};
    if (border.x0 >= border.x1 || border.y0 >= border.y1) border = {0.0, 0.0, sheet.width, sheet.height};
    return border.grown(-kEdgeMargin);
}

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
    const Box area = usable_area(sheet);
    const SegmentGrid segments(sheet);
    std::vector<Box> texts;
    render::for_each_text(sheet, [&texts](const render::Text& t) { texts.push_back(text_box(t)); });

    AnnotationData label;
    label.kind = AnnotationData::Kind::Label;
    label.drawing = drawing;
    label.lines = {kTouchLabelText};
    label.style = label_style(doc, drawing);
    label.style.change([&](AnnotationStyle& s) { s.angle = 0.0; });
    label.leader_x = tip->x, label.leader_y = tip->y;

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
                const Point2 start{tip->x + distance * std::cos(a), tip->y + distance * std::sin(a)};
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
                const Box box = text_box(drawn.texts.front());
                if (box.x0 < area.x0 || box.y0 < area.y0 || box.x1 > area.x1 || box.y1 > area.y1) continue;
                const Box clear = box.grown(demand > 0 ? kTextClearance : 0.0);
                if (demand > 0 &&
                    std::any_of(texts.begin(), texts.end(), [&](const Box& t) { return t.overlaps(clear); }))
                    continue;
                if (demand > 1 && segments.hits(clear)) continue;
                const Segment leader{drawn.polylines.front().points.front(), drawn.polylines.front().points.back()};
                if (demand > 1 && std::any_of(texts.begin(), texts.end(), [&](const Box& t) {
                        const Box near = t.grown(kLeaderClearance);
                        return leader.box().overlaps(near) && segment_hits_box(leader, near);
                    }))
                    continue;
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
