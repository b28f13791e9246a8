#include "quillon/position_dims.h"

#include <cstring>

#include "host/uf_call.h"
#include "host/uf_curve.h"
#include "host/uf_draw.h"
#include "host/uf_drf.h"
#include "host/uf_view.h"
#include "my_func/numeric_text.h"
#include "quillon/center_lines.h"
#include "quillon/drf_preferences.h"

namespace {

const double CHAR_WIDTH = 3.175;  /* sheet width reckoned per character of a value */
const double NEAR_GAP = 4.0;      /* text beside the box on the side dimensions start from */
const double FAR_GAP = 11.0;      /* text beside the box on the other side */
const double FIT_CLEARANCE = 4.0; /* a text that does not fit stands this far beyond the EDM point */
/* The values are written with three decimals, trailing zeros dropped; the fit is reckoned on that text. */
const int VALUE_DECIMALS = 3;
const int VALUE_TRAILING_ZEROS = 0;

/* One linear dimension from the EDM point to a centre line: which line, along which model axis it measures, whether
 * it runs along the sheet's x (horizontal) and how its text is put beside the box. */
struct position_dim {
    tag_t line;
    int axis;
    bool horizontal;
    position_rule rule;
};

/* The working preferences of every position dimension: value text by hand at the given point, filled arrows, both
 * extension lines, three decimals without trailing zeros, the value lettering. */
void apply_position_preferences(const drf_preferences &saved) {
    drf_preferences working = saved;
    working.mpi[3] = 2;
    working.mpi[6] = 8;
    working.mpi[7] = 1;
    working.mpi[9] = VALUE_DECIMALS;
    working.mpi[30] = 2;
    working.mpi[90] = VALUE_TRAILING_ZEROS;
    working.mpr[32] = 3.175;
    working.mpr[33] = 0.75;
    working.mpr[34] = 0.1;
    working.mpr[44] = 3.175;
    UF_CALL(UF_DRF_set_preferences(working.mpi, working.mpr, working.radius_val, working.diameter_val));
}

/* The top view's two dimensions (horizontal first), by direction; 0 for a direction outside the six. */
int top_dims_of(int direction, position_dim dims[2]) {
    switch (direction) {
        case ELEC_DIR_T:
            dims[0] = {top_center_line_y, 0, true, POSITION_RULE_U};
            dims[1] = {top_center_line_x, 1, false, POSITION_RULE_R};
            return 1;
        case ELEC_DIR_NEG_T:
            dims[0] = {top_center_line_y, 0, true, POSITION_RULE_U_PRIME};
            dims[1] = {top_center_line_x, 1, false, POSITION_RULE_R};
            return 1;
        case ELEC_DIR_F:
            dims[0] = {top_center_line_z, 0, true, POSITION_RULE_U};
            dims[1] = {top_center_line_x, 2, false, POSITION_RULE_R};
            return 1;
        case ELEC_DIR_NEG_F:
            dims[0] = {top_center_line_z, 0, true, POSITION_RULE_U};
            dims[1] = {top_center_line_x, 2, false, POSITION_RULE_R_PRIME};
            return 1;
        case ELEC_DIR_S:
            dims[0] = {top_center_line_z, 1, true, POSITION_RULE_U};
            dims[1] = {top_center_line_y, 2, false, POSITION_RULE_R};
            return 1;
        case ELEC_DIR_NEG_S:
            dims[0] = {top_center_line_z, 1, true, POSITION_RULE_U};
            dims[1] = {top_center_line_y, 2, false, POSITION_RULE_R_PRIME};
            return 1;
        default:
            return 0;
    }
}

/* The front view's one vertical dimension, by direction. */
int front_dim_of(int direction, position_dim *dim) {
    switch (direction) {
        case ELEC_DIR_T:
        case ELEC_DIR_NEG_T:
            *dim = {top_center_line_x, 2, false, POSITION_RULE_R};
            return 1;
        case ELEC_DIR_F:
            *dim = {top_center_line_x, 1, false, POSITION_RULE_R};
            return 1;
        case ELEC_DIR_NEG_F:
            *dim = {top_center_line_x, 1, false, POSITION_RULE_R_PRIME};
            return 1;
        case ELEC_DIR_S:
            *dim = {top_center_line_y, 0, false, POSITION_RULE_R};
            return 1;
        case ELEC_DIR_NEG_S:
            *dim = {top_center_line_y, 0, false, POSITION_RULE_R_PRIME};
            return 1;
        default:
            return 0;
    }
}

/* Makes the dimensions of one view, between the EDM point and each centre line, and records the sides they took. */
void create_position_dims(tag_t view, const double mr_view_min[3], const double mr_view_max[3], tag_t edm_point_tag,
                          const position_dim *dims, int count, dim_side *side) {
    drf_preferences saved;
    UF_CALL(UF_DRF_ask_preferences(saved.mpi, saved.mpr, saved.radius_val, saved.diameter_val));
    apply_position_preferences(saved);

    UF_DRF_object_t drf_object1_tag, drf_object2_tag;
    UF_CALL(UF_DRF_init_object_structure(&drf_object1_tag));
    UF_CALL(UF_DRF_init_object_structure(&drf_object2_tag));
    drf_object1_tag.object_tag = edm_point_tag;
    drf_object1_tag.object_view_tag = view;

    char user_text[] = "h";
    char empty_line[] = "";
    char *appended[1] = {empty_line};
    UF_DRF_text_t drf_text = {user_text, 1, appended};

    tag_t scale_expression = NULL_TAG;
    double scale = 1.0;
    UF_CALL(UF_DRAW_ask_view_scale(view, &scale_expression, &scale));
    double edm_point[3] = {0, 0, 0};
    UF_CALL(UF_CURVE_ask_point_data(edm_point_tag, edm_point));
    double map_edm_point[2] = {0, 0}, map_mr_view_min[2] = {0, 0}, map_mr_view_max[2] = {0, 0};
    UF_CALL(UF_VIEW_map_model_to_drawing(view, edm_point, map_edm_point));
    UF_CALL(UF_VIEW_map_model_to_drawing(view, mr_view_min, map_mr_view_min));
    UF_CALL(UF_VIEW_map_model_to_drawing(view, mr_view_max, map_mr_view_max));

    for (int i = 0; i < count; ++i) {
        const position_dim &dim = dims[i];
        drf_object2_tag.object_tag = dim.line;
        drf_object2_tag.object_view_tag = view;
        UF_CURVE_line_t line = {};
        UF_CALL(UF_CURVE_ask_line_data(dim.line, &line));
        double map_line_point[2] = {0, 0};
        UF_CALL(UF_VIEW_map_model_to_drawing(view, line.start_point, map_line_point));
        const double d = line.start_point[dim.axis] - edm_point[dim.axis];
        /* Along the dimension is the sheet axis it measures on; across is the other. */
        const int along = dim.horizontal ? 0 : 1, across = 1 - along;
        unsigned char flag = 0;
        double dim_point[3] = {0, 0, 0};
        dim_point[across] = position_text_across(dim.rule, map_edm_point[across], map_mr_view_min[across],
                                                 map_mr_view_max[across], &flag);
        dim_point[along] = position_text_along(d, scale, map_line_point[along], map_edm_point[along]);
        if (dim.horizontal)
            side->low = flag;
        else
            side->left = flag;
        tag_t dim_tag = NULL_TAG;
        if (dim.horizontal)
            UF_CALL(UF_DRF_create_horizontal_dim(&drf_object1_tag, &drf_object2_tag, &drf_text, dim_point, &dim_tag));
        else
            UF_CALL(UF_DRF_create_vertical_dim(&drf_object1_tag, &drf_object2_tag, &drf_text, dim_point, &dim_tag));
    }
    UF_CALL(UF_DRF_set_preferences(saved.mpi, saved.mpr, saved.radius_val, saved.diameter_val));
}

}  // namespace

double position_text_across(position_rule rule, double e, double vmin, double vmax, unsigned char *side_flag) {
    // The side is decided on sheet positions to 2 decimals: an EDM point at the box's middle, as drawn, takes the
    // same side whatever the last bits of the mapping and of the halving came out as.
    const double mid2 = round_decimals((vmin + vmax) / 2, 2), e2 = round_decimals(e, 2);
    switch (rule) {
        case POSITION_RULE_U:
            *side_flag = mid2 <= e2;
            return mid2 <= e2 ? vmax + FAR_GAP : vmin - NEAR_GAP;
        case POSITION_RULE_U_PRIME:
            *side_flag = !(e2 <= mid2);
            return e2 <= mid2 ? vmax - NEAR_GAP : vmin + FAR_GAP;
        case POSITION_RULE_R:
            *side_flag = mid2 <= e2;
            return mid2 <= e2 ? vmax + NEAR_GAP : vmin - FAR_GAP;
        case POSITION_RULE_R_PRIME:
        default:
            *side_flag = !(e2 <= mid2);
            return e2 <= mid2 ? vmax - FAR_GAP : vmin + NEAR_GAP;
    }
}

double position_text_along(double d, double scale, double p, double e) {
    /* The value shown is the distance, without sign, as the preferences above write it. */
    char text[NUMERIC_TEXT_SIZE];
    const double n = static_cast<double>(strlen(VALUE_TRAILING_ZEROS
                                                    ? format_decimals(abs_value(d), VALUE_DECIMALS, text, sizeof text)
                                                    : format_trimmed(abs_value(d), VALUE_DECIMALS, text, sizeof text)));
    if (n * CHAR_WIDTH > abs_value(d) * scale)
        return p <= e ? e + n * CHAR_WIDTH / 2 + FIT_CLEARANCE : e - n * CHAR_WIDTH / 2 - FIT_CLEARANCE;
    return (p + e) / 2;
}

int create_top_position_dims(tag_t t_view_tag, const double mr_view_min[3], const double mr_view_max[3],
                             const elec_data *elec, tag_t edm_point_tag, dim_side *top_dim_side) {
    top_dim_side->left = 0;
    top_dim_side->low = 0;
    position_dim dims[2];
    if (!top_dims_of(elec->elec_direction, dims)) return 1;
    create_position_dims(t_view_tag, mr_view_min, mr_view_max, edm_point_tag, dims, 2, top_dim_side);
    return 1;
}

int create_front_position_dims(tag_t f_view_tag, const double mr_view_min[3], const double mr_view_max[3],
                               const elec_data *elec, tag_t edm_point_tag, dim_side *front_dim_side) {
    front_dim_side->left = 0;
    front_dim_side->low = 0;
    position_dim dim;
    if (!front_dim_of(elec->elec_direction, &dim)) return 1;
    create_position_dims(f_view_tag, mr_view_min, mr_view_max, edm_point_tag, &dim, 1, front_dim_side);
    return 1;
}
