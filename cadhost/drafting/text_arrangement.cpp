#include "cadhost/drafting/text_arrangement.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>

#include "cadhost/drafting/annotation_geometry.h"
#include "cadhost/drafting/dimension_layout.h"
#include "cadhost/render/stroke_shapes.h"
#include "cadhost/render/text_metrics.h"

namespace cadhost::drafting {

namespace {

using render::Point2;
using render::SheetGraphics;

// A text left where it was put collides only when something plainly reaches into its ink: a line grazing its edge or
// two boxes touching do not count, so that measuring a little differently from a reader's font never moves a text.
constexpr double kStayTextMargin = 0.0;
constexpr double kStayLineMargin = -0.15;
// A text that is moved keeps clear of everything by this much, so that it reads as apart.
constexpr double kMovedTextMargin = 0.4;
constexpr double kMovedLineMargin = 0.3;
constexpr double kStep = 0.5;         // candidate places are tried this far apart, mm
constexpr double kFarthest = 80.0;    // and no farther from where the text was put
constexpr double kLeastLeader = 3.0;  // a label's text stays this far from its leader's point
// A moved value stays this near what it measures: a linear value within this of its extension lines, an ordinate
// value within this along its margin from its own extension line. Farther off, it reads as another dimension's.
constexpr double kFarthestBeyond = 20.0;
constexpr int kLinesOut = 4;               // a linear dimension's line may go this many text rows further out
constexpr double kCellSize = 5.0;          // of the grid that finds the sheet's fixed lines near a box, mm
constexpr double kArcChord = M_PI / 36.0;  // arcs are divided every 5 degrees to find crossings

double along_of(const Point2& p, int axis) { return axis == 0 ? p.x : p.y; }

void add_polyline(const std::vector<Point2>& points, bool closed, std::vector<Segment>& out) {
    for (std::size_t i = 1; i < points.size(); ++i) out.push_back({points[i - 1], points[i]});
    if (closed && points.size() > 2) out.push_back({points.back(), points.front()});
}

// A shape's straight pieces, its curves divided every kArcChord.
void add_shape(const render::StrokeShape& shape, std::vector<Segment>& out) {
    bool closed = false;
    const std::vector<Point2> points = render::stroke_points(shape, kArcChord, 1, closed);
    add_polyline(points, closed, out);
}

// The fixed line work of a sheet, each shape filed by the grid cells its box covers, so that a box meets only the
// shapes near it. A large core's views hold a hundred thousand strokes, almost all of them far from every text: a
// shape is divided into segments only when a box first comes near it.
class LineGrid {
  public:
    explicit LineGrid(const SheetGraphics& fixed) {
        columns_ = std::max(1, static_cast<int>(std::ceil(fixed.width / kCellSize)) + 2);
        rows_ = std::max(1, static_cast<int>(std::ceil(fixed.height / kCellSize)) + 2);
        cells_.resize(static_cast<std::size_t>(columns_ * rows_));
        shapes_ = render::stroke_shapes(fixed);
        for (std::size_t i = 0; i < shapes_.size(); ++i) file(i);
        segments_.resize(shapes_.size());
        looked_.assign(shapes_.size(), 0);
    }

    bool any_crossing(const Box& box, double margin) const {
        const double x0 = box.x0 - margin, y0 = box.y0 - margin, x1 = box.x1 + margin, y1 = box.y1 + margin;
        const int c0 = column(x0), c1 = column(x1);
        const int r0 = row(y0), r1 = row(y1);
        ++query_;
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                for (std::size_t i : cells_[static_cast<std::size_t>(r * columns_ + c)]) {
                    if (looked_[i] == query_) continue;
                    looked_[i] = query_;
                    const render::StrokeShape& b = shapes_[i];
                    if (b.x1 < x0 || b.x0 > x1 || b.y1 < y0 || b.y0 > y1) continue;
                    for (const Segment& s : segments(i))
                        if (crosses(s, box, margin)) return true;
                }
        return false;
    }

  private:
    void file(std::size_t i) {
        const render::StrokeShape& shape = shapes_[i];
        for (int r = row(shape.y0); r <= row(shape.y1); ++r)
            for (int c = column(shape.x0); c <= column(shape.x1); ++c)
                cells_[static_cast<std::size_t>(r * columns_ + c)].push_back(i);
    }

    const std::vector<Segment>& segments(std::size_t i) const {
        auto& out = segments_[i];
        if (!out) add_shape(shapes_[i], out.emplace());
        return *out;
    }

    // Cell 0 and the last one in each direction take everything beyond the sheet.
    int column(double x) const { return std::clamp(static_cast<int>(std::floor(x / kCellSize)) + 1, 0, columns_ - 1); }
    int row(double y) const { return std::clamp(static_cast<int>(std::floor(y / kCellSize)) + 1, 0, rows_ - 1); }

    std::vector<render::StrokeShape> shapes_;
    int columns_ = 1, rows_ = 1;
    std::vector<std::vector<std::size_t>> cells_;
    mutable std::vector<std::optional<std::vector<Segment>>> segments_;
    mutable std::vector<unsigned> looked_;  // the query that last looked at each shape
    mutable unsigned query_ = 0;
};

// What one item covers as it stands.
struct Cover {
    std::vector<Box> texts;
    std::vector<Segment> lines;
};

Cover cover_of(const SheetGraphics& drawn) {
    Cover out;
    render::for_each_text(drawn, [&out](const render::Text& text) {
        if (!text.text.empty()) out.texts.push_back(text_box(text));
    });
    out.lines = stroke_segments(drawn);
    return out;
}

const AnnotationData* annotation(const Document& doc, tag_t tag) {
    const Object* object = doc.find(tag);
    return object ? object->as<AnnotationData>() : nullptr;
}

// The distances tried, nearest first, each with the side it lies on.
std::vector<double> offsets(double first_sign) {
    std::vector<double> out;
    for (double d = kStep; d <= kFarthest + 1e-9; d += kStep) {
        out.push_back(first_sign * d);
        out.push_back(-first_sign * d);
    }
    return out;
}

// An ordinate's value moves along its margin, on the dogleg its kind is drawn with.
std::vector<AnnotationData> ordinate_places(const Document& doc, const AnnotationData& a) {
    std::vector<AnnotationData> out;
    const AnnotationData* margin = annotation(doc, a.margin);
    auto object = anchor_sheet_point(doc, a.first);
    if (!margin || !object) return out;
    const bool along_x = margin->margin_type == 1;
    const double own = along_x ? object->first : object->second;
    const double base = a.text_moved ? (along_x ? a.origin_x : a.origin_y) : own;
    for (double d : offsets(base < own ? -1.0 : 1.0)) {
        AnnotationData c = a;
        c.text_moved = true;
        if (!(a.text_moved && a.dogleg_angle > 0)) c.dogleg_angle = 60.0;
        if (!(a.text_moved && a.dogleg_distance > 0)) c.dogleg_distance = 3.0;
        (along_x ? c.origin_x : c.origin_y) = base + d;
        out.push_back(std::move(c));
    }
    return out;
}

// A linear value moves along its dimension line (which runs on under it, past the extension lines); failing a clear
// place there, the line goes further out, a text row at a time.
std::vector<AnnotationData> linear_places(const Document& doc, const AnnotationData& a) {
    std::vector<AnnotationData> out;
    auto layout = layout_dimension(doc, a);
    if (!layout) return out;
    const int along = a.kind == AnnotationData::Kind::Horizontal ? 0 : 1, across = 1 - along;
    const double text_along = along_of(layout->text_at, along);
    const double text_across = across == 0 ? a.origin_x : a.origin_y;
    const double measured_across = (along_of(layout->first, across) + along_of(layout->second, across)) / 2;
    const double out_sign = text_across >= measured_across ? 1.0 : -1.0;
    const double row = a.style->height * 1.6 + 1.0;
    struct Place {
        double weight, along, across;
    };
    std::vector<Place> places;
    const double centre = (along_of(layout->first, along) + along_of(layout->second, along)) / 2;
    const double first_sign = text_along >= centre ? 1.0 : -1.0;  // on beyond the end it already stands past
    for (int k = 0; k <= kLinesOut; ++k) {
        if (k > 0) places.push_back({8.0 * k, 0.0, k * row});
        for (double d : offsets(first_sign)) places.push_back({std::fabs(d) + 8.0 * k, d, k * row});
    }
    std::stable_sort(places.begin(), places.end(), [](const Place& p, const Place& q) { return p.weight < q.weight; });
    for (const Place& p : places) {
        AnnotationData c = a;
        c.style.change([&](AnnotationStyle& s) { s.manual_text = true; });
        (along == 0 ? c.origin_x : c.origin_y) = text_along + p.along;
        (across == 0 ? c.origin_x : c.origin_y) = text_across + out_sign * p.across;
        out.push_back(std::move(c));
    }
    return out;
}

// A label's text moves along its leader, further from the point it shows or nearer to it.
std::vector<AnnotationData> label_places(const AnnotationData& a) {
    std::vector<AnnotationData> out;
    double ux = a.origin_x - a.leader_x, uy = a.origin_y - a.leader_y;
    const double length = std::hypot(ux, uy);
    if (length < 1e-9) return out;
    ux /= length, uy /= length;
    for (double d : offsets(1.0)) {
        if (length + d < kLeastLeader) continue;
        AnnotationData c = a;
        c.origin_x = a.origin_x + ux * d;
        c.origin_y = a.origin_y + uy * d;
        out.push_back(std::move(c));
    }
    return out;
}

std::vector<AnnotationData> other_places(const Document& doc, const AnnotationData& a) {
    using Kind = AnnotationData::Kind;
    switch (a.kind) {
        case Kind::Ordinate:
            return ordinate_places(doc, a);
        case Kind::Horizontal:
        case Kind::Vertical:
            return linear_places(doc, a);
        case Kind::Label:
            return label_places(a);
        default:
            return {};
    }
}

// Where a dimension's value may stand along the direction it measures (or, for an ordinate, along its margin): the
// span between its extension lines, or the ordinate's own line, and the axis of the sheet that runs along it.
struct Reach {
    int axis = 0;
    double lo = 0, hi = 0;
    // How far the text boxes stand past the span.
    double beyond(const std::vector<Box>& texts) const {
        double most = 0;
        for (const Box& b : texts) {
            const double b0 = axis == 0 ? b.x0 : b.y0, b1 = axis == 0 ? b.x1 : b.y1;
            most = std::max({most, b1 - hi, lo - b0});
        }
        return most;
    }
};

std::optional<Reach> reach_of(const Document& doc, const AnnotationData& a) {
    using Kind = AnnotationData::Kind;
    if (a.kind == Kind::Horizontal || a.kind == Kind::Vertical) {
        const auto layout = layout_dimension(doc, a);
        if (!layout) return std::nullopt;
        const int axis = a.kind == Kind::Horizontal ? 0 : 1;
        const double p = along_of(layout->first, axis), q = along_of(layout->second, axis);
        return Reach{axis, std::min(p, q), std::max(p, q)};
    }
    if (a.kind == Kind::Ordinate) {
        const AnnotationData* margin = annotation(doc, a.margin);
        const auto object = anchor_sheet_point(doc, a.first);
        if (!margin || !object) return std::nullopt;
        const int axis = margin->margin_type == 1 ? 0 : 1;
        const double own = axis == 0 ? object->first : object->second;
        return Reach{axis, own, own};
    }
    return std::nullopt;
}

class Arrangement {
  public:
    Arrangement(const SheetGraphics& fixed, const std::vector<ViewBox>& views, std::vector<SheetItem>& items)
        : width_(fixed.width), height_(fixed.height), fixed_lines_(fixed), views_(views), items_(items) {
        for (const auto& item : items_) {
            covers_.push_back(cover_of(item.drawn));
            if (!item.movable)
                for (const Box& b : covers_.back().texts) fixed_texts_.push_back(b);
        }
    }

    // How many collisions the item at index i would take part in, drawn as cover: its texts against the sheet's
    // edge, other texts and every line, and its own lines against other texts. Standing where it was put, it answers
    // only for what was placed before it: a later annotation that meets it is the later one's to move.
    int collisions(std::size_t i, const Cover& cover, bool staying) const {
        const double text_margin = staying ? kStayTextMargin : kMovedTextMargin;
        const double line_margin = staying ? kStayLineMargin : kMovedLineMargin;
        int count = 0;
        for (const Box& box : cover.texts) {
            const double edge = staying ? 0.0 : text_margin;
            if (box.x0 < edge || box.y0 < edge || box.x1 > width_ - edge || box.y1 > height_ - edge) ++count;
            if (!staying)
                for (const ViewBox& v : views_)
                    count += v.view != items_[i].placed.first.view && items_[i].placed.first.view != NULL_TAG &&
                             overlaps(box, v.box, 0.0);
            for (const Box& other : fixed_texts_) count += overlaps(box, other, text_margin);
            for (std::size_t j = 0; j < items_.size(); ++j) {
                if (j == i || !items_[j].movable) continue;
                if (staying && j > i) continue;
                for (const Box& other : covers_[j].texts) count += overlaps(box, other, text_margin);
            }
            count += fixed_lines_.any_crossing(box, line_margin);
            for (std::size_t j = 0; j < items_.size(); ++j) {
                if (j == i || (staying && j > i && items_[j].movable)) continue;
                for (const Segment& s : covers_[j].lines)
                    if (crosses(s, box, line_margin)) {
                        ++count;
                        break;
                    }
            }
            for (const Segment& s : cover.lines)
                if (crosses(s, box, kStayLineMargin)) {
                    ++count;
                    break;
                }
        }
        for (const Segment& s : cover.lines) {
            for (const Box& other : fixed_texts_) count += crosses(s, other, line_margin);
            for (std::size_t j = 0; j < items_.size(); ++j) {
                if (j == i || !items_[j].movable || (staying && j > i)) continue;
                for (const Box& other : covers_[j].texts) count += crosses(s, other, line_margin);
            }
        }
        return count;
    }

    void arrange(const Document& doc, const DrawAnnotation& draw) {
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (!items_[i].movable || covers_[i].texts.empty()) continue;
            if (collisions(i, covers_[i], true) == 0) continue;
            AnnotationData best_place;
            SheetGraphics best_drawn;
            Cover best_cover;
            bool found = false;
            const std::optional<Reach> reach = reach_of(doc, items_[i].placed);
            const std::vector<AnnotationData> places = other_places(doc, items_[i].placed);
            // First a clear place near what the value measures and in its own view; a sheet that has none there
            // gets the place with the fewest collisions anywhere the value can go.
            for (bool near : {true, false}) {
                int best = near ? 1 : collisions(i, covers_[i], false);
                for (const AnnotationData& place : places) {
                    SheetGraphics drawn = draw(place);
                    Cover cover = cover_of(drawn);
                    if (cover.texts.empty()) continue;
                    if (near && reach && reach->beyond(cover.texts) > kFarthestBeyond) continue;
                    if (near && inside_other_view(i, cover)) continue;
                    const int count = collisions(i, cover, false);
                    if (count >= best) continue;
                    best = count;
                    best_place = place;
                    best_drawn = std::move(drawn);
                    best_cover = std::move(cover);
                    found = true;
                    if (best == 0) break;
                }
                if (found) break;
            }
            if (!found) continue;
            items_[i].placed = std::move(best_place);
            items_[i].drawn = std::move(best_drawn);
            items_[i].moved = true;
            covers_[i] = std::move(best_cover);
        }
    }

  private:
    // A moved value never stands in a view other than the one it measures in.
    bool inside_other_view(std::size_t i, const Cover& cover) const {
        const tag_t own = items_[i].placed.first.view;
        if (own == NULL_TAG) return false;
        for (const Box& box : cover.texts)
            for (const ViewBox& v : views_)
                if (v.view != own && overlaps(box, v.box, 0.0)) return true;
        return false;
    }

    double width_, height_;
    LineGrid fixed_lines_;
    const std::vector<ViewBox>& views_;
    std::vector<SheetItem>& items_;
    std::vector<Cover> covers_;
    std::vector<Box> fixed_texts_;
};

}  // namespace

Box text_box(const render::Text& text) {
    const auto corners = render::text_ink_corners(text, render::measure_text(text));
    Box box{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
    for (const Point2& p : corners) {
        box.x0 = std::min(box.x0, p.x), box.y0 = std::min(box.y0, p.y);
        box.x1 = std::max(box.x1, p.x), box.y1 = std::max(box.y1, p.y);
    }
    return box;
}

std::vector<Segment> stroke_segments(const SheetGraphics& piece) {
    std::vector<Segment> out;
    for (const render::StrokeShape& shape : render::stroke_shapes(piece)) add_shape(shape, out);
    return out;
}

bool crosses(const Segment& s, const Box& box, double margin) {
    const double x0 = box.x0 - margin, y0 = box.y0 - margin, x1 = box.x1 + margin, y1 = box.y1 + margin;
    if (x1 <= x0 || y1 <= y0) return false;
    double t0 = 0.0, t1 = 1.0;
    const double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
    const double p[4] = {-dx, dx, -dy, dy}, q[4] = {s.a.x - x0, x1 - s.a.x, s.a.y - y0, y1 - s.a.y};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0.0) {
            if (q[k] < 0) return false;
            continue;
        }
        const double t = q[k] / p[k];
        if (p[k] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    return true;
}

bool overlaps(const Box& a, const Box& b, double margin) {
    return std::min(a.x1, b.x1) - std::max(a.x0, b.x0) > -2 * margin &&
           std::min(a.y1, b.y1) - std::max(a.y0, b.y0) > -2 * margin;
}

void arrange_texts(const Document& doc, const SheetGraphics& fixed, const std::vector<ViewBox>& views,
                   std::vector<SheetItem>& items, const DrawAnnotation& draw) {
    Arrangement arrangement(fixed, views, items);
    arrangement.arrange(doc, draw);
}

}  // namespace cadhost::drafting
