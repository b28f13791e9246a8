// Projected edges as a sheet draws them: arcs of circles and ellipses as such, splines as splines, other curves as
// polylines with no more points than the sheet can show at the view's scale.
#ifndef CADHOST_DRAFTING_PROJECTED_STROKES_H
#define CADHOST_DRAFTING_PROJECTED_STROKES_H

#include <string>

#include "cadhost/drafting/hlr_projection.h"
#include "cadhost/drafting/view_frame.h"
#include "cadhost/render/sheet_graphics.h"

namespace cadhost::drafting {

// How far a drawn polyline may stray from the projected one, in sheet mm: well under what the eye or a plotter sees.
inline constexpr double kSheetTolerance = 0.005;

void add_projected(render::SheetGraphics& sheet, const ProjectedLine& line, const Placement& placed,
                   const render::Stroke& stroke, const std::string& layer);

// Divides the spline into its polyline, within tolerance of the curve; false when its knots make no curve.
bool sampled_spline(render::Spline& spline, double tolerance);

// The points of the line that keep every dropped point within tolerance of the polyline that is left; the first and
// last points always stay.
Polyline2d simplified(const Polyline2d& line, double tolerance);

}  // namespace cadhost::drafting

#endif
