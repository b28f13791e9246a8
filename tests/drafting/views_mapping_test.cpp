// Where model points land on a sheet: hand-worked values for the standard views and a projected child view, and the
// rendered sheet drawing them exactly there.
#include <BRepAlgoAPI_Cut.hxx>
#include <BRepPrimAPI_MakeCylinder.hxx>

#include "cadhost/drafting/hlr_projection.h"
#include "cadhost/drafting/projection_store.h"
#include "cadhost/drafting/view_frame.h"
#include "drafting_fixture.h"
#include "host/uf_curve.h"
#include "host/uf_layer.h"

namespace {

using testing_support::DraftingTest;

class ViewsMappingTest : public DraftingTest {
  protected:
    void SetUp() override {
        DraftingTest::SetUp();
        // A 100 x 60 x 40 block at the origin: its extent's centre is (50, 30, 20) in every standard view.
        block_ = add_box(0, 0, 0, 100, 60, 40);
    }
    tag_t block_ = NULL_TAG;
};

TEST_F(ViewsMappingTest, StandardViewsPlaceTheExtentsCentreOnTheReferencePoint) {
    struct Case {
        const char* view;
        double point[3];
        double sheet[2];  // worked by hand: ref + scale * (point . axis - centre . axis)
    };
    // Reference point (150, 105), scale 1.
    const Case cases[] = {
        {"top", {0, 0, 0}, {100, 75}},                                         // right +X, up +Y: (0 - 50, 0 - 30)
        {"top", {100, 60, 40}, {200, 135}},  {"front", {0, 0, 0}, {100, 85}},  // right +X, up +Z: (-50, -20)
        {"front", {100, 0, 40}, {200, 125}}, {"right", {0, 0, 0}, {120, 85}},  // right +Y, up +Z: (0 - 30, 0 - 20)
        {"back", {0, 0, 0}, {200, 85}},                                        // right -X: (0 - (-50), -20)
        {"left", {0, 60, 0}, {120, 85}},                                       // right -Y: (-60 - (-30), -20)
        {"bottom", {0, 0, 0}, {100, 135}},                                     // right +X, up -Y: (-50, 0 - (-30))
    };
    for (const Case& c : cases) {
        tag_t view = import_view(c.view, 150, 105, 1.0);
        auto at = map(view, c.point[0], c.point[1], c.point[2]);
        EXPECT_NEAR(at.first, c.sheet[0], 1e-6) << c.view;
        EXPECT_NEAR(at.second, c.sheet[1], 1e-6) << c.view;
        double ref[2];
        ASSERT_EQ(UF_DRAW_ask_drawing_ref_pt(view, ref), 0);
        EXPECT_NEAR(ref[0], 150, 1e-9);
        EXPECT_NEAR(ref[1], 105, 1e-9);
    }
    // In the iso view, right is (1, 1, 0)/sqrt 2 and up (-1, 1, 2)/sqrt 6.
    tag_t iso = import_view("tfr-iso", 150, 105, 1.0);
    auto corner = map(iso, 100, 0, 40);
    auto far = map(iso, 0, 60, 0);
    EXPECT_NEAR(corner.first - far.first, 40 / std::sqrt(2.0), 1e-6);
    EXPECT_NEAR(corner.second - far.second, (-100 + 80 - 60) / std::sqrt(6.0), 1e-6);
}

// A curve shown in a view widens its extent; measuring it again and again keeps nothing more: its edge is made afresh
// each time, and a box kept for it would never be found again.
TEST_F(ViewsMappingTest, CurvesWidenTheExtentAndMeasuringAgainKeepsNothingMore) {
    UF_CURVE_line_t data = {{-50, 0, 0}, {0, 0, 0}};
    tag_t line = NULL_TAG;
    ASSERT_EQ(UF_CURVE_create_line(&data, &line), 0);
    const tag_t view = import_view("top", 150, 105, 1.0);
    const auto first = cadhost::drafting::placement(doc(), view);
    EXPECT_NEAR(first.extent.xmin, -50, 1e-6);
    EXPECT_NEAR(first.extent.xmax, 100, 1e-6);
    const std::size_t kept = cadhost::drafting::shape_boxes_kept();
    for (int i = 0; i < 20; ++i) cadhost::drafting::placement(doc(), view);
    EXPECT_EQ(cadhost::drafting::shape_boxes_kept(), kept);
}

// Two views alike but for what else they show: the centres of their extents differ, and so do the places of the block,
// whose strokes the first sheet keeps for the next sheet that shows it the same way.
TEST_F(ViewsMappingTest, ABodyKeptFromAnotherSheetIsDrawnWhereThisViewPutsIt) {
    UF_CURVE_line_t data = {{-50, 0, 0}, {0, 0, 0}};
    tag_t line = NULL_TAG;
    ASSERT_EQ(UF_CURVE_create_line(&data, &line), 0);
    const tag_t wide = import_view("top", 150, 105, 1.0);
    sheet();
    sheet();  // kept from its second drawing on
    ASSERT_EQ(create_a4("SHEET2", &drawing_), 0);
    const tag_t narrow = import_view("top", 150, 105, 1.0);
    char name[UF_OBJ_NAME_BUFSIZE];
    ASSERT_EQ(UF_OBJ_ask_name(narrow, name), 0);
    ASSERT_EQ(uc6400(name, line), 0);
    ASSERT_NE(map(narrow, 0, 0, 40).first, map(wide, 0, 0, 40).first) << "the views must differ";
    const auto drawn = sheet();
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, {100.0, 0.0}, {100.0, 60.0}, {0.0, 60.0}}) {
        const auto at = map(narrow, x, y, 40);
        EXPECT_TRUE(drawn_at(drawn, at.first, at.second)) << "corner (" << x << ", " << y << ")";
    }
}

TEST_F(ViewsMappingTest, AChildViewBelowStaysAlignedWithItsScaledParent) {
    tag_t top = import_view("top", 100, 150, 0.5);
    const double below[2] = {0, 80};
    tag_t front = NULL_TAG;
    ASSERT_EQ(UF_DRAW_add_orthographic_view(drawing_, top, UF_DRAW_project_below, below, &front), 0);
    // Top: centre (50, 30) at (100, 150), scale 0.5. Front (right +X, up +Z): centre (50, 20), its x from the parent.
    auto top_origin = map(top, 0, 0, 0);
    EXPECT_NEAR(top_origin.first, 75, 1e-9);
    EXPECT_NEAR(top_origin.second, 135, 1e-9);
    auto front_origin = map(front, 0, 0, 0);
    EXPECT_NEAR(front_origin.first, 75, 1e-9);
    EXPECT_NEAR(front_origin.second, 70, 1e-9);
    auto front_corner = map(front, 100, 0, 40);
    EXPECT_NEAR(front_corner.first, 125, 1e-9);
    EXPECT_NEAR(front_corner.second, 90, 1e-9);
    double scale = 0;
    ASSERT_EQ(UF_DRAW_ask_view_scale(front, nullptr, &scale), 0);
    EXPECT_DOUBLE_EQ(scale, 0.5);

    // Rescaling and moving the parent carries the child along, point for point in x.
    ASSERT_EQ(UF_DRAW_set_view_scale(top, 1.0), 0);
    const double moved[2] = {120, 160};
    ASSERT_EQ(UF_DRAW_set_drawing_ref_pt(drawing_, top, moved), 0);
    for (double x : {0.0, 37.5, 100.0}) EXPECT_NEAR(map(front, x, 0, 0).first, map(top, x, 0, 0).first, 1e-9) << x;
    EXPECT_NEAR(map(front, 0, 0, 0).second, 60, 1e-9) << "its own y stays";

    // The sheet draws the block's corners exactly where the mapping says.
    auto drawn = sheet();
    for (auto [x, y, z] : {std::tuple{0.0, 0.0, 0.0}, std::tuple{100.0, 60.0, 40.0}}) {
        auto t = map(top, x, y, z);
        EXPECT_TRUE(drawn_at(drawn, t.first, t.second)) << t.first << ", " << t.second;
        auto f = map(front, x, y, z);
        EXPECT_TRUE(drawn_at(drawn, f.first, f.second)) << f.first << ", " << f.second;
    }
}

TEST_F(ViewsMappingTest, AChildViewToTheRightSharesItsParentsSheetYAndStartsWithItsLayersAndDisplay) {
    tag_t other = add_box(0, 0, 100, 10, 10, 10);  // far above the block, on a layer the parent stops showing
    UF_OBJ_set_layer(other, 5);
    tag_t top = import_view("top", 100, 150, 0.5);
    char name[UF_OBJ_NAME_BUFSIZE];
    ASSERT_EQ(UF_OBJ_ask_name(top, name), 0);
    int layers[UF_LAYER_MAX_LAYER], count = 0;
    ASSERT_EQ(uc6446(name, &count, layers), 0);
    layers[4] = 0;
    ASSERT_EQ(uc6447(name, count, layers), 0);
    UF_DRAW_view_prefs_t prefs;
    ASSERT_EQ(UF_DRAW_ask_view_display(top, &prefs), 0);
    prefs.hidden_edges = 2;
    ASSERT_EQ(UF_DRAW_set_view_display(top, &prefs), 0);

    const double right_of[2] = {220, 0};
    tag_t side = NULL_TAG;
    ASSERT_EQ(UF_DRAW_add_orthographic_view(drawing_, top, UF_DRAW_project_right, right_of, &side), 0);
    // Seen from +X with +Y up, the top of the block (+Z) towards the parent: right -Z, extent centre (-20, 30) at
    // x 220 and at the parent's sheet y of y = 30, which is 150.
    auto origin = map(side, 0, 0, 0);
    EXPECT_NEAR(origin.first, 230, 1e-9);
    EXPECT_NEAR(origin.second, 135, 1e-9);
    EXPECT_NEAR(origin.second, map(top, 0, 0, 0).second, 1e-9);
    auto corner = map(side, 100, 60, 40);
    EXPECT_NEAR(corner.first, 210, 1e-9);
    EXPECT_NEAR(corner.second, 165, 1e-9);
    double ref[2];
    ASSERT_EQ(UF_DRAW_ask_drawing_ref_pt(side, ref), 0);
    EXPECT_NEAR(ref[0], 220, 1e-9);
    EXPECT_NEAR(ref[1], 150, 1e-9);

    // Rescaling and moving the parent carries the child along, point for point in y.
    ASSERT_EQ(UF_DRAW_set_view_scale(top, 1.0), 0);
    const double moved[2] = {90, 120};
    ASSERT_EQ(UF_DRAW_set_drawing_ref_pt(drawing_, top, moved), 0);
    for (double y : {0.0, 12.5, 60.0}) EXPECT_NEAR(map(side, 0, y, 0).second, map(top, 0, y, 0).second, 1e-9) << y;
    EXPECT_NEAR(map(side, 0, 0, 40).first, 220 - 20, 1e-9) << "its own x stays, at the new scale";

    // The block of layer 5 would widen the child's extent and move the block off its place: it is not shown.
    int n = 0, m = 0;
    tag_t *visible = nullptr, *clipped = nullptr;
    ASSERT_EQ(UF_VIEW_ask_visible_objects(side, &n, &visible, &m, &clipped), 0);
    ASSERT_EQ(n, 1);
    EXPECT_EQ(visible[0], block_);
    UF_free(visible);
    UF_free(clipped);
    UF_DRAW_view_prefs_t child_prefs;
    ASSERT_EQ(UF_DRAW_ask_view_display(side, &child_prefs), 0);
    EXPECT_EQ(child_prefs.hidden_edges, 2);

    auto drawn = sheet();
    for (auto [x, y, z] : {std::tuple{0.0, 0.0, 0.0}, std::tuple{100.0, 60.0, 40.0}}) {
        auto s = map(side, x, y, z);
        EXPECT_TRUE(drawn_at(drawn, s.first, s.second)) << s.first << ", " << s.second;
    }
}

TEST_F(ViewsMappingTest, ViewsShowTheirLayersNotBlankedNotErasedAndHiddenEdgesAsAsked) {
    // A hole through the block: in the front view its sides lie behind the block's front face.
    UF_OBJ_delete_object(block_);
    TopoDS_Shape drilled =
        BRepAlgoAPI_Cut(BRepPrimAPI_MakeBox(100, 60, 40).Shape(),
                        BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(50, 30, -1), gp::DZ()), 10, 42).Shape())
            .Shape();
    tag_t body = add_solid(drilled);
    tag_t other = add_box(200, 0, 0, 10, 10, 10);
    UF_OBJ_set_layer(other, 5);
    double p[3] = {50, 30, 40};
    tag_t point = NULL_TAG;
    UF_CURVE_create_point(p, &point);

    UF_LAYER_set_status(5, UF_LAYER_INACTIVE_LAYER);
    tag_t front = import_view("front", 150, 105, 1.0);
    int n = 0, m = 0;
    tag_t *visible = nullptr, *clipped = nullptr;
    ASSERT_EQ(UF_VIEW_ask_visible_objects(front, &n, &visible, &m, &clipped), 0);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(visible[0], body);
    EXPECT_EQ(visible[1], point);
    UF_free(visible);
    UF_free(clipped);

    auto dashed = [&] {
        int count = 0;
        for (const auto& line : sheet().polylines) count += line.stroke.pattern == cadhost::render::LinePattern::Dashed;
        return count;
    };
    EXPECT_EQ(dashed(), 0) << "hidden edges are left out by default";
    UF_DRAW_view_prefs_t prefs;
    ASSERT_EQ(UF_DRAW_ask_view_display(front, &prefs), 0);
    prefs.hidden_edges = 2;
    ASSERT_EQ(UF_DRAW_set_view_display(front, &prefs), 0);
    EXPECT_GE(dashed(), 2) << "the hole's two sides";

    char name[UF_OBJ_NAME_BUFSIZE];
    ASSERT_EQ(UF_OBJ_ask_name(front, name), 0);
    ASSERT_EQ(uc6400(name, point), 0);
    int layers[UF_LAYER_MAX_LAYER], count = 0;
    ASSERT_EQ(uc6446(name, &count, layers), 0);
    EXPECT_EQ(count, 256);
    EXPECT_EQ(layers[4], 0) << "layer 5 was inactive when the view was made";
    layers[4] = 1;
    ASSERT_EQ(uc6447(name, count, layers), 0);
    ASSERT_EQ(UF_VIEW_ask_visible_objects(front, &n, &visible, &m, &clipped), 0);
    EXPECT_EQ(n, 2) << "the erased point is gone, the block of layer 5 is shown";
    EXPECT_EQ(visible[1], other);
    UF_free(visible);
    UF_free(clipped);
}

TEST_F(ViewsMappingTest, TheSameBodiesSeenTheSameWayAreProjectedOnce) {
    cadhost::drafting::ProjectionStore::shared().clear();  // other tests may have projected an equal block
    import_view("top", 100, 100, 1.0);
    sheet();
    long after_first = cadhost::drafting::projections_computed();
    import_view("top", 200, 100, 0.5);  // same bodies, same side, another place and scale
    sheet();
    sheet();
    EXPECT_EQ(cadhost::drafting::projections_computed(), after_first);
    import_view("front", 100, 50, 1.0);
    sheet();
    EXPECT_EQ(cadhost::drafting::projections_computed(), after_first + 1);
}

}  // namespace
