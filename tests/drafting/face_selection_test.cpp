// Which faces of a body go into the projection of an overlap, and which holes of a plane face go with them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <BRepAdaptor_Surface.hxx>
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <TopExp.hxx>
#include <TopExp_Explorer.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <TopoDS_Iterator.hxx>
#include <gp_Ax2.hxx>

#include "cadhost/drafting/face_selection.h"

namespace {

using cadhost::ViewOrientation;
using cadhost::drafting::Box2;

// A plate 100 x 60 x 10, top at z = 0, with three blind holes 4 mm across on its top: at x = -30, 0 and 30.
TopoDS_Shape plate() {
    TopoDS_Compound holes;
    BRep_Builder builder;
    builder.MakeCompound(holes);
    for (double x : {-30.0, 0.0, 30.0})
        builder.Add(holes, BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(x, 0, -5), gp::DZ()), 2, 6).Shape());
    const TopoDS_Shape block = BRepPrimAPI_MakeBox(gp_Pnt(-50, -30, -10), gp_Pnt(50, 30, 0)).Shape();
    return BRepAlgoAPI_Cut(block, holes).Shape();
}

// The plane face at z = 0 of a shape, and how many wires it has.
int wires_of_top(const TopoDS_Shape& shape, TopoDS_Shape* top = nullptr) {
    for (TopExp_Explorer it(shape, TopAbs_FACE); it.More(); it.Next()) {
        BRepAdaptor_Surface surface(TopoDS::Face(it.Current()));
        if (surface.GetType() != GeomAbs_Plane || std::abs(surface.Plane().Location().Z()) > 1e-9 ||
            std::abs(std::abs(surface.Plane().Axis().Direction().Z()) - 1) > 1e-9)
            continue;
        int wires = 0;
        for (TopoDS_Iterator w(it.Current()); w.More(); w.Next()) ++wires;
        if (top) *top = it.Current();
        return wires;
    }
    return -1;
}

int faces_of(const TopoDS_Shape& shape) {
    TopTools_IndexedMapOfShape faces;
    TopExp::MapShapes(shape, TopAbs_FACE, faces);
    return faces.Extent();
}

const ViewOrientation kTop{gp::DX(), gp::DY(), gp::DZ()};

TEST(FaceSelectionTest, APlaneFaceKeepsItsRimAndOnlyTheHolesThatReachIntoTheRegions) {
    const TopoDS_Shape body = plate();
    ASSERT_EQ(wires_of_top(body), 4);
    const auto boxes = cadhost::drafting::body_boxes(body, "plate top", kTop);
    ASSERT_EQ(boxes->faces.size(), static_cast<std::size_t>(faces_of(body)));

    // A region over the middle hole only: the top keeps its rim and that hole; the other holes' walls stay out.
    TopoDS_Shape top;
    const TopoDS_Shape middle = cadhost::drafting::faces_reaching(body, *boxes, {Box2{-5, -5, 5, 5, false}});
    EXPECT_EQ(wires_of_top(middle, &top), 2);
    EXPECT_LT(faces_of(middle), faces_of(body));
    // The hole kept is the middle one, with the very edges the hole's wall has, so the join stays known.
    TopTools_IndexedMapOfShape body_edges, top_edges;
    TopExp::MapShapes(body, TopAbs_EDGE, body_edges);
    TopExp::MapShapes(top, TopAbs_EDGE, top_edges);
    bool middle_rim = false;
    for (int i = 1; i <= top_edges.Extent(); ++i) {
        EXPECT_TRUE(body_edges.Contains(top_edges(i))) << "edge " << i << " is not one of the body's";
        const gp_Pnt p = BRep_Tool::Pnt(TopExp::FirstVertex(TopoDS::Edge(top_edges(i))));
        EXPECT_FALSE(std::abs(std::abs(p.X()) - 30) < 3) << "a hole far from the region is kept";
        middle_rim = middle_rim || std::abs(p.X()) < 3;
    }
    EXPECT_TRUE(middle_rim);

    // A region that reaches two holes, and one that reaches none: the rim always stays.
    EXPECT_EQ(wires_of_top(cadhost::drafting::faces_reaching(body, *boxes, {Box2{-31, -1, 1, 1, false}})), 3);
    EXPECT_EQ(wires_of_top(cadhost::drafting::faces_reaching(body, *boxes, {Box2{12, 10, 18, 20, false}})), 1);
    // Two regions apart, each over a hole.
    EXPECT_EQ(wires_of_top(cadhost::drafting::faces_reaching(
                  body, *boxes, {Box2{-32, -2, -28, 2, false}, Box2{28, -2, 32, 2, false}})),
              3);
}

TEST(FaceSelectionTest, ABodyWhollyInTheRegionsIsTakenWholeAndOneOutsideThemNotAtAll) {
    const TopoDS_Shape body = plate();
    const auto boxes = cadhost::drafting::body_boxes(body, "plate whole", kTop);
    EXPECT_TRUE(cadhost::drafting::faces_reaching(body, *boxes, {Box2{-60, -40, 60, 40, false}}).IsSame(body));
    EXPECT_TRUE(cadhost::drafting::faces_reaching(body, *boxes, {Box2{70, 0, 80, 10, false}}).IsNull());
}

TEST(FaceSelectionTest, APlaneFaceSeenEdgeOnDropsTheHolesBesideTheRegion) {
    // From the front the top is a line: its holes' boxes lie on the rim's, and the one far from the region goes.
    const TopoDS_Shape body = plate();
    const ViewOrientation front{gp::DX(), gp::DZ(), gp::DY().Reversed()};
    const auto boxes = cadhost::drafting::body_boxes(body, "plate front", front);
    EXPECT_EQ(wires_of_top(cadhost::drafting::faces_reaching(body, *boxes, {Box2{25, -3, 35, 3, false}})), 2);
}

}  // namespace
