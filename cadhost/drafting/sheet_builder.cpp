#include "cadhost/drafting/sheet_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "cadhost/drafting/annotation_geometry.h"
#include "cadhost/drafting/body_looks.h"
#include "cadhost/drafting/dimension_layout.h"
#include "cadhost/drafting/hlr_projection.h"
#include "cadhost/drafting/own_strokes.h"
#include "cadhost/drafting/projection_parts.h"
#include "cadhost/drafting/projected_strokes.h"
#include "cadhost/drafting/stroke_cutting.h"
#include "cadhost/drafting/text_arrangement.h"
#include "cadhost/drafting/view_frame.h"
#include "cadhost/geometry/queries.h"
#include "cadhost/render/stroke_paths.h"

namespace cadhost::drafting {

namespace {

using render::LinePattern;
using render::LineWeight;
using render::Point2;
using render::Polyline;
using render::SheetGraphics;
using render::Stroke;
using render::Text;

constexpr double kPointMark = 1.0;  // half size of the cross that marks a point, mm

Stroke curve_stroke(const Object& object) {
    Stroke s;
    if (object.font == UF_OBJ_FONT_CENTERLINE)
        s.pattern = LinePattern::Chain;
    else if (object.font == UF_OBJ_FONT_DASHED)
        s.pattern = LinePattern::Dashed;
    s.weight = object.font == UF_OBJ_FONT_SOLID ? LineWeight::Wide : LineWeight::Thin;
    return s;
}

// Arrowheads: 8 filled, 2 closed (outlined), 1 open (two strokes).
void add_arrow(SheetGraphics& sheet, Point2 tip, Point2 from, const AnnotationStyle& st, const std::string& layer) {
    const double length = st.arrow_length;
    const int style = st.arrowhead;
    double dx = tip.x - from.x, dy = tip.y - from.y, d = std::hypot(dx, dy);
    if (d < 1e-9) return;
    dx /= d, dy /= d;
    Point2 base{tip.x - dx * length, tip.y - dy * length};
    double w = length * std::tan(st.arrow_angle * M_PI / 360.0);
    Point2 left{base.x - dy * w, base.y + dx * w}, right{base.x + dy * w, base.y - dx * w};
    const Stroke thin{LineWeight::Thin, LinePattern::Continuous};
    if (style == 8)
        sheet.triangles.push_back({tip, left, right, layer});
    else
        sheet.polylines.push_back(Polyline{{left, tip, right}, style == 2, thin, layer});
}

void add_line(SheetGraphics& sheet, Point2 a, Point2 b, Stroke stroke, const std::string& layer) {
    sheet.polylines.push_back(Polyline{{a, b}, false, stroke, layer});
}

double line_pitch(const AnnotationStyle& style) { return style.height * (1.0 + 0.6 * style.line_space); }

// Lines stack downwards and the alignment point belongs to the block as a whole: where the first line's own alignment
// point lies, for a block of count lines aligned at y.
double first_line_y(const AnnotationStyle& style, std::size_t count, double y) {
    const double block = line_pitch(style) * (static_cast<double>(count) - 1);
    const int row = (style.alignment - 1) / 3;  // 0 top, 1 middle, 2 bottom
    return row == 0 ? y : (row == 1 ? y + block / 2 : y + block);
}

void add_text_lines(SheetGraphics& sheet, const std::vector<std::string>& lines, double x, double y,
                    const AnnotationStyle& style, const std::string& layer) {
    const double pitch = line_pitch(style);
    const double first_y = first_line_y(style, lines.size(), y);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        Text t;
        t.text = lines[i];
        t.anchor = {x, first_y - pitch * static_cast<double>(i)};
        t.alignment = style.alignment;
        t.height = style.height;
        t.width_factor = style.aspect_ratio;
        // The lettering's spacing factor counts from the font's own spacing (1.0); gaps never close up entirely.
        t.spacing_factor = std::max(-0.1, (style.char_space - 1.0) * 0.2);
        t.angle = style.angle * M_PI / 180.0;
        t.layer = layer;
        sheet.texts.push_back(t);
    }
}

// What a view projects: the bodies it shows, seen as its orientation and display say; the curves and points it shows
// besides, when asked for them.
ProjectionRequest projection_of(const Document& doc, const DrawingViewData& view, std::vector<const Object*>* curves) {
    ProjectionRequest request;
    for (tag_t tag : shown_objects(doc, view)) {
        const Object* shown = doc.find(tag);
        if (const auto* body = shown->as<BodyData>())
            request.bodies.push_back(body->shape);
        else if (curves)
            curves->push_back(shown);
    }
    request.orientation = view.orientation;
    request.options.hidden_line_removal = view.display.hidden_line_removal != 0;
    request.options.hidden_by_other_bodies = view.display.hidden_by_other_bodies != 0;
    return request;
}

// The view's projected lines as strokes, in the order the view draws them: by class, visible then hidden.
void add_lines(SheetGraphics& to, const ProjectedEdges& edges, const DrawingViewData& view, const Placement& placed,
               const BodyLooks& looks, const std::string& layer) {
    const Stroke visible{view.display.visible_edge_width == 1 ? LineWeight::Thin : LineWeight::Wide,
                         LinePattern::Continuous};
    const Stroke hidden{LineWeight::Thin, LinePattern::Dashed};
    for (int c = 0; c < 3; ++c) {
        if (c == ProjectedEdges::Smooth && !view.display.smooth_edges) continue;
        if (c == ProjectedEdges::Outline && !view.display.silhouettes) continue;
        for (const auto& line : edges.visible[c])
            add_projected(to, line, placed, looks.stroke_of(line, visible, false), layer);
        if (view.display.hidden_edges != 2) continue;
        for (const auto& line : edges.hidden[c])
            add_projected(to, line, placed, looks.stroke_of(line, hidden, true), layer);
    }
}

// Everything the strokes of a body's own lines depend on besides the lines: where and how large the view puts them,
// what it shows of them, and the body's own colour and width. Where the view puts them is taken from the placement's
// own mapping, at two points of each axis and its scale, not from the fields it is worked out from: whatever moves a
// view's lines on the sheet (its reference point, the centre of its extent, its scale) changes the key.
std::string own_strokes_key(const OwnLines& own, const Placement& placed, const ViewDisplay& display,
                            const Object& body) {
    char text[400];
    std::snprintf(text, sizeof text, "|%.17g|%.17g,%.17g,%.17g,%.17g|%d,%d,%d,%d|%lld,%d", placed.scale,
                  placed.sheet_x(0.0), placed.sheet_x(1.0), placed.sheet_y(0.0), placed.sheet_y(1.0),
                  display.visible_edge_width, display.smooth_edges, display.silhouettes, display.hidden_edges,
                  body.rgb ? static_cast<long long>(*body.rgb) : -1LL, body.line_width);
    return own.key + text;
}

// The body's own strokes in the view: those clear of the overlaps go onto the sheet as they are; those reaching into
// one are cut, and what is left of them outside joins the strokes still to be tidied.
void add_own_strokes(const OwnStrokes& own, const std::vector<Box2>& overlaps, const std::string& layer,
                     SheetGraphics& sheet, SheetGraphics& near) {
    auto take = [&](const auto& shapes, const std::vector<Box2>& boxes, auto& into) {
        for (std::size_t i = 0; i < shapes.size(); ++i) {
            if (reaches(boxes[i], overlaps)) {
                auto cut = shapes[i];
                cut.layer = layer;
                add_outside(cut, overlaps, near);
                continue;
            }
            into.push_back(shapes[i]);
            into.back().layer = layer;
        }
    };
    take(own.strokes.polylines, own.polyline_boxes, sheet.polylines);
    take(own.strokes.arcs, own.arc_boxes, sheet.arcs);
    take(own.strokes.ellipses, own.ellipse_boxes, sheet.ellipses);
    take(own.strokes.splines, own.spline_boxes, sheet.splines);
}

// A view's edges come from the projection as pieces, some of them drawn over by others; the view goes onto the sheet
// as the fewest strokes that draw it. Each body's own lines are made into strokes for the whole body, tidied, and
// kept for the next sheet showing the body the same way; a sheet cuts them where its bodies overlap, and tidies only
// what is left near there with the lines inside the overlaps. Nothing outside views is touched, so annotations keep
// their own strokes.
void draw_view(const Document& doc, tag_t view_tag, SheetGraphics& sheet) {
    const Object* object = doc.find(view_tag);
    const auto& view = *object->as<DrawingViewData>();
    const Placement placed = placement(doc, view_tag);
    const std::string layer = "VIEW-" + object->name;
    auto to_sheet = [&](double vx, double vy) { return Point2{placed.sheet_x(vx), placed.sheet_y(vy)}; };

    std::vector<const Object*> curves;
    const ProjectionRequest request = projection_of(doc, view, &curves);
    const ProjectionParts parts = projection_parts(request.bodies, request.orientation, request.options);
    const std::vector<const Object*> bodies = shown_bodies(doc, view);
    std::vector<Box2> overlaps;
    for (const Box2& r : parts.overlaps)
        overlaps.push_back(
            {placed.sheet_x(r.x0), placed.sheet_y(r.y0), placed.sheet_x(r.x1), placed.sheet_y(r.y1), false});

    SheetGraphics near;
    for (const OwnLines& own : parts.own) {
        const Object& body = *bodies.at(own.body);
        const auto strokes = OwnStrokesStore::shared().get(own_strokes_key(own, placed, view.display, body), [&] {
            OwnStrokes made;
            const BodyLooks looks({&body}, request.orientation, request.options);
            add_lines(made.strokes, own.lines(), view, placed, looks, std::string());
            render::tidy_strokes(made.strokes);
            made.measure();
            return made;
        });
        add_own_strokes(*strokes, overlaps, layer, sheet, near);
    }
    if (parts.inside)
        add_lines(near, *parts.inside, view, placed, BodyLooks(bodies, request.orientation, request.options), layer);

    for (const Object* curve : curves) {
        if (const auto* point = curve->as<PointData>()) {
            Point2 c = to_sheet(placed.view_x(point->point), placed.view_y(point->point));
            Stroke thin{LineWeight::Thin, LinePattern::Continuous};
            add_line(near, {c.x - kPointMark, c.y}, {c.x + kPointMark, c.y}, thin, layer);
            add_line(near, {c.x, c.y - kPointMark}, {c.x, c.y + kPointMark}, thin, layer);
            continue;
        }
        TopoDS_Edge edge = geometry::curve_edge(*curve);
        if (edge.IsNull()) continue;
        Polyline out{{}, false, curve_stroke(*curve), layer};
        for (const auto& p : geometry::curve_points(edge, 0.01 / placed.scale, 0.1, 0))
            out.points.push_back(to_sheet(placed.view_x(p), placed.view_y(p)));
        if (out.points.size() >= 2) near.polylines.push_back(std::move(out));
    }
    if (doc.border_display() && !placed.extent.empty) {
        const double m = 3.0;  // the border keeps clear of the view's content
        Point2 lo = to_sheet(placed.extent.xmin, placed.extent.ymin),
               hi = to_sheet(placed.extent.xmax, placed.extent.ymax);
        double x0 = std::min(lo.x, hi.x) - m, x1 = std::max(lo.x, hi.x) + m;
        double y0 = std::min(lo.y, hi.y) - m, y1 = std::max(lo.y, hi.y) + m;
        near.polylines.push_back(Polyline{{{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}},
                                          true,
                                          {LineWeight::Thin, LinePattern::Continuous},
                                          "VIEW-BORDERS"});
    }

    render::tidy_strokes(near);
    auto move_all = [](auto& into, auto& from) {
        into.insert(into.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
    };
    move_all(sheet.polylines, near.polylines);
    move_all(sheet.arcs, near.arcs);
    move_all(sheet.ellipses, near.ellipses);
    move_all(sheet.splines, near.splines);
}

void draw_sheet_curve(const Object& object, SheetGraphics& sheet) {
    if (const auto* point = object.as<PointData>()) {
        (void)point;
        return;  // points of a template mark places; they are not drawn
    }
    TopoDS_Edge edge = geometry::curve_edge(object);
    if (edge.IsNull()) return;
    Polyline out{{}, false, curve_stroke(object), "SHEET"};
    for (const auto& p : geometry::curve_points(edge, 0.01, 0.1, 0)) out.points.push_back({p.X(), p.Y()});
    if (out.points.size() >= 2) sheet.polylines.push_back(std::move(out));
}

// A dimension as its layout places it, owning the lines, arrowheads and text that draw it.
void draw_dimension(const Document& doc, const AnnotationData& a, SheetGraphics& sheet) {
    const auto layout = layout_dimension(doc, a);
    if (!layout) return;
    const std::string layer = "DIMENSION";
    const Stroke thin{LineWeight::Thin, LinePattern::Continuous};
    SheetGraphics parts;
    for (const auto& [from, to] : layout->lines) add_line(parts, from, to, thin, layer);
    for (const auto& [tip, from] : layout->arrows) add_arrow(parts, tip, from, a.style, layer);
    AnnotationStyle style = a.style;
    style.alignment = layout->alignment;
    style.angle = layout->text_angle;
    add_text_lines(parts, layout->text, layout->text_at.x, layout->text_at.y, style, layer);
    render::Dimension dim;
    using Kind = AnnotationData::Kind;
    dim.kind = a.kind == Kind::Horizontal ? render::Dimension::Kind::Horizontal
               : a.kind == Kind::Vertical ? render::Dimension::Kind::Vertical
                                          : render::Dimension::Kind::Ordinate;
    dim.first = layout->first;
    dim.second = layout->second;
    dim.line_at = layout->line_at;
    dim.text_anchor = layout->text_at;
    dim.measured = layout->measured;
    dim.text = layout->text.empty() ? std::string() : layout->text[0];
    dim.layer = layer;
    dim.polylines = std::move(parts.polylines);
    dim.triangles = std::move(parts.triangles);
    dim.texts = std::move(parts.texts);
    sheet.dimensions.push_back(std::move(dim));
}

}  // namespace

void draw_annotation(const Document& doc, const AnnotationData& a, SheetGraphics& sheet) {
    using Kind = AnnotationData::Kind;
    const Stroke thin{LineWeight::Thin, LinePattern::Continuous};
    switch (a.kind) {
        case Kind::Note:
            add_text_lines(sheet, a.lines, a.origin_x, a.origin_y, a.style, "NOTES");
            break;
        case Kind::Label: {
            add_text_lines(sheet, a.lines, a.origin_x, a.origin_y, a.style, "NOTES");
            double width = 0;
            for (const auto& line : a.lines) width = std::max(width, text_width(line, a.style));
            // The leader leaves the text at the end the style names, from the middle of the text's first line.
            const int column = (a.style->alignment - 1) % 3;
            double left = a.origin_x - (column == 0 ? 0 : column == 1 ? width / 2 : width);
            const int row = (a.style->alignment - 1) / 3;
            const double first_y = first_line_y(a.style, a.lines.size(), a.origin_y);
            double mid_y = first_y - (row == 0 ? a.style->height / 2 : row == 1 ? 0 : -a.style->height / 2);
            Point2 start{a.style->leader_side == 2 ? left + width + 1.0 : left - 1.0, mid_y};
            Point2 tip{a.leader_x, a.leader_y};
            add_line(sheet, start, tip, thin, "NOTES");
            add_arrow(sheet, tip, start, a.style, "NOTES");
            break;
        }
        case Kind::Horizontal:
        case Kind::Vertical:
        case Kind::Ordinate:
            draw_dimension(doc, a, sheet);
            break;
        case Kind::OrdinateOrigin: {
            if (!a.show_symbol) break;
            auto o = anchor_sheet_point(doc, a.first);
            if (!o) break;
            const double r = a.style->origin_symbol / 2, reach = r + 1.0;
            sheet.arcs.push_back({{o->first, o->second}, r, 0, 2 * M_PI, thin, "DIMENSION"});
            add_line(sheet, {o->first - reach, o->second}, {o->first + reach, o->second}, thin, "DIMENSION");
            add_line(sheet, {o->first, o->second - reach}, {o->first, o->second + reach}, thin, "DIMENSION");
            break;
        }
        case Kind::OrdinateMargin:
            break;  // a margin is where values sit; it is not drawn itself
    }
}

std::vector<ProjectionRequest> projection_requests(const Document& doc, tag_t drawing) {
    std::vector<ProjectionRequest> requests;
    for (tag_t member : doc.drawing_members(drawing))
        if (const auto* view = doc.find(member)->as<DrawingViewData>())
            requests.push_back(projection_of(doc, *view, nullptr));
    return requests;
}

std::vector<tag_t> drawings_of(const Document& doc) {
    std::vector<tag_t> drawings;
    for (const auto& [tag, object] : doc.objects())
        if (object.type == UF_drawing_type) drawings.push_back(tag);
    return drawings;
}

namespace {

void append(SheetGraphics& to, SheetGraphics&& piece) {
    auto move_all = [](auto& into, auto& from) {
        into.insert(into.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
    };
    move_all(to.polylines, piece.polylines);
    move_all(to.arcs, piece.arcs);
    move_all(to.ellipses, piece.ellipses);
    move_all(to.splines, piece.splines);
    move_all(to.triangles, piece.triangles);
    move_all(to.texts, piece.texts);
    move_all(to.dimensions, piece.dimensions);
}

bool movable(const AnnotationData& a) {
    using Kind = AnnotationData::Kind;
    return a.kind == Kind::Label || a.kind == Kind::Horizontal || a.kind == Kind::Vertical || a.kind == Kind::Ordinate;
}

}  // namespace

render::SheetGraphics build_sheet(const Document& doc, tag_t drawing, std::vector<ArrangedAnnotation>* moved) {
    const PlacementScope placements(doc);
    SheetGraphics sheet;
    const Object* object = doc.find(drawing);
    if (!object || !object->as<DrawingData>()) return sheet;
    const auto& data = std::get<DrawingData>(object->payload);
    sheet.name = object->name;
    sheet.width = data.width;
    sheet.height = data.height;
    if (doc.drawing_display().show_grid) {
        const double step = doc.drawing_display().grid_spacing;
        const Stroke faint{LineWeight::Thin, LinePattern::Continuous};
        for (double x = step; x < sheet.width; x += step) add_line(sheet, {x, 0}, {x, sheet.height}, faint, "GRID");
        for (double y = step; y < sheet.height; y += step) add_line(sheet, {0, y}, {sheet.width, y}, faint, "GRID");
    }
    // The members are found by a walk over the whole document, which a large part makes long: it is walked once.
    const std::vector<tag_t> members = doc.drawing_members(drawing);
    for (tag_t member : members) {
        const Object* m = doc.find(member);
        if (m->as<DrawingViewData>()) draw_view(doc, member, sheet);
    }
    // Everything else is drawn piece by piece, so that texts can be moved clear of each other before the pieces go
    // onto the sheet in the members' order. The sheet's own curves never move; they are obstacles like the views.
    SheetGraphics fixed;
    fixed.width = sheet.width;
    fixed.height = sheet.height;
    std::vector<SheetItem> items;
    std::vector<std::pair<bool, SheetGraphics>> curves;  // in member order: (is an item, the curve drawn)
    for (tag_t member : members) {
        const Object* m = doc.find(member);
        if (m->blank_status == UF_OBJ_BLANKED || m->as<DrawingViewData>()) continue;
        if (const auto* a = m->as<AnnotationData>()) {
            SheetItem item;
            item.tag = member;
            item.movable = movable(*a);
            item.placed = *a;
            draw_annotation(doc, *a, item.drawn);
            items.push_back(std::move(item));
            curves.emplace_back(true, SheetGraphics{});
        } else {
            SheetGraphics piece;
            draw_sheet_curve(*m, piece);
            curves.emplace_back(false, piece);
            append(fixed, std::move(piece));
        }
    }
    // The grid is a drawing aid behind everything, not a line a text could be read across.
    for (const auto& line : sheet.polylines)
        if (line.layer != "GRID") fixed.polylines.push_back(line);
    fixed.arcs.insert(fixed.arcs.begin(), sheet.arcs.begin(), sheet.arcs.end());
    fixed.ellipses.insert(fixed.ellipses.begin(), sheet.ellipses.begin(), sheet.ellipses.end());
    fixed.splines.insert(fixed.splines.begin(), sheet.splines.begin(), sheet.splines.end());
    std::vector<ViewBox> views;
    for (tag_t member : members) {
        if (!doc.find(member)->as<DrawingViewData>()) continue;
        const Placement placed = placement(doc, member);
        if (placed.extent.empty) continue;
        const double x0 = placed.sheet_x(placed.extent.xmin), x1 = placed.sheet_x(placed.extent.xmax);
        const double y0 = placed.sheet_y(placed.extent.ymin), y1 = placed.sheet_y(placed.extent.ymax);
        views.push_back({member, {std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)}});
    }
    arrange_texts(doc, fixed, views, items, [&doc](const AnnotationData& a) {
        SheetGraphics piece;
        draw_annotation(doc, a, piece);
        return piece;
    });
    std::size_t next_item = 0;
    for (auto& [is_item, piece] : curves) {
        if (!is_item) {
            append(sheet, std::move(piece));
            continue;
        }
        SheetItem& item = items[next_item++];
        if (item.moved && moved) moved->push_back({item.tag, item.placed});
        append(sheet, std::move(item.drawn));
    }
    return sheet;
}

std::vector<ArrangedAnnotation> arranged_annotations(const Document& doc, tag_t drawing) {
    std::vector<ArrangedAnnotation> moved;
    build_sheet(doc, drawing, &moved);
    return moved;
}

}  // namespace cadhost::drafting
