// The touch-point label: on a touch point's sheet only, its leader on the point in the view the run named, its text
// clear of what the sheet already shows.
#include <BRepPrimAPI_MakeBox.hxx>

#include "cadhost/drafting/dimension_layout.h"
#include "cadhost/drafting/touch_label.h"
#include "drafting/drafting_fixture.h"
#include "host/sheet_setup.h"

namespace {

using cadhost::render::SheetGraphics;
using cadhost::render::Text;

class TouchLabel : public testing_support::DraftingTest {
  protected:
    // A core-like block seen from the top at (100, 100), and the run's record of a touch point at (10, 5, 0).
    tag_t view_ = NULL_TAG;
    void SetUp() override {
        DraftingTest::SetUp();
        add_solid(BRepPrimAPI_MakeBox(gp_Pnt(-40, -30, -20), gp_Pnt(40, 30, 0)).Shape());
        view_ = import_view("TOP", 100, 100, 1.0);
        record(1);
    }
    void record(int touch) {
        char name[UF_OBJ_NAME_BUFSIZE] = "";
        ASSERT_EQ(UF_OBJ_ask_name(view_, name), 0);
        auto& attributes = doc().find(drawing_)->attributes;
        attributes = {{SHEET_SETUP_EDM_TOUCH, touch},
                      {SHEET_SETUP_TOP_VIEW, std::string(name)},
                      {SHEET_SETUP_EDM_MODEL_X, 10.0},
                      {SHEET_SETUP_EDM_MODEL_Y, 5.0},
                      {SHEET_SETUP_EDM_MODEL_Z, 0.0}};
    }
    static Text crowd_text(double x, double y) {
        Text t;
        t.text = "888.888";
        t.anchor = {x, y};
        t.alignment = 5;
        return t;
    }
};

TEST_F(TouchLabel, LeaderOnThePointTextClearOfACrowd) {
    const auto tip = map(view_, 10, 5, 0);
    SheetGraphics drawn = sheet();
    const auto open = cadhost::drafting::touch_label(doc(), drawing_, drawn);
    ASSERT_TRUE(open);
    EXPECT_NEAR(open->leader_x, tip.first, 1e-9);
    EXPECT_NEAR(open->leader_y, tip.second, 1e-9);
    EXPECT_EQ(open->lines, std::vector<std::string>{cadhost::drafting::kTouchLabelText});

    // Values all round the place it took: it moves off to where none of them is.
    SheetGraphics crowded = drawn;
    for (double dx = -30; dx <= 30; dx += 6)
        for (double dy = -24; dy <= 24; dy += 6)
            crowded.texts.push_back(crowd_text(open->origin_x + dx, open->origin_y + dy));
    const auto moved = cadhost::drafting::touch_label(doc(), drawing_, crowded);
    ASSERT_TRUE(moved);
    EXPECT_NEAR(moved->leader_x, tip.first, 1e-9);
    const double width = cadhost::drafting::text_width(moved->lines[0], moved->style);
    const double left = moved->style->alignment == 4 ? moved->origin_x : moved->origin_x - width;
    for (const Text& t : crowded.texts) {
        if (t.text != "888.888") continue;
        const double half = cadhost::drafting::text_width(t.text, moved->style) / 2;
        const bool apart = t.anchor.x + half < left || t.anchor.x - half > left + width ||
                           std::abs(t.anchor.y - moved->origin_y) > moved->style->height + 1.0;
        EXPECT_TRUE(apart) << t.anchor.x << " " << t.anchor.y;
    }

    // A circle drawn through the place it took: it moves clear of lines too.
    SheetGraphics crossed = drawn;
    crossed.arcs.push_back({{open->origin_x, open->origin_y}, 1.5, 0.0, 2 * M_PI, {}, "VIEW-TOP"});
    const auto clear = cadhost::drafting::touch_label(doc(), drawing_, crossed);
    ASSERT_TRUE(clear);
    EXPECT_TRUE(clear->origin_x != open->origin_x || clear->origin_y != open->origin_y);
}

TEST_F(TouchLabel, OnlyOnATouchPointSheetWithItsView) {
    record(0);
    EXPECT_FALSE(cadhost::drafting::touch_label(doc(), drawing_, sheet()));
    record(1);
    doc().find(drawing_)->attributes[1].value = std::string("NO SUCH VIEW");
    EXPECT_FALSE(cadhost::drafting::touch_label(doc(), drawing_, sheet()));
}

}  // namespace
