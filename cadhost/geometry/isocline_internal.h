#ifndef CADHOST_GEOMETRY_ISOCLINE_INTERNAL_H
#define CADHOST_GEOMETRY_ISOCLINE_INTERNAL_H

// Shared between the isocline sources; not part of the folder's interface.

#include <memory>
#include <vector>

#include <BRepTopAdaptor_FClass2d.hxx>
#include <GeomAdaptor_Surface.hxx>
#include <Geom_Surface.hxx>
#include <TopoDS_Face.hxx>
#include <gp_Dir.hxx>

#include "cadhost/geometry/isocline.h"

namespace cadhost::geometry::isocline_internal {

// The face's parameter rectangle plus a classifier that also accepts parameters given in another period of a
// periodic surface, since analytic solutions come out of atan2/asin in their own ranges.
class FaceDomain {
  public:
    FaceDomain(const TopoDS_Face& face, const GeomAdaptor_Surface& surface, double tolerance);
    bool contains(double u, double v) const;

    double u_min = 0, u_max = 0, v_min = 0, v_max = 0;

  private:
    std::unique_ptr<BRepTopAdaptor_FClass2d> classifier_;
    double u_period_ = 0, v_period_ = 0;
    double u_eps_ = 0, v_eps_ = 0;
};

// One question, posed in the face's own (unlocated) frame so that parameters match the face's pcurves.
struct Query {
    Handle(Geom_Surface) surface;
    GeomAdaptor_Surface adaptor;
    gp_Dir direction;
    double angle = 0;              // folded into [0, pi/2]: angle a with d is angle pi - a with -d
    double tolerance = 0;          // length, in the local frame
    double angular_tolerance = 0;  // tilt of the direction that moves no point of the face by more than tolerance
    double size = 0;               // diagonal of the face's box, local frame
    const FaceDomain* domain = nullptr;
};

// The parts of the iso-parametric line (u = value when u_iso, else v = value) that lie on the face.
void add_iso_pieces(const Query& q, bool u_iso, double value, std::vector<IsoclinePiece>& out);

// The surface point at (u, v) when it lies on the face.
void add_point_if_inside(const Query& q, double u, double v, std::vector<IsoclinePiece>& out);

// Closed-form answers for elementary surfaces. Returns false when the case has no closed form here, leaving it to
// numeric_pieces.
bool analytic_pieces(const Query& q, std::vector<IsoclinePiece>& out);

// Sampling, Newton refinement and curve tracing on any surface with second derivatives.
void numeric_pieces(const Query& q, std::vector<IsoclinePiece>& out);

}  // namespace cadhost::geometry::isocline_internal

#endif
