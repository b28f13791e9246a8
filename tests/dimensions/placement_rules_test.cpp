// Where position-dimension texts and ordinate values go: the side rules, the text fit, the crowding rules along a
// margin, the slot orders and the end of an extreme edge a value is attached to.
#include <gtest/gtest.h>

#include <cmath>

#include "quillon/ordinate_rules.h"
#include "quillon/position_dims.h"

namespace {

// A view box from 20 to 120 on the axis; its middle is 70.
constexpr double kLo = 20, kHi = 120;

TEST(PositionSides, TextsGoToTheSideTheEdmPointLiesTowardsWithTheMiddleCountingAsUpperOrRight) {
    unsigned char flag = 9;
    // Upper half (and the middle itself): 11 above, the ordinates' horizontal margin goes below.
    EXPECT_DOUBLE_EQ(position_text_across(POSITION_RULE_U, 90, kLo, kHi, &flag), kHi + 11);
    EXPECT_EQ(flag, 1);
    EXPECT_DOUBLE_EQ(position_text_across(POSITION_RULE_U, 70, kLo, kHi, &flag), kHi + 11) << "mid height is upper";
    EXPECT_EQ(flag, 1);
    EXPECT_DOUBLE_EQ(position_text_across(POSITION_RULE_U, 69.99, kLo, kHi, &flag), kLo - 4);
    EXPECT_EQ(flag, 0);
    // Right half: 4 right of the box; left half: 11 left.
    EXPECT_DOUBLE_EQ(position_text_across(POSITION_RULE_R, 100, kLo, kHi, &flag), kHi + 4);
    EXPECT_EQ(flag, 1);
    EXPECT_DOUBLE_EQ(position_text_across(POSITION_RULE_R, 30, kLo, kHi, &flag), kLo - 11);
    EXPECT_EQ(flag, 0);
    // The middle as mapping and halving leave it, a few ulps either side of the EDM point: still the middle, on every
    // rule, however the last bits came out.
    const double above = std::nextafter(70.0, 100.0), below = std::nextafter(70.0, 0.0);
    for (const double e : {above, below})
        for (const double hi : {kHi + 3e-9, kHi - 3e-9}) {
            EXPECT_DOUBLE_EQ(position_text_across(POSITION_RULE_U, e, kLo, hi, &flag), hi + 11);
            EXPECT_EQ(flag, 1);
            EXPECT_DOUBLE_EQ(position_text_across(POSITION_RULE_R, e, kLo, hi, &flag), hi + 4);
            EXPECT_EQ(flag, 1);
            EXPECT_DOUBLE_EQ(position_text_across(POSITION_RULE_U_PRIME, e, hi, kLo, &flag), kLo - 4);
            EXPECT_EQ(flag, 0);
            EXPECT_DOUBLE_EQ(position_text_across(POSITION_RULE_R_PRIME, e, hi, kLo, &flag), kLo - 11);
            EXPECT_EQ(flag, 0);
        }
}

TEST(PositionSides, TurnedOverViewsKeepTheTextOnTheEdmPointsSideOfTheSheet) {
    // A turned-over axis maps the model maximum to the sheet minimum: vmax = 20 is the sheet's lower (left) edge.
    unsigned char flag = 9;
    EXPECT_DOUBLE_EQ(position_text_across(POSITION_RULE_U_PRIME, 30, kHi, kLo, &flag), kLo - 4) << "4 below";
    EXPECT_EQ(flag, 0);
    EXPECT_DOUBLE_EQ(position_text_across(POSITION_RULE_U_PRIME, 70, kHi, kLo, &flag), kLo - 4)
        << "the middle goes with the lower side here";
    EXPECT_EQ(flag, 0);
    EXPECT_DOUBLE_EQ(position_text_across(POSITION_RULE_U_PRIME, 110, kHi, kLo, &flag), kHi + 11) << "11 above";
    EXPECT_EQ(flag, 1);
    EXPECT_DOUBLE_EQ(position_text_across(POSITION_RULE_R_PRIME, 30, kHi, kLo, &flag), kLo - 11) << "11 left";
    EXPECT_EQ(flag, 0);
    EXPECT_DOUBLE_EQ(position_text_across(POSITION_RULE_R_PRIME, 110, kHi, kLo, &flag), kHi + 4) << "4 right";
    EXPECT_EQ(flag, 1);
}

TEST(PositionTextFit, AValueThatDoesNotFitStandsBeyondTheEdmPointAwayFromTheLine) {
    // Reckoned on the value as shown: the distance with up to three decimals, no sign, no trailing zeros.
    // The line at 50, the EDM point 1.5 short of it at scale 1: "1.5" is 3 characters, 9.525 mm of text.
    EXPECT_DOUBLE_EQ(position_text_along(1.5, 1.0, 50, 48.5), 48.5 - 3 * 3.175 / 2 - 4);
    // Beyond it the other way the distance is the same and so is its text.
    EXPECT_DOUBLE_EQ(position_text_along(-1.5, 1.0, 50, 51.5), 51.5 + 3 * 3.175 / 2 + 4);
    // "12.345" is 6 characters, 19.05 mm: it fits 12.345 mm at scale 2 (24.69) and is centred, not at 1.5 (18.5).
    EXPECT_DOUBLE_EQ(position_text_along(-12.345, 2.0, 10, 34.69), 22.345);
    EXPECT_DOUBLE_EQ(position_text_along(-12.345, 1.5, 10, 28.5175), 28.5175 + 6 * 3.175 / 2 + 4);
    // An EDM point on the line has no room at all ("0").
    EXPECT_DOUBLE_EQ(position_text_along(0, 1.0, 10, 10), 10 + 1 * 3.175 / 2 + 4);
}

// The worked crowding examples along one margin, origin at 100.
TEST(OrdinateCrowding, EdmValueMovesOneStepClearOfTheOriginUnlessAnEdgeLiesBetween) {
    edm_shift shift = {false, false};
    double at = 0;
    // 3 above the origin on the vertical margin: one step up, 9.
    ASSERT_EQ(place_edm_value(100, 103, 50, 150, 1, &Y_MARGIN_STEPS, &shift, &at), 1);
    EXPECT_DOUBLE_EQ(at, 109);
    EXPECT_TRUE(shift.up_or_right);
    EXPECT_FALSE(shift.down_or_left);
    // 3 left of the origin on the horizontal margin: one step left, 9.
    shift = {false, false};
    ASSERT_EQ(place_edm_value(100, 97, 50, 150, 1, &X_MARGIN_STEPS, &shift, &at), 1);
    EXPECT_DOUBLE_EQ(at, 91);
    EXPECT_TRUE(shift.down_or_left);
    // 3 below on the vertical margin: 3.5 down.
    shift = {false, false};
    ASSERT_EQ(place_edm_value(100, 97, 50, 150, 1, &Y_MARGIN_STEPS, &shift, &at), 1);
    EXPECT_DOUBLE_EQ(at, 96.5);
    // Far enough apart, or no origin value shown: left in place.
    shift = {false, false};
    EXPECT_EQ(place_edm_value(100, 105, 50, 150, 1, &Y_MARGIN_STEPS, &shift, &at), 0);
    EXPECT_EQ(place_edm_value(100, 103, 50, 150, 0, &Y_MARGIN_STEPS, &shift, &at), 0);
    EXPECT_FALSE(shift.up_or_right || shift.down_or_left);
}

TEST(OrdinateCrowding, ACoreEdgeBetweenOriginAndEdmPointTakesTheTwoStepPositionOrNone) {
    edm_shift shift = {false, false};
    double at = 0;
    // The core's minimum at 104 lies between 100 and 110: two steps up, and no one-step flag.
    ASSERT_EQ(place_edm_value(100, 110, 104, 150, 1, &Y_MARGIN_STEPS, &shift, &at), 1);
    EXPECT_DOUBLE_EQ(at, 118);
    EXPECT_FALSE(shift.up_or_right);
    // The edge between but the EDM point 20 away: left in place, the one-step rule is not tried.
    EXPECT_EQ(place_edm_value(100, 120, 104, 150, 1, &Y_MARGIN_STEPS, &shift, &at), 0);
    // Below, with the maximum between: two steps down.
    ASSERT_EQ(place_edm_value(100, 96, 50, 98, 1, &Y_MARGIN_STEPS, &shift, &at), 1);
    EXPECT_DOUBLE_EQ(at, 87.5);
    // An edge level (after rounding) with the EDM point is not between: the one-step rule holds.
    ASSERT_EQ(place_edm_value(100, 103, 102.999, 150, 1, &Y_MARGIN_STEPS, &shift, &at), 1);
    EXPECT_DOUBLE_EQ(at, 109);
    EXPECT_TRUE(shift.up_or_right);
}

TEST(OrdinateCrowding, ExtremeEdgeValuesFollowAMovedEdmValue) {
    double at = 0;
    const edm_shift up = {true, false}, down = {false, true}, none = {false, false};
    // EDM moved up to 109; the maximum edge 10 above the origin goes two steps up (10 < 18).
    ASSERT_EQ(place_max_value(100, 103, 110, 1, 1, &up, &Y_MARGIN_STEPS, &at), 1);
    EXPECT_DOUBLE_EQ(at, 118);
    EXPECT_EQ(place_max_value(100, 103, 120, 1, 1, &up, &Y_MARGIN_STEPS, &at), 0) << "20 is clear of 18";
    EXPECT_EQ(place_max_value(100, 103, 110, 1, 1, &none, &Y_MARGIN_STEPS, &at), 0) << "7 from the EDM point";
    ASSERT_EQ(place_max_value(100, 103, 106, 1, 1, &none, &Y_MARGIN_STEPS, &at), 1);
    EXPECT_DOUBLE_EQ(at, 112) << "one step above the EDM value";
    // Maximum below an EDM value moved down: the vertical margin follows only within 5, the horizontal within 18.
    EXPECT_EQ(place_max_value(100, 97, 90, 1, 1, &down, &Y_MARGIN_STEPS, &at), 0);
    ASSERT_EQ(place_max_value(100, 97, 90, 1, 1, &down, &X_MARGIN_STEPS, &at), 1);
    EXPECT_DOUBLE_EQ(at, 82);
    // Minimum below an EDM value moved down: two steps down when within two steps.
    ASSERT_EQ(place_min_value(100, 97, 90, 1, 1, &down, &Y_MARGIN_STEPS, &at), 1);
    EXPECT_DOUBLE_EQ(at, 87.5);
    EXPECT_EQ(place_min_value(100, 97, 80, 1, 1, &down, &Y_MARGIN_STEPS, &at), 0);
    // Minimum just below an unmoved EDM value: one step down from the EDM value.
    ASSERT_EQ(place_min_value(100, 80, 77, 1, 1, &none, &Y_MARGIN_STEPS, &at), 1);
    EXPECT_DOUBLE_EQ(at, 76.5);
    // Minimum just above the origin with the EDM point below: one step up from the origin.
    ASSERT_EQ(place_min_value(100, 80, 102, 1, 1, &none, &Y_MARGIN_STEPS, &at), 1);
    EXPECT_DOUBLE_EQ(at, 109);
    // Nothing shown nearby: no move.
    EXPECT_EQ(place_min_value(100, 80, 102, 0, 0, &none, &Y_MARGIN_STEPS, &at), 0);
}

TEST(OrdinateEdges, SlotsAreTriedInOrderAndTheEndFollowsTheMargin) {
    // Every slot full: each order gives its slots one after the other as the earlier ones are emptied.
    const struct {
        const int* order;
        int slots[4];
    } orders[] = {{SLOTS_V_MIN, {0, 2, 4, 6}},
                  {SLOTS_V_MAX, {1, 3, 5, 7}},
                  {SLOTS_H_MIN, {8, 10, 12, 14}},
                  {SLOTS_H_MAX, {9, 11, 13, 15}}};
    for (const auto& o : orders) {
        static tag_t box_edge_set::*const members[16] = {
            &box_edge_set::edge_x_face_min_tag,  &box_edge_set::edge_x_face_max_tag,
            &box_edge_set::edge_x_full_min_tag,  &box_edge_set::edge_x_full_max_tag,
            &box_edge_set::edge_x_one_min_tag,   &box_edge_set::edge_x_one_max_tag,
            &box_edge_set::edge_x_touch_min_tag, &box_edge_set::edge_x_touch_max_tag,
            &box_edge_set::edge_y_face_min_tag,  &box_edge_set::edge_y_face_max_tag,
            &box_edge_set::edge_y_full_min_tag,  &box_edge_set::edge_y_full_max_tag,
            &box_edge_set::edge_y_one_min_tag,   &box_edge_set::edge_y_one_max_tag,
            &box_edge_set::edge_y_touch_min_tag, &box_edge_set::edge_y_touch_max_tag};
        box_edge_set record = {};
        for (int i = 0; i < 16; ++i) record.*members[i] = 100 + i;
        int found = -1;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(first_edge_of(&record, o.order, &found), tag_t(100 + o.slots[i])) << "slot " << o.slots[i];
            EXPECT_EQ(found, i);
            record.*members[o.slots[i]] = NULL_TAG;
        }
        EXPECT_EQ(first_edge_of(&record, o.order, &found), NULL_TAG);
        EXPECT_EQ(found, -1);
    }

    // An edge along the extreme: the end nearer the margin (vertical margin, across is x).
    EXPECT_EQ(choose_edge_end(false, false, true, true, 10, 30, 5, 5), 1) << "left margin, smaller x";
    EXPECT_EQ(choose_edge_end(false, false, true, false, 10, 30, 5, 5), 2) << "right margin, larger x";
    EXPECT_EQ(choose_edge_end(false, false, true, true, 10, 10, 5, 8), 2) << "equal x, left: second";
    EXPECT_EQ(choose_edge_end(false, false, true, false, 10, 10, 5, 8), 1);
    EXPECT_EQ(choose_edge_end(false, true, false, true, 10, 10, 5, 8), 1) << "equal y, low: first";
    EXPECT_EQ(choose_edge_end(false, true, false, false, 10, 10, 5, 8), 2);
    // An edge only touching the extreme: its extreme end, along the margin.
    EXPECT_EQ(choose_edge_end(true, false, true, true, 10, 30, 8, 5), 2) << "minimum: smaller";
    EXPECT_EQ(choose_edge_end(true, true, true, true, 10, 30, 8, 5), 1) << "maximum: larger";
    EXPECT_EQ(choose_edge_end(true, true, true, true, 10, 30, 5, 5), 2) << "level: second";
}

}  // namespace
