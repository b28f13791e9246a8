#include "cadhost/drafting/prepared_body.h"

#include <BRepAdaptor_Surface.hxx>
#include <BRepBuilderAPI_Copy.hxx>
#include <BRepLib.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>

#include "cadhost/drafting/recent_map.h"

namespace cadhost::drafting {

namespace {

TopoDS_Shape prepare(const TopoDS_Shape& body) {
    // The copy shares the geometry and has edges of its own, so the curves added to them never reach the document's
    // body: its bytes, and so its digest, stay as they are.
    BRepBuilderAPI_Copy copy(body, Standard_False, Standard_False);
    if (!copy.IsDone()) return body;
    const TopoDS_Shape prepared = copy.Shape();
    for (TopExp_Explorer face(prepared, TopAbs_FACE); face.More(); face.Next()) {
        const TopoDS_Face& f = TopoDS::Face(face.Current());
        if (BRepAdaptor_Surface(f, Standard_False).GetType() != GeomAbs_Plane) continue;
        for (TopExp_Explorer edge(f, TopAbs_EDGE); edge.More(); edge.Next())
            BRepLib::BuildPCurveForEdgeOnPlane(TopoDS::Edge(edge.Current()), f);
    }
    return prepared;
}

}  // namespace

TopoDS_Shape prepared_body(const TopoDS_Shape& body, const std::string& digest) {
    // The core, which every sheet shows, stays; an electrode's copy goes once the sheets after its own no longer use
    // it, and is made again if a later one does.
    static RecentMap<TopoDS_Shape> prepared(64);
    return prepared.get(digest, [&] { return prepare(body); });
}

}  // namespace cadhost::drafting
