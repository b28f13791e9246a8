// Boxes of faces and bodies from vertices, closed-edge points and isocline curves, on real solids.
#include <cmath>

#include <BRepAdaptor_Surface.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <gp_Pln.hxx>

#include "electrodes/electrode_fixture.h"
#include "host/uf_layer.h"
#include "my_func/extents.h"

namespace {

using electrodes_test::ElectrodeTest;

class Extents : public ElectrodeTest {
  protected:
    // The face of the body whose surface is of the kind and whose centre of box is nearest `near`.
    static tag_t face_of(tag_t body, GeomAbs_SurfaceType kind, const gp_Pnt& near) {
        tag_t best = NULL_TAG;
        double best_distance = 1e9;
        for (int i = 1;; ++i) {
            const tag_t face = doc().face_tag(body, i);
            if (face == NULL_TAG) break;
            if (BRepAdaptor_Surface(TopoDS::Face(doc().shape_of(face))).GetType() != kind) continue;
            double box[6];
            EXPECT_EQ(UF_MODL_ask_bounding_box(face, box), 0);
            const double d = near.Distance(gp_Pnt((box[0] + box[3]) / 2, (box[1] + box[4]) / 2, (box[2] + box[5]) / 2));
            if (d < best_distance) best = face, best_distance = d;
        }
        return best;
    }
    // Everything but bodies and their faces and edges, whose tags are made as they are asked for.
    static std::size_t free_objects() {
        std::size_t count = 0;
        for (const auto& [tag, object] : doc().objects()) count += object.type != UF_solid_type;
        return count;
    }
    static void expect_box(const double lo[3], const double hi[3], gp_Pnt want_lo, gp_Pnt want_hi, double tol) {
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(lo[i], want_lo.Coord(i + 1), tol) << "min " << i;
            EXPECT_NEAR(hi[i], want_hi.Coord(i + 1), tol) << "max " << i;
        }
    }
};

TEST_F(Extents, RectangularFaceIsItsFourCorners) {
    const tag_t body = add_box(1, 2, 3, 10, 20, 30);
    const tag_t top = face_of(body, GeomAbs_Plane, gp_Pnt(6, 12, 33));
    double lo[3], hi[3];
    ASSERT_EQ(MY_face_box_edge(top, lo, hi), 1);
    expect_box(lo, hi, gp_Pnt(1, 2, 33), gp_Pnt(11, 22, 33), 1e-9);
    ASSERT_EQ(MY_solid_box_edge(body, lo, hi), 1);
    expect_box(lo, hi, gp_Pnt(1, 2, 3), gp_Pnt(11, 22, 33), 1e-9);
}

TEST_F(Extents, FullCircleIsSampledOrBoxedWhole) {
    const tag_t body = add_solid(BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(5, 5, 0), gp::DZ()), 10, 8).Shape());
    const tag_t top = face_of(body, GeomAbs_Plane, gp_Pnt(5, 5, 8));
    double lo[3], hi[3];
    ASSERT_EQ(MY_face_box_edge(top, lo, hi), 1);
    expect_box(lo, hi, gp_Pnt(-5, -5, 8), gp_Pnt(15, 15, 8), 0.02);
    ASSERT_EQ(MY_face_box_iso(top, lo, hi), 1);
    expect_box(lo, hi, gp_Pnt(-5, -5, 8), gp_Pnt(15, 15, 8), 1e-6);
    ASSERT_EQ(MY_solid_box_iso(body, lo, hi), 1);
    expect_box(lo, hi, gp_Pnt(-5, -5, 0), gp_Pnt(15, 15, 8), 1e-6);
}

TEST_F(Extents, CurvedFaceBulgesBeyondItsEdges) {
    // A third of a cylinder from -60 to +60 degrees about x: its arcs end at x = 5, its widest line is at x = 10.
    const gp_Ax2 axes(gp::Origin(), gp::DZ(), gp_Dir(std::cos(-M_PI / 3), std::sin(-M_PI / 3), 0));
    const tag_t body = add_solid(BRepPrimAPI_MakeCylinder(axes, 10, 4, 2 * M_PI / 3).Shape());
    const tag_t side = face_of(body, GeomAbs_Cylinder, gp_Pnt(8, 0, 2));
    const std::size_t curves_before = free_objects();
    int work_layer = 0;
    UF_LAYER_ask_work_layer(&work_layer);
    const std::size_t on_work_layer = doc().count_on_layer(work_layer);
    double lo[3], hi[3];
    ASSERT_EQ(MY_face_box_edge(side, lo, hi), 1);
    EXPECT_NEAR(hi[0], 5, 1e-6);
    ASSERT_EQ(MY_face_box_iso(side, lo, hi), 1);
    expect_box(lo, hi, gp_Pnt(5, -10 * std::sin(M_PI / 3), 0), gp_Pnt(10, 10 * std::sin(M_PI / 3), 4), 1e-6);
    ASSERT_EQ(MY_solid_box_iso(body, lo, hi), 1);
    EXPECT_NEAR(hi[0], 10, 1e-6);
    ASSERT_EQ(MY_solid_box_edge(body, lo, hi), 1);
    EXPECT_NEAR(hi[0], 5, 1e-6);
    // The isocline curves were made only to be measured.
    EXPECT_EQ(free_objects(), curves_before);
    EXPECT_EQ(doc().count_on_layer(work_layer), on_work_layer);
    EXPECT_TRUE(session().ui().messages().empty());
    EXPECT_EQ(session().ui().listing(), "");
}

TEST_F(Extents, WrongArgumentsAreNamed) {
    const tag_t body = add_box(0, 0, 0, 1, 1, 1);
    const tag_t face = doc().face_tag(body, 1);
    const tag_t sheet = doc().add_body(BRepBuilderAPI_MakeFace(gp_Pln(gp::XOY()), 0, 1, 0, 1).Face(), true);
    double lo[3] = {7, 7, 7}, hi[3] = {7, 7, 7};
    EXPECT_EQ(MY_face_box_edge(NULL_TAG, lo, hi), 0);
    EXPECT_EQ(MY_face_box_edge(body, lo, hi), 0);
    EXPECT_EQ(MY_face_box_iso(NULL_TAG, lo, hi), 0);
    EXPECT_EQ(MY_face_box_iso(body, lo, hi), 0);
    EXPECT_EQ(MY_solid_box_edge(NULL_TAG, lo, hi), 0);
    EXPECT_EQ(MY_solid_box_edge(face, lo, hi), 0);
    EXPECT_EQ(MY_solid_box_edge(sheet, lo, hi), 0);
    EXPECT_EQ(MY_solid_box_iso(sheet, lo, hi), 0);
    EXPECT_EQ(session().ui().messages(), (std::vector<std::string>{
                                             "错误! MY_face_box_edge 子程式接收的是一个空的 tag",
                                             " 错误! MY_face_box_edge 子程式接收的不是一个 solid face 类型",
                                             "错误! MY_face_box_iso 子程式接收的是一个空的 tag",
                                             " 错误! MY_face_box_iso 子程式接收的不是一个 face 类型",
                                             "错误! MY_solid_box_edge 子程式接收的是一个空的 tag",
                                             " 错误! MY_solid_box_edge 子程式接收的不是一个 solid 类型",
                                             " 错误! MY_solid_box_edge 子程式接收的不是一个 solid body 类型",
                                             " 错误! MY_solid_box_edge 子程式接收的不是一个 solid body 类型",
                                         }));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(lo[i] == 7 && hi[i] == 7) << "outputs stay unwritten";
}

}  // namespace
