// The analysis of single electrode bodies: base, direction, reference, boxes, chamfer corner and the messages that
// catch a broken model.
#include <tuple>

#include <BRepPrimAPI_MakeCylinder.hxx>
#include <BRepPrimAPI_MakeHalfSpace.hxx>
#include <BRepPrimAPI_MakeSphere.hxx>
#include <Bnd_Box.hxx>
#include <gp_Pln.hxx>

#include "electrodes/electrode_fixture.h"
#include "my_func/basic_analysis.h"
#include "my_func/check_notes.h"
#include "my_func1/body_analysis.h"

namespace {

using electrodes_test::Corners;
using electrodes_test::ElectrodeTest;
using electrodes_test::layer_message;

const char* const kNoDiagonalOrNotUnited = "第 %d 层中的铜公没有对角线,或者对角线数据不对! 或者未合并! 请返回检查!";
const char* const kNoDiagonal = "第 %d 层中的铜公没有对角线,或者对角线数据不对!请返回检查!";

void expect_point(const double p[3], const gp_Pnt& want, const char* what) {
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(p[i], want.Coord(i + 1), 1e-9) << what << " " << i;
}

double face_z(tag_t face) {
    double box[6];
    EXPECT_EQ(UF_MODL_ask_bounding_box(face, box), 0);
    EXPECT_NEAR(box[2], box[5], 1e-9) << "a horizontal face";
    return box[2];
}

class BodyAnalysis : public ElectrodeTest {};

// Boxes, reference and direction of this electrode are checked in every direction below; here its faces and record.
TEST_F(BodyAnalysis, BaseAboveWorkingPart) {
    const tag_t body = body_on(electrodes_test::based(base_corners(), tip_corners()), 3, "E7");
    const tag_t line = line_on(gp_Pnt(-20, -15, 0), gp_Pnt(20, 15, 0), 3);
    elec_data r;
    ASSERT_EQ(analyse_elec_body(body, &r, 3, 2, 1), 1);
    EXPECT_TRUE(r.elec_tag == body && r.ling_tag == line);
    EXPECT_FALSE(r.not_have_base || r.have_att_side_pt);
    EXPECT_EQ(face_z(r.elec_top_face), 10);
    EXPECT_EQ(face_z(r.elec_depth_face), 0);
    EXPECT_LE(r.elec_body_max[2], 0) << "the working part lies below the depth plane";
    EXPECT_STREQ(r.elec_name, "E7");
    EXPECT_TRUE(r.elec_layer == 3 && r.elec_layer_count == 2 && r.elec_layer_index == 1);
    EXPECT_TRUE(messages().empty());
}

TEST_F(BodyAnalysis, NoFaceBeyondTheDepthPlaneLeavesTheBodyBoxAlone) {
    // A round electrode cut off aslant: the slanted face spans the top's outline, so it is the depth face, and no face
    // lies wholly below its lowest point.
    const TopoDS_Shape pin = BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(50, 50, -30), gp::DZ()), 10, 50).Shape();
    const gp_Pln slant(gp_Pnt(50, 50, -5), gp_Dir(-0.5, 0, 1));  // z = -5 + (x - 50) / 2
    const TopoDS_Shape below =
        BRepPrimAPI_MakeHalfSpace(BRepBuilderAPI_MakeFace(slant).Face(), gp_Pnt(50, 50, -100)).Solid();
    const tag_t body = body_on(electrodes_test::only_solid(BRepAlgoAPI_Cut(pin, below).Shape()), 3);
    line_on(gp_Pnt(40, 40, -10), gp_Pnt(60, 60, 0), 3);
    elec_data r;
    ASSERT_EQ(analyse_elec_body(body, &r, 3, 1, 1), 1) << (messages().empty() ? "" : messages().back());
    EXPECT_FALSE(r.not_have_base);
    EXPECT_EQ(r.elec_direction, ELEC_DIR_T);
    expect_point(r.elec_point, gp_Pnt(50, 50, -5), "reference");
    // Without a working face there is no working box to widen the body box with: it stays the body's own.
    expect_point(r.elec_box_min, gp_Pnt(40, 40, -10), "box min");
    expect_point(r.elec_box_max, gp_Pnt(60, 60, 20), "box max");
    expect_point(r.elec_body_min, gp_Pnt(0, 0, 0), "working min");
    expect_point(r.elec_body_max, gp_Pnt(0, 0, 0), "working max");
}

TEST_F(BodyAnalysis, WorkingPartBeyondTheBaseOutline) {
    const tag_t body = body_on(electrodes_test::based(base_corners(), {gp_Pnt(-25, -5, -15), gp_Pnt(25, 5, 0)}), 3);
    line_on(gp_Pnt(-20, -15, 0), gp_Pnt(20, 15, 0), 3);
    elec_data r;
    // The back face no longer spans a side of the body's box.
    ASSERT_EQ(analyse_elec_body(body, &r, 3, 1, 1), 0);
    EXPECT_EQ(
        messages().back(),
        layer_message("第 %d 层中的铜公的基准台与坐标系不垂直,或者铜公体超出了基准台外形! 或者未合并! 请返回检查!", 3));
}

TEST_F(BodyAnalysis, ExplanationQuotesTheBodysTrueSize) {
    // A ball bulges 3 mm out of the block's +X face; no edge reaches that far, so the box of edge end points stops
    // at the face. The designer measures the body, bulge included.
    const TopoDS_Shape ball = BRepPrimAPI_MakeSphere(gp_Pnt(10, 5, 5), 3).Shape();
    const TopoDS_Shape body_shape = electrodes_test::only_solid(
        BRepAlgoAPI_Fuse(electrodes_test::block({gp_Pnt(0, 0, 0), gp_Pnt(10, 10, 10)}), ball).Shape());
    const tag_t body = body_on(body_shape, 5);
    elec_data r;
    clear_check_note();
    ASSERT_EQ(analyse_elec_body(body, &r, 5, 1, 1), 0);
    EXPECT_NE(std::string(check_note_text()).find("(13 x 10 x 10 mm)"), std::string::npos) << check_note_text();
}

TEST_F(BodyAnalysis, BlockWithDiagonalAcrossItsTopHasNoBase) {
    const tag_t body = body_on(electrodes_test::block({gp_Pnt(0, 0, 0), gp_Pnt(12, 8, 30)}), 6, "PIN");
    line_on(gp_Pnt(5, 5, 5), gp_Pnt(50, 50, 5), 6);  // someone else's line comes first and does not fit
    const tag_t line = line_on(gp_Pnt(12, 0, 30), gp_Pnt(0, 8, 30), 6);
    elec_data r;
    ASSERT_EQ(analyse_elec_body(body, &r, 6, 1, 1), 1);
    EXPECT_TRUE(r.not_have_base);
    EXPECT_EQ(r.elec_direction, ELEC_DIR_T);
    EXPECT_EQ(r.ling_tag, line);
    expect_point(r.elec_point, gp_Pnt(6, 4, 30), "reference");
    EXPECT_EQ(r.elec_top_face, NULL_TAG);
    EXPECT_EQ(r.elec_depth_face, NULL_TAG);
    EXPECT_EQ(r.chamfer_corner, 0);
    EXPECT_STREQ(r.elec_name, "") << "a body without base keeps no name";
}

TEST_F(BodyAnalysis, BlockWithoutLineIsRefusedWithItsLayer) {
    const tag_t body = body_on(electrodes_test::block({gp_Pnt(0, 0, 0), gp_Pnt(12, 8, 30)}), 9);
    elec_data r;
    EXPECT_EQ(analyse_elec_body(body, &r, 9, 1, 1), 0);
    EXPECT_EQ(messages(), std::vector<std::string>{layer_message(kNoDiagonalOrNotUnited, 9)});
}

TEST_F(BodyAnalysis, DiagonalWithinThreeThousandthsOfTheDepthFace) {
    const tag_t body = body_on(electrodes_test::based(base_corners(), tip_corners()), 4);
    const tag_t near = line_on(gp_Pnt(-20.002, -15, 0.002), gp_Pnt(20, 14.998, 0), 4);
    elec_data r;
    ASSERT_EQ(analyse_elec_body(body, &r, 4, 1, 1), 1);
    EXPECT_EQ(r.ling_tag, near);
    expect_point(r.elec_point, gp_Pnt(0, 0, 0), "the depth face's middle, not the line's");

    UF_OBJ_delete_object(near);
    line_on(gp_Pnt(-20, -15, 0), gp_Pnt(20.004, 15, 0), 4);
    EXPECT_EQ(analyse_elec_body(body, &r, 4, 1, 1), 0);
    EXPECT_EQ(messages(), std::vector<std::string>{layer_message(kNoDiagonal, 4)});
}

TEST_F(BodyAnalysis, BaseWithoutDepthFaceOutline) {
    // The working part is as wide as the base in y: the face below the base is cut into two strips.
    const tag_t body = body_on(electrodes_test::based(base_corners(), {gp_Pnt(-10, -15, -15), gp_Pnt(10, 15, 0)}), 5);
    line_on(gp_Pnt(-20, -15, 0), gp_Pnt(20, 15, 0), 5);
    elec_data r;
    EXPECT_EQ(analyse_elec_body(body, &r, 5, 1, 1), 0);
    EXPECT_EQ(messages(), std::vector<std::string>{layer_message(
                              "第 %d 层中的铜公的深度取数面无法找出,这可能是基准台做避空时,切掉了*一部份深度取数面"
                              "造成的,或者是基准台外形不垂直,请返回检查!",
                              5)});
}

TEST_F(BodyAnalysis, OnlyASingleFortyFiveDegreeChamferMarksACorner) {
    using electrodes_test::cut_corner;
    const TopoDS_Shape body = electrodes_test::based(base_corners(), tip_corners());
    struct Case {
        TopoDS_Shape shape;
        int corner;
    };
    const Case cases[] = {
        {cut_corner(body, 20, -15, 3, 3), 4},
        {cut_corner(body, -20, 15, 3, 3.02), 2},                           // legs within 0.02
        {cut_corner(cut_corner(body, 20, -15, 3, 3), -20, 15, 3, 3), 0},   // two chamfers
        {cut_corner(body, 20, 15, 3, 3.03), 0},                            // legs differ by more than 0.02
        {cut_corner(cut_corner(body, 20, -15, 3, 3), -20, -15, 3, 5), 4},  // a second, steeper cut is no chamfer
    };
    int layer = 20;
    for (const Case& c : cases) {
        const tag_t tag = body_on(c.shape, layer);
        line_on(gp_Pnt(-20, -15, 0), gp_Pnt(20, 15, 0), layer);
        elec_data r;
        ASSERT_EQ(analyse_elec_body(tag, &r, layer, 1, 1), 1) << "layer " << layer;
        EXPECT_EQ(r.chamfer_corner, c.corner) << "layer " << layer;
        ++layer;
    }
}

// Every direction: the electrode of the tests turned so that its back face looks out of each side of its box. Its
// own frame maps x to the right and y upwards as seen from outside the back face, so a chamfer at its own lower
// right corner is corner 4 and at its upper left corner 2 in every direction.
struct Turn {
    int direction;
    gp_Dir out, right;
};
class EveryDirection : public BodyAnalysis, public ::testing::WithParamInterface<Turn> {};

TEST_P(EveryDirection, DirectionReferenceBoxesAndChamfer) {
    const Turn turn = GetParam();
    gp_Trsf to_model;
    to_model.SetTransformation(gp_Ax3(gp_Pnt(100, -50, 30), turn.out, turn.right));
    to_model.Invert();
    const auto model = [&](const gp_Pnt& p) { return p.Transformed(to_model); };
    const TopoDS_Shape local = electrodes_test::based(base_corners(), tip_corners());
    for (const auto& [x, y, corner] : {std::tuple{20.0, -15.0, 4}, std::tuple{-20.0, 15.0, 2}}) {
        const int layer = corner;
        const tag_t body =
            body_on(electrodes_test::placed(electrodes_test::cut_corner(local, x, y, 2, 2), to_model), layer);
        line_on(model(gp_Pnt(-20, -15, 0)), model(gp_Pnt(20, 15, 0)), layer);
        elec_data r;
        ASSERT_EQ(analyse_elec_body(body, &r, layer, 1, 1), 1) << turn.direction;
        EXPECT_EQ(r.elec_direction, turn.direction);
        EXPECT_EQ(r.chamfer_corner, corner) << turn.direction;
        expect_point(r.elec_point, model(gp::Origin()), "reference");
        Bnd_Box tip, whole;
        tip.Add(model(tip_corners().lo)), tip.Add(model(tip_corners().hi));
        whole.Add(model(gp_Pnt(-20, -15, -15))), whole.Add(model(gp_Pnt(20, 15, 10)));
        expect_point(r.elec_body_min, tip.CornerMin(), "working min");
        expect_point(r.elec_body_max, tip.CornerMax(), "working max");
        expect_point(r.elec_box_min, whole.CornerMin(), "box min");
        expect_point(r.elec_box_max, whole.CornerMax(), "box max");

        // The basic analysis agrees on the reference and keeps its hands off everything past it.
        elec_data basic;
        basic.elec_top_face = 77;
        basic.chamfer_corner = 3;
        ASSERT_EQ(analyse_elec_body_basic(body, &basic), 1);
        EXPECT_EQ(basic.elec_direction, turn.direction);
        expect_point(basic.elec_point, model(gp::Origin()), "basic reference");
        expect_point(basic.elec_box_min, whole.CornerMin(), "basic box min");
        EXPECT_EQ(basic.elec_top_face, 77u);
        EXPECT_EQ(basic.chamfer_corner, 3);
        doc().remove(body);
    }
    EXPECT_TRUE(messages().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Sides, EveryDirection,
    ::testing::Values(Turn{ELEC_DIR_T, gp::DZ(), gp::DX()}, Turn{ELEC_DIR_NEG_T, -gp::DZ(), gp::DX()},
                      Turn{ELEC_DIR_F, -gp::DY(), gp::DX()}, Turn{ELEC_DIR_NEG_F, gp::DY(), -gp::DX()},
                      Turn{ELEC_DIR_S, gp::DX(), gp::DY()}, Turn{ELEC_DIR_NEG_S, -gp::DX(), -gp::DY()}));

TEST_F(BodyAnalysis, SingleSideAttributesAndWrongBodies) {
    const tag_t body = body_on(electrodes_test::based(base_corners(), tip_corners()), 2);
    line_on(gp_Pnt(-20, -15, 0), gp_Pnt(20, 15, 0), 2);
    touch_point(body, gp_Pnt(25, 1.5, -3));
    elec_data r;
    ASSERT_EQ(analyse_elec_body(body, &r, 2, 1, 1), 1);
    const tag_t face = r.elec_depth_face;
    EXPECT_TRUE(r.have_att_side_pt);
    expect_point(r.att_side_pt, gp_Pnt(25, 1.5, -3), "touch point");

    const tag_t sheet = doc().add_body(BRepBuilderAPI_MakeFace(gp_Pln(gp::XOY()), 0, 1, 0, 1).Face(), true);
    EXPECT_EQ(analyse_elec_body(NULL_TAG, &r, 2, 1, 1), 0);
    EXPECT_EQ(analyse_elec_body(face, &r, 2, 1, 1), 0);
    EXPECT_EQ(analyse_elec_body_basic(sheet, &r), 0);
    EXPECT_EQ(messages(), (std::vector<std::string>{"错误! 你所传入的不是一个 solid_body 类型 ",
                                                    "错误! 你所传入的不是一个 solid_body 类型 ",
                                                    "错误! 你所传入的不是一个 MODL_SOLID_BODY 的类型 "}));
}

}  // namespace
