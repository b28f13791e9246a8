// Annotation preferences: what a command sets is what it reads back, and texts that do not fit are refused.
#include <cmath>
#include <string>

#include "cadhost/document/object.h"
#include "host/uf_drf.h"
#include "support/host_fixture.h"
#include "support/odd_preferences.h"

namespace {

class DrfPreferencesTest : public testing_support::HostTest {};

TEST_F(DrfPreferencesTest, ASetCopyIsReadBackAndOverlongTextsChangeNothing) {
    int mpi[UF_DRF_PREF_INTEGERS];
    double mpr[UF_DRF_PREF_REALS];
    char radius[UF_DRF_SYMBOL_TEXT_SIZE], diameter[UF_DRF_SYMBOL_TEXT_SIZE];
    ASSERT_EQ(UF_DRF_ask_preferences(mpi, mpr, radius, diameter), 0);
    EXPECT_EQ(mpi[30], 5);
    EXPECT_STREQ(radius, "R");
    mpi[3] = 2;
    mpr[44] = 3.175;
    ASSERT_EQ(UF_DRF_set_preferences(mpi, mpr, "R=", "Φ"), 0);

    int again_i[UF_DRF_PREF_INTEGERS];
    double again_r[UF_DRF_PREF_REALS];
    ASSERT_EQ(UF_DRF_ask_preferences(again_i, again_r, radius, diameter), 0);
    EXPECT_EQ(again_i[3], 2);
    EXPECT_DOUBLE_EQ(again_r[44], 3.175);
    EXPECT_STREQ(diameter, "Φ");

    const std::string too_long(UF_DRF_SYMBOL_TEXT_SIZE, 'x');
    mpi[3] = 1;
    EXPECT_EQ(UF_DRF_set_preferences(mpi, mpr, too_long.c_str(), "Φ"), UF_err_bad_argument);
    ASSERT_EQ(UF_DRF_ask_preferences(again_i, again_r, radius, diameter), 0);
    EXPECT_EQ(again_i[3], 2) << "a refused set changes nothing";
    EXPECT_STREQ(radius, "R=");
}

TEST_F(DrfPreferencesTest, SettingTheAnnotationPreferencesChangesOnlyWhatTheCallCarries) {
    cadhost::DraftingPreferences expected = testing_support::odd_drafting_preferences();
    session().display_part()->document.set_drafting_preferences(expected);
    int mpi[UF_DRF_PREF_INTEGERS];
    double mpr[UF_DRF_PREF_REALS];
    char radius[UF_DRF_SYMBOL_TEXT_SIZE], diameter[UF_DRF_SYMBOL_TEXT_SIZE];
    ASSERT_EQ(UF_DRF_ask_preferences(mpi, mpr, radius, diameter), 0);
    mpr[44] = 4.0;  // the general text's size: the one member both records share that this call changes
    ASSERT_EQ(UF_DRF_set_preferences(mpi, mpr, radius, diameter), 0);
    expected.mpr[44] = 4.0;
    EXPECT_EQ(testing_support::preference_changes(expected, session().display_part()->document.drafting_preferences()),
              "");
}

// Annotations of one style share it, to the bit (a NaN too); changing one annotation's style leaves the others'.
TEST(SharedStyleTest, EqualStylesAreSharedAndAChangeReachesOnlyItsOwnAnnotation) {
    cadhost::AnnotationStyle large;
    large.height = 5.0;
    cadhost::AnnotationData first, second;
    first.style = large, second.style = large;
    EXPECT_EQ(&*first.style, &*second.style);
    EXPECT_NE(&*first.style, &*cadhost::AnnotationData{}.style);
    second.style.change([](cadhost::AnnotationStyle& s) { s.height = 7.0; });
    EXPECT_EQ(first.style->height, 5.0);
    EXPECT_EQ(second.style->height, 7.0);
    cadhost::AnnotationStyle odd;
    odd.angle = std::nan("");
    EXPECT_EQ(&*cadhost::SharedStyle(odd), &*cadhost::SharedStyle(odd));
}

}  // namespace
