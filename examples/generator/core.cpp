#include "core.h"

#include <cmath>
#include <stdexcept>

#include <BRepAlgoAPI_Cut.hxx>
#include <BRepFilletAPI_MakeFillet.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRep_Tool.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopTools_ListOfShape.hxx>
#include <TopoDS.hxx>
#include <gp_Ax2.hxx>

namespace sample {

TopoDS_Shape build_core(const CoreDesign& d, const std::vector<TopoDS_Shape>& tools) {
    const TopoDS_Shape block =
        BRepPrimAPI_MakeBox(gp_Pnt(-d.size_x / 2, -d.size_y / 2, -d.size_z), d.size_x, d.size_y, d.size_z).Solid();
    BRepFilletAPI_MakeFillet fillet(block);
    for (TopExp_Explorer it(block, TopAbs_EDGE); it.More(); it.Next()) {
        const TopoDS_Edge& edge = TopoDS::Edge(it.Current());
        const gp_Pnt a = BRep_Tool::Pnt(TopExp::FirstVertex(edge));
        const gp_Pnt b = BRep_Tool::Pnt(TopExp::LastVertex(edge));
        if (std::abs(a.X() - b.X()) < 1e-9 && std::abs(a.Y() - b.Y()) < 1e-9) fillet.Add(d.corner_radius, edge);
    }
    const TopoDS_Shape rounded = fillet.Shape();
    if (tools.empty()) return rounded;

    TopTools_ListOfShape arguments, tool_list;
    arguments.Append(rounded);
    for (const TopoDS_Shape& tool : tools) tool_list.Append(tool);
    BRepAlgoAPI_Cut cut;
    cut.SetArguments(arguments);
    cut.SetTools(tool_list);
    cut.SetRunParallel(true);
    cut.Build();
    if (!cut.IsDone() || cut.HasErrors()) throw std::runtime_error("cutting the pockets into the core failed");
    // The cut returns a compound; the core is its one solid.
    TopExp_Explorer solid(cut.Shape(), TopAbs_SOLID);
    if (!solid.More()) throw std::runtime_error("the cut core holds no solid");
    const TopoDS_Shape core = solid.Current();
    solid.Next();
    if (solid.More()) throw std::runtime_error("the pockets split the core into several solids");
    return core;
}

TopoDS_Shape round_hole(const gp_Pnt& mouth, const gp_Dir& outward, double radius, double depth) {
    // The cylinder starts 1 mm outside the face so that the cut does not meet a coincident face.
    const gp_Pnt start = mouth.Translated(gp_Vec(outward) * -depth);
    return BRepPrimAPI_MakeCylinder(gp_Ax2(start, outward), radius, depth + 1).Solid();
}

int count_faces(const TopoDS_Shape& shape) {
    TopTools_IndexedMapOfShape faces;
    TopExp::MapShapes(shape, TopAbs_FACE, faces);
    return faces.Extent();
}

}  // namespace sample
