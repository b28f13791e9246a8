// The electrode body views: the layouts worked by hand from the frame and the electrode's extents, the views the
// direction picks, what the views leave out, and the refusals.
#include <cmath>
#include <filesystem>

#include "elec_views/elec_view_fixture.h"
#include "host/uf_curve.h"
#include "host/uf_draw.h"
#include "host/uf_obj.h"

namespace {

using elec_views_test::ElecViewTest;

elec_view_settings frame_100_by_80() {
    elec_view_settings s = {};
    s.bound_x = 100;
    s.bound_y = 80;
    s.point_x = 200;
    s.point_y = 150;
    s.space = 10;
    s.iso_bound_x = 60;
    s.iso_bound_y = 50;
    s.iso_point_x = 260;
    s.iso_point_y = 170;
    return s;
}

elec_view_layout layout_of(int direction, double x, double y, double z, elec_view_settings settings) {
    const double lo[3] = {0, 0, 0}, hi[3] = {x, y, z};
    elec_view_choice choice;
    EXPECT_EQ(choose_elec_views(direction, lo, hi, &choice), 1);
    elec_view_layout layout;
    layout_elec_views(&settings, &choice, &layout);
    return layout;
}

TEST(ElecViewLayout, ARelativelyTallFrameStacksTheSideViewBelow) {
    // t, 40 x 20 x 30: H / W = 0.5 < 80 / 100.
    const elec_view_layout l = layout_of(ELEC_DIR_T, 40, 20, 30, frame_100_by_80());
    EXPECT_DOUBLE_EQ(l.view_scale, 1.4) << "min(100 / 40, 70 / 50)";
    EXPECT_EQ(l.ortho_proj_dir, ELEC_SIDE_BELOW);
    EXPECT_DOUBLE_EQ(l.top_refer_point[0], 200);
    EXPECT_DOUBLE_EQ(l.top_refer_point[1], 150 + 26) << "28 high, then the gap of 10 and 42 of side view";
    EXPECT_DOUBLE_EQ(l.side_refer_point[0], 200);
    EXPECT_DOUBLE_EQ(l.side_refer_point[1], 150 - 19);
    EXPECT_DOUBLE_EQ(l.iso_view_scale, 50 / std::sqrt(2000.0)) << "diagonal of 40 and 20, the frame's smaller side";
    EXPECT_DOUBLE_EQ(l.iso_refer_point[0], 260);
    EXPECT_DOUBLE_EQ(l.iso_refer_point[1], 170);
}

TEST(ElecViewLayout, OtherwiseTheSideViewStandsBesideAndEqualityCountsAsBeside) {
    // s, 60 x 20 x 40: the top view is 20 wide (y) and 40 high (z), the side view adds 60 (x).
    const elec_view_layout l = layout_of(ELEC_DIR_S, 60, 20, 40, frame_100_by_80());
    EXPECT_DOUBLE_EQ(l.view_scale, 1.125) << "min(80 / 40, 90 / 80)";
    EXPECT_EQ(l.ortho_proj_dir, ELEC_SIDE_RIGHT);
    EXPECT_DOUBLE_EQ(l.top_refer_point[0], 200 - 38.75);
    EXPECT_DOUBLE_EQ(l.side_refer_point[0], 200 + 16.25);
    EXPECT_DOUBLE_EQ(l.top_refer_point[1], 150);
    EXPECT_DOUBLE_EQ(l.side_refer_point[1], 150);

    // 40 / 50 is the frame's 80 / 100 exactly.
    EXPECT_EQ(layout_of(ELEC_DIR_T, 50, 40, 10, frame_100_by_80()).ortho_proj_dir, ELEC_SIDE_RIGHT);
    EXPECT_EQ(layout_of(ELEC_DIR_T, 50, 39.9, 10, frame_100_by_80()).ortho_proj_dir, ELEC_SIDE_BELOW);
}

TEST(ElecViewLayout, IsoDiagonalSpansTheTwoLargestExtents) {
    const double frame = 50;  // the smaller side of the iso frame
    EXPECT_DOUBLE_EQ(layout_of(ELEC_DIR_T, 10, 10, 10, frame_100_by_80()).iso_view_scale, frame / (10 * std::sqrt(2.0)))
        << "a cube";
    EXPECT_DOUBLE_EQ(layout_of(ELEC_DIR_T, 30, 40, 20, frame_100_by_80()).iso_view_scale, frame / 50)
        << "height the largest";
    EXPECT_DOUBLE_EQ(layout_of(ELEC_DIR_T, 30, 20, 40, frame_100_by_80()).iso_view_scale, frame / 50)
        << "depth the largest: width and depth";
    EXPECT_DOUBLE_EQ(layout_of(ELEC_DIR_T, 30, 40, 40, frame_100_by_80()).iso_view_scale, frame / 50)
        << "depth only as large as the height: width and height";
}

TEST(ElecViewLayout, EachDirectionLooksFromTheOppositeSideOfTheCoreViews) {
    const double lo[3] = {0, 0, 0}, hi[3] = {1, 2, 3};
    struct Row {
        int direction;
        const char *top, *iso;
        double w, h, d;
    };
    const Row rows[] = {{1, "BOTTOM", "reve_iso", 1, 2, 3}, {-1, "TOP", "tfr-iso", 1, 2, 3},
                        {2, "BACK", "reve_f_r", 1, 3, 2},   {-2, "FRONT", "reve_f", 1, 3, 2},
                        {3, "LEFT", "reve_s_r", 2, 3, 1},   {-3, "RIGHT", "reve_s", 2, 3, 1}};
    for (const Row& r : rows) {
        elec_view_choice c;
        ASSERT_EQ(choose_elec_views(r.direction, lo, hi, &c), 1);
        EXPECT_STREQ(c.top_view_name, r.top);
        EXPECT_STREQ(c.iso_view_name, r.iso);
        EXPECT_EQ(std::vector<double>({c.width, c.height, c.depth}), std::vector<double>({r.w, r.h, r.d}))
            << r.direction;
    }
    elec_view_choice none;
    EXPECT_EQ(choose_elec_views(0, lo, hi, &none), 0);
}

TEST_F(ElecViewTest, ThreeViewsShowTheBodyAloneFromBelowAtTheShippedFrames) {
    const tag_t body = electrode(1, 0, 0, "E01");
    const tag_t copy = electrode(1, 60, 0, "E01");
    elec_data record = analysed(body, 1);
    const double at[3] = {0, 0, 0};
    tag_t edm_point = NULL_TAG, blanked = NULL_TAG;
    ASSERT_EQ(UF_CURVE_create_point(at, &edm_point), 0);
    UF_CURVE_line_t data = {{0, 0, 30}, {10, 0, 30}};
    ASSERT_EQ(UF_CURVE_create_line(&data, &blanked), 0);
    for (tag_t t : {edm_point, blanked}) ASSERT_EQ(UF_OBJ_set_layer(t, 1), 0);
    ASSERT_EQ(UF_OBJ_set_blank_status(blanked, UF_OBJ_BLANKED), 0);
    new_sheet("S1");
    session().ui().clear();
    ASSERT_EQ(MY_create_elec_body_view_and_ord(body, &record), 1);
    EXPECT_TRUE(messages().empty());

    const auto views = report("S1")["views"];
    ASSERT_EQ(views.size(), 3u);
    EXPECT_EQ(views[0]["model_view"], "BOTTOM");
    EXPECT_EQ(views[1]["parent"], views[0]["tag"]);
    EXPECT_EQ(views[2]["model_view"], "reve_iso");
    // The shipped frame, 80 x 52 around (205, 156): relatively flatter than 40 x 30, so the side view (25 deep) goes
    // beside.
    const double s = std::min(52.0 / 30.0, (80.0 - 12.0) / (40.0 + 25.0));
    EXPECT_EQ(views[1]["projection"], ELEC_SIDE_RIGHT);
    EXPECT_NEAR(views[0]["scale"].get<double>(), s, 1e-4);
    EXPECT_NEAR(views[1]["scale"].get<double>(), s, 1e-4);
    EXPECT_NEAR(views[0]["reference_point"][0].get<double>(), 205 - (s * 25 + 12) / 2, 1e-4);
    EXPECT_NEAR(views[1]["reference_point"][0].get<double>(), 205 + (s * 40 + 12) / 2, 1e-4);
    EXPECT_NEAR(views[1]["reference_point"][1].get<double>(), 156, 1e-4);
    EXPECT_NEAR(views[2]["reference_point"][0].get<double>(), 266, 1e-4);
    EXPECT_NEAR(views[2]["scale"].get<double>(), 36 / 50.0, 1e-4) << "diagonal of 40 and 30";
    // Seen from below: +x to the right, +y down.
    EXPECT_EQ(views[0]["up"], nlohmann::ordered_json::array({0.0, -1.0, 0.0}));

    for (const auto& view : views) {
        EXPECT_EQ(view["shows"], nlohmann::ordered_json::array({body})) << view["name"];
        const auto erased = view["erased"];
        for (tag_t gone : {copy, record.ling_tag, edm_point})
            EXPECT_NE(std::find(erased.begin(), erased.end(), gone), erased.end()) << view["name"] << " " << gone;
        EXPECT_EQ(std::find(erased.begin(), erased.end(), blanked), erased.end()) << "blanked objects stay as they are";
        const auto layers = view["layers"];
        EXPECT_EQ(std::find(layers.begin(), layers.end(), 254), layers.end()) << view["name"] << ": drawing layer";
        EXPECT_EQ(view["hidden_edges"], "left out");
    }
    logical borders = TRUE;
    UF_DRAW_ask_border_display(&borders);
    EXPECT_FALSE(borders);
}

TEST_F(ElecViewTest, SettingsAreReadOnceAndRefusalsPlaceNoView) {
    const tag_t body = electrode(1, 0, 0, "E01");
    elec_data record = analysed(body, 1);
    new_sheet("S1");
    ASSERT_EQ(MY_create_elec_body_view_and_ord(body, &record), 1);
    // Without its file the second call still has the frame it read the first time.
    std::filesystem::remove(std::filesystem::path(conf.path()) / "config.def");
    new_sheet("S2");
    session().ui().clear();
    ASSERT_EQ(MY_create_elec_body_view_and_ord(body, &record), 1);
    EXPECT_TRUE(messages().empty());
    EXPECT_EQ(report("S2")["views"].size(), 3u);

    conf.copy_shipped();
    new_sheet("S3");
    session().ui().clear();
    EXPECT_EQ(MY_create_elec_body_view_and_ord(NULL_TAG, &record), 0);
    record.elec_direction = 0;
    EXPECT_EQ(MY_create_elec_body_view_and_ord(body, &record), 0);
    record.elec_direction = ELEC_DIR_NEG_T;
    ASSERT_EQ(UF_OBJ_delete_object(doc().find_model_view("TOP")), 0);
    EXPECT_EQ(MY_create_elec_body_view_and_ord(body, &record), 0);
    record.elec_direction = ELEC_DIR_F;
    ASSERT_EQ(UF_OBJ_delete_object(doc().find_model_view("reve_f_r")), 0);
    EXPECT_EQ(MY_create_elec_body_view_and_ord(body, &record), 0);
    EXPECT_EQ(messages(), (std::vector<std::string>{"elec_tag is null", "analy elec body dir err",
                                                    "MY_create_elec_body_view_and_ord 查找modl视图错误!",
                                                    "MY_create_elec_body_view_and_ord 查找modl iso 视图错误!"}));
    EXPECT_EQ(report("S3")["views"].size(), 0u);

    reset_elec_view_settings();
    std::filesystem::remove(std::filesystem::path(conf.path()) / "config.def");
    session().ui().clear();
    record.elec_direction = ELEC_DIR_T;
    EXPECT_EQ(MY_create_elec_body_view_and_ord(body, &record), 0) << "forgotten, the frame is read again";
    EXPECT_EQ(messages().size(), 1u);
}

}  // namespace
