// Modelling queries against values known from construction.
#include <algorithm>
#include <cmath>
#include <set>
#include <vector>

#include <BRepAlgoAPI_Cut.hxx>
#include <BRepPrimAPI_MakeSphere.hxx>
#include <gp_Ax2.hxx>

#include "host/uf_curve.h"
#include "host/uf_layer.h"
#include "host/uf_modl.h"
#include "host/uf_obj.h"
#include "support/host_fixture.h"

namespace {

class ModlTest : public testing_support::HostTest {
  protected:
    std::vector<tag_t> list_items(uf_list_p_t list) {
        int count = 0;
        EXPECT_EQ(UF_MODL_ask_list_count(list, &count), 0);
        std::vector<tag_t> items(count);
        for (int i = 0; i < count; ++i) EXPECT_EQ(UF_MODL_ask_list_item(list, i, &items[i]), 0);
        return items;
    }
    std::vector<tag_t> body_faces(tag_t body) {
        uf_list_p_t list = nullptr;
        EXPECT_EQ(UF_MODL_ask_body_faces(body, &list), 0);
        auto items = list_items(list);
        UF_MODL_delete_list(&list);
        return items;
    }
    std::vector<tag_t> body_edges(tag_t body) {
        uf_list_p_t list = nullptr;
        EXPECT_EQ(UF_MODL_ask_body_edges(body, &list), 0);
        auto items = list_items(list);
        UF_MODL_delete_list(&list);
        return items;
    }
    static int face_type(tag_t face) {
        int type = 0;
        EXPECT_EQ(UF_MODL_ask_face_type(face, &type), 0);
        return type;
    }
};

TEST_F(ModlTest, ABoxHasSixPlanarFacesAndTwelveLinearEdgesWithTheirCorners) {
    tag_t box = add_box(-10, -20, 0, 20, 40, 15);
    auto faces = body_faces(box);
    auto edges = body_edges(box);
    ASSERT_EQ(faces.size(), 6u);
    ASSERT_EQ(edges.size(), 12u);
    EXPECT_EQ(body_faces(box), faces) << "asking again gives the same tags";
    for (tag_t face : faces) EXPECT_EQ(face_type(face), UF_MODL_PLANAR_FACE);

    std::set<std::vector<double>> corners;
    for (tag_t edge : edges) {
        int type = 0;
        ASSERT_EQ(UF_MODL_ask_edge_type(edge, &type), 0);
        EXPECT_EQ(type, UF_MODL_LINEAR_EDGE);
        double p1[3], p2[3];
        int count = -1;
        ASSERT_EQ(UF_MODL_ask_edge_verts(edge, p1, p2, &count), 0);
        ASSERT_EQ(count, 2);
        corners.insert({p1[0], p1[1], p1[2]});
        corners.insert({p2[0], p2[1], p2[2]});
    }
    EXPECT_EQ(corners.size(), 8u);
    EXPECT_TRUE(corners.count({-10, -20, 0}));
    EXPECT_TRUE(corners.count({10, 20, 15}));

    // Each face has four edges, all of them edges of the body.
    uf_list_p_t list = nullptr;
    ASSERT_EQ(UF_MODL_ask_face_edges(faces[0], &list), 0);
    auto face_edges = list_items(list);
    UF_MODL_delete_list(&list);
    ASSERT_EQ(face_edges.size(), 4u);
    for (tag_t e : face_edges) EXPECT_NE(std::find(edges.begin(), edges.end(), e), edges.end());

    double bbox[6];
    ASSERT_EQ(UF_MODL_ask_bounding_box(box, bbox), 0);
    const double expected[6] = {-10, -20, 0, 10, 20, 15};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(bbox[i], expected[i], 1e-9) << i;
}

TEST_F(ModlTest, AFullCircleEdgeHasNoVertexAndIsSampledWithinTheChordTolerance) {
    const double radius = 12.0, height = 30.0;
    tag_t cylinder = add_solid(BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(5, 6, 0), gp::DZ()), radius, height).Shape());
    auto faces = body_faces(cylinder);
    ASSERT_EQ(faces.size(), 3u);
    int cylindrical = 0;
    for (tag_t f : faces) cylindrical += face_type(f) == UF_MODL_CYLINDRICAL_FACE;
    EXPECT_EQ(cylindrical, 1);

    int circles = 0;
    for (tag_t edge : body_edges(cylinder)) {
        int type = 0;
        UF_MODL_ask_edge_type(edge, &type);
        double p1[3], p2[3];
        int count = -1;
        ASSERT_EQ(UF_MODL_ask_edge_verts(edge, p1, p2, &count), 0);
        if (type != UF_MODL_CIRCULAR_EDGE) {
            EXPECT_EQ(count, 2) << "the seam line";
            continue;
        }
        ++circles;
        EXPECT_EQ(count, 0);
        int n = 0;
        double* points = nullptr;
        ASSERT_EQ(UF_MODL_ask_curve_points(edge, 0.02, 0, 0, &n, &points), 0);
        ASSERT_GT(n, 8);
        double max_sagitta = 0;
        for (int i = 0; i + 1 < n; ++i) {
            const double* a = points + 3 * i;
            const double* b = points + 3 * i + 3;
            EXPECT_NEAR(std::hypot(a[0] - 5, a[1] - 6), radius, 1e-7) << "points lie on the circle";
            double mx = (a[0] + b[0]) / 2 - 5, my = (a[1] + b[1]) / 2 - 6;
            max_sagitta = std::max(max_sagitta, radius - std::hypot(mx, my));
        }
        EXPECT_LE(max_sagitta, 0.02);
        EXPECT_GT(max_sagitta, 0.002) << "not absurdly over-sampled";
        // The samples span the circle: their box is the circle's box within the chordal tolerance.
        double lo = 1e9, hi = -1e9;
        for (int i = 0; i < n; ++i) lo = std::min(lo, points[3 * i]), hi = std::max(hi, points[3 * i]);
        EXPECT_NEAR(lo, 5 - radius, 1e-9) << "the samples include the circle's extremes along the axes";
        EXPECT_NEAR(hi, 5 + radius, 1e-9);
        UF_free(points);

        double box[6];
        ASSERT_EQ(UF_MODL_ask_bounding_box(edge, box), 0);
        EXPECT_NEAR(box[0], 5 - radius, 1e-6);
        EXPECT_NEAR(box[4], 6 + radius, 1e-6);
    }
    EXPECT_EQ(circles, 2);
    double box[6];
    ASSERT_EQ(UF_MODL_ask_bounding_box(cylinder, box), 0);
    EXPECT_NEAR(box[0], 5 - radius, 1e-6);
    EXPECT_NEAR(box[3], 5 + radius, 1e-6);
    EXPECT_NEAR(box[5], height, 1e-6);
}

TEST_F(ModlTest, FreeCurvesAnswerTheEdgeQueries) {
    UF_CURVE_line_t line{{0, 0, 0}, {10, 0, 0}};
    tag_t line_tag = NULL_TAG;
    ASSERT_EQ(UF_CURVE_create_line(&line, &line_tag), 0);
    double* points = nullptr;
    int n = 0;
    ASSERT_EQ(UF_MODL_ask_curve_points(line_tag, 0.02, 0, 2.5, &n, &points), 0);
    EXPECT_EQ(n, 5) << "a step limit of 2.5 cuts a 10 mm line into four chords";
    UF_free(points);
    UF_CURVE_arc_t arc{{1, 2, 3}, 4.0, 0.0, M_PI / 2, {1, 0, 0}, {0, 1, 0}};
    tag_t arc_tag = NULL_TAG;
    ASSERT_EQ(UF_CURVE_create_arc(&arc, &arc_tag), 0);
    double box[6];
    ASSERT_EQ(UF_MODL_ask_bounding_box(arc_tag, box), 0);
    EXPECT_NEAR(box[0], 1, 1e-7);
    EXPECT_NEAR(box[1], 2, 1e-7);
    EXPECT_NEAR(box[3], 5, 1e-7);
    EXPECT_NEAR(box[4], 6, 1e-7);
    UF_CURVE_arc_t back{};
    ASSERT_EQ(UF_CURVE_ask_arc_data(arc_tag, &back), 0);
    EXPECT_DOUBLE_EQ(back.arc_center[2], 3);
    EXPECT_DOUBLE_EQ(back.radius, 4);
    double p[3];
    EXPECT_EQ(UF_CURVE_ask_point_data(arc_tag, p), UF_err_wrong_type);
    UF_CURVE_line_t empty{{1, 1, 1}, {1, 1, 1}};
    EXPECT_EQ(UF_CURVE_create_line(&empty, &line_tag), UF_err_bad_argument);
}

TEST_F(ModlTest, IsoclineCurvesWidenABoxToTheCylindersTrueSideLinesAndAreDeletedAgain) {
    // A cylinder lying along y: its widest lines in x are at x = +-R, away from every edge vertex of the face.
    const double radius = 8.0;
    tag_t cylinder = add_solid(BRepPrimAPI_MakeCylinder(gp_Ax2(gp_Pnt(0, 0, 0), gp::DY()), radius, 25).Shape());
    tag_t side = NULL_TAG;
    for (tag_t f : body_faces(cylinder))
        if (face_type(f) == UF_MODL_CYLINDRICAL_FACE) side = f;
    ASSERT_NE(side, NULL_TAG);

    const double x_dir[3] = {1, 0, 0};
    tag_t* curves = nullptr;
    int count = 0;
    ASSERT_EQ(UF_MODL_create_isocline_curves(side, x_dir, 0.0, 0.005, &curves, &count), 0);
    ASSERT_EQ(count, 2);
    double lo = 1e9, hi = -1e9;
    for (int i = 0; i < count; ++i) {
        double box[6];
        ASSERT_EQ(UF_MODL_ask_bounding_box(curves[i], box), 0);
        lo = std::min(lo, box[0]), hi = std::max(hi, box[3]);
        EXPECT_NEAR(box[4] - box[1], 25.0, 0.005) << "each line runs the whole length";
        UF_OBJ_disp_props_t props{};
        UF_OBJ_ask_display_properties(curves[i], &props);
        EXPECT_EQ(props.layer, 1) << "made on the work layer";
    }
    EXPECT_NEAR(lo, -radius, 0.005);
    EXPECT_NEAR(hi, radius, 0.005);
    int* statuses = nullptr;
    ASSERT_EQ(UF_OBJ_delete_array_of_objects(count, curves, &statuses), 0);
    UF_free(statuses);
    UF_free(curves);
    tag_t left = NULL_TAG;
    ASSERT_EQ(UF_LAYER_cycle_by_layer(1, &left), 0);
    EXPECT_EQ(left, cylinder) << "only the body stays on the layer";
    ASSERT_EQ(UF_LAYER_cycle_by_layer(1, &left), 0);
    EXPECT_EQ(left, NULL_TAG);

    const double y_dir[3] = {0, 1, 0};
    ASSERT_EQ(UF_MODL_create_isocline_curves(side, y_dir, 0.0, 0.005, &curves, &count), 0);
    EXPECT_EQ(count, 0) << "along its axis a cylinder has no extreme line";
    UF_free(curves);
    const double zero[3] = {0, 0, 0};
    EXPECT_EQ(UF_MODL_create_isocline_curves(side, zero, 0.0, 0.005, &curves, &count), UF_err_bad_argument);
}

TEST_F(ModlTest, ListsAreCheckedAndReleased) {
    uf_list_p_t list = nullptr;
    ASSERT_EQ(UF_MODL_create_list(&list), 0);
    ASSERT_EQ(UF_MODL_put_list_item(list, 42), 0);
    tag_t body = add_box(0, 0, 0, 1, 1, 1);
    ASSERT_EQ(UF_MODL_ask_body_faces(body, &list), 0) << "asking into a list appends";
    int count = 0;
    UF_MODL_ask_list_count(list, &count);
    EXPECT_EQ(count, 7);
    tag_t item = 1;
    EXPECT_EQ(UF_MODL_ask_list_item(list, 7, &item), UF_err_bad_list);
    EXPECT_EQ(item, NULL_TAG);
    uf_list_p_t copy = list;
    ASSERT_EQ(UF_MODL_delete_list(&list), 0);
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(UF_MODL_ask_list_count(copy, &count), UF_err_bad_list) << "a released list is refused, not read";
    EXPECT_EQ(UF_MODL_ask_face_edges(body, &list), UF_err_wrong_type);
}

}  // namespace
