// Model views: the standard orientations, and views saved from the turned work view look from the side expected.
#include <cmath>

#include "host/uf_draw.h"
#include "host/uf_obj.h"
#include "host/uf_view.h"
#include "support/host_fixture.h"
#include "support/turned_views.h"

namespace {

class ViewsTest : public testing_support::HostTest {
  protected:
    static const cadhost::ViewOrientation& orientation(const char* name) {
        tag_t tag = NULL_TAG;
        EXPECT_EQ(UF_OBJ_cycle_by_name(name, &tag), 0);
        EXPECT_NE(tag, NULL_TAG) << name;
        return doc().find(tag)->as<cadhost::ModelViewData>()->orientation;
    }
    static void expect_dir(const gp_Dir& d, double x, double y, double z, const char* what) {
        gp_Dir wanted(x, y, z);
        EXPECT_LT(d.Angle(wanted), 1e-12) << what << ": (" << d.X() << ", " << d.Y() << ", " << d.Z() << ")";
    }
};

TEST_F(ViewsTest, StandardViewsAreFoundInEitherCaseWithTheirOrientations) {
    struct Row {
        const char* name;
        double right[3], up[3], eye[3];
    };
    const Row rows[] = {
        {"top", {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},       {"BOTTOM", {1, 0, 0}, {0, -1, 0}, {0, 0, -1}},
        {"front", {1, 0, 0}, {0, 0, 1}, {0, -1, 0}},    {"Back", {-1, 0, 0}, {0, 0, 1}, {0, 1, 0}},
        {"right", {0, 1, 0}, {0, 0, 1}, {1, 0, 0}},     {"LEFT", {0, -1, 0}, {0, 0, 1}, {-1, 0, 0}},
        {"tfr-iso", {1, 1, 0}, {-1, 1, 2}, {1, -1, 1}},
    };
    for (const Row& row : rows) {
        tag_t tag = NULL_TAG;
        ASSERT_EQ(UF_OBJ_cycle_by_name(row.name, &tag), 0);
        int type = 0, subtype = 0;
        ASSERT_EQ(UF_OBJ_ask_type_and_subtype(tag, &type, &subtype), 0);
        EXPECT_EQ(type, 60);
        EXPECT_EQ(subtype, 7);
        const auto& o = orientation(row.name);
        expect_dir(o.right, row.right[0], row.right[1], row.right[2], row.name);
        expect_dir(o.up, row.up[0], row.up[1], row.up[2], row.name);
        expect_dir(o.toward_eye, row.eye[0], row.eye[1], row.eye[2], row.name);
    }
}

TEST_F(ViewsTest, TurnedIsoViewsLookFromTheSidesTheirNamesSay) {
    testing_support::make_turned_views();
    expect_dir(doc().work_view().toward_eye, 1, -1, 1, "work view restored");

    // The eye sits on the named side: below, at +X, at -X, at -Y (the front), at +Y.
    const double s = 1.0;
    expect_dir(orientation("reve_iso").toward_eye, -s, -s, -s, "reve_iso");
    EXPECT_GT(orientation("reve_s").toward_eye.X(), 0.5);
    EXPECT_LT(orientation("reve_s_r").toward_eye.X(), -0.5);
    EXPECT_LT(orientation("reve_f").toward_eye.Y(), -0.5);
    EXPECT_GT(orientation("reve_f_r").toward_eye.Y(), 0.5);
    EXPECT_LT(orientation("REVE_ISO").toward_eye.Z(), -0.5);
    // The standard view itself is untouched by the turns.
    expect_dir(orientation("tfr-iso").toward_eye, 1, -1, 1, "tfr-iso");

    EXPECT_EQ(uc6464("", "", "no_such_view"), UF_err_view_not_found);
    EXPECT_EQ(uc6464("L9", "", "top"), UF_err_not_supported);
    int state = 0;
    ASSERT_EQ(UF_DRAW_ask_display_state(&state), 0);
    EXPECT_EQ(state, UF_DRAW_MODEL_DISPLAY);
}

}  // namespace
