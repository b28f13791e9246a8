// Small sheets built by hand, the inputs of the writer tests. Each reference case names one of them.
#ifndef TESTS_RENDER_SAMPLE_SHEETS_H
#define TESTS_RENDER_SAMPLE_SHEETS_H

#include <functional>
#include <map>
#include <string>

#include "cadhost/render/sheet_graphics.h"

namespace quillon_test {

using cadhost::render::SheetGraphics;

// A wide frame 10 mm inside an A4 landscape sheet, a dashed and a chain line, an arc, a circle and an arrowhead.
SheetGraphics frame_and_strokes();
// Chinese and ASCII texts with several alignments, a rotated one, a narrowed one and a spaced one.
SheetGraphics texts();
// A horizontal dimension drawn at view scale 1:2: 50 mm on the sheet, 100 mm measured.
SheetGraphics horizontal_dimension();
// Ellipses and splines: an elliptic arc under and one over half its ellipse, both tilted 30 degrees; an upright
// dashed full ellipse; a rational quarter circle of radius 40 about (60, 60) and a cubic from (20, 20) to (80, 20), as
// splines.
SheetGraphics curves();
// The point of an ellipse at a parameter, as the sheet defines it.
cadhost::render::Point2 ellipse_point(const cadhost::render::Ellipse& ellipse, double t);
// All of the above on one sheet.
SheetGraphics full_sheet();

// The builders by the name a reference folder's input file holds.
const std::map<std::string, std::function<SheetGraphics()>>& sheet_builders();

}  // namespace quillon_test

#endif
