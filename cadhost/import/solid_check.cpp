#include "cadhost/import/solid_check.h"

#include <BRepCheck_Analyzer.hxx>
#include <BRep_Tool.hxx>
#include <Standard_Failure.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedDataMapOfShapeListOfShape.hxx>
#include <TopoDS.hxx>

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

std::string solid_problem(const TopoDS_Shape& solid) {
    try {
        if (solid.IsNull()) return "it has no geometry";
        if (const int open = open_edges(solid); open > 0)
            return "it is open: " + std::to_string(open) + (open == 1 ? " edge bounds" : " edges bound") +
                   " only one face (a face is missing or damaged)";
        if (!BRepCheck_Analyzer(solid).IsValid())
            return "the shape checker finds it invalid (faces or edges that do not fit together)";
        return {};
    } catch (const Standard_Failure& failure) {
        return std::string("the shape checker fails on it: ") + failure.GetMessageString();
    }
}

}  // namespace cadhost::import
