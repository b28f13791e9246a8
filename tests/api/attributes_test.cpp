// Attributes as the electrode analysis reads them: typed look-up, any-type reads, strings handed out to release.
#include <cstring>

#include "host/uf_attr.h"
#include "support/host_fixture.h"

namespace {

class AttributesTest : public testing_support::HostTest {};

UF_ATTR_value_t real_value(double x) {
    UF_ATTR_value_t v{};
    v.type = UF_ATTR_real;
    v.value.real = x;
    return v;
}

TEST_F(AttributesTest, FindReportsTheTypeOnlyWhenTheTitleHasThatType) {
    tag_t body = add_box(0, 0, 0, 1, 1, 1);
    ASSERT_EQ(UF_ATTR_assign(body, "s_x", real_value(12.5)), 0);
    UF_ATTR_value_t count{};
    count.type = UF_ATTR_integer;
    count.value.integer = 3;
    ASSERT_EQ(UF_ATTR_assign(body, "elec_rough_number", count), 0);

    int type = -1;
    ASSERT_EQ(UF_ATTR_find_attribute(body, UF_ATTR_real, "s_x", &type), 0);
    EXPECT_EQ(type, UF_ATTR_real);
    ASSERT_EQ(UF_ATTR_find_attribute(body, UF_ATTR_integer, "s_x", &type), 0);
    EXPECT_EQ(type, 0);
    ASSERT_EQ(UF_ATTR_find_attribute(body, UF_ATTR_real, "s_y", &type), 0);
    EXPECT_EQ(type, 0);
    ASSERT_EQ(UF_ATTR_find_attribute(body, UF_ATTR_any, "ELEC_ROUGH_NUMBER", &type), 0);
    EXPECT_EQ(type, UF_ATTR_integer) << "titles compare without regard to case";

    UF_ATTR_value_t value{};
    ASSERT_EQ(UF_ATTR_read_value(body, "s_x", UF_ATTR_any, &value), 0);
    EXPECT_EQ(value.type, UF_ATTR_real);
    EXPECT_DOUBLE_EQ(value.value.real, 12.5);
    EXPECT_EQ(UF_ATTR_read_value(body, "s_z", UF_ATTR_real, &value), UF_err_attr_not_found);
    EXPECT_EQ(value.type, 0);
}

TEST_F(AttributesTest, StringsAreCopiesTheCallerReleasesAndAssignReplaces) {
    tag_t body = add_box(0, 0, 0, 1, 1, 1);
    char text[] = "放电注意: 先粗后精";
    UF_ATTR_value_t note{};
    note.type = UF_ATTR_string;
    note.value.string = text;
    ASSERT_EQ(UF_ATTR_assign(body, "ELEC_NOTE", note), 0);
    text[0] = 'X';  // the host keeps its own copy

    UF_ATTR_value_t value{};
    ASSERT_EQ(UF_ATTR_read_value(body, "elec_note", UF_ATTR_any, &value), 0);
    ASSERT_EQ(value.type, UF_ATTR_string);
    EXPECT_STREQ(value.value.string, "放电注意: 先粗后精");
    UF_free(value.value.string);

    ASSERT_EQ(UF_ATTR_assign(body, "Elec_Note", real_value(1.0)), 0);
    int type = 0;
    UF_ATTR_find_attribute(body, UF_ATTR_any, "ELEC_NOTE", &type);
    EXPECT_EQ(type, UF_ATTR_real) << "one attribute per title";
    EXPECT_EQ(doc().find(body)->attributes.size(), 1u);
    EXPECT_EQ(UF_ATTR_assign(body, "", real_value(1.0)), UF_err_bad_argument);
    EXPECT_EQ(UF_ATTR_assign(987654, "x", real_value(1.0)), UF_err_bad_tag);
}

}  // namespace
