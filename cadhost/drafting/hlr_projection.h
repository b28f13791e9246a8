// The hidden-line projection of bodies in a view orientation: their edges and outlines as 2D polylines in view
// coordinates, sorted into visible and hidden, sharp, smooth (between tangent faces) and outline edges.
#ifndef CADHOST_DRAFTING_HLR_PROJECTION_H
#define CADHOST_DRAFTING_HLR_PROJECTION_H

#include <memory>
#include <tuple>
#include <vector>

#include <TopoDS_Shape.hxx>

#include "cadhost/document/object.h"

namespace cadhost::drafting {

struct Point2d {
    double x = 0.0, y = 0.0;
};
using Polyline2d = std::vector<Point2d>;

// A B-spline curve in the view plane: knots written out with their multiplicities (poles + degree + 1 of them),
// weights empty when it is not rational.
struct Spline2d {
    int degree = 0;
    std::vector<double> knots;
    Polyline2d poles;
    std::vector<double> weights;
};

// A projected edge: its polyline, and the exact curve it lies on where it has one, so that outputs can draw it as
// such. A circle or an arc of one has a radius; an ellipse or an arc of one (a circle seen obliquely) has a major
// semi-axis vector from the centre and the ratio of its minor to its major axis; a line with neither follows the
// polyline only. Which piece of a circle or ellipse the line is comes from its polyline's ends. A spline is the curve
// of the whole line from end to end: a piece cut from it keeps its polyline only.
struct ProjectedLine {
    Polyline2d points;
    Point2d centre;
    double radius = 0.0;
    Point2d major;
    double ratio = 0.0;
    std::shared_ptr<const Spline2d> spline;

    bool is_ellipse() const { return radius == 0.0 && ratio > 0.0; }
};

struct ProjectedEdges {
    enum Class { Sharp = 0, Smooth = 1, Outline = 2 };
    std::vector<ProjectedLine> visible[3];
    std::vector<ProjectedLine> hidden[3];
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

// Projects the bodies, by parts: each body is projected on its own, once per direction for the life of the
// projection store (projection_store.h), and what the bodies hide of each other is resolved by projecting, together,
// only the faces whose outlines reach into the places where the bodies' outlines overlap. The drawing is the one
// project_together gives. Edges that coincide in projection are drawn once.
std::shared_ptr<const ProjectedEdges> project_bodies(const std::vector<TopoDS_Shape>& bodies,
                                                     const ViewOrientation& orientation,
                                                     const ProjectionOptions& options);

// What a view asks project_bodies for.
struct ProjectionRequest {
    std::vector<TopoDS_Shape> bodies;
    ViewOrientation orientation;
    ProjectionOptions options;
};

// Projects ahead, on that many threads side by side, each body on its own as the requests will need it: once for each
// body and direction of the eye, however many requests share it. Drawing the views afterwards then finds them made,
// instead of waiting, sheet after sheet, for the one thread that projects the core in the sheet's new direction.
void project_alone_ahead(const std::vector<ProjectionRequest>& requests, unsigned threads);

// Projects the bodies all at once, nothing kept: what project_bodies must agree with.
ProjectedEdges project_together(const std::vector<TopoDS_Shape>& bodies, const ViewOrientation& orientation,
                                const ProjectionOptions& options);

// How many projections were computed (not found in the store), for tests and benchmarks.
long projections_computed();

}  // namespace cadhost::drafting

#endif
