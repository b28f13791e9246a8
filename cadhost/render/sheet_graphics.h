// What a drawing sheet looks like, as a list of primitives in sheet millimetres (origin at the sheet's lower left
// corner, x to the right, y up). The drafting code builds it from the part; every writer (PDF, SVG, DXF) draws it, so
// all outputs show the same sheet.
#ifndef CADHOST_RENDER_SHEET_GRAPHICS_H
#define CADHOST_RENDER_SHEET_GRAPHICS_H

#include <cstdint>
#include <string>
#include <vector>

namespace cadhost::render {

struct Point2 {
    double x = 0.0;
    double y = 0.0;
};

// Line weights and patterns of technical drawing.
enum class LineWeight { Thin, Wide, Heavy };           // 0.25 mm, 0.5 mm and 0.7 mm
enum class LinePattern { Continuous, Dashed, Chain };  // dashed: hidden edges; chain: centre lines

struct Stroke {
    LineWeight weight = LineWeight::Thin;
    LinePattern pattern = LinePattern::Continuous;
    std::uint32_t ink = 0;  // 0xRRGGBB; black unless the body drawn has a colour of its own
};

// An open or closed chain of straight segments (curves arrive already divided finely enough to look smooth).
struct Polyline {
    std::vector<Point2> points;
    bool closed = false;
    Stroke stroke;
    std::string layer;  // the group the primitive belongs to in outputs that have layers ("VIEW-TOP", "DIMENSION")
};

// A circular arc, anticlockwise from start to end angle (radians); a full circle runs from 0 to 2 pi.
struct Arc {
    Point2 center;
    double radius = 0.0;
    double start_angle = 0.0;
    double end_angle = 0.0;
    Stroke stroke;
    std::string layer;
};

// An elliptic arc: the points centre + major * cos t + minor * sin t for t from start to end parameter (radians),
// where minor is major turned a quarter anticlockwise and shortened by ratio (0 < ratio <= 1), so the arc runs
// anticlockwise; a full ellipse runs from 0 to 2 pi.
struct Ellipse {
    Point2 center;
    Point2 major;  // the major semi-axis, from the centre
    double ratio = 1.0;
    double start_param = 0.0;
    double end_param = 0.0;
    Stroke stroke;
    std::string layer;
};

// A B-spline curve (knots written out with their multiplicities, poles + degree + 1 of them; weights empty unless
// rational), with a polyline within 0.005 mm of it for outputs that draw no splines.
struct Spline {
    int degree = 3;
    std::vector<double> knots;
    std::vector<Point2> poles;
    std::vector<double> weights;
    std::vector<Point2> points;
    Stroke stroke;
    std::string layer;
};

// A filled triangle, as arrowheads are drawn.
struct Triangle {
    Point2 a, b, c;
    std::string layer;
};

// One line of text. anchor is the point of the text's box named by alignment, as on a phone keypad: 1 top left,
// 2 top centre, 3 top right, 4 middle left, 5 middle, 6 middle right, 7 bottom left, 8 bottom centre, 9 bottom right.
// height is the capital height in mm; width_factor scales the glyph widths (aspect ratio); spacing_factor adds
// spacing between characters as a factor of the height (0 for none); angle in radians, anticlockwise.
struct Text {
    std::string text;  // UTF-8, may hold Chinese
    Point2 anchor;
    int alignment = 7;
    double height = 3.5;
    double width_factor = 1.0;
    double spacing_factor = 0.0;
    double angle = 0.0;
    std::string layer;
};

// A linear or ordinate measurement. It owns what draws it (lines, arrowheads, value), which are not in the sheet's
// lists: outputs that know dimensions (DXF) write each one as a dimension whose block holds those parts, and the
// others draw the parts like any others. Either way each part is drawn once, whatever is done to the sheet's lists.
struct Dimension {
    enum class Kind { Horizontal, Vertical, Ordinate } kind = Kind::Horizontal;
    Point2 first;  // the measured points on the sheet
    Point2 second;
    Point2 line_at;         // a point on the dimension line (linear dimensions), where readers rebuilding it put it
    Point2 text_anchor;     // where the value text sits (its middle)
    double measured = 0.0;  // the value in model millimetres
    std::string text;       // as shown
    std::string layer;
    std::vector<Polyline> polylines;  // extension and dimension lines, open arrowheads
    std::vector<Triangle> triangles;  // filled arrowheads
    std::vector<Text> texts;          // the value and any lines under it
};

struct SheetGraphics {
    std::string name;
    double width = 297.0;   // mm
    double height = 210.0;  // mm
    std::vector<Polyline> polylines;
    std::vector<Arc> arcs;
    std::vector<Ellipse> ellipses;
    std::vector<Spline> splines;
    std::vector<Triangle> triangles;
    std::vector<Text> texts;
    std::vector<Dimension> dimensions;
};

// The sheet's own primitives of a kind followed by those its dimensions own: for writers and checks that treat a
// dimension's parts like any others.
template <class Visit>
void for_each_polyline(const SheetGraphics& sheet, Visit&& visit) {
    for (const Polyline& p : sheet.polylines) visit(p);
    for (const Dimension& d : sheet.dimensions)
        for (const Polyline& p : d.polylines) visit(p);
}

template <class Visit>
void for_each_triangle(const SheetGraphics& sheet, Visit&& visit) {
    for (const Triangle& t : sheet.triangles) visit(t);
    for (const Dimension& d : sheet.dimensions)
        for (const Triangle& t : d.triangles) visit(t);
}

template <class Visit>
void for_each_text(const SheetGraphics& sheet, Visit&& visit) {
    for (const Text& t : sheet.texts) visit(t);
    for (const Dimension& d : sheet.dimensions)
        for (const Text& t : d.texts) visit(t);
}

}  // namespace cadhost::render

#endif
