// A sheet's strokes one shape at a time, each with a box that holds it, for finding what lies near a place: a large
// sheet has a hundred thousand strokes, and only those near the place need dividing into straight pieces.
#ifndef CADHOST_RENDER_STROKE_SHAPES_H
#define CADHOST_RENDER_STROKE_SHAPES_H

#include <functional>
#include <vector>

#include "cadhost/render/sheet_graphics.h"

namespace cadhost::render {

struct StrokeShape {
    enum Kind { Line, Spline, Triangle, Arc, Ellipse } kind;
    const void* what;  // the sheet's Polyline, Spline, Triangle, Arc or Ellipse
    double x0, y0, x1, y1;
};

// The sheet's polylines (those keep accepts, every one without it), splines, triangles, arcs and ellipses, in that
// order. A circle's or an ellipse's box holds the whole of it.
std::vector<StrokeShape> stroke_shapes(const SheetGraphics& sheet,
                                       const std::function<bool(const Polyline&)>& keep = nullptr);

// The points the shape is stroked through: a curve divided every `chord` radians of its sweep, into `least` pieces
// at least. closed says whether the last point joins the first.
std::vector<Point2> stroke_points(const StrokeShape& shape, double chord, int least, bool& closed);

}  // namespace cadhost::render

#endif
