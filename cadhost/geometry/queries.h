// Exact answers about kernel shapes and free curves: kinds of faces and edges, end vertices, chordal points, boxes.
#ifndef CADHOST_GEOMETRY_QUERIES_H
#define CADHOST_GEOMETRY_QUERIES_H

#include <vector>

#include <Bnd_Box.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Face.hxx>
#include <TopoDS_Shape.hxx>
#include <gp_Pnt.hxx>

#include "cadhost/document/object.h"

namespace cadhost::geometry {

// The host's face and edge type codes (host/uf_modl.h).
int face_type_code(const TopoDS_Face& face);
int edge_type_code(const TopoDS_Edge& edge);

// End vertices of an edge as the host reports them: 2 for an open edge, 1 for a closed edge with a corner at its
// vertex, 0 for a smoothly closed edge (a full circle), which callers sample instead.
int edge_vertices(const TopoDS_Edge& edge, gp_Pnt& first, gp_Pnt& second);

// Points from the start of the edge to its end with no chord farther than chord_tol from the curve; angle_tol (radians)
// and step_tol (longest chord) add limits when positive.
std::vector<gp_Pnt> curve_points(const TopoDS_Edge& edge, double chord_tol, double angle_tol, double step_tol);

// The free curves of a part (lines, arcs, other curves) as kernel edges, so that they share the edge queries.
TopoDS_Edge curve_edge(const Object& object);

// The box of the exact geometry (not of a triangulation, not widened by tolerances). False for an empty shape.
bool exact_box(const TopoDS_Shape& shape, double box[6]);

}  // namespace cadhost::geometry

#endif
