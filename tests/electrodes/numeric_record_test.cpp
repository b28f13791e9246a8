// Rounding as positions are compared, and the diagnostic listing of a record.
#include <string>

#include "cadhost/session/session.h"
#include "my_func/elec_record.h"
#include "my_func/numeric_text.h"
#include "support/host_fixture.h"

namespace {

std::string decimals(double x, int n) {
    char out[NUMERIC_TEXT_SIZE];
    return format_decimals(x, n, out, sizeof out);
}
std::string trimmed(double x, int n) {
    char out[NUMERIC_TEXT_SIZE];
    return format_trimmed(x, n, out, sizeof out);
}

TEST(NumericText, HalfAdjustThenCut) {
    EXPECT_EQ(round_decimals(1.23449, 3), 1.234);
    EXPECT_EQ(round_decimals(1.2345, 3), 1.235);
    EXPECT_EQ(round_decimals(2.5, 0), 3.0);
    EXPECT_EQ(round_decimals(-2.5, 0), -3.0);
    EXPECT_EQ(round_decimals(12.34567, 7), 12.3457);
    EXPECT_EQ(round_decimals(12.34567, -1), 12.3457);
    for (int n = -1; n <= 7; ++n) EXPECT_EQ(round_decimals(0.0, n), 0.0) << n;
}

TEST(NumericText, FixedAndTrimmedTexts) {
    EXPECT_EQ(decimals(3.14159, 2), "3.14");
    EXPECT_EQ(decimals(2.5, 0), "3");
    EXPECT_EQ(decimals(-2.5, 0), "-3");
    EXPECT_EQ(decimals(1.0, 9), "1.0000");
    EXPECT_EQ(decimals(0.0, 3), "0.000");
    EXPECT_EQ(trimmed(10.0, 3), "10");
    EXPECT_EQ(trimmed(0.125, 2), "0.13");
    EXPECT_EQ(trimmed(-0.0001, 3), "-0");
    EXPECT_EQ(trimmed(120.0, 0), "120");
    // A short buffer is cut, never overrun.
    char small[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(std::string(format_decimals(123.456, 3, small, sizeof small)), "123");
}

TEST(NumericText, ToleranceBoundIsInclusive) {
    EXPECT_TRUE(within_tolerance(20.003, 20.0, 0.003));
    EXPECT_FALSE(within_tolerance(20.004, 20.0, 0.003));
    EXPECT_TRUE(within_tolerance(10.0, 10.02, 0.02));
    EXPECT_FALSE(within_tolerance(10.0, 10.021, 0.02));
}

class RecordListing : public testing_support::HostTest {
  protected:
    static elec_data filled() {
        elec_data r{};
        r.elec_tag = 17;
        r.ling_tag = 18;
        r.elec_direction = ELEC_DIR_NEG_F;
        r.elec_box_min[0] = -1.5;
        r.elec_box_max[2] = 2.25;
        r.elec_point[1] = 3;
        r.att_side_pt[0] = 9;
        return r;
    }
};

TEST_F(RecordListing, ListsEveryLineInOrder) {
    elec_data r = filled();
    r.have_att_side_pt = true;
    ASSERT_EQ(list_elec_data(&r), 1);
    EXPECT_EQ(session().ui().listing(),
              "\nnot_have_base: \t false\nelec_tag: \t\t17\nling_tag: \t\t18\nelec_direction: \t-f"
              "\nelec_box_min : \tx: -1.500000\n\t\t\ty: 0.000000\n\t\t\tz: 0.000000"
              "\nelec_box_max : \tx: 0.000000\n\t\t\ty: 0.000000\n\t\t\tz: 2.250000"
              "\nelec_point : \tx: 0.000000\n\t\t\ty: 3.000000\n\t\t\tz: 0.000000"
              "\natt_side_pt : \tx: 9.000000\n\t\t\ty: 0.000000\n\t\t\tz: 0.000000");
}

TEST_F(RecordListing, EachDirectionHasItsOwnLabel) {
    const std::pair<int, const char*> labels[] = {{ELEC_DIR_T, "t"}, {ELEC_DIR_NEG_T, "-t"},
                                                  {ELEC_DIR_F, "f"}, {ELEC_DIR_NEG_F, "-f"},
                                                  {ELEC_DIR_S, "s"}, {ELEC_DIR_NEG_S, "-s"}};
    for (const auto& [direction, label] : labels) {
        session().ui().clear();
        elec_data r = filled();
        r.elec_direction = direction;
        ASSERT_EQ(list_elec_data(&r), 1);
        EXPECT_NE(session().ui().listing().find(std::string("\nling_tag: \t\t18\nelec_direction: \t") + label +
                                                "\nelec_box_min"),
                  std::string::npos)
            << direction << ": " << session().ui().listing();
    }
}

TEST_F(RecordListing, NoDirectionLineAndNoTouchPointWhenAbsent) {
    elec_data r = filled();
    r.elec_direction = 0;
    r.not_have_base = true;
    ASSERT_EQ(list_elec_data(&r), 1);
    const std::string& text = session().ui().listing();
    EXPECT_EQ(text.rfind("\nnot_have_base: \ttrue\n", 0), 0u);
    EXPECT_EQ(text.find("elec_direction"), std::string::npos);
    EXPECT_EQ(text.find("att_side_pt :"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 25), "\nhave_att_side_pt: \tfalse");
}

TEST_F(RecordListing, RefusesNullRecordAndRecordWithoutBody) {
    EXPECT_EQ(list_elec_data(nullptr), 0);
    elec_data r = filled();
    r.elec_tag = NULL_TAG;
    EXPECT_EQ(list_elec_data(&r), 0);
    EXPECT_EQ(session().ui().messages(),
              (std::vector<std::string>{"传过来的指针为一个空指针,不能显示 elec_data 结构信息", "elec_tag 为空的"}));
    EXPECT_EQ(session().ui().listing(), "");
}

}  // namespace
