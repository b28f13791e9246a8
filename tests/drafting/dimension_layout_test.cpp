// How the host lays out dimensions on the sheet: values beside their lines and turned with vertical ones, lines that
// run on under a moved value, arrowheads outside short dimensions, extension lines that leave a centre line at its
// near end, and ordinate values standing on their extension lines past doglegs that jog at their angle.
#include <cmath>

#include "cadhost/drafting/dimension_layout.h"
#include "drafting_fixture.h"
#include "host/uf_curve.h"
#include "host/uf_drf.h"

namespace {

using cadhost::drafting::layout_dimension;
using testing_support::DraftingTest;

class DimensionLayoutTest : public DraftingTest {
  protected:
    void SetUp() override {
        DraftingTest::SetUp();
        add_box(-50, -50, -20, 100, 100, 20);
        top_ = import_view("top", 150, 100, 1.0);
        // Values by hand, where the command puts them.
        int mpi[UF_DRF_PREF_INTEGERS];
        double mpr[UF_DRF_PREF_REALS];
        char r[UF_DRF_SYMBOL_TEXT_SIZE], d[UF_DRF_SYMBOL_TEXT_SIZE];
        ASSERT_EQ(UF_DRF_ask_preferences(mpi, mpr, r, d), 0);
        mpi[3] = 2;
        ASSERT_EQ(UF_DRF_set_preferences(mpi, mpr, r, d), 0);
    }
    static tag_t point(double x, double y) {
        const double p[3] = {x, y, 0};
        tag_t tag = NULL_TAG;
        EXPECT_EQ(UF_CURVE_create_point(p, &tag), 0);
        return tag;
    }
    UF_DRF_object_t anchor(tag_t object) const {
        UF_DRF_object_t o;
        UF_DRF_init_object_structure(&o);
        o.object_tag = object;
        o.object_view_tag = top_;
        return o;
    }
    cadhost::drafting::DimensionLayout linear(bool horizontal, tag_t a, tag_t b, double x, double y) {
        UF_DRF_object_t first = anchor(a), second = anchor(b);
        char h[] = "h";
        UF_DRF_text_t text{h, 0, nullptr};
        const double at[3] = {x, y, 0};
        tag_t dim = NULL_TAG;
        EXPECT_EQ(horizontal ? UF_DRF_create_horizontal_dim(&first, &second, &text, at, &dim)
                             : UF_DRF_create_vertical_dim(&first, &second, &text, at, &dim),
                  0);
        return *layout_dimension(doc(), *doc().find(dim)->as<cadhost::AnnotationData>());
    }
    // The drawn line that runs along the sheet's x (or y) at the given height (or column).
    static const std::pair<cadhost::render::Point2, cadhost::render::Point2>* line_at(
        const cadhost::drafting::DimensionLayout& l, bool along_x, double across) {
        for (const auto& s : l.lines) {
            if (along_x && std::fabs(s.first.y - across) < 1e-9 && std::fabs(s.second.y - across) < 1e-9) return &s;
            if (!along_x && std::fabs(s.first.x - across) < 1e-9 && std::fabs(s.second.x - across) < 1e-9) return &s;
        }
        return nullptr;
    }
    tag_t top_ = NULL_TAG;
};

TEST_F(DimensionLayoutTest, VerticalValuesAreTurnedAndStandLeftOfTheirLine) {
    const auto l = linear(false, point(0, 0), point(0, 30), 170, 115);
    EXPECT_DOUBLE_EQ(l.text_angle, 90.0);
    EXPECT_NEAR(l.text_at.x, 170, 1e-9);
    EXPECT_NEAR(l.text_at.y, 115, 1e-9);
    // The default lettering: 3.5 high, a gap of 1: the line 2.75 to the right of the value's middle.
    const auto* dim_line = line_at(l, false, 172.75);
    ASSERT_NE(dim_line, nullptr);
    EXPECT_NEAR(std::min(dim_line->first.y, dim_line->second.y), 100, 1e-9);
    EXPECT_NEAR(std::max(dim_line->first.y, dim_line->second.y), 130, 1e-9);
    ASSERT_EQ(l.arrows.size(), 2u);
    EXPECT_NEAR(l.arrows[0].first.y, 100, 1e-9) << "arrowheads inside, pointing at the extension lines";
    EXPECT_GT(l.arrows[0].second.y, 100);
}

TEST_F(DimensionLayoutTest, AValuePutBeyondAnExtensionLineStillStandsOnItsLine) {
    // From x 150 to 160, the value put at x 180: the dimension line runs on to the value's far end.
    const auto l = linear(true, point(0, 0), point(10, 0), 180, 130);
    const double line_y = 130 - 3.5 / 2 - 1;
    const auto* dim_line = line_at(l, true, line_y);
    ASSERT_NE(dim_line, nullptr);
    EXPECT_NEAR(std::min(dim_line->first.x, dim_line->second.x), 150, 1e-9);
    EXPECT_GT(std::max(dim_line->first.x, dim_line->second.x), 181.5) << "under the whole value";
    EXPECT_DOUBLE_EQ(l.text_angle, 0.0);
}

TEST_F(DimensionLayoutTest, ShortDimensionsTakeTheirArrowheadsOutside) {
    const auto l = linear(true, point(0, 0), point(2, 0), 151, 130);
    ASSERT_EQ(l.arrows.size(), 2u);
    // Each arrowhead comes from outside the 2 mm span towards its extension line.
    EXPECT_NEAR(l.arrows[0].first.x, 150, 1e-9);
    EXPECT_LT(l.arrows[0].second.x, 150);
    EXPECT_NEAR(l.arrows[1].first.x, 152, 1e-9);
    EXPECT_GT(l.arrows[1].second.x, 152);
    const auto* dim_line = line_at(l, true, 130 - 2.75);
    ASSERT_NE(dim_line, nullptr);
    EXPECT_LT(std::min(dim_line->first.x, dim_line->second.x), 150 - 3) << "the line carries the outer arrowheads";
}

TEST_F(DimensionLayoutTest, AnExtensionLineLeavesACentreLineAtItsNearEnd) {
    // A line along y from -60 to 60 through x 0; the dimension above the part, from the point at (20, 0).
    UF_CURVE_line_t data = {{0, -60, 0}, {0, 60, 0}};
    tag_t line = NULL_TAG;
    ASSERT_EQ(UF_CURVE_create_line(&data, &line), 0);
    const auto l = linear(true, point(20, 0), line, 160, 175);
    const double line_y = 175 - 2.75;
    // The extension line of the centre line starts 1 above its upper end (sheet y 160), not at its lower end.
    bool found = false;
    for (const auto& s : l.lines) {
        if (std::fabs(s.first.x - 150) > 1e-9 || std::fabs(s.second.x - 150) > 1e-9) continue;
        EXPECT_NEAR(std::min(s.first.y, s.second.y), 161, 1e-9);
        EXPECT_NEAR(std::max(s.first.y, s.second.y), line_y + 2, 1e-9);
        found = true;
    }
    EXPECT_TRUE(found);
}

TEST_F(DimensionLayoutTest, AMovedOrdinateJogsAtTheDoglegAngleThenRunsStraightToTheMargin) {
    UF_DRF_object_t at_origin = anchor(point(0, 0));
    tag_t origin = NULL_TAG, margin = NULL_TAG, ordinate = NULL_TAG;
    ASSERT_EQ(UF_DRF_create_ordorigin(&at_origin, 1, 1, 2, "", &origin), 0);
    const double zero3[3] = {0, 0, 0}, zero2[2] = {0, 0};
    // A vertical margin 60 left of the origin; the value of a point 20 up is moved 9 further up.
    ASSERT_EQ(UF_DRF_create_ordmargin(UF_DRF_ORD_VERTICAL_MARGIN, origin, &at_origin, zero3, zero2, -60.0, &margin), 0);
    UF_DRF_object_t target = anchor(point(-10, 20));
    char a[] = "a";
    UF_DRF_text_t text{a, 0, nullptr};
    const double moved[3] = {0, 129, 0};
    ASSERT_EQ(UF_DRF_create_orddimension(margin, 2, &target, 60.0, 3.0, &text, 1, moved, &ordinate), 0);
    const auto l = *layout_dimension(doc(), *doc().find(ordinate)->as<cadhost::AnnotationData>());
    ASSERT_EQ(l.lines.size(), 3u);
    // Straight from the object, the jog, 3 straight into the margin at x 90.
    EXPECT_NEAR(l.lines[0].first.x, 139, 1e-9);
    EXPECT_NEAR(l.lines[0].first.y, 120, 1e-9);
    const auto& jog = l.lines[1];
    const double dx = std::fabs(jog.second.x - jog.first.x), dy = std::fabs(jog.second.y - jog.first.y);
    EXPECT_NEAR(dy, 9, 1e-9);
    EXPECT_NEAR(std::atan2(dy, dx) * 180 / M_PI, 60, 1e-9) << "60 degrees from the extension line";
    // Then on beyond the margin under the value, which stands on the line and ends at the margin.
    const double value_width = cadhost::drafting::text_width("20.00", cadhost::AnnotationStyle{});
    EXPECT_NEAR(l.lines[2].first.x, 93, 1e-9);
    EXPECT_NEAR(l.lines[2].second.x, 90 - value_width, 1e-9);
    EXPECT_NEAR(l.lines[2].second.y, 129, 1e-9);
    EXPECT_EQ(l.alignment, 9) << "bottom right: above the line, ending at the margin";
    EXPECT_NEAR(l.text_at.x, 90, 1e-9);
    EXPECT_NEAR(l.text_at.y, 130, 1e-9) << "a gap of 1 above the line";
    EXPECT_NEAR(l.measured, 20, 1e-9);

    // The zero on the far end of a centre line through the origin: its extension line leaves the end near the margin.
    UF_CURVE_line_t data = {{-45, 0, 0}, {45, 0, 0}};
    tag_t line = NULL_TAG;
    ASSERT_EQ(UF_CURVE_create_line(&data, &line), 0);
    UF_DRF_object_t far_end = anchor(line);
    far_end.object_assoc_modifier = 2;
    ASSERT_EQ(UF_DRF_create_orddimension(margin, 2, &far_end, 0.0, 0.0, &text, 1, zero3, &ordinate), 0);
    const auto zero = *layout_dimension(doc(), *doc().find(ordinate)->as<cadhost::AnnotationData>());
    ASSERT_EQ(zero.lines.size(), 1u);
    EXPECT_NEAR(std::max(zero.lines[0].first.x, zero.lines[0].second.x), 104, 1e-9) << "1 beyond the end at 105";
    EXPECT_NEAR(std::min(zero.lines[0].first.x, zero.lines[0].second.x),
                90 - cadhost::drafting::text_width("0.00", cadhost::AnnotationStyle{}), 1e-9);
    EXPECT_NEAR(zero.measured, 0, 1e-9);
}

}  // namespace
