// Host calls refuse numbers that are not finite and texts that are not UTF-8 before anything reaches the part, and
// the command stops on a mould-core view scale that comes out 0.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "cadhost/document/utf8_text.h"
#include "host/uf_attr.h"
#include "host/uf_curve.h"
#include "host/uf_disp.h"
#include "host/uf_draw.h"
#include "host/uf_drf.h"
#include "host/uf_obj.h"
#include "host/uf_view.h"
#include "support/host_fixture.h"

namespace {

constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

using HostInputs = testing_support::HostTest;

TEST(Utf8Text, WellFormedTextPassesAndTheFirstBadByteIsNamed) {
    EXPECT_TRUE(cadhost::is_utf8("E01 对角线 Φ 𝄞"));
    EXPECT_TRUE(cadhost::is_utf8(""));
    EXPECT_EQ(cadhost::first_invalid_utf8("ab\xAC"), 2u);                // a continuation byte alone
    EXPECT_EQ(cadhost::first_invalid_utf8("\xC0\xAF"), 0u);              // an overlong '/'
    EXPECT_EQ(cadhost::first_invalid_utf8("x\xE0\x80\xAF"), 1u);         // an overlong three-byte form
    EXPECT_EQ(cadhost::first_invalid_utf8("\xED\xA0\x80"), 0u);          // a surrogate
    EXPECT_EQ(cadhost::first_invalid_utf8("\xF4\x90\x80\x80"), 0u);      // above U+10FFFF
    EXPECT_EQ(cadhost::first_invalid_utf8("\xE5\xAF"), 0u);              // cut short
    EXPECT_EQ(cadhost::first_invalid_utf8("\xE5\xAF\xB9\xE8\xA7"), 3u);  // the second character cut short
    EXPECT_EQ(cadhost::utf8_problem("模\xFF"), "byte 4 is not UTF-8");
}

TEST_F(HostInputs, CurvesAndPointsWithNanOrInfinityAreRefused) {
    tag_t made = NULL_TAG;
    const double bad[] = {kNan, kInf, -kInf};
    for (double value : bad) {
        SCOPED_TRACE(value);
        const double point[3] = {0, value, 0};
        EXPECT_EQ(UF_CURVE_create_point(point, &made), UF_err_bad_argument);
        UF_CURVE_line_t line = {{0, 0, 0}, {1, 1, value}};
        EXPECT_EQ(UF_CURVE_create_line(&line, &made), UF_err_bad_argument);
        UF_CURVE_arc_t arc = {};
        arc.radius = 5, arc.end_angle = 1;
        arc.x_axis[0] = 1, arc.y_axis[1] = 1;
        arc.arc_center[2] = value;
        EXPECT_EQ(UF_CURVE_create_arc(&arc, &made), UF_err_bad_argument);
        arc.arc_center[2] = 0, arc.radius = value;
        EXPECT_EQ(UF_CURVE_create_arc(&arc, &made), UF_err_bad_argument);
    }
    EXPECT_EQ(made, NULL_TAG);
    UF_CURVE_line_t line = {{0, 0, 0}, {1, 1, 1}};
    EXPECT_EQ(UF_CURVE_create_line(&line, &made), UF_ok) << "a finite line is made";
}

TEST_F(HostInputs, ViewScalesReferencePointsAndMappedPointsMustBeFinite) {
    UF_DRAW_info_t info = {};
    info.size_state = UF_DRAW_METRIC_SIZE;
    info.size.metric_size_code = 4;
    info.drawing_scale = 1;
    tag_t drawing = NULL_TAG, view = NULL_TAG;
    ASSERT_EQ(UF_DRAW_create_drawing("SHEET1", &info, &drawing), UF_ok);
    const tag_t top = doc().find_model_view("TOP");
    UF_DRAW_view_info_t view_info;
    UF_DRAW_initialize_view_info(&view_info);
    const double centre[2] = {150, 105};
    for (double value : {kNan, kInf}) {
        view_info.view_scale = value;
        EXPECT_EQ(UF_DRAW_import_view(drawing, top, centre, &view_info, &view), UF_err_bad_argument);
    }
    view_info.view_scale = 1;
    ASSERT_EQ(UF_DRAW_import_view(drawing, top, centre, &view_info, &view), UF_ok);
    const double nowhere[2] = {kNan, 105};
    EXPECT_EQ(UF_DRAW_set_drawing_ref_pt(drawing, view, nowhere), UF_err_bad_argument);
    EXPECT_EQ(UF_DRAW_set_view_scale(view, kInf), UF_err_bad_argument);
    tag_t child = NULL_TAG;
    EXPECT_EQ(UF_DRAW_add_orthographic_view(drawing, view, UF_DRAW_project_below, nowhere, &child),
              UF_err_bad_argument);
    const double model[3] = {0, kInf, 0};
    double sheet[2];
    EXPECT_EQ(UF_VIEW_map_model_to_drawing(view, model, sheet), UF_err_bad_argument);
    const double axis[3] = {0, 0, kNan}, origin[3] = {0, 0, 0};
    EXPECT_EQ(UF_VIEW_rotate_view_abs_csys(top, origin, axis, 90, 0), UF_err_bad_argument);
}

TEST_F(HostInputs, PreferencesAttributesNamesAndTextsAreCheckedWhereTheyEnter) {
    int mpi[UF_DRF_PREF_INTEGERS];
    double mpr[UF_DRF_PREF_REALS];
    char radius[27], diameter[27];
    ASSERT_EQ(UF_DRF_ask_preferences(mpi, mpr, radius, diameter), UF_ok);
    mpr[32] = kNan;
    EXPECT_EQ(UF_DRF_set_preferences(mpi, mpr, radius, diameter), UF_err_bad_argument);
    mpr[32] = 3.5;
    EXPECT_EQ(UF_DRF_set_preferences(mpi, mpr, "\xAC", diameter), UF_err_bad_argument);

    const tag_t body = add_box(0, 0, 0, 10, 10, 10);
    UF_ATTR_value_t value = {};
    value.type = UF_ATTR_real;
    value.value.real = kNan;
    EXPECT_EQ(UF_ATTR_assign(body, "ELEC_ROUGH_SPACE", value), UF_err_bad_argument);
    value.type = UF_ATTR_string;
    value.value.string = const_cast<char*>("\xC4\xA3\xBE\xDF");
    EXPECT_EQ(UF_ATTR_assign(body, "ELEC_NOTE", value), UF_err_bad_argument);
    value.value.string = const_cast<char*>("先粗后精");
    EXPECT_EQ(UF_ATTR_assign(body, "ELEC_\xACNOTE", value), UF_err_bad_argument);
    EXPECT_EQ(UF_ATTR_assign(body, "ELEC_NOTE", value), UF_ok);
    EXPECT_EQ(UF_OBJ_set_name(body, "E\xFF"), UF_err_bad_argument);
    EXPECT_TRUE(doc().find(body)->name.empty());

    UF_DISP_drawing_display_t display;
    ASSERT_EQ(UF_DISP_ask_drawing_display(&display), UF_ok);
    display.grid_spacing = 1e-9;
    EXPECT_EQ(UF_DISP_set_drawing_display(&display), UF_err_bad_argument);
}

}  // namespace
