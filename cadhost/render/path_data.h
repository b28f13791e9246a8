// SVG path data for polylines, as short as the sheet allows: a line's first point absolute, every other as the step
// from the one before (h and v for level and upright steps), to 0.01 mm, which is a twentieth of the thinnest line.
#ifndef CADHOST_RENDER_PATH_DATA_H
#define CADHOST_RENDER_PATH_DATA_H

#include <string>
#include <vector>

#include "cadhost/render/sheet_graphics.h"

namespace cadhost::render {

// Appends the subpath drawing the points (closed with z when asked), y turned down from the sheet's height as SVG's
// y runs. The steps are taken between the rounded points, so rounding never adds up along a line. A line with a point
// that is not a finite number of sensible size, or with fewer than one point, adds nothing.
void append_path(std::string& out, const std::vector<Point2>& points, bool closed, double height);

}  // namespace cadhost::render

#endif
