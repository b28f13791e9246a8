#include "cadhost/import/solid_check.h"

#include <BRepCheck_Analyzer.hxx>
#include <BRepLib.hxx>
#include <BRep_Tool.hxx>
#include <GeomAdaptor_Surface.hxx>
#include <Standard_Failure.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedDataMapOfShapeListOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Face.hxx>

namespace cadhost::import {

// Edges that bound a single face of the solid: a face is missing there. Seams bound their face twice, so they appear
// with that face twice and do not count; degenerate edges (the pole of a sphere) bound no area at all.
int open_edges(const TopoDS_Shape& solid) {
    TopTools_IndexedDataMapOfShapeListOfShape faces_of_edge;
    TopExp::MapShapesAndAncestors(solid, TopAbs_EDGE, TopAbs_FACE, faces_of_edge);
    int open = 0;
    for (int i = 1; i <= faces_of_edge.Extent(); ++i) {
        const TopoDS_Edge& edge = TopoDS::Edge(faces_of_edge.FindKey(i));
        if (BRep_Tool::Degenerated(edge)) continue;
        if (faces_of_edge.FindFromIndex(i).Extent() < 2) ++open;
    }
    return open;
}

// The translator leaves plane faces without their edges' curves in the plane's parameters; the kernel then projects
// an edge onto the plane anew each time it needs such a curve, and its checker needs them over and over: it compares
// every pair of wires of a face, and a core's face with hundreds of holes made that most of an import's time. The
// curves made here are the very projections the kernel would make on the fly (it stores what it would otherwise
// compute), so the checker's verdict is the same, and it tests the stored curves against the edges as it tests
// those it projects.
void store_plane_curves(const TopoDS_Shape& shape) {
    for (TopExp_Explorer face_it(shape, TopAbs_FACE); face_it.More(); face_it.Next()) {
        const TopoDS_Face& face = TopoDS::Face(face_it.Current());
        const Handle(Geom_Surface) surface = BRep_Tool::Surface(face);
        if (surface.IsNull() || GeomAdaptor_Surface(surface).GetType() != GeomAbs_Plane) continue;
        for (TopExp_Explorer edge_it(face, TopAbs_EDGE); edge_it.More(); edge_it.Next())
            BRepLib::BuildPCurveForEdgeOnPlane(TopoDS::Edge(edge_it.Current()), face);
    }
}

bool checker_finds_valid(const TopoDS_Shape& shape) {
    store_plane_curves(shape);
    // The faces are checked on every core: a core's thousands of faces are independent of each other.
    return BRepCheck_Analyzer(shape, Standard_True, Standard_True).IsValid();
}

std::string solid_problem(const TopoDS_Shape& solid) {
    try {
        if (solid.IsNull()) return "it has no geometry";
        if (const int open = open_edges(solid); open > 0)
            return "it is open: " + std::to_string(open) + (open == 1 ? " edge bounds" : " edges bound") +
                   " only one face (a face is missing or damaged)";
        if (!checker_finds_valid(solid))
            return "the shape checker finds it invalid (faces or edges that do not fit together)";
        return {};
    } catch (const Standard_Failure& failure) {
        return std::string("the shape checker fails on it: ") + failure.GetMessageString();
    }
}

}  // namespace cadhost::import
