// Measuring the mould core on its layer.
#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>
#include <gp_Pln.hxx>

#include "electrodes/electrode_fixture.h"
#include "quillon/core_scan.h"

namespace {

using electrodes_test::ElectrodeTest;

class CoreScan : public ElectrodeTest {
  protected:
    static int blank_of(tag_t body) {
        UF_OBJ_disp_props_t props{};
        UF_OBJ_ask_display_properties(body, &props);
        return props.blank_status;
    }
};

TEST_F(CoreScan, UnionOfVisibleBodiesWithCurvedSides) {
    body_on(electrodes_test::block({gp_Pnt(-100, -75, -60), gp_Pnt(100, 75, 0)}), 240);
    body_on(BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(90, 0, -10), gp::DZ()), 20, 15).Shape(), 240);
    double lo[3], hi[3];
    ASSERT_EQ(scan_core_layer(240, lo, hi), 1);
    const double want_lo[3] = {-100, -75, -60}, want_hi[3] = {110, 75, 5};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(lo[i], want_lo[i], 1e-6) << i;
        EXPECT_NEAR(hi[i], want_hi[i], 1e-6) << i;
    }
    EXPECT_TRUE(messages().empty());
}

TEST_F(CoreScan, LoneBlankedCoreIsShownAgainButTwoStayHidden) {
    const tag_t lone = body_on(electrodes_test::block({gp_Pnt(0, 0, 0), gp_Pnt(1, 2, 3)}), 256);
    UF_OBJ_set_blank_status(lone, UF_OBJ_BLANKED);
    double lo[3] = {}, hi[3] = {};
    ASSERT_EQ(scan_core_layer(256, lo, hi), 1);
    EXPECT_EQ(blank_of(lone), UF_OBJ_NOT_BLANKED);
    EXPECT_EQ(hi[2], 3);

    for (double x : {0.0, 10.0}) {
        const tag_t hidden = body_on(electrodes_test::block({gp_Pnt(x, 0, 0), gp_Pnt(x + 1, 1, 1)}), 7);
        UF_OBJ_set_blank_status(hidden, UF_OBJ_BLANKED);
    }
    // Nothing to measure: no box to place the views by, and the run is told so instead of going on without one.
    double keep_lo[3] = {-1, -1, -1}, keep_hi[3] = {1, 1, 1};
    EXPECT_EQ(scan_core_layer(7, keep_lo, keep_hi), 0);
    EXPECT_EQ(messages(),
              std::vector<std::string>{"错误! 你把模仁层中的所有的实体都隐藏起来了,出放电图致少需要一个实体!"});
    EXPECT_TRUE(keep_lo[0] == -1 && keep_hi[2] == 1) << "the caller's box stays";
    EXPECT_EQ(objects_of_type(7, UF_solid_type), 2);
    for (tag_t t = doc().next_on_layer(7, NULL_TAG); t; t = doc().next_on_layer(7, t)) EXPECT_EQ(blank_of(t), 1);
}

TEST_F(CoreScan, ManyInsertsAreAllMeasured) {
    // More bodies than a fixed table of a hundred would hold: the last one decides the maximum.
    for (int i = 0; i < 130; ++i)
        body_on(electrodes_test::block({gp_Pnt(i * 2, 0, 0), gp_Pnt(i * 2 + 1, 1, 1 + (i == 129))}), 50);
    double lo[3], hi[3];
    ASSERT_EQ(scan_core_layer(50, lo, hi), 1);
    EXPECT_NEAR(hi[0], 259, 1e-9);
    EXPECT_NEAR(hi[2], 2, 1e-9);
}

TEST_F(CoreScan, LayerRangeAndLayersWithoutCore) {
    double lo[3], hi[3];
    EXPECT_EQ(scan_core_layer(0, lo, hi), 0);
    EXPECT_EQ(scan_core_layer(257, lo, hi), 0);
    doc().set_layer(doc().add_body(BRepBuilderAPI_MakeFace(gp_Pln(gp::XOY()), 0, 1, 0, 1).Face(), true), 9);
    line_on(gp_Pnt(0, 0, 0), gp_Pnt(1, 1, 1), 9);
    EXPECT_EQ(scan_core_layer(9, lo, hi), 0);
    // Only curves: the lines and arcs of a drawing of the core are no core.
    line_on(gp_Pnt(0, 0, 0), gp_Pnt(5, 0, 0), 10);
    circle_on(gp_Pnt(5, 0, 0), 3, 10);
    EXPECT_EQ(scan_core_layer(10, lo, hi), 0);
    EXPECT_EQ(messages(), (std::vector<std::string>{"模仁层超出了 1--256 的范围!", "模仁层超出了 1--256 的范围!",
                                                    "模仁层中没有模仁", "模仁层中没有模仁"}));
}

}  // namespace
