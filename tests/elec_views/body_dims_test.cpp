// The electrode's six sizes: where each value goes, which vertex each end takes, what the dimensions attach to and
// what they measure on real electrodes, and the preferences on every way out.
#include <cmath>
#include <cstring>

#include <BRepAlgoAPI_Fuse.hxx>
#include <BRepBuilderAPI_MakeEdge.hxx>
#include <BRepBuilderAPI_MakeWire.hxx>
#include <GC_MakeArcOfCircle.hxx>

#include "elec_views/elec_view_fixture.h"
#include "host/uf_draw.h"
#include "host/uf_drf.h"
#include "host/uf_obj.h"
#include "quillon/elec_body_dims.h"

namespace {

using elec_views_test::ElecViewTest;

body_dim_spot spot(int group, int kind, int ortho, double value, double scale) {
    body_dim_spot s = {};
    s.group = group;
    s.kind = kind;
    s.ortho_proj_dir = ortho;
    s.ref[0] = 100;
    s.ref[1] = 50;
    s.scale = scale;
    s.ext_w = 40, s.ext_h = 20, s.ext_d = 30;
    s.value = value;
    s.m_min[0] = 90, s.m_min[1] = 44;
    s.m_max[0] = 96, s.m_max[1] = 52;
    return s;
}

std::vector<double> placed(const body_dim_spot& s) {
    double p[3];
    place_body_dim(&s, p);
    return {p[0], p[1], p[2]};
}

TEST(BodyDimPlacement, ValuesStandOutsideTheOutlineAndMoveBeyondTheEndWhenTheyDoNotFit) {
    // 15 at scale 1: "15.000", six characters, 15 mm, fit 15 mm and stay centred; 11 mm above a 20 high outline.
    EXPECT_EQ(placed(spot(1, BODY_DIM_TOP_WIDTH, 3, 15, 1)), (std::vector<double>{100, 50 + 10 + 11, 0}));
    // "3.250" needs 12.5 mm for 3.25 mm: half the line, half the text and 3 further left.
    EXPECT_EQ(placed(spot(1, BODY_DIM_TOP_WIDTH, 3, 3.25, 1)), (std::vector<double>{100 - 10.875, 71, 0}));
    EXPECT_EQ(placed(spot(1, BODY_DIM_TOP_HEIGHT, 3, 3.25, 1)), (std::vector<double>{100 - 20 - 11, 50 - 10.875, 0}));
    EXPECT_EQ(placed(spot(1, BODY_DIM_SIDE_DEPTH, 2, 3.25, 1)), (std::vector<double>{100 + 10.875, 71, 0}))
        << "the side view's depth moves right, away from the top view";
    EXPECT_EQ(placed(spot(1, BODY_DIM_SIDE_DEPTH, 3, 30, 1)), (std::vector<double>{100 - 31, 50, 0}));

    // The working part's sizes stand 5.5 out, centred on the working part where they fit.
    EXPECT_EQ(placed(spot(2, BODY_DIM_TOP_WIDTH, 3, 16, 1)), (std::vector<double>{93, 50 + 10 + 5.5, 0}));
    EXPECT_EQ(placed(spot(2, BODY_DIM_TOP_HEIGHT, 3, 16, 1)), (std::vector<double>{100 - 20 - 5.5, 48, 0}));
    // A height too long for its line, with the side view below, goes right of the outline and down past it.
    EXPECT_EQ(placed(spot(2, BODY_DIM_TOP_HEIGHT, 3, 1.5, 1)),
              (std::vector<double>{100 + 20 + 5.5, 50 - 10 - 6.25 - 3, 0}));
    EXPECT_EQ(placed(spot(2, BODY_DIM_TOP_HEIGHT, 2, 1.5, 1)),
              (std::vector<double>{100 - 20 - 5.5, 50 - 10 - 6.25 - 3, 0}));
    EXPECT_EQ(placed(spot(2, BODY_DIM_TOP_WIDTH, 3, 1.5, 1)), (std::vector<double>{100 - 20 - 6.25 - 3, 65.5, 0}));
    // The side view's working depth is centred on the part of the outline that starts at its left or top edge.
    EXPECT_EQ(placed(spot(2, BODY_DIM_SIDE_DEPTH, 2, 16, 1)), (std::vector<double>{100 - 15 + 8, 65.5, 0}));
    EXPECT_EQ(placed(spot(2, BODY_DIM_SIDE_DEPTH, 3, 16, 1)), (std::vector<double>{74.5, 50 + 15 - 8, 0}));
    EXPECT_EQ(placed(spot(2, BODY_DIM_SIDE_DEPTH, 2, 1.5, 1)), (std::vector<double>{100 + 15 + 6.25 + 3, 65.5, 0}));
    EXPECT_EQ(placed(spot(2, BODY_DIM_SIDE_DEPTH, 3, 1.5, 1)), (std::vector<double>{74.5, 50 - 15 - 6.25 - 3, 0}));
}

TEST(BodyDimPlacement, ATextAsLongAsItsLineFits) {
    double tw = 0;
    // Reckoned on the text as the sheet writes it, three decimals with their zeros.
    EXPECT_TRUE(body_dim_text_fits(10, 1.5, &tw)) << "\"10.000\" is 15 mm, the line 15 mm";
    EXPECT_EQ(tw, 15.0);
    EXPECT_FALSE(body_dim_text_fits(10, 0.5, &tw)) << "a 10 mm size at scale 0.5 does not hold its value";
    EXPECT_FALSE(body_dim_text_fits(10, 1.499, &tw));
    EXPECT_TRUE(body_dim_text_fits(12.5, 1.2, &tw));
    EXPECT_EQ(tw, 15.0);
    EXPECT_TRUE(body_dim_text_fits(12.5004, 1.2, &tw)) << "three decimals: 12.500";
    EXPECT_EQ(tw, 15.0);
}

TEST(BodyDimEnds, EdgesInTheSidePlaneTakeTheVertexTheDirectionNamesAndTiesTheSecond) {
    // An edge along y (the other axis of a top width, m = x) from y = 5 to y = -5.
    const double a[3] = {0, 5, 0}, b[3] = {0, -5, 0};
    EXPECT_EQ(body_dim_end(1, false, true, ELEC_DIR_T, 0, 1, a, b), 2) << "t: the smaller y";
    EXPECT_EQ(body_dim_end(1, true, true, ELEC_DIR_T, 0, 1, a, b), 2) << "the same at both ends";
    for (int d : {ELEC_DIR_NEG_T, ELEC_DIR_F, ELEC_DIR_NEG_F, ELEC_DIR_S, ELEC_DIR_NEG_S})
        EXPECT_EQ(body_dim_end(2, false, true, d, 0, 1, a, b), 1) << d << ": the larger";
    // Vertical dimensions compare the top view's width axis: the larger for f and s, the smaller for the others.
    for (int d : {ELEC_DIR_F, ELEC_DIR_S}) EXPECT_EQ(body_dim_end(3, false, false, d, 1, 0, b, a), 2) << d;
    for (int d : {ELEC_DIR_T, ELEC_DIR_NEG_T, ELEC_DIR_NEG_F, ELEC_DIR_NEG_S})
        EXPECT_EQ(body_dim_end(3, false, false, d, 1, 0, a, b), 2) << d;
    const double c[3] = {0, 5, 1};
    EXPECT_EQ(body_dim_end(1, false, true, ELEC_DIR_NEG_T, 0, 1, a, c), 2) << "equal y: the second";
    EXPECT_EQ(body_dim_end(1, false, true, ELEC_DIR_T, 0, 1, a, c), 2);

    // A touching edge ends where it reaches furthest out along the measured axis.
    const double low[3] = {-3, 0, 0}, high[3] = {4, 0, 0};
    EXPECT_EQ(body_dim_end(4, false, true, ELEC_DIR_T, 0, 1, low, high), 1);
    EXPECT_EQ(body_dim_end(4, true, true, ELEC_DIR_T, 0, 1, low, high), 2);
    EXPECT_EQ(body_dim_end(4, true, true, ELEC_DIR_T, 0, 1, high, low), 1);
    EXPECT_EQ(body_dim_end(4, true, true, ELEC_DIR_T, 1, 0, high, low), 2) << "equal along m: the second";
}

class BodyDimsTest : public ElecViewTest {
  protected:
    int draw(tag_t body, const elec_data& record) { return MY_create_elec_body_view_and_ord(body, &record); }
    static std::vector<double> measured(const std::string& sheet) {
        std::vector<double> out;
        for (const auto& d : dimensions(sheet)) out.push_back(d["measured"].get<double>());
        return out;
    }
    static std::vector<std::string> attached_kinds(const std::string& sheet) {
        std::vector<std::string> out;
        for (const auto& d : dimensions(sheet))
            for (const char* end : {"first", "second"}) {
                const cadhost::Object* o = doc().find(d[end]["object"].get<tag_t>());
                out.push_back(o->type == UF_point_type ? "point" : "edge");
            }
        return out;
    }
    struct preferences {
        int mpi[UF_DRF_PREF_INTEGERS];
        double mpr[UF_DRF_PREF_REALS];
        char r[UF_DRF_SYMBOL_TEXT_SIZE], d[UF_DRF_SYMBOL_TEXT_SIZE];
        bool operator==(const preferences& o) const {
            return std::memcmp(mpi, o.mpi, sizeof mpi) == 0 && std::memcmp(mpr, o.mpr, sizeof mpr) == 0 &&
                   std::strcmp(r, o.r) == 0 && std::strcmp(d, o.d) == 0;
        }
    };
    static preferences now() {
        preferences p;
        UF_DRF_ask_preferences(p.mpi, p.mpr, p.r, p.d);
        return p;
    }
};

TEST_F(BodyDimsTest, APlainBlockElectrodeIsMeasuredEdgeToEdgeInBothGroups) {
    const tag_t body = electrode(1, 0, 0, "E01");
    const elec_data record = analysed(body, 1);
    new_sheet("S1");
    const int points_before = points_on(254);
    const preferences before = now();
    ASSERT_EQ(draw(body, record), 1);
    EXPECT_EQ(session().ui().listing(), "");
    EXPECT_TRUE(now() == before);
    // Box 40 x 30 x 25; working part 20 x 20 x 15.
    EXPECT_EQ(measured("S1"), (std::vector<double>{40, 30, 25, 20, 20, 15}));
    EXPECT_EQ(attached_kinds("S1"), std::vector<std::string>(12, "edge"));
    EXPECT_EQ(points_on(254), points_before) << "no fallback point";
    const auto dims = dimensions("S1");
    EXPECT_EQ(dims[0]["kind"], "horizontal dimension");
    EXPECT_EQ(dims[1]["kind"], "vertical dimension");
    EXPECT_EQ(dims[2]["kind"], "horizontal dimension") << "the side view stands to the right";
    EXPECT_EQ(dims[2]["first"]["view"], report("S1")["views"][1]["tag"]);
    EXPECT_EQ(dims[0]["text"][0], "40.000") << "three decimals, as the working preferences say";
    EXPECT_EQ(dims[0]["text_height"], 2.8);
    // The overall width's value stands 11 above the top view's outline, centred on it.
    const auto top = report("S1")["views"][0];
    EXPECT_NEAR(dims[0]["position"][1].get<double>(), top["sheet_box"][3].get<double>() + 11, 1e-4);
    EXPECT_NEAR(dims[0]["position"][0].get<double>(), top["reference_point"][0].get<double>(), 1e-4);
    // Box edges at both ends: the end points lie on the outline's corners.
    EXPECT_NEAR(dims[0]["first"]["sheet_point"][0].get<double>(), top["sheet_box"][0].get<double>(), 1e-4);
    EXPECT_NEAR(dims[0]["second"]["sheet_point"][0].get<double>(), top["sheet_box"][2].get<double>(), 1e-4);
}

TEST_F(BodyDimsTest, AFlatElectrodeHasItsSideViewBelowWithTheDepthsStandingLeft) {
    // Base 60 x 20 x 10, working part 40 x 10 x 15: a top view relatively flatter than the 80 x 52 frame.
    const electrodes_test::Corners base{gp_Pnt(-30, -10, 0), gp_Pnt(30, 10, 10)},
        tip{gp_Pnt(-20, -5, -15), gp_Pnt(20, 5, 0)};
    const tag_t body = body_on(electrodes_test::based(base, tip), 1, "E01");
    line_on(gp_Pnt(-30, -10, 0), gp_Pnt(30, 10, 0), 1);
    const elec_data record = analysed(body, 1);
    new_sheet("S1");
    const int points_before = points_on(254);
    ASSERT_EQ(draw(body, record), 1);
    const auto views = report("S1")["views"];
    ASSERT_EQ(views.size(), 3u);
    EXPECT_EQ(views[1]["projection"], ELEC_SIDE_BELOW);
    EXPECT_NEAR(views[1]["reference_point"][0].get<double>(), views[0]["reference_point"][0].get<double>(), 1e-9);
    // Seen from below with +y down, the side view below looks from +y with -z up: the working part on top.
    EXPECT_EQ(views[1]["up"], nlohmann::ordered_json::array({0.0, 0.0, -1.0}));

    EXPECT_EQ(measured("S1"), (std::vector<double>{60, 20, 25, 40, 10, 15}));
    EXPECT_EQ(attached_kinds("S1"), std::vector<std::string>(12, "edge"));
    EXPECT_EQ(points_on(254), points_before);
    const auto dims = dimensions("S1");
    for (int k : {2, 5}) {
        EXPECT_EQ(dims[k]["kind"], "vertical dimension") << k;
        EXPECT_EQ(dims[k]["first"]["view"], views[1]["tag"]) << k;
    }
    // Left of the side view's outline, 11 and 5.5 out. The working depth's "15.000" takes 15 mm (2.5 a character),
    // more than the 15 mm depth drawn at this scale: it stands below the outline, half its text and 3 beyond it.
    const auto side_box = views[1]["sheet_box"];
    EXPECT_NEAR(dims[2]["position"][0].get<double>(), side_box[0].get<double>() - 11, 1e-4);
    EXPECT_NEAR(dims[5]["position"][0].get<double>(), side_box[0].get<double>() - 5.5, 1e-4);
    const double s = views[1]["scale"];
    ASSERT_LT(s, 1.0);
    EXPECT_NEAR(dims[5]["position"][1].get<double>(), side_box[1].get<double>() - 7.5 - 3, 1e-3)
        << "the report rounds to four decimals";
}

TEST_F(BodyDimsTest, ACurvedSideFallsBackToAPointAtTheBoxSide) {
    // The base's minimum-x end rounded to a half circle of radius 15 about (-20, 0), drawn as two quarter arcs that
    // meet at x = -35: there only curved edges and an edge seen end-on reach the side.
    const double diagonal = 15 / std::sqrt(2.0);
    const gp_Pnt upper(-20, 15, 0), lower(-20, -15, 0), tip(-35, 0, 0);
    BRepBuilderAPI_MakeWire outline;
    outline.Add(BRepBuilderAPI_MakeEdge(lower, gp_Pnt(20, -15, 0)).Edge());
    outline.Add(BRepBuilderAPI_MakeEdge(gp_Pnt(20, -15, 0), gp_Pnt(20, 15, 0)).Edge());
    outline.Add(BRepBuilderAPI_MakeEdge(gp_Pnt(20, 15, 0), upper).Edge());
    outline.Add(BRepBuilderAPI_MakeEdge(GC_MakeArcOfCircle(upper, gp_Pnt(-20 - diagonal, diagonal, 0), tip).Value()));
    outline.Add(BRepBuilderAPI_MakeEdge(GC_MakeArcOfCircle(tip, gp_Pnt(-20 - diagonal, -diagonal, 0), lower).Value()));
    const TopoDS_Shape base =
        BRepPrimAPI_MakePrism(BRepBuilderAPI_MakeFace(outline.Wire()).Face(), gp_Vec(0, 0, 10)).Shape();
    electrodes_test::Corners into = tip_corners();
    into.hi.SetZ(1);
    const tag_t body =
        body_on(electrodes_test::only_solid(BRepAlgoAPI_Fuse(base, electrodes_test::block(into)).Shape()), 1, "E01");
    line_on(gp_Pnt(-35, -15, 0), gp_Pnt(20, 15, 0), 1);
    const elec_data record = analysed(body, 1);
    ASSERT_EQ(record.elec_box_min[0], -35.0);
    new_sheet("S1");
    const int points_before = points_on(254);
    ASSERT_EQ(draw(body, record), 1);
    EXPECT_EQ(points_on(254), points_before + 1);
    const auto dims = dimensions("S1");
    ASSERT_EQ(dims.size(), 6u);
    EXPECT_DOUBLE_EQ(dims[0]["measured"].get<double>(), 55);
    const tag_t low = dims[0]["first"]["object"];
    double at[3];
    ASSERT_EQ(UF_CURVE_ask_point_data(low, at), 0);
    EXPECT_EQ(std::vector<double>(at, at + 3), (std::vector<double>{-35, 0, -15}))
        << "the box's minimum x, mid y, and the bottom of the box";
    EXPECT_EQ(doc().display_state(), UF_DRAW_DRAWING_DISPLAY) << "back on the sheet";
}

TEST_F(BodyDimsTest, AnElectrodeWithoutBaseHasItsOverallSizesOnly) {
    const tag_t body = pin(1, 10, -40);
    const elec_data record = analysed(body, 1);
    ASSERT_TRUE(record.not_have_base);
    new_sheet("S1");
    const int points_before = points_on(254);
    ASSERT_EQ(UF_DRAW_set_display_state(UF_DRAW_MODEL_DISPLAY), 0);
    ASSERT_EQ(draw(body, record), 1);
    EXPECT_EQ(doc().display_state(), UF_DRAW_MODEL_DISPLAY) << "the points leave the model shown as it was";
    EXPECT_EQ(measured("S1"), (std::vector<double>{12, 12, 35}));
    // Nothing straight reaches the sides of a round pin's top view: four points; the depth runs along the seam.
    EXPECT_EQ(points_on(254), points_before + 4);
    const auto kinds = attached_kinds("S1");
    EXPECT_EQ(std::vector<std::string>(kinds.begin() + 4, kinds.end()), (std::vector<std::string>{"edge", "edge"}));
}

TEST_F(BodyDimsTest, AFailingScanStopsWithItsMessageAndPutsThePreferencesBack) {
    const tag_t body = electrode(1, 0, 0, "E01");
    const elec_data record = analysed(body, 1);
    ASSERT_EQ(UF_OBJ_set_blank_status(body, UF_OBJ_BLANKED), 0);  // no body left to scan in the top view
    new_sheet("S1");
    const preferences before = now();
    session().ui().clear();
    EXPECT_EQ(draw(body, record), 0);
    EXPECT_EQ(messages(), std::vector<std::string>{"实体数目为0,无法计算!"});
    EXPECT_TRUE(now() == before);
    EXPECT_TRUE(dimensions("S1").empty());
    EXPECT_EQ(report("S1")["views"].size(), 3u) << "the views stay";
}

TEST_F(BodyDimsTest, AnUnknownDirectionWritesNothingAndSucceeds) {
    const tag_t body = electrode(1, 0, 0, "E01");
    elec_data record = analysed(body, 1);
    new_sheet("S1");
    const preferences before = now();
    record.elec_direction = 7;
    tag_t view = NULL_TAG;
    EXPECT_EQ(MY_elec_body_dims(NULL_TAG, view, view, view, 7, 3, record.elec_box_min, record.elec_box_max, record), 1);
    EXPECT_TRUE(now() == before);
}

}  // namespace
