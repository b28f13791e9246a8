// The mould-core views: scales and places from the frames, the view box with the electrode, what the views hide, the
// centre lines, and the refusals.
#include <cmath>
#include <cstring>

#include "host/uf_curve.h"
#include "host/uf_draw.h"
#include "host/uf_drf.h"
#include "host/uf_obj.h"
#include "quillon/center_lines.h"
#include "quillon/core_views.h"
#include "quillon/elec_sheet.h"
#include "run_driver/run_fixture.h"

namespace {

using run_driver_test::RunTest;

TEST(CoreViewLayout, FramesGiveTheScaleAndTheViewsHangBelowTheirPoint) {
    mr_layout_settings settings = {};
    settings.top_and_front_bound_x = 100;
    settings.top_and_front_bound_y = 120;
    settings.top_and_front_point_x = 80;
    settings.top_and_front_point_y = 188;
    settings.top_and_front_space = 14;
    settings.iso_bound_x = 40;
    settings.iso_bound_y = 30;
    settings.iso_point_x = 265;
    settings.iso_point_y = 112;
    const double lo[3] = {-100, -50, -50}, hi[3] = {100, 50, 0};
    mr_view_choice choice;
    ASSERT_EQ(choose_mr_views(ELEC_DIR_T, lo, hi, &choice), 1);
    mr_view_layout layout;
    layout_mr_views(&settings, &choice, &layout);
    EXPECT_DOUBLE_EQ(layout.top_view_scale, 0.5) << "min(100 / 200, 120 / 150)";
    EXPECT_DOUBLE_EQ(layout.top_refer_point[0], 80);
    EXPECT_DOUBLE_EQ(layout.top_refer_point[1], 188 - 25);
    EXPECT_DOUBLE_EQ(layout.s_refer_point[0], 80);
    EXPECT_DOUBLE_EQ(layout.s_refer_point[1], 188 - 50 - 14 - 12.5);
    EXPECT_DOUBLE_EQ(layout.iso_view_scale, 30 / std::hypot(200.0, 100.0)) << "the smaller frame side counts";
    EXPECT_DOUBLE_EQ(layout.iso_refer_point[0], 265);
    EXPECT_DOUBLE_EQ(layout.iso_refer_point[1], 112);
}

TEST(CoreViewLayout, IsoLengthTakesTheDepthOnlyWhenItIsStrictlyLargest) {
    EXPECT_DOUBLE_EQ(mr_iso_length(10, 10, 10), 10 * std::sqrt(2.0));
    EXPECT_DOUBLE_EQ(mr_iso_length(30, 40, 40), 50) << "height as large as the depth";
    EXPECT_DOUBLE_EQ(mr_iso_length(30, 20, 40), 50);
    EXPECT_DOUBLE_EQ(mr_iso_length(40, 30, 40), 50) << "depth only as large as the width: the width and height count";
    EXPECT_DOUBLE_EQ(mr_iso_length(40, 30, 10), 50);
    EXPECT_DOUBLE_EQ(mr_iso_length(40, 0, 0), 40) << "a flat box has a length too";
}

TEST(CoreViewLayout, DirectionPicksTheViewsAndTheExtents) {
    const double lo[3] = {0, 0, 0}, hi[3] = {1, 2, 3};
    struct Row {
        int direction;
        const char *top, *iso;
        double w, h, d;
    };
    const Row rows[] = {{1, "top", "tfr-iso", 1, 2, 3},  {-1, "bottom", "reve_iso", 1, 2, 3},
                        {2, "front", "reve_f", 1, 3, 2}, {-2, "back", "reve_f_r", 1, 3, 2},
                        {3, "right", "reve_s", 2, 3, 1}, {-3, "left", "reve_s_r", 2, 3, 1}};
    for (const Row& r : rows) {
        mr_view_choice c;
        ASSERT_EQ(choose_mr_views(r.direction, lo, hi, &c), 1);
        EXPECT_STREQ(c.top_view_name, r.top);
        EXPECT_STREQ(c.iso_view_name, r.iso);
        EXPECT_EQ(std::vector<double>({c.width, c.height, c.depth}), std::vector<double>({r.w, r.h, r.d}))
            << r.direction;
    }
    mr_view_choice none;
    EXPECT_EQ(choose_mr_views(0, lo, hi, &none), 0);
    EXPECT_EQ(none.top_view_name, nullptr);
}

class CoreViewsTest : public RunTest {
  protected:
    void SetUp() override {
        RunTest::SetUp();
        reset_mr_layout_settings();
        reset_elec_sheet_positions();
        reset_core_center_lines();
    }
    // An electrode on layer 1 whose base reaches 30 beyond the core's +x side, with its record as the analysis makes
    // it.
    void electrode_outside() {
        record = {};
        record.elec_tag = electrode(1, 110, 0, "E01");
        record.elec_direction = ELEC_DIR_T;
        const double lo[3] = {90, -15, -15}, hi[3] = {130, 15, 10};
        std::memcpy(record.elec_box_min, lo, sizeof lo);
        std::memcpy(record.elec_box_max, hi, sizeof hi);
        tag_t t = NULL_TAG;
        while ((t = doc().next_on_layer(1, t)) != NULL_TAG)
            if (doc().find(t)->type == UF_line_type) record.ling_tag = t;
        const double at[3] = {110, 0, 0};
        ASSERT_EQ(UF_CURVE_create_point(at, &edm_point), 0);
        ASSERT_EQ(UF_OBJ_set_layer(edm_point, 1), 0);
    }
    tag_t new_sheet(const char* name) {
        tag_t drawing = NULL_TAG;
        EXPECT_EQ(create_elec_sheet(name, "", "", &drawing, 1, 1), 1);
        return drawing;
    }
    int place(tag_t drawing, int number_modl = MR_VIEW_LAYOUT) {
        return import_mr_view(drawing, &top, &front, 240, 1, view_min, view_max, number_modl, &record, edm_point,
                              core_min, core_max);
    }
    elec_data record = {};
    tag_t edm_point = NULL_TAG, top = NULL_TAG, front = NULL_TAG;
    double view_min[3] = {}, view_max[3] = {};
    const double core_min[3] = {-100, -80, -60}, core_max[3] = {100, 80, 0};
};

TEST_F(CoreViewsTest, ViewBoxHoldsTheElectrodeButTheCentreLinesSpanTheCore) {
    electrode_outside();
    ASSERT_EQ(place(new_sheet("S1")), 1);
    EXPECT_EQ(std::vector<double>(view_min, view_min + 3), std::vector<double>({-100, -80, -60}));
    EXPECT_EQ(std::vector<double>(view_max, view_max + 3), std::vector<double>({130, 80, 10}));
    // The shipped frames: 86 x 110 for top and front together.
    const double scale = std::min(86.0 / 230.0, 110.0 / (160.0 + 70.0));
    double shown = 0;
    tag_t expression = NULL_TAG;
    ASSERT_EQ(UF_DRAW_ask_view_scale(top, &expression, &shown), 0);
    EXPECT_NEAR(shown, scale, 1e-12);
    ASSERT_EQ(UF_DRAW_ask_view_scale(front, &expression, &shown), 0);
    EXPECT_NEAR(shown, scale, 1e-12) << "the front view follows the top view";

    UF_CURVE_line_t x_line, z_line;
    ASSERT_EQ(UF_CURVE_ask_line_data(top_center_line_x, &x_line), 0);
    ASSERT_EQ(UF_CURVE_ask_line_data(top_center_line_z, &z_line), 0);
    const double overhang = 5.0 / scale;
    EXPECT_NEAR(x_line.start_point[0], -100 - overhang, 1e-9);
    EXPECT_NEAR(x_line.end_point[0], 100 + overhang, 1e-9);
    EXPECT_NEAR(z_line.start_point[2], -60 - overhang, 1e-9);
    EXPECT_NEAR(z_line.end_point[2], 0 + overhang, 1e-9);
    EXPECT_EQ(x_line.start_point[1], 0.0);
}

TEST_F(CoreViewsTest, ViewsHideTheDrawingLayerAndTheElectrodesConstruction) {
    electrode_outside();
    const double a[3] = {0, 0, 30}, b[3] = {10, 0, 30};
    UF_CURVE_line_t data = {{a[0], a[1], a[2]}, {b[0], b[1], b[2]}};
    tag_t helper = NULL_TAG, blanked = NULL_TAG, stray_point = NULL_TAG;
    ASSERT_EQ(UF_CURVE_create_line(&data, &helper), 0);
    ASSERT_EQ(UF_CURVE_create_line(&data, &blanked), 0);
    ASSERT_EQ(UF_CURVE_create_point(b, &stray_point), 0);
    for (tag_t t : {helper, blanked, stray_point}) ASSERT_EQ(UF_OBJ_set_layer(t, 1), 0);
    ASSERT_EQ(UF_OBJ_set_blank_status(blanked, UF_OBJ_BLANKED), 0);
    ASSERT_EQ(place(new_sheet("S1")), 1);

    const auto views = report("S1")["views"];
    ASSERT_EQ(views.size(), 3u) << "top, front and the iso view the shipped file asks for";
    for (const auto& view : views) {
        EXPECT_EQ(view["erased"], nlohmann::ordered_json::array({helper, stray_point})) << view["name"];
        const auto layers = view["layers"];
        EXPECT_EQ(std::find(layers.begin(), layers.end(), 254), layers.end()) << "the drawing layer";
        EXPECT_EQ(view["hidden_edges"], "dashed");
        const auto shows = view["shows"];
        for (tag_t kept : {record.elec_tag, record.ling_tag, edm_point})
            EXPECT_NE(std::find(shows.begin(), shows.end(), kept), shows.end()) << kept;
    }
    EXPECT_EQ(views[2]["model_view"], "TFR-ISO");
}

TEST_F(CoreViewsTest, PreferencesArePutBackAndTheViewsStayAsPlaced) {
    electrode_outside();
    const tag_t drawing = new_sheet("S1");
    UF_DRF_lettering_preferences_t lettering_before, lettering_after;
    int mpi_before[100], mpi_after[100];
    double mpr_before[70], mpr_after[70];
    char r[27], d[27];
    UF_DRF_ask_lettering_preferences(&lettering_before);
    UF_DRF_ask_preferences(mpi_before, mpr_before, r, d);
    ASSERT_EQ(place(drawing), 1);
    UF_DRF_ask_lettering_preferences(&lettering_after);
    UF_DRF_ask_preferences(mpi_after, mpr_after, r, d);
    EXPECT_EQ(std::memcmp(&lettering_before, &lettering_after, sizeof lettering_before), 0);
    EXPECT_EQ(std::memcmp(mpi_before, mpi_after, sizeof mpi_before), 0);
    EXPECT_EQ(std::memcmp(mpr_before, mpr_after, sizeof mpr_before), 0);
    logical borders = TRUE;
    UF_DRAW_ask_border_display(&borders);
    EXPECT_FALSE(borders);
}

TEST_F(CoreViewsTest, RefusalsComeBeforeAnyViewIsPlaced) {
    electrode_outside();
    const tag_t drawing = new_sheet("S1");
    session().ui().clear();
    EXPECT_EQ(place(NULL_TAG), 0);
    EXPECT_EQ(place(drawing, 4), 0);
    record.elec_direction = 0;
    EXPECT_EQ(place(drawing), 0);
    EXPECT_EQ(messages(), (std::vector<std::string>{"draw_tag is unll,err!", " 位置错误--number_modl ",
                                                    " import_mr_view 查找 top 视图失败!"}));
    EXPECT_EQ(report("S1")["views"].size(), 0u);
    EXPECT_EQ(top_center_line_x, NULL_TAG);
}

TEST_F(CoreViewsTest, MissingIsoModelViewFailsEvenWhenNoIsoViewIsWanted) {
    std::ifstream in(std::string(QUILLON_SOURCE_DIR) + "/conf/config.def");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string key = "mr_isometric_view:,1,EOF";
    ASSERT_NE(text.find(key), std::string::npos);
    text.replace(text.find(key), key.size(), "mr_isometric_view:,0.9,EOF");
    conf.write_config(text);
    electrode_outside();
    ASSERT_EQ(place(new_sheet("S1")), 1);
    EXPECT_EQ(report("S1")["views"].size(), 2u) << "0.9 is no iso view";

    record.elec_direction = ELEC_DIR_NEG_T;
    ASSERT_EQ(UF_OBJ_delete_object(doc().find_model_view("reve_iso")), 0);
    session().ui().clear();
    EXPECT_EQ(place(new_sheet("S2")), 0);
    EXPECT_EQ(messages(), std::vector<std::string>{" import_mr_view 查找 iso 视图失败!"});
}

}  // namespace
