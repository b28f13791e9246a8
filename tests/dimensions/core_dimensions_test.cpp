// The position and ordinate routines on real sheets of a plain block core (200 x 160 x 60, top face at z = 0): which
// sides they take, what the switches leave out, and that they leave the preferences as they found them.
#include <fstream>
#include <regex>

#include "host/uf_draw.h"
#include "host/uf_drf.h"
#include "host/uf_obj.h"
#include "host/uf_view.h"
#include "quillon/core_ordinates.h"
#include "quillon/position_dims.h"
#include "run_driver/run_fixture.h"
#include "support/odd_preferences.h"

namespace {

using nlohmann::ordered_json;
using run_driver_test::RunTest;

class CoreDimensionsTest : public RunTest {
  protected:
    // Runs the command on one electrode at (dx, dy) and gives its sheet's report.
    ordered_json sheet_of(double dx, double dy) {
        electrode(1, dx, dy, "E01");
        EXPECT_EQ(run(), 1) << (messages().empty() ? "" : messages().front());
        return report("MY_ELEC_SHEETA1");
    }
    // The annotations of a kind in a view (by the view the first object is seen in).
    static std::vector<ordered_json> of_kind(const ordered_json& sheet, const std::string& kind, std::size_t view) {
        std::vector<ordered_json> out;
        for (const auto& a : sheet["annotations"])
            if (a["kind"] == kind && a["first"]["view"] == sheet["views"][view]["tag"]) out.push_back(a);
        return out;
    }
    // The sheet corners of the model box as the command maps them.
    static std::pair<double, double> mapped(tag_t view, double x, double y, double z) {
        const double p[3] = {x, y, z};
        double out[2] = {0, 0};
        EXPECT_EQ(UF_VIEW_map_model_to_drawing(view, p, out), 0);
        return {out[0], out[1]};
    }
    // The model x of the vertical margin's zero and the model y of the horizontal margin's zero in the top view.
    static std::pair<double, double> zero_ends(const ordered_json& sheet) {
        std::pair<double, double> out{0, 0};
        for (const auto& o : of_kind(sheet, "ordinate dimension", 0)) {
            if (o["measured"] != 0.0) continue;
            const auto& p = o["first"]["model_point"];
            if (p[1] == 0.0) out.first = p[0];
            if (p[0] == 0.0) out.second = p[1];
        }
        return out;
    }
    void switch_all(int value) {
        std::ifstream in(std::string(QUILLON_SOURCE_DIR) + "/conf/config.def");
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        text = std::regex_replace(text, std::regex("(_ori_dim_[xy]_(0|edm|min|max):),1,EOF"),
                                  "$1," + std::to_string(value) + ",EOF");
        conf.write_config(text);
    }
};

TEST_F(CoreDimensionsTest, UpperRightEdmPointPutsTextsAboveAndRightAndMarginsBelowAndLeft) {
    const auto sheet = sheet_of(50, 40);
    const tag_t top = sheet["views"][0]["tag"];
    const auto lo = mapped(top, -100, -80, -60), hi = mapped(top, 100, 80, 10);
    const auto h = of_kind(sheet, "horizontal dimension", 0), v = of_kind(sheet, "vertical dimension", 0);
    ASSERT_EQ(h.size(), 1u);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_NEAR(h[0]["position"][1].get<double>(), hi.second + 11, 1e-3);
    EXPECT_NEAR(v[0]["position"][0].get<double>(), hi.first + 4, 1e-3);
    EXPECT_NEAR(h[0]["measured"].get<double>(), 50, 1e-9);
    EXPECT_NEAR(v[0]["measured"].get<double>(), 40, 1e-9);
    // left and low: both margins of the top view on the near sides, 6 beyond the box.
    const auto margins = of_kind(sheet, "ordinate margin", 0);
    ASSERT_EQ(margins.size(), 2u);
    const auto origin = mapped(top, 0, 0, 0);
    EXPECT_EQ(margins[0]["margin_type"], "horizontal");
    EXPECT_NEAR(origin.second + margins[0]["offset"].get<double>(), lo.second - 6, 0.01);
    EXPECT_NEAR(origin.first + margins[1]["offset"].get<double>(), lo.first - 6, 0.01);
    // The zeros hang on the centre lines' first ends, on the margins' sides: x line for the vertical margin, y line
    // for the horizontal one.
    const auto zeros = zero_ends(sheet);
    EXPECT_LT(zeros.first, -100);
    EXPECT_LT(zeros.second, -80);
    // The front view's depth dimension: the EDM point lies on the top face, at the origin's depth.
    const auto d = of_kind(sheet, "vertical dimension", 1);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_NEAR(d[0]["measured"].get<double>(), 0, 1e-9);
}

TEST_F(CoreDimensionsTest, LowerLeftEdmPointPutsTextsBelowAndLeftAndMarginsAboveAndRight) {
    const auto sheet = sheet_of(-50, -40);
    const tag_t top = sheet["views"][0]["tag"];
    const auto lo = mapped(top, -100, -80, -60), hi = mapped(top, 100, 80, 10);
    const auto h = of_kind(sheet, "horizontal dimension", 0), v = of_kind(sheet, "vertical dimension", 0);
    ASSERT_EQ(h.size(), 1u);
    ASSERT_EQ(v.size(), 1u);
    EXPECT_NEAR(h[0]["position"][1].get<double>(), lo.second - 4, 1e-3);
    EXPECT_NEAR(v[0]["position"][0].get<double>(), lo.first - 11, 1e-3);
    const auto margins = of_kind(sheet, "ordinate margin", 0);
    ASSERT_EQ(margins.size(), 2u);
    const auto origin = mapped(top, 0, 0, 0);
    EXPECT_NEAR(origin.second + margins[0]["offset"].get<double>(), hi.second + 6, 0.01);
    EXPECT_NEAR(origin.first + margins[1]["offset"].get<double>(), hi.first + 6, 0.01);
    const auto zeros = zero_ends(sheet);
    EXPECT_GT(zeros.first, 100) << "second ends";
    EXPECT_GT(zeros.second, 80);
}

TEST_F(CoreDimensionsTest, CrowdedValuesMoveUpTheMarginOnDoglegs) {
    // A core whose far side lies 25 above the origin: at the sheet's scale of 0.43 that is 10.75 mm, and the EDM point
    // 7 above the origin lies 3 mm above it on the sheet.
    ASSERT_EQ(UF_OBJ_delete_object(core), 0);
    core = add_box(-100, -150, -60, 200, 175, 60);
    doc().set_layer(core, 240);
    const auto sheet = sheet_of(50, 7);
    const tag_t top = sheet["views"][0]["tag"];
    tag_t expression = NULL_TAG;
    double scale = 0;
    ASSERT_EQ(UF_DRAW_ask_view_scale(top, &expression, &scale), 0);
    ASSERT_NEAR(scale, 0.43, 1e-9);
    const double o = mapped(top, 0, 0, 0).second;
    long vertical_margin = 0;
    for (const auto& m : of_kind(sheet, "ordinate margin", 0))
        if (m["margin_type"] == "vertical") vertical_margin = m["tag"];
    bool edm_seen = false, max_seen = false;
    for (const auto& a : of_kind(sheet, "ordinate dimension", 0)) {
        if (a["margin"] != vertical_margin) continue;
        const auto& p = a["first"]["model_point"];
        if (p[0] == 50.0 && p[1] == 7.0) {
            ASSERT_TRUE(a.contains("position")) << "the EDM value is moved";
            EXPECT_NEAR(a["position"][1].get<double>(), o + 9, 0.01) << "one step up";
            EXPECT_EQ(a["dogleg"], ordered_json::array({60.0, 3.0}));
            edm_seen = true;
        } else if (p[1] == 25.0) {
            ASSERT_TRUE(a.contains("position")) << "the maximum follows the moved EDM value";
            EXPECT_NEAR(a["position"][1].get<double>(), o + 18, 0.01) << "two steps up, as 10.75 < 18";
            max_seen = true;
        }
    }
    EXPECT_TRUE(edm_seen);
    EXPECT_TRUE(max_seen);
}

TEST_F(CoreDimensionsTest, EdmPointOnTheOriginHasNoValueOfItsOwn) {
    const auto sheet = sheet_of(0, 0);
    for (std::size_t view = 0; view < 2; ++view) {
        for (const auto& o : of_kind(sheet, "ordinate dimension", view)) {
            const auto& p = o["first"]["model_point"];
            EXPECT_FALSE(p[0] == 0.0 && p[1] == 0.0 && p[2] == 0.0) << "a value on the EDM point in view " << view;
            EXPECT_TRUE(o.contains("measured"));
        }
    }
    // Top: origin and both extremes on each margin. Front: origin and the bottom; the top face is the origin's level.
    EXPECT_EQ(of_kind(sheet, "ordinate dimension", 0).size(), 6u);
    EXPECT_EQ(of_kind(sheet, "ordinate dimension", 1).size(), 2u);
}

TEST_F(CoreDimensionsTest, AnEdgeLevelWithTheEdmPointIsLeftOut) {
    // The EDM point on the core's right edge: the x margin has no value for the maximum edge.
    const auto sheet = sheet_of(100, 30);
    int at_right = 0, at_left = 0;
    for (const auto& o : of_kind(sheet, "ordinate dimension", 0)) {
        const double x = o["first"]["model_point"][0];
        const bool edm = o["first"]["model_point"][1] == 30.0;
        if (!edm && x == 100.0) ++at_right;
        if (x == -100.0) ++at_left;
    }
    EXPECT_EQ(at_right, 0) << "Xmax repeats the EDM value";
    EXPECT_GE(at_left, 1) << "Xmin stays";
}

TEST_F(CoreDimensionsTest, AllSwitchesOffLeaveOnlyTheOriginsAndMargins) {
    switch_all(0);
    const auto sheet = sheet_of(50, 40);
    EXPECT_EQ(of_kind(sheet, "ordinate origin", 0).size(), 1u);
    EXPECT_EQ(of_kind(sheet, "ordinate margin", 0).size(), 2u);
    EXPECT_EQ(of_kind(sheet, "ordinate dimension", 0).size(), 0u);
    EXPECT_EQ(of_kind(sheet, "ordinate origin", 1).size(), 1u);
    EXPECT_EQ(of_kind(sheet, "ordinate margin", 1).size(), 1u);
    EXPECT_EQ(of_kind(sheet, "ordinate dimension", 1).size(), 0u);
    EXPECT_EQ(of_kind(sheet, "horizontal dimension", 0).size(), 1u) << "position dimensions are not switched";
}

// The front view's margin and the core's top face, level with the origin: the level is written once, on the origin's
// value, or on the top edge's when a shop turns the origin's value (and the EDM point's) off. A switch written without
// a value keeps its meaning: the origin's value is drawn, in the top view (on both margins) as in the front view.
TEST_F(CoreDimensionsTest, TheOriginsLevelIsWrittenOnceWhateverTheOriginSwitchSays) {
    electrode(1, 50, 40, "E01");
    std::ifstream in(std::string(QUILLON_SOURCE_DIR) + "/conf/config.def");
    const std::string shipped((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string keys[3] = {
        "mr_front_view_ori_dim_y_0:", "mr_front_view_ori_dim_y_edm:", "mr_top_view_ori_dim_y_0:"};
    struct Case {
        const char* entries[3];  // what follows each key
        bool origin_value;
    } cases[] = {{{",0,EOF", ",0,EOF", ",1,EOF"}, false},
                 {{"\nEOF", ",1,EOF", "\nEOF"}, true},
                 {{",1,EOF", ",1,EOF", ",1,EOF"}, true}};
    char letter = 'A';
    for (const Case& c : cases) {
        std::string text = shipped;
        for (int k = 0; k < 3; ++k) {
            const std::size_t at = text.find(keys[k] + ",1,EOF");
            ASSERT_NE(at, std::string::npos) << keys[k];
            text.replace(at, keys[k].size() + 6, keys[k] + c.entries[k]);
        }
        conf.write_config(text);
        ASSERT_EQ(run(), 1) << c.entries[0];
        const auto sheet = report(std::string("MY_ELEC_SHEET") + letter++ + "1");
        // Each view's values at the origin's level (z = 0 in the front view), on its centre lines or on core edges.
        int on_origin[2] = {0, 0}, on_edge = 0;
        for (std::size_t view = 0; view < 2; ++view) {
            for (const auto& o : of_kind(sheet, "ordinate dimension", view)) {
                if (view == 1 && o["first"]["model_point"][2] != 0.0) continue;
                int type = 0, subtype = 0;
                ASSERT_EQ(UF_OBJ_ask_type_and_subtype(o["first"]["object"].get<tag_t>(), &type, &subtype), 0);
                if (type == UF_line_type) ++on_origin[view];
                if (view == 1 && type == UF_solid_type) ++on_edge;
            }
        }
        EXPECT_EQ(on_origin[0], 2) << c.entries[2] << ": the top view's origin values";
        EXPECT_EQ(on_origin[1], c.origin_value ? 1 : 0) << c.entries[0];
        EXPECT_EQ(on_edge, c.origin_value ? 0 : 1) << c.entries[0];
    }
}

TEST_F(CoreDimensionsTest, EveryRoutineLeavesThePreferencesAsItFoundThem) {
    const auto sheet = sheet_of(50, 40);
    const tag_t top = sheet["views"][0]["tag"], front = sheet["views"][1]["tag"];
    elec_data e = {};
    e.elec_direction = ELEC_DIR_T;
    const double lo[3] = {-100, -80, -60}, hi[3] = {100, 80, 10};
    tag_t edm = NULL_TAG;
    for (tag_t t = doc().next_on_layer(1, NULL_TAG); t != NULL_TAG; t = doc().next_on_layer(1, t))
        if (doc().find(t)->type == UF_point_type) edm = t;
    ASSERT_NE(edm, NULL_TAG);
    box_edge_set record = {};
    ASSERT_EQ(scan_core_edges_xy(240, &record), 1);
    // Odd values set right before each routine: a routine that does not put them back leaves its working ones.
    const cadhost::DraftingPreferences odd = testing_support::odd_drafting_preferences();
    dim_side side = {7, 7};
    doc().set_drafting_preferences(odd);
    EXPECT_EQ(create_top_position_dims(top, lo, hi, &e, edm, &side), 1);
    EXPECT_EQ(testing_support::preference_changes(odd, doc().drafting_preferences()), "") << "top position";
    EXPECT_EQ(side.left, 1);
    EXPECT_EQ(side.low, 1);
    doc().set_drafting_preferences(odd);
    EXPECT_EQ(create_front_position_dims(front, lo, hi, &e, edm, &side), 1);
    EXPECT_EQ(testing_support::preference_changes(odd, doc().drafting_preferences()), "") << "front position";
    doc().set_drafting_preferences(odd);
    EXPECT_EQ(create_top_view_ordinates(top, lo, hi, &record, lo, hi, &side, edm, ELEC_DIR_T), 1);
    EXPECT_EQ(testing_support::preference_changes(odd, doc().drafting_preferences()), "") << "top ordinates";
    doc().set_drafting_preferences(odd);
    EXPECT_EQ(create_front_view_ordinates(front, lo, hi, &record, lo, hi, &side, edm, ELEC_DIR_T), 1);
    EXPECT_EQ(testing_support::preference_changes(odd, doc().drafting_preferences()), "") << "front ordinates";
    EXPECT_TRUE(messages().empty());
}

TEST_F(CoreDimensionsTest, ANullViewIsRefused) {
    const double lo[3] = {-100, -80, -60}, hi[3] = {100, 80, 10};
    box_edge_set record = {};
    const dim_side side = {0, 0};
    EXPECT_EQ(create_top_view_ordinates(NULL_TAG, lo, hi, &record, lo, hi, &side, NULL_TAG, ELEC_DIR_T), 0);
    EXPECT_EQ(create_front_view_ordinates(NULL_TAG, lo, hi, &record, lo, hi, &side, NULL_TAG, ELEC_DIR_T), 0);
    EXPECT_EQ(messages(), std::vector<std::string>(2, "模仁视图mr_view_tag为空的,不能标注"));
}

}  // namespace
