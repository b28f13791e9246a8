#include "cadhost/geometry/queries.h"

#include <algorithm>
#include <cmath>

#include <BRepAdaptor_Curve.hxx>
#include <BRepAdaptor_Surface.hxx>
#include <BRepBndLib.hxx>
#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRep_Tool.hxx>
#include <GCPnts_TangentialDeflection.hxx>
#include <GC_MakeArcOfCircle.hxx>
#include <Geom_Circle.hxx>
#include <Geom_TrimmedCurve.hxx>
#include <TopExp.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Vertex.hxx>
#include <gp_Circ.hxx>
#include <gp_Elips.hxx>
#include <gp_Vec.hxx>

#include "host/uf_modl.h"

namespace cadhost::geometry {

int face_type_code(const TopoDS_Face& face) {
    BRepAdaptor_Surface surface(face, false);
    switch (surface.GetType()) {
        case GeomAbs_Plane:
            return UF_MODL_PLANAR_FACE;
        case GeomAbs_Cylinder:
            return UF_MODL_CYLINDRICAL_FACE;
        case GeomAbs_Cone:
            return UF_MODL_CONICAL_FACE;
        case GeomAbs_Sphere:
            return UF_MODL_SPHERICAL_FACE;
        case GeomAbs_Torus:
            return UF_MODL_TOROIDAL_FACE;
        case GeomAbs_SurfaceOfRevolution:
            return UF_MODL_REVOLVED_FACE;
        case GeomAbs_SurfaceOfExtrusion:
            return UF_MODL_EXTRUDED_FACE;
        case GeomAbs_BezierSurface:
        case GeomAbs_BSplineSurface:
            return UF_MODL_BSPLINE_FACE;
        case GeomAbs_OffsetSurface:
            return UF_MODL_OFFSET_FACE;
        default:
            return UF_MODL_OTHER_FACE;
    }
}

int edge_type_code(const TopoDS_Edge& edge) {
    if (BRep_Tool::Degenerated(edge)) return UF_MODL_OTHER_EDGE;
    BRepAdaptor_Curve curve(edge);
    switch (curve.GetType()) {
        case GeomAbs_Line:
            return UF_MODL_LINEAR_EDGE;
        case GeomAbs_Circle:
            return UF_MODL_CIRCULAR_EDGE;
        case GeomAbs_Ellipse:
            return UF_MODL_ELLIPTICAL_EDGE;
        case GeomAbs_BezierCurve:
        case GeomAbs_BSplineCurve:
            return UF_MODL_BSPLINE_EDGE;
        default:
            return UF_MODL_OTHER_EDGE;
    }
}

int edge_vertices(const TopoDS_Edge& edge, gp_Pnt& first, gp_Pnt& second) {
    TopoDS_Vertex v1, v2;
    TopExp::Vertices(edge, v1, v2, true);  // oriented: first is where the edge starts as used
    if (v1.IsNull() || v2.IsNull()) return 0;
    first = BRep_Tool::Pnt(v1);
    second = BRep_Tool::Pnt(v2);
    if (!v1.IsSame(v2)) return 2;
    // A closed edge: its vertex is a real end only where the curve turns a corner there.
    BRepAdaptor_Curve curve(edge);
    gp_Pnt p;
    gp_Vec d_start, d_end;
    curve.D1(curve.FirstParameter(), p, d_start);
    curve.D1(curve.LastParameter(), p, d_end);
    const double tiny = 1e-12;
    if (d_start.Magnitude() > tiny && d_end.Magnitude() > tiny && d_start.IsParallel(d_end, 1e-6) &&
        d_start.Dot(d_end) > 0) {
        return 0;
    }
    return 1;
}

namespace {

// Where a circle or ellipse reaches its extremes along the model axes: a box built from the samples is then the
// curve's true box, not one a chord's depth smaller.
void add_axis_extremes(const BRepAdaptor_Curve& curve, std::vector<double>& parameters) {
    gp_Dir x, y;
    double a = 0, b = 0;
    if (curve.GetType() == GeomAbs_Circle) {
        gp_Circ c = curve.Circle();
        x = c.XAxis().Direction(), y = c.YAxis().Direction(), a = b = c.Radius();
    } else if (curve.GetType() == GeomAbs_Ellipse) {
        gp_Elips e = curve.Ellipse();
        x = e.XAxis().Direction(), y = e.YAxis().Direction(), a = e.MajorRadius(), b = e.MinorRadius();
    } else {
        return;
    }
    const double first = curve.FirstParameter(), last = curve.LastParameter();
    for (const gp_Dir& axis : {gp::DX(), gp::DY(), gp::DZ()}) {
        double along_x = a * x.Dot(axis), along_y = b * y.Dot(axis);
        if (std::hypot(along_x, along_y) < 1e-12) continue;  // the curve lies across this axis
        double t0 = std::atan2(along_y, along_x);
        for (double t = t0 - 4 * M_PI; t <= last + 1e-12; t += M_PI)
            if (t >= first - 1e-12) parameters.push_back(std::clamp(t, first, last));
    }
}

}  // namespace

std::vector<gp_Pnt> curve_points(const TopoDS_Edge& edge, double chord_tol, double angle_tol, double step_tol) {
    BRepAdaptor_Curve curve(edge);
    const double chord = chord_tol > 0 ? chord_tol : 0.02;
    // The angular limit of the sampler is always active; a quarter turn leaves the chordal limit in charge.
    const double angle = angle_tol > 0 ? angle_tol : M_PI / 2;
    GCPnts_TangentialDeflection sampler(curve, angle, chord, 2);
    std::vector<double> parameters;
    for (int i = 1; i <= sampler.NbPoints(); ++i) parameters.push_back(sampler.Parameter(i));
    // Extra points only shorten chords, so the chordal limit still holds.
    add_axis_extremes(curve, parameters);
    std::sort(parameters.begin(), parameters.end());
    parameters.erase(
        std::unique(parameters.begin(), parameters.end(), [](double u, double v) { return std::fabs(u - v) < 1e-9; }),
        parameters.end());
    std::vector<gp_Pnt> points;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        gp_Pnt p = curve.Value(parameters[i]);
        if (step_tol > 0 && !points.empty()) {
            // Split long chords evenly along the curve's parameter, so the limit holds between neighbours.
            double d = points.back().Distance(p);
            if (d > step_tol) {
                int pieces = static_cast<int>(std::ceil(d / step_tol));
                double u0 = parameters[i - 1], u1 = parameters[i];
                for (int k = 1; k < pieces; ++k) points.push_back(curve.Value(u0 + (u1 - u0) * k / pieces));
            }
        }
        points.push_back(p);
    }
    if (edge.Orientation() == TopAbs_REVERSED) std::reverse(points.begin(), points.end());
    return points;
}

TopoDS_Edge curve_edge(const Object& object) {
    if (const auto* line = object.as<LineData>()) {
        if (line->start.Distance(line->end) < 1e-9) return {};
        return BRepBuilderAPI_MakeEdge(line->start, line->end).Edge();
    }
    if (const auto* arc = object.as<ArcData>()) {
        Handle(Geom_Circle) circle = new Geom_Circle(arc->position, arc->radius);
        return BRepBuilderAPI_MakeEdge(circle, arc->start, arc->end).Edge();
    }
    if (const auto* curve = object.as<CurveData>()) {
        return BRepBuilderAPI_MakeEdge(curve->curve, curve->first, curve->last).Edge();
    }
    return {};
}

bool exact_box(const TopoDS_Shape& shape, double box[6]) {
    if (shape.IsNull()) return false;
    Bnd_Box bounds;
    BRepBndLib::AddOptimal(shape, bounds, false, false);
    if (bounds.IsVoid()) return false;
    bounds.SetGap(0.0);
    bounds.Get(box[0], box[1], box[2], box[3], box[4], box[5]);
    return true;
}

}  // namespace cadhost::geometry
