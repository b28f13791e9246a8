// The numbers a sheet's DXF drawing writes for its lines, and the ellipses it draws once and places many times.
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

// A view of small holes seen at an angle holds hundreds of ellipses that differ only in their centre. Each such
// shape, drawn often enough to pay for its block, is drawn once in a block and placed at each centre; the drawing is
// the same in every reader and the file much smaller.
struct EllipseBlocks {
    std::vector<std::size_t> shapes;  // for each block, the first of the sheet's ellipses of its shape
    std::vector<int> block_of;        // for each of the sheet's ellipses, its block, or -1 when it is drawn itself
};
EllipseBlocks repeated_ellipses(const std::vector<Ellipse>& ellipses);

// How many placements of one shape pay for its block (the block's records and its own entity), each placement being
// about 40 bytes shorter than the ellipse it stands for.
inline constexpr std::size_t kPlacementsForBlock = 12;

}  // namespace cadhost::render

#endif
