#include "render/sample_sheets.h"

#include <cmath>
#include <numbers>

namespace quillon_test {

using namespace cadhost::render;

namespace {

Polyline line(Point2 a, Point2 b, LineWeight weight, LinePattern pattern, const std::string& layer) {
    Polyline polyline;
    polyline.points = {a, b};
    polyline.stroke = {weight, pattern};
    polyline.layer = layer;
    return polyline;
}

Text text(const std::string& content, Point2 anchor, int alignment, double height, const std::string& layer) {
    Text t;
    t.text = content;
    t.anchor = anchor;
    t.alignment = alignment;
    t.height = height;
    t.layer = layer;
    return t;
}

void append(SheetGraphics& to, const SheetGraphics& from) {
    to.polylines.insert(to.polylines.end(), from.polylines.begin(), from.polylines.end());
    to.arcs.insert(to.arcs.end(), from.arcs.begin(), from.arcs.end());
    to.ellipses.insert(to.ellipses.end(), from.ellipses.begin(), from.ellipses.end());
    to.splines.insert(to.splines.end(), from.splines.begin(), from.splines.end());
    to.triangles.insert(to.triangles.end(), from.triangles.begin(), from.triangles.end());
    to.texts.insert(to.texts.end(), from.texts.begin(), from.texts.end());
    to.dimensions.insert(to.dimensions.end(), from.dimensions.begin(), from.dimensions.end());
}

}  // namespace

SheetGraphics frame_and_strokes() {
    SheetGraphics sheet;
    sheet.name = "frame_and_strokes";
    Polyline frame;
    frame.points = {{10, 10}, {287, 10}, {287, 200}, {10, 200}};
    frame.closed = true;
    frame.stroke = {LineWeight::Wide, LinePattern::Continuous};
    frame.layer = "FRAME";
    sheet.polylines.push_back(frame);
    sheet.polylines.push_back(line({30, 150}, {130, 150}, LineWeight::Thin, LinePattern::Dashed, "VIEW-TOP"));
    sheet.polylines.push_back(line({30, 130}, {130, 130}, LineWeight::Thin, LinePattern::Chain, "VIEW-TOP"));
    sheet.polylines.push_back(line({30, 110}, {130, 110}, LineWeight::Wide, LinePattern::Dashed, "VIEW-TOP"));
    Polyline outline;
    outline.points = {{30, 40}, {60, 40}, {60, 70}};
    outline.stroke = {LineWeight::Wide, LinePattern::Continuous};
    outline.layer = "VIEW-TOP";
    sheet.polylines.push_back(outline);

    Arc quarter;
    quarter.center = {200, 120};
    quarter.radius = 30;
    quarter.start_angle = 0.0;
    quarter.end_angle = std::numbers::pi / 2;
    quarter.stroke = {LineWeight::Wide, LinePattern::Continuous};
    quarter.layer = "VIEW-TOP";
    sheet.arcs.push_back(quarter);
    Arc circle;
    circle.center = {200, 60};
    circle.radius = 15;
    circle.end_angle = 2 * std::numbers::pi;
    circle.stroke = {LineWeight::Thin, LinePattern::Chain};
    circle.layer = "VIEW-TOP";
    sheet.arcs.push_back(circle);

    sheet.triangles.push_back({{250, 150}, {243, 151.2}, {243, 148.8}, "VIEW-TOP"});
    return sheet;
}

SheetGraphics texts() {
    SheetGraphics sheet;
    sheet.name = "texts";
    sheet.texts.push_back(text("技术要求", {150, 190}, 2, 5.0, "NOTES"));
    sheet.texts.push_back(text("EDM 电极 A-1", {40, 170}, 7, 3.5, "NOTES"));
    sheet.texts.push_back(text("CENTRE", {150, 170}, 5, 3.5, "NOTES"));
    sheet.texts.push_back(text("RIGHT", {260, 170}, 9, 3.5, "NOTES"));
    sheet.texts.push_back(text("TOP-LEFT", {40, 160}, 1, 2.5, "NOTES"));
    Text rotated = text("竖排 90", {20, 60}, 7, 3.5, "NOTES");
    rotated.angle = std::numbers::pi / 2;
    sheet.texts.push_back(rotated);
    Text narrow = text("NARROW 窄", {150, 150}, 4, 3.5, "NOTES");
    narrow.width_factor = 0.7;
    sheet.texts.push_back(narrow);
    Text spaced = text("SPACED", {150, 140}, 4, 3.5, "NOTES");
    spaced.spacing_factor = 0.2;
    sheet.texts.push_back(spaced);
    return sheet;
}

SheetGraphics horizontal_dimension() {
    SheetGraphics sheet;
    sheet.name = "horizontal_dimension";
    const std::string layer = "DIMENSION";
    const double y = 85.0;
    Dimension dimension;
    dimension.polylines.push_back(line({100, 71}, {100, 87}, LineWeight::Thin, LinePattern::Continuous, layer));
    dimension.polylines.push_back(line({150, 71}, {150, 87}, LineWeight::Thin, LinePattern::Continuous, layer));
    dimension.polylines.push_back(line({100, y}, {150, y}, LineWeight::Thin, LinePattern::Continuous, layer));
    dimension.triangles.push_back({{100, y}, {103.5, y + 0.6}, {103.5, y - 0.6}, layer});
    dimension.triangles.push_back({{150, y}, {146.5, y + 0.6}, {146.5, y - 0.6}, layer});
    dimension.texts.push_back(text("100", {125, y + 1.0}, 8, 3.5, layer));
    dimension.kind = Dimension::Kind::Horizontal;
    dimension.first = {100, 70};
    dimension.second = {150, 70};
    dimension.line_at = {150, y};
    dimension.text_anchor = {125, y + 2.75};
    dimension.measured = 100.0;
    dimension.text = "100";
    dimension.layer = layer;
    sheet.dimensions.push_back(dimension);
    return sheet;
}

Point2 ellipse_point(const Ellipse& e, double t) {
    return {e.center.x + e.major.x * std::cos(t) - e.ratio * e.major.y * std::sin(t),
            e.center.y + e.major.y * std::cos(t) + e.ratio * e.major.x * std::sin(t)};
}

SheetGraphics curves() {
    SheetGraphics sheet;
    sheet.name = "curves";
    const double c30 = std::cos(std::numbers::pi / 6), s30 = std::sin(std::numbers::pi / 6);
    Ellipse arc{{200, 150}, {30 * c30, 30 * s30}, 0.5, 0.3, 2.5, {LineWeight::Wide, LinePattern::Continuous},
                "VIEW-ISO"};
    sheet.ellipses.push_back(arc);
    arc.center = {200, 70};
    arc.start_param = 2.5, arc.end_param = 0.3 + 2 * std::numbers::pi;
    sheet.ellipses.push_back(arc);
    sheet.ellipses.push_back(Ellipse{
        {90, 150}, {0, 25}, 0.4, 0.0, 2 * std::numbers::pi, {LineWeight::Thin, LinePattern::Dashed}, "VIEW-ISO"});

    Spline quarter;
    quarter.degree = 2;
    quarter.knots = {0, 0, 0, 1, 1, 1};
    quarter.poles = {{100, 60}, {100, 100}, {60, 100}};
    quarter.weights = {1.0, std::sqrt(0.5), 1.0};
    for (int i = 0; i <= 32; ++i) {
        const double angle = std::numbers::pi / 2 * i / 32;
        quarter.points.push_back({60 + 40 * std::cos(angle), 60 + 40 * std::sin(angle)});
    }
    quarter.stroke = {LineWeight::Wide, LinePattern::Continuous};
    quarter.layer = "VIEW-ISO";
    sheet.splines.push_back(quarter);
    Spline cubic;
    cubic.degree = 3;
    cubic.knots = {0, 0, 0, 0, 1, 1, 1, 1};
    cubic.poles = {{20, 20}, {30, 40}, {60, 0}, {80, 20}};
    for (int i = 0; i <= 32; ++i) {
        const double t = i / 32.0, u = 1 - t;
        const double b[4] = {u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t};
        Point2 p;
        for (int k = 0; k < 4; ++k) p.x += b[k] * cubic.poles[k].x, p.y += b[k] * cubic.poles[k].y;
        cubic.points.push_back(p);
    }
    cubic.stroke = {LineWeight::Thin, LinePattern::Continuous};
    cubic.layer = "VIEW-ISO";
    sheet.splines.push_back(cubic);
    return sheet;
}

SheetGraphics full_sheet() {
    SheetGraphics sheet = frame_and_strokes();
    sheet.name = "full_sheet";
    append(sheet, texts());
    append(sheet, horizontal_dimension());
    return sheet;
}

const std::map<std::string, std::function<SheetGraphics()>>& sheet_builders() {
    static const std::map<std::string, std::function<SheetGraphics()>> builders = {
        {"frame_and_strokes", frame_and_strokes},
        {"texts", texts},
        {"horizontal_dimension", horizontal_dimension},
        {"full_sheet", full_sheet},
        {"curves", curves},
    };
    return builders;
}

}  // namespace quillon_test
