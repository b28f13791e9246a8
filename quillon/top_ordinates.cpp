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
    /* Each margin's zero sits on an end of the line the other margin hangs on. */
    const margin_plan x_spec = {UF_DRF_ORD_HORIZONTAL_MARGIN,
                                setup.x_margin_line,
                                top_dim_side->low != 0,
                                setup.y_margin_line,
                                setup.x_min,
                                setup.x_max,
                                {sw.x_0, sw.x_edm, sw.x_min, sw.x_max}};
    const margin_plan y_spec = {UF_DRF_ORD_VERTICAL_MARGIN,
                                setup.y_margin_line,
                                top_dim_side->left != 0,
                                setup.x_margin_line,
                                setup.y_min,
                                setup.y_max,
                                {sw.y_0, sw.y_edm, sw.y_min, sw.y_max}};
    const tag_t x_margin = create_core_margin(mr_view_tag, origin, &f, &x_spec);
    const tag_t y_margin = create_core_margin(mr_view_tag, origin, &f, &y_spec);
    create_margin_values(mr_view_tag, y_margin, &f, record, &y_spec, edm_point_tag);
    create_margin_values(mr_view_tag, x_margin, &f, record, &x_spec, edm_point_tag);

    UF_CALL(UF_DRF_set_preferences(saved.mpi, saved.mpr, saved.radius_val, saved.diameter_val));
    return 1;
}
