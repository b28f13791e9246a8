#include "host/uf_call.h"
#include "host/uf_drf.h"
#include "host/uf_ui.h"
#include "my_func/elec_record.h"
#include "quillon/center_lines.h"
#include "quillon/core_ordinates.h"
#include "quillon/ordinate_margin.h"
#include "quillon/ordinate_switches.h"

namespace {

/* What the direction decides: the centre line each margin hangs on (the other margin's zero sits on its end), and the
 * slot orders of the four edge values. The bottom view turns y over, the back and left views turn x over. */
struct top_setup {
    tag_t x_margin_line, y_margin_line;
    const int *y_min, *y_max, *x_min, *x_max;
};

int top_setup_of(int direction, top_setup *s) {
    const bool y_turned = direction == ELEC_DIR_NEG_T;
    const bool x_turned = direction == ELEC_DIR_NEG_F || direction == ELEC_DIR_NEG_S;
    switch (direction) {
        case ELEC_DIR_T:
        case ELEC_DIR_NEG_T:
            s->x_margin_line = top_center_line_x;
            s->y_margin_line = top_center_line_y;
            break;
        case ELEC_DIR_F:
        case ELEC_DIR_NEG_F:
            s->x_margin_line = top_center_line_x;
            s->y_margin_line = top_center_line_z;
            break;
        case ELEC_DIR_S:
        case ELEC_DIR_NEG_S:
            s->x_margin_line = top_center_line_y;
            s->y_margin_line = top_center_line_z;
            break;
        default:
            return 0;
    }
    s->y_min = y_turned ? SLOTS_V_MAX : SLOTS_V_MIN;
    s->y_max = y_turned ? SLOTS_V_MIN : SLOTS_V_MAX;
    s->x_min = x_turned ? SLOTS_H_MAX : SLOTS_H_MIN;
    s->x_max = x_turned ? SLOTS_H_MIN : SLOTS_H_MAX;
    return 1;
}

}  // namespace

int create_top_view_ordinates(tag_t mr_view_tag, const double mr_view_min[3], const double mr_view_max[3],
                              const box_edge_set *record, const double mr_min[3], const double mr_max[3],
                              const dim_side *top_dim_side, tag_t edm_point_tag, int elec_direction) {
    if (mr_view_tag == NULL_TAG) {
        uc1601("模仁视图mr_view_tag为空的,不能标注", 1);
        return 0;
    }
    top_ordinate_switches sw;
    if (!read_top_ordinate_switches(&sw)) return 0;
    top_setup setup;
    if (!top_setup_of(elec_direction, &setup)) return 1;

    drf_preferences saved;
    apply_ordinate_preferences(&saved);
    ordinate_frame f;
    map_ordinate_frame(mr_view_tag, mr_view_min, mr_view_max, mr_min, mr_max, edm_point_tag, &f);

    const tag_t origin = create_core_ordinate_origin(mr_view_tag);
    const bool left = top_dim_side->left != 0, low = top_dim_side->low != 0;
    margin_values x_margin = {};
    x_margin.margin = create_core_margin(UF_DRF_ORD_HORIZONTAL_MARGIN, origin, setup.x_margin_line, mr_view_tag,
                                         core_margin_offset(f.o[1], f.vmin[1], f.vmax[1], low));
    margin_values y_margin = {};
    y_margin.margin = create_core_margin(UF_DRF_ORD_VERTICAL_MARGIN, origin, setup.y_margin_line, mr_view_tag,
                                         core_margin_offset(f.o[0], f.vmin[0], f.vmax[0], left));

    y_margin.view = mr_view_tag;
    y_margin.vertical = true;
    y_margin.side_flag = left;
    y_margin.zero_line = setup.x_margin_line;
    y_margin.record = record;
    y_margin.min_order = setup.y_min;
    y_margin.max_order = setup.y_max;
    y_margin.zero_on = sw.y_0, y_margin.edm_on = sw.y_edm, y_margin.min_on = sw.y_min, y_margin.max_on = sw.y_max;
    y_margin.o = f.o[1], y_margin.e = f.e[1], y_margin.cmin = f.cmin[1], y_margin.cmax = f.cmax[1];
    y_margin.steps = &Y_MARGIN_STEPS;
    create_margin_values(&y_margin, edm_point_tag);

    x_margin.view = mr_view_tag;
    x_margin.vertical = false;
    x_margin.side_flag = low;
    x_margin.zero_line = setup.y_margin_line;
    x_margin.record = record;
    x_margin.min_order = setup.x_min;
    x_margin.max_order = setup.x_max;
    x_margin.zero_on = sw.x_0, x_margin.edm_on = sw.x_edm, x_margin.min_on = sw.x_min, x_margin.max_on = sw.x_max;
    x_margin.o = f.o[0], x_margin.e = f.e[0], x_margin.cmin = f.cmin[0], x_margin.cmax = f.cmax[0];
    x_margin.steps = &X_MARGIN_STEPS;
    create_margin_values(&x_margin, edm_point_tag);

    UF_CALL(UF_DRF_set_preferences(saved.mpi, saved.mpr, saved.radius_val, saved.diameter_val));
    return 1;
}
