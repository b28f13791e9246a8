// The hidden-line projection of bodies in a view orientation: their edges and outlines as 2D polylines in view
// coordinates, sorted into visible and hidden, sharp, smooth (between tangent faces) and outline edges.
#ifndef CADHOST_DRAFTING_HLR_PROJECTION_H
#define CADHOST_DRAFTING_HLR_PROJECTION_H

#include <memory>
#include <vector>

#include <TopoDS_Shape.hxx>

#include "cadhost/document/object.h"

namespace cadhost::drafting {

struct Point2d {
    double x = 0.0, y = 0.0;
};
using Polyline2d = std::vector<Point2d>;

struct ProjectedEdges {
    enum Class { Sharp = 0, Smooth = 1, Outline = 2 };
    std::vector<Polyline2d> visible[3];
    std::vector<Polyline2d> hidden[3];
};

struct ProjectionOptions {
    bool hidden_line_removal = true;     // false: every edge is visible, nothing is hidden
    bool hidden_by_other_bodies = true;  // false: each body hides only its own edges
    double deflection = 0.005;           // model mm between a curve and its polyline
    bool operator<(const ProjectionOptions& o) const {
        return std::tie(hidden_line_removal, hidden_by_other_bodies, deflection) <
               std::tie(o.hidden_line_removal, o.hidden_by_other_bodies, o.deflection);
    }
};

// Projects the bodies; the same bodies seen the same way with the same options are projected once and the answer is
// kept while it is among the most recently used. Edges that coincide in projection are drawn once.
std::shared_ptr<const ProjectedEdges> project_bodies(const std::vector<TopoDS_Shape>& bodies,
                                                     const ViewOrientation& orientation,
                                                     const ProjectionOptions& options);

// How many projections were computed (not served from the cache), for tests and benchmarks.
long projections_computed();

}  // namespace cadhost::drafting

#endif
