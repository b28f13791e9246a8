// A view's projected edges arrive as many short strokes: an edge cut wherever another hides part of it, the same edge
// once from each body that has it, a hidden edge right behind a visible one. Drawn as they come, each stroke repeats
// its style in every output and shared points are written twice. These passes make the same drawing from fewer, longer
// strokes, so every writer gains from them.
#ifndef CADHOST_RENDER_STROKE_PATHS_H
#define CADHOST_RENDER_STROKE_PATHS_H

#include "cadhost/render/sheet_graphics.h"

namespace cadhost::render {

// How near two ends must be to count as one point, in sheet mm: far below what any output resolves, far above the
// rounding of the projection.
inline constexpr double kJoinTolerance = 0.001;

// How near a line must lie to another to be drawn by it, in sheet mm: the same edge projected for two bodies, or
// divided into polylines twice, lands within this of itself.
inline constexpr double kOverdrawTolerance = 0.01;

// Removes what another line already draws on the same layer: the parts of polylines lying under a stronger line
// (continuous over dashed or chain, heavier over lighter, and between equals the one drawn later, which is the one on
// top), and arcs and elliptic arcs lying within a stronger arc of the same curve. A continuous polyline that loses a
// part falls into the pieces that remain, as open polylines; a dashed or chain one, whose dashes would then fall
// elsewhere, goes only when all of it is covered.
void remove_overdrawn(SheetGraphics& sheet);
// The arcs' and elliptic arcs' part of it.
void remove_overdrawn_curves(SheetGraphics& sheet);

// Makes the pieces of one circle or ellipse (same layer and stroke) that meet or overlap one arc, or the whole curve
// when they go all round; dashed and chain pieces only into arcs no longer than their first dash. The arc takes the
// place of the first of its pieces.
void join_curve_pieces(SheetGraphics& sheet);

// Joins the polylines that continue each other (same layer and stroke, an end of one on an end of the
// other) into one, turning a polyline round where that makes it continue, and closes those that end where they start.
// Dashes start afresh at each stroke, so dashed and chain pieces are joined only into lines no longer than their
// first dash, which look the same either way. Points a joint
// leaves on a straight run are dropped. The joined polyline takes the place of the first of its pieces.
void join_strokes(SheetGraphics& sheet);

// All three: the curves' pieces joined, then what is drawn twice removed, then the polylines joined.
void tidy_strokes(SheetGraphics& sheet);

}  // namespace cadhost::render

#endif
