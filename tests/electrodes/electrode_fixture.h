// Electrodes built as real solids on their layers, the way a designer hands them over: a base block with the working
// part united below its depth face, the diagonal line across that face, touch circles and attributes.
#ifndef TESTS_ELECTRODES_ELECTRODE_FIXTURE_H
#define TESTS_ELECTRODES_ELECTRODE_FIXTURE_H

#include <string>
#include <vector>

#include <BRepAlgoAPI_Cut.hxx>
#include <BRepAlgoAPI_Fuse.hxx>
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepBuilderAPI_MakePolygon.hxx>
#include <BRepBuilderAPI_Transform.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRepPrimAPI_MakePrism.hxx>
#include <TopExp_Explorer.hxx>
#include <TopoDS.hxx>
#include <gp_Ax3.hxx>
#include <gp_Trsf.hxx>

#include "host/uf_attr.h"
#include "host/uf_curve.h"
#include "host/uf_modl.h"
#include "host/uf_obj.h"
#include "support/host_fixture.h"

namespace electrodes_test {

struct Corners {
    gp_Pnt lo, hi;
};

inline TopoDS_Shape block(const Corners& c) { return BRepPrimAPI_MakeBox(c.lo, c.hi).Shape(); }

// The first solid of a boolean result: the kernel hands back a compound.
inline TopoDS_Shape only_solid(const TopoDS_Shape& shape) {
    TopExp_Explorer solids(shape, TopAbs_SOLID);
    EXPECT_TRUE(solids.More());
    const TopoDS_Shape solid = solids.Current();
    solids.Next();
    EXPECT_FALSE(solids.More()) << "base and working part did not unite";
    return solid;
}

// Base block over the working block, which reaches 1 mm into the base so that the two unite.
inline TopoDS_Shape based(const Corners& base, const Corners& tip) {
    Corners into = tip;
    into.hi.SetZ(tip.hi.Z() + 1);
    return only_solid(BRepAlgoAPI_Fuse(block(base), block(into)).Shape());
}

// Cuts the vertical edge at the corner (x, y) by a chamfer whose legs run leg_x along x and leg_y along y. The cutting
// prism runs along the chamfer line well past the body on both sides, so no sliver of the corner stays.
inline TopoDS_Shape cut_corner(const TopoDS_Shape& body, double x, double y, double leg_x, double leg_y) {
    const double ix = x > 0 ? -1 : 1, iy = y > 0 ? -1 : 1;  // inwards from the corner
    const gp_XY p1(x + ix * leg_x, y), p2(x, y + iy * leg_y), far(x - ix * 50, y - iy * 50);
    const gp_XY p1_out = p1 + (p1 - p2) * 10, p2_out = p2 + (p2 - p1) * 10;
    BRepBuilderAPI_MakePolygon triangle(gp_Pnt(p1_out.X(), p1_out.Y(), -100), gp_Pnt(p2_out.X(), p2_out.Y(), -100),
                                        gp_Pnt(far.X(), far.Y(), -100), true);
    const TopoDS_Face face = BRepBuilderAPI_MakeFace(triangle.Wire()).Face();
    const TopoDS_Shape prism = BRepPrimAPI_MakePrism(face, gp_Vec(0, 0, 200)).Shape();
    return only_solid(BRepAlgoAPI_Cut(body, prism).Shape());
}

// Maps the electrode's own frame (x right, y up, z out of the back face) onto the model.
inline TopoDS_Shape placed(const TopoDS_Shape& shape, const gp_Trsf& trsf) {
    return BRepBuilderAPI_Transform(shape, trsf, true).Shape();
}

class ElectrodeTest : public testing_support::HostTest {
  protected:
    static tag_t body_on(const TopoDS_Shape& shape, int layer, const char* name = nullptr) {
        const tag_t body = add_solid(shape);
        doc().set_layer(body, layer);
        if (name) {
            EXPECT_EQ(UF_OBJ_set_name(body, name), 0);
        }
        return body;
    }
    static tag_t line_on(const gp_Pnt& a, const gp_Pnt& b, int layer) {
        UF_CURVE_line_t data = {{a.X(), a.Y(), a.Z()}, {b.X(), b.Y(), b.Z()}};
        tag_t line = NULL_TAG;
        EXPECT_EQ(UF_CURVE_create_line(&data, &line), 0);
        EXPECT_EQ(UF_OBJ_set_layer(line, layer), 0);
        return line;
    }
    static tag_t circle_on(const gp_Pnt& centre, double radius, int layer) {
        UF_CURVE_arc_t arc = {{centre.X(), centre.Y(), centre.Z()}, radius, 0, 2 * M_PI, {1, 0, 0}, {0, 1, 0}};
        tag_t circle = NULL_TAG;
        EXPECT_EQ(UF_CURVE_create_arc(&arc, &circle), 0);
        EXPECT_EQ(UF_OBJ_set_layer(circle, layer), 0);
        return circle;
    }
    static void touch_point(tag_t body, const gp_Pnt& p) {
        const char* titles[3] = {"s_x", "s_y", "s_z"};
        for (int i = 0; i < 3; ++i) {
            UF_ATTR_value_t value;
            value.type = UF_ATTR_real;
            value.value.real = p.Coord(i + 1);
            EXPECT_EQ(UF_ATTR_assign(body, titles[i], value), 0);
        }
    }
    // The standard electrode of these tests in its own frame: base 40 x 30 x 10 above z = 0, working part 20 x 20 x
    // 15 below it, diagonal line across the depth face at z = 0.
    static Corners base_corners() { return {gp_Pnt(-20, -15, 0), gp_Pnt(20, 15, 10)}; }
    static Corners tip_corners() { return {gp_Pnt(-10, -10, -15), gp_Pnt(10, 10, 0)}; }
    static std::vector<std::string> messages() { return session().ui().messages(); }
    static int objects_of_type(int layer, int type) {
        int count = 0;
        for (tag_t t = doc().next_on_layer(layer, NULL_TAG); t != NULL_TAG; t = doc().next_on_layer(layer, t))
            if (doc().find(t)->type == type) ++count;
        return count;
    }
};

inline std::string layer_message(const char* format, int layer) {
    char text[512];
    std::snprintf(text, sizeof text, format, layer);
    return text;
}

}  // namespace electrodes_test

#endif
