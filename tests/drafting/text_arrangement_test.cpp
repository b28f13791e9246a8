// Crowded sheets: values and labels that their placement would leave on another text, on a line or off the sheet end
// clear of all of them, measured with the host's own text boxes, while texts that meet nothing keep their places and
// every value still reads what it measures.
#include <cmath>
#include <map>

#include "cadhost/drafting/annotation_geometry.h"
#include "cadhost/drafting/text_arrangement.h"
#include "drafting_fixture.h"
#include "host/uf_curve.h"
#include "host/uf_drf.h"

namespace {

using cadhost::drafting::Box;
using cadhost::drafting::crosses;
using cadhost::drafting::overlaps;
using cadhost::drafting::stroke_segments;
using cadhost::drafting::text_box;
using cadhost::render::SheetGraphics;
using testing_support::DraftingTest;

class TextArrangementTest : public DraftingTest {
  protected:
    void SetUp() override {
        DraftingTest::SetUp();
        add_box(0, 0, 0, 400, 300, 50);
        top_ = import_view("top", 120, 110, 0.2);  // the core spans 80 x 60 on the sheet, 80..160 by 80..140
        int mpi[UF_DRF_PREF_INTEGERS];
        double mpr[UF_DRF_PREF_REALS];
        char r[UF_DRF_SYMBOL_TEXT_SIZE], d[UF_DRF_SYMBOL_TEXT_SIZE];
        ASSERT_EQ(UF_DRF_ask_preferences(mpi, mpr, r, d), 0);
        // As the command writes values: by hand where it puts them, three decimals with their zeros, 3.175 high.
        mpi[3] = 2;
        mpi[9] = 3;
        mpi[90] = 1;
        mpr[32] = 3.175;
        mpr[34] = 0.2;
        ASSERT_EQ(UF_DRF_set_preferences(mpi, mpr, r, d), 0);
    }
    static tag_t point(double x, double y, double z = 50) {
        const double p[3] = {x, y, z};
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
    // A vertical margin left of the view carrying the y values of points at these model y, unmoved.
    std::vector<tag_t> y_ordinates(const std::vector<double>& ys) {
        UF_DRF_object_t at_origin = anchor(point(0, 0));
        tag_t origin = NULL_TAG, margin = NULL_TAG;
        EXPECT_EQ(UF_DRF_create_ordorigin(&at_origin, 1, 1, 2, "", &origin), 0);
        const double zero3[3] = {0, 0, 0}, zero2[2] = {0, 0};
        EXPECT_EQ(UF_DRF_create_ordmargin(UF_DRF_ORD_VERTICAL_MARGIN, origin, &at_origin, zero3, zero2, -6.0, &margin),
                  0);
        std::vector<tag_t> out;
        for (double y : ys) {
            UF_DRF_object_t target = anchor(point(200, y));
            char a[] = "a";
            UF_DRF_text_t text{a, 0, nullptr};
            tag_t ordinate = NULL_TAG;
            EXPECT_EQ(UF_DRF_create_orddimension(margin, 2, &target, 0.0, 0.0, &text, 1, zero3, &ordinate), 0);
            out.push_back(ordinate);
        }
        return out;
    }
    const cadhost::AnnotationData& data(tag_t tag) const { return *doc().find(tag)->as<cadhost::AnnotationData>(); }

    // Every pair of texts apart, no line into a text (a text's own dimension or leader may touch its edge), every text
    // on the sheet; the view's edges are given by their layer.
    static void expect_clear(const SheetGraphics& sheet) {
        std::vector<Box> boxes;
        for (const auto& t : sheet.texts) boxes.push_back(text_box(t));
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            const Box& b = boxes[i];
            const std::string& s = sheet.texts[i].text;
            EXPECT_TRUE(b.x0 >= 0 && b.y0 >= 0 && b.x1 <= sheet.width && b.y1 <= sheet.height) << s << " off the sheet";
            for (std::size_t j = i + 1; j < boxes.size(); ++j)
                EXPECT_FALSE(overlaps(b, boxes[j], 0.0)) << s << " on " << sheet.texts[j].text;
            for (const auto& line : stroke_segments(sheet))
                EXPECT_FALSE(crosses(line, b, -0.15)) << s << " crossed by (" << line.a.x << ' ' << line.a.y << ")-("
                                                      << line.b.x << ' ' << line.b.y << ')';
        }
    }
    static const cadhost::render::Text* text_of(const SheetGraphics& sheet, const std::string& s) {
        for (const auto& t : sheet.texts)
            if (t.text == s) return &t;
        return nullptr;
    }

    tag_t top_ = NULL_TAG;
};

TEST_F(TextArrangementTest, OrdinatesCrowdedNearAnExtremeMoveAlongTheirMarginAndTheFirstStays) {
    // At scale 0.2 the points 0, 2, 298 and 300 mm up lie 0.4 mm apart on the sheet in pairs.
    const auto ordinates = y_ordinates({0, 2, 298, 300});
    std::map<std::string, cadhost::render::Point2> alone;
    const SheetGraphics sheet = this->sheet();
    expect_clear(sheet);
    const auto moved = cadhost::drafting::arranged_annotations(doc(), drawing_);
    ASSERT_EQ(moved.size(), 2u) << "the later of each crowded pair moves";
    EXPECT_EQ(moved[0].tag, ordinates[1]);
    EXPECT_EQ(moved[1].tag, ordinates[3]);
    for (const auto& m : moved) {
        EXPECT_TRUE(m.drawn.text_moved);
        EXPECT_DOUBLE_EQ(m.drawn.dogleg_angle, 60.0);
        EXPECT_DOUBLE_EQ(m.drawn.origin_x, data(m.tag).origin_x);
        // The value still measures the point, not the place it is written.
        EXPECT_EQ(cadhost::drafting::dimension_text(doc(), m.drawn),
                  cadhost::drafting::dimension_text(doc(), data(m.tag)));
    }
    // The ones that met nothing stand on their own extension lines, as laid out without the others.
    const auto* zero = text_of(sheet, "0.000");
    ASSERT_NE(zero, nullptr);
    EXPECT_NEAR(zero->anchor.y, map(top_, 200, 0, 50).second + 0.2, 1e-9);
    ASSERT_NE(text_of(sheet, "2.000"), nullptr);
    EXPECT_GT(text_of(sheet, "2.000")->anchor.y, zero->anchor.y) << "moved on along the margin, past its neighbour";
    EXPECT_LT(text_of(sheet, "2.000")->anchor.y - zero->anchor.y, 6.0) << "to the nearest clear place";
}

TEST_F(TextArrangementTest, ASizeTooShortForItsValueGoesBeyondItsExtensionLinesWithItsLineCarriedOn) {
    // 10 mm at scale 0.2 is 2 mm on the sheet; the command put "10.000" midway, over its arrows.
    UF_DRF_object_t a = anchor(point(100, 310)), b = anchor(point(110, 310));
    char h[] = "h";
    UF_DRF_text_t text{h, 0, nullptr};
    const auto p = map(top_, 105, 310, 50);
    const double at[3] = {p.first, p.second + 8, 0};
    tag_t dim = NULL_TAG;
    ASSERT_EQ(UF_DRF_create_horizontal_dim(&a, &b, &text, at, &dim), 0);
    const SheetGraphics sheet = this->sheet();
    expect_clear(sheet);
    const auto* value = text_of(sheet, "10.000");
    ASSERT_NE(value, nullptr);
    const Box box = text_box(*value);
    const double lo = map(top_, 100, 0, 0).first, hi = map(top_, 110, 0, 0).first;
    EXPECT_TRUE(box.x1 < lo || box.x0 > hi) << "beside its extension lines, not between them";
    EXPECT_NEAR(value->anchor.y, at[1], 1e-9) << "on the same line";
    // The dimension line runs on under the value (as far as the layout's estimate of its width).
    bool under = false;
    for (const auto& line : sheet.polylines)
        if (line.layer == "DIMENSION" && line.points.size() == 2 &&
            std::fabs(line.points[0].y - line.points[1].y) < 1e-9 &&
            std::min(line.points[0].x, line.points[1].x) <= box.x0 + 0.3 &&
            std::max(line.points[0].x, line.points[1].x) >= box.x1 - 0.3)
            under = true;
    EXPECT_TRUE(under);
    EXPECT_NEAR(sheet.dimensions.at(0).measured, 10.0, 1e-9);
}

// A value with no room between its extension lines, put 40 mm off along its line on top of a note: the clear place
// nearest where it was put would leave it 35 mm off, where it reads as belonging to nothing. It goes beside its
// extension lines, within 20 mm of them, and still says what it measures.
TEST_F(TextArrangementTest, AValueMovedClearStaysWithin20MmOfItsExtensionLines) {
    UF_DRF_object_t a = anchor(point(100, 310)), b = anchor(point(110, 310));
    char h[] = "h";
    UF_DRF_text_t text{h, 0, nullptr};
    const auto p = map(top_, 105, 310, 50);
    const double at[3] = {p.first + 40, p.second + 8, 0};
    tag_t note = NULL_TAG, dim = NULL_TAG;
    ASSERT_EQ(UF_DRF_create_note(1, "NOTE", at, 0, &note), 0);
    ASSERT_EQ(UF_DRF_create_horizontal_dim(&a, &b, &text, at, &dim), 0);
    const SheetGraphics sheet = this->sheet();
    expect_clear(sheet);
    const auto* value = text_of(sheet, "10.000");
    ASSERT_NE(value, nullptr);
    const Box box = text_box(*value);
    const double lo = map(top_, 100, 0, 0).first, hi = map(top_, 110, 0, 0).first;
    EXPECT_LE(std::max(box.x1 - hi, lo - box.x0), 20.0);
    EXPECT_TRUE(box.x1 < lo || box.x0 > hi) << "beside its extension lines, not between them";
    EXPECT_NEAR(sheet.dimensions.at(0).measured, 10.0, 1e-9);
    ASSERT_EQ(cadhost::drafting::arranged_annotations(doc(), drawing_).size(), 1u);
}

TEST_F(TextArrangementTest, ALabelOnAnEdgeMovesAlongItsLeaderAndAFreeOneStays) {
    // The core's right edge runs at sheet x 160; a label put across it, and one in the open.
    const double on_edge[3] = {158, 100, 0}, tip[3] = {150, 90, 0};
    const double free_at[3] = {30, 30, 0}, free_tip[3] = {25, 25, 0};
    tag_t crowded = NULL_TAG, free = NULL_TAG;
    ASSERT_EQ(UF_DRF_create_label(1, "c角", on_edge, UF_DRF_leader_attach_screen, nullptr, tip, &crowded), 0);
    ASSERT_EQ(UF_DRF_create_label(1, "c角", free_at, UF_DRF_leader_attach_screen, nullptr, free_tip, &free), 0);
    const SheetGraphics sheet = this->sheet();
    expect_clear(sheet);
    const auto moved = cadhost::drafting::arranged_annotations(doc(), drawing_);
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].tag, crowded);
    // Still on the line from the leader's point through where it was put.
    const double ux = on_edge[0] - tip[0], uy = on_edge[1] - tip[1];
    const double vx = moved[0].drawn.origin_x - tip[0], vy = moved[0].drawn.origin_y - tip[1];
    EXPECT_NEAR(ux * vy - uy * vx, 0.0, 1e-9);
    EXPECT_DOUBLE_EQ(moved[0].drawn.leader_x, tip[0]);
}

}  // namespace
