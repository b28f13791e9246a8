#ifndef CADHOST_GEOMETRY_ISOCLINE_H
#define CADHOST_GEOMETRY_ISOCLINE_H

#include <string>
#include <vector>

#include <Geom_Curve.hxx>
#include <TopoDS_Face.hxx>
#include <gp_Dir.hxx>
#include <gp_Pnt.hxx>

namespace cadhost::geometry {

struct IsoclinePiece {
    Handle(Geom_Curve) curve;  // trimmed to the part that lies on the face; null for an isolated point
    gp_Pnt point;              // the place, when curve is null
};

// Places on the trimmed face where the surface normal makes angle `angle` (radians, 0..pi) with `direction` or with
// its opposite, within `tolerance` (mm, distance on the model). With angle 0 these are the face's extreme lines in
// that direction. Geometry is returned in model space (the face's location applied). A face whose normal is constant
// (a plane), or makes the same angle with `direction` everywhere, yields no pieces: its extremes lie on its edges.
// Throws nothing: returns false (and `error`) when the kernel cannot answer or the arguments are unusable.
bool isocline_pieces(const TopoDS_Face& face, const gp_Dir& direction, double angle, double tolerance,
                     std::vector<IsoclinePiece>& pieces, std::string& error);

}  // namespace cadhost::geometry

#endif
