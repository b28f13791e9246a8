#include "cadhost/drafting/prepared_body.h"

#include <map>
#include <mutex>

#include <BRepAdaptor_Surface.hxx>
#include <BRepBuilderAPI_Copy.hxx>
#include <BRepLib.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>

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
    static std::mutex mutex;
    static std::map<std::string, TopoDS_Shape> prepared;
    {
        std::lock_guard<std::mutex> lock(mutex);
        auto it = prepared.find(digest);
        if (it != prepared.end()) return it->second;
    }
    TopoDS_Shape made = prepare(body);
    std::lock_guard<std::mutex> lock(mutex);
    return prepared.emplace(digest, made).first->second;
}

}  // namespace cadhost::drafting
