// Sheet strokes cut to what lies outside some places of the sheet. A view draws a body's strokes, made once for the
// whole body, everywhere but where bodies overlap: there the lines of the bodies projected together take over.
#ifndef CADHOST_DRAFTING_STROKE_CUTTING_H
#define CADHOST_DRAFTING_STROKE_CUTTING_H

#include <vector>

#include "cadhost/drafting/projection_regions.h"
#include "cadhost/render/sheet_graphics.h"

namespace cadhost::drafting {

// A box the stroke lies within: a polyline's own; an arc's or an ellipse's is its whole curve's; a spline's holds its
// poles as well as its points, as the curve lies among its poles.
Box2 box_of(const render::Polyline& polyline);
Box2 box_of(const render::Arc& arc);
Box2 box_of(const render::Ellipse& ellipse);
Box2 box_of(const render::Spline& spline);

// Puts on the sheet what of the stroke lies outside the regions (boxes apart from each other), in its stroke and
// layer: the stroke itself when it does not enter them, else its pieces, open. A piece of an arc or an ellipse is an
// arc of the same curve; a piece of a spline is a polyline.
void add_outside(const render::Polyline& polyline, const std::vector<Box2>& regions, render::SheetGraphics& to);
void add_outside(const render::Arc& arc, const std::vector<Box2>& regions, render::SheetGraphics& to);
void add_outside(const render::Ellipse& ellipse, const std::vector<Box2>& regions, render::SheetGraphics& to);
void add_outside(const render::Spline& spline, const std::vector<Box2>& regions, render::SheetGraphics& to);

}  // namespace cadhost::drafting

#endif
