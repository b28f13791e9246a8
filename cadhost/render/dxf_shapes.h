// The numbers a sheet's DXF drawing writes for its lines, and the shapes it draws once and places many times.
#ifndef CADHOST_RENDER_DXF_SHAPES_H
#define CADHOST_RENDER_DXF_SHAPES_H

#include <cstddef>
#include <optional>
#include <vector>

#include "cadhost/render/sheet_graphics.h"

namespace cadhost::render {

// The lines of the views are written to 0.0001 mm on the sheet, a fraction of a micrometre of the part at any scale a
// sheet uses, instead of the seventeen digits that read back as the same double: most of a large sheet's file is
// these numbers. Dimensions keep every digit of their points, which a reader measures from.
double sheet_digits(double value);
Point2 sheet_digits(const Point2& p);

// An arc's angle in degrees within one turn, as readers expect it, to a millionth of a degree: a micrometre's turn
// at the radius of the largest sheet.
double arc_degrees(double radians);

// An arc that its rounded angles would make a whole circle (a reader draws one when start and end agree) is far too
// short to see: it is left out, as is one without a radius.
bool arc_left_out(const Arc& arc);

// An ellipse as an ELLIPSE entity writes it: centre and axis to the sheet's digits, ratio and parameters (within one
// turn, 0 to just short of a turn for a whole one) to the digits that keep every point within them.
struct DxfEllipse {
    Point2 center;
    Point2 major;
    double ratio = 1.0;
    double start = 0.0;
    double end = 0.0;
};

// Nothing for an ellipse that readers would refuse (ratio outside (0, 1], no axis) or whose ends would agree once
// rounded, which a reader would draw whole: such a shape has next to nothing to draw.
std::optional<DxfEllipse> dxf_ellipse(const Ellipse& ellipse);

// Where a shape is placed: its first point, its centre. Its block draws it with that point at the origin.
Point2 anchor_of(const Polyline& polyline);
Point2 anchor_of(const Arc& arc);

// A view of a grid of small holes seen at an angle holds thousands of ellipses and hidden lines that differ only in
// where they are. Each such shape, drawn often enough to pay for its block, is drawn once in a block and placed at
// each anchor, when that pays: the drawing is the same in every reader and the file much smaller. A placement is
// about as long as a continuous line, so lines and arcs are placed only when broken (they name their pattern).
struct ShapeBlocks {
    enum class Kind { Polyline, Arc, Ellipse };
    struct Block {
        Kind kind;
        std::size_t first;  // the first of the sheet's primitives of that kind with the shape
    };
    std::vector<Block> blocks;
    // For each of the sheet's polylines, arcs and ellipses: its block, or -1 when it is drawn itself.
    std::vector<int> polyline_block, arc_block, ellipse_block;
};
ShapeBlocks repeated_shapes(const SheetGraphics& sheet);

// A shape is placed when its placements, each shorter than the entity it stands for, save more than its block costs.
inline constexpr std::size_t kBlockBytes = 400;  // the block's record, its beginning, its end and its one entity

}  // namespace cadhost::render

#endif
