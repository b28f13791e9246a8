// Collecting the electrodes of a layer range: copies on one layer, EDM points made once, touch points checked.
#include <BRepBuilderAPI_MakeFace.hxx>
#include <gp_Pln.hxx>

#include "electrodes/electrode_fixture.h"
#include "my_func/single_side.h"
#include "quillon/collection.h"
#include "quillon/edm_points.h"

namespace {

using electrodes_test::ElectrodeTest;
using electrodes_test::layer_message;

const char* const kNames = "第 %d 层中有多个铜公, 但铜公的名称却不相同(或有一个未命名)!请返回检查!";
const char* const kOutline = "第 %d 层中有多个铜公, 但铜公外形数却不相同!请返回检查!";
const char* const kTouch =
    "第 %d 层中的铜公单边碰数错误(或没有圆对应)!这可能是你移动了铜公*却没有重新给铜公附加单边碰数造成的,"
    "请重新给铜公附加单边碰数!";

class Collection : public ElectrodeTest {
  protected:
    // The electrode of the tests moved by (dx, dy) and turned about z by quarter turns, with its diagonal line.
    static tag_t electrode(int layer, double dx, double dy, int quarter_turns = 0, const char* name = nullptr,
                           double longer = 0) {
        electrodes_test::Corners base = base_corners();
        base.hi.SetX(base.hi.X() + longer);
        gp_Trsf move;
        move.SetRotation(gp::OZ(), quarter_turns * M_PI / 2);
        gp_Trsf shift;
        shift.SetTranslation(gp_Vec(dx, dy, 0));
        move.PreMultiply(shift);
        const tag_t body =
            body_on(electrodes_test::placed(electrodes_test::based(base, tip_corners()), move), layer, name);
        line_on(base.lo.Translated(gp_Vec(0, 0, -base.lo.Z())).Transformed(move),
                gp_Pnt(base.hi.X(), base.hi.Y(), 0).Transformed(move), layer);
        return body;
    }
    static std::vector<const elec_data*> records(const elec_entry* head) {
        std::vector<const elec_data*> out;
        for (; head; head = head->next) out.push_back(&head->data);
        return out;
    }
};

TEST_F(Collection, LayerAndCyclingOrderWithCountsAndIndexes) {
    const tag_t a = electrode(5, 0, 0, 0, "E5");
    const tag_t c = electrode(3, 200, 0, 0, "E3");
    const tag_t b = electrode(5, 100, 0, 1, "E5");  // a copy turned 90 degrees
    const tag_t blanked = electrode(5, 300, 0, 0, "OTHER");
    UF_OBJ_set_blank_status(blanked, UF_OBJ_BLANKED);
    doc().set_layer(doc().add_body(BRepBuilderAPI_MakeFace(gp_Pln(gp::XOY()), 0, 1, 0, 1).Face(), true), 5);
    electrode(8, 0, 0, 0, "OUTSIDE");

    elec_entry* head = reinterpret_cast<elec_entry*>(1);
    ASSERT_EQ(collect_electrodes(2, 6, &head), 1);
    const auto list = records(head);
    ASSERT_EQ(list.size(), 3u);
    const auto place = [](const elec_data* r) {
        return std::vector<unsigned>{r->elec_tag, unsigned(r->elec_layer), unsigned(r->elec_layer_count),
                                     unsigned(r->elec_layer_index)};
    };
    EXPECT_EQ(place(list[0]), (std::vector<unsigned>{c, 3, 1, 1}));
    EXPECT_EQ(place(list[1]), (std::vector<unsigned>{a, 5, 2, 1}));
    EXPECT_EQ(place(list[2]), (std::vector<unsigned>{b, 5, 2, 2}));
    EXPECT_NEAR(list[2]->elec_point[0], 100, 1e-9);
    EXPECT_TRUE(messages().empty());
    free_elec_list(head);

    ASSERT_EQ(collect_electrodes(6, 2, &head), 1);
    EXPECT_EQ(head, nullptr) << "an empty range";
    ASSERT_EQ(collect_electrodes(9, 12, &head), 1);
    EXPECT_EQ(head, nullptr) << "layers without electrodes";
}

TEST_F(Collection, EdmPointsAreMadeOnceOnTheElectrodeLayer) {
    electrode(4, 10, 20);
    electrode(4, 60, 20);
    // A point at the first reference on another layer does not count.
    const double elsewhere[3] = {10, 20, 0};
    tag_t other = NULL_TAG;
    ASSERT_EQ(UF_CURVE_create_point(elsewhere, &other), 0);
    UF_OBJ_set_layer(other, 7);
    elec_entry* head = nullptr;
    ASSERT_EQ(collect_electrodes(4, 4, &head), 1);
    EXPECT_EQ(objects_of_type(4, UF_point_type), 2);
    tag_t point = NULL_TAG;
    ASSERT_EQ(find_edm_point(&point, &head->data, 4), 1);
    double at[3];
    UF_CURVE_ask_point_data(point, at);
    EXPECT_TRUE(at[0] == 10 && at[1] == 20 && at[2] == 0);
    free_elec_list(head);

    ASSERT_EQ(collect_electrodes(4, 4, &head), 1);
    EXPECT_EQ(objects_of_type(4, UF_point_type), 2) << "the second run finds the points of the first";
    EXPECT_EQ(objects_of_type(7, UF_point_type), 1);
    free_elec_list(head);

    elec_data moved = {};
    moved.elec_tag = 1;
    moved.elec_point[0] = 10.001;
    tag_t untouched = 99;
    EXPECT_EQ(find_edm_point(&untouched, &moved, 4), 0);
    EXPECT_EQ(untouched, 99u);
    EXPECT_EQ(messages(), std::vector<std::string>{"find_edm_point err!"});
}

TEST_F(Collection, CopiesMustShareNameAndOutline) {
    electrode(1, 0, 0, 0, "A");
    electrode(1, 100, 0, 0, "A", 0.02);   // within 0.02 of the first
    electrode(1, 200, 0, 1, "A", 0.035);  // within 0.02 of the second, not of the first
    electrode(2, 0, 100, 0, "B");
    electrode(2, 100, 100, 0, "B", 0.03);
    electrode(3, 0, 200, 0, "C");
    electrode(3, 100, 200);
    electrode(4, 0, 300);
    electrode(4, 100, 300, 3);
    elec_entry* head = nullptr;
    EXPECT_EQ(collect_electrodes(1, 1, &head), 1);
    free_elec_list(head);
    head = reinterpret_cast<elec_entry*>(1);
    EXPECT_EQ(collect_electrodes(1, 2, &head), 0);
    EXPECT_EQ(collect_electrodes(3, 3, &head), 0);
    EXPECT_EQ(head, reinterpret_cast<elec_entry*>(1)) << "a failed collection hands nothing out";
    EXPECT_EQ(messages(), (std::vector<std::string>{layer_message(kOutline, 2), layer_message(kNames, 3)}));
    ASSERT_EQ(collect_electrodes(4, 4, &head), 1) << "two unnamed copies have equal names";
    free_elec_list(head);
}

TEST_F(Collection, TouchPointMustStillSitOnACircle) {
    const tag_t good = electrode(10, 0, 0);
    touch_point(good, gp_Pnt(25.0004, 3, -4));
    circle_on(gp_Pnt(0, 0, 0), 2, 10);
    circle_on(gp_Pnt(25, 3, -4), 1, 10);  // the centre rounds to the same three decimals
    elec_entry* head = nullptr;
    ASSERT_EQ(collect_electrodes(10, 10, &head), 1);
    tag_t point = NULL_TAG;
    ASSERT_EQ(find_edm_point(&point, &head->data, 10), 1) << "a single-side electrode is placed by its touch point";
    double at[3];
    UF_CURVE_ask_point_data(point, at);
    EXPECT_NEAR(at[0], 25.0004, 1e-9);
    free_elec_list(head);

    const tag_t moved = electrode(11, 0, 0);
    touch_point(moved, gp_Pnt(25.0006, 3, -4));
    circle_on(gp_Pnt(25, 3, -4), 1, 11);
    EXPECT_EQ(collect_electrodes(11, 11, &head), 0);
    EXPECT_EQ(check_single_side_touch(moved), 0);
    const tag_t plain = electrode(12, 0, 0);
    EXPECT_EQ(check_single_side_touch(plain), 0);
    EXPECT_EQ(messages(), (std::vector<std::string>{layer_message(kTouch, 11), layer_message(kTouch, 11),
                                                    "铜公设有单边碰的属性!"}));
}

TEST_F(Collection, TouchCircleMustMatchInHeightToo) {
    // Circles right above and below the touch point, and one off by a rounding step in z only.
    const tag_t lifted = electrode(13, 0, 0);
    touch_point(lifted, gp_Pnt(25, 3, -4));
    circle_on(gp_Pnt(25, 3, -3), 1, 13);
    circle_on(gp_Pnt(25, 3, -5), 1, 13);
    circle_on(gp_Pnt(25, 3, -4.0006), 1, 13);
    EXPECT_EQ(check_single_side_touch(lifted), 0);
    EXPECT_EQ(messages(), std::vector<std::string>{layer_message(kTouch, 13)});
    circle_on(gp_Pnt(25, 3, -4.0004), 1, 13);
    EXPECT_EQ(check_single_side_touch(lifted), 1) << "the same three decimals in z";
}

}  // namespace
