// The reversed model views: each looks at the model from its side, and they are made once.
#include "cadhost/session/session.h"
#include "host/uf_draw.h"
#include "my_func/model_views.h"
#include "support/host_fixture.h"

namespace {

class ModelViewsTest : public testing_support::HostTest {
  protected:
    gp_Dir eye(const char* name) {
        tag_t view = doc().find_model_view(name);
        EXPECT_NE(view, NULL_TAG) << name;
        return view ? doc().find(view)->as<cadhost::ModelViewData>()->orientation.toward_eye : gp_Dir();
    }
};

TEST_F(ModelViewsTest, FiveViewsLookFromTheirSidesAndTheWorkViewIsIsoAgain) {
    ASSERT_EQ(prepare_model_views(), 1);
    EXPECT_LT(eye("reve_iso").Z(), 0) << "reve_iso looks from below";
    EXPECT_GT(eye("reve_s").X(), 0);
    EXPECT_LT(eye("reve_s_r").X(), 0);
    EXPECT_LT(eye("reve_f").Y(), 0);
    EXPECT_GT(eye("reve_f_r").Y(), 0);
    EXPECT_TRUE(doc().work_view().toward_eye.IsEqual(eye("tfr-iso"), 1e-9));
    EXPECT_TRUE(session().ui().messages().empty());
    EXPECT_EQ(session().ui().listing(), "");
}

TEST_F(ModelViewsTest, ALaterRunFindsTheViewsAndChangesNothing) {
    ASSERT_EQ(prepare_model_views(), 1);
    doc().remove(doc().find_model_view("reve_s"));
    const std::size_t objects = doc().objects().size();
    // An application the routine would refuse: it is not even asked when "reve_iso" exists.
    doc().set_application_module(99);
    EXPECT_EQ(prepare_model_views(), 1);
    EXPECT_EQ(doc().objects().size(), objects);
    EXPECT_EQ(doc().find_model_view("reve_s"), NULL_TAG) << "a view deleted by hand is not made again";
    EXPECT_TRUE(session().ui().messages().empty());
}

TEST_F(ModelViewsTest, RefusedOutsideModellingAndDrafting) {
    doc().set_application_module(99);
    EXPECT_EQ(prepare_model_views(), 0);
    EXPECT_EQ(doc().find_model_view("reve_iso"), NULL_TAG);
    EXPECT_EQ(session().ui().messages(), std::vector<std::string>{"此功能必需在MODELING或在DRAFTING模块下运行!"});
}

TEST_F(ModelViewsTest, DraftingWithTheModelShownMakesTheViewsWithoutSwitching) {
    doc().set_application_module(UF_APP_DRAFTING);
    ASSERT_EQ(prepare_model_views(), 1);
    EXPECT_EQ(doc().display_state(), 1);
    EXPECT_NE(doc().find_model_view("reve_f_r"), NULL_TAG);
}

TEST_F(ModelViewsTest, DraftingWithASheetShownTurnsTheViewsInTheModelAndShowsTheSheetAgain) {
    doc().set_application_module(UF_APP_DRAFTING);
    UF_DRAW_info_t info{};
    info.size_state = UF_DRAW_METRIC_SIZE;
    info.size.metric_size_code = 4;
    info.drawing_scale = 1.0;
    info.units = UF_PART_METRIC;
    info.projection_angle = UF_DRAW_THIRD_ANGLE_PROJECTION;
    tag_t sheet = NULL_TAG;
    ASSERT_EQ(UF_DRAW_create_drawing("SHEET1", &info, &sheet), 0);
    int state = 0;
    ASSERT_EQ(UF_DRAW_ask_display_state(&state), 0);
    ASSERT_EQ(state, UF_DRAW_DRAWING_DISPLAY) << "a new sheet is displayed";

    ASSERT_EQ(prepare_model_views(), 1);
    EXPECT_LT(eye("reve_iso").Z(), 0) << "the views are turned in the model, not on the sheet";
    ASSERT_EQ(UF_DRAW_ask_display_state(&state), 0);
    EXPECT_EQ(state, UF_DRAW_DRAWING_DISPLAY) << "the user gets the sheet back";
    tag_t current = NULL_TAG;
    ASSERT_EQ(UF_DRAW_ask_current_drawing(&current), 0);
    EXPECT_EQ(current, sheet);
    EXPECT_TRUE(session().ui().messages().empty());
}

}  // namespace
