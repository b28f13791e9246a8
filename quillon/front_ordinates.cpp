#include "host/uf_call.h"
#include "host/uf_drf.h"
#include "host/uf_ui.h"
#include "my_func/elec_record.h"
#include "quillon/center_lines.h"
#include "quillon/core_ordinates.h"
#include "quillon/ordinate_margin.h"
#include "quillon/ordinate_switches.h"

namespace {

/* The front view's vertical is the model's z for t and -t, y for f and -f (turned over for f) and x for s and -s
 * (turned over for -s), which is the horizontal of the XY scan: its x-extreme slots serve the margin then. */
struct front_setup {
    tag_t margin_line, zero_line;
    const int *y_min, *y_max;
};

int front_setup_of(int direction, front_setup *s) {
    switch (direction) {
        case ELEC_DIR_T:
            *s = {top_center_line_z, top_center_line_x, SLOTS_V_MIN, SLOTS_V_MAX};
            return 1;
        case ELEC_DIR_NEG_T:
            *s = {top_center_line_z, top_center_line_x, SLOTS_V_MAX, SLOTS_V_MIN};
            return 1;
        case ELEC_DIR_F:
            *s = {top_center_line_y, top_center_line_x, SLOTS_V_MAX, SLOTS_V_MIN};
            return 1;
        case ELEC_DIR_NEG_F:
            *s = {top_center_line_y, top_center_line_x, SLOTS_V_MIN, SLOTS_V_MAX};
            return 1;
        case ELEC_DIR_S:
            *s = {top_center_line_x, top_center_line_y, SLOTS_H_MIN, SLOTS_H_MAX};
            return 1;
        case ELEC_DIR_NEG_S:
            *s = {top_center_line_x, top_center_line_y, SLOTS_H_MAX, SLOTS_H_MIN};
            return 1;
        default:
            return 0;
    }
}

}  // namespace

int create_front_view_ordinates(tag_t mr_view_tag, const double mr_view_min[3], const double mr_view_max[3],
                                const box_edge_set *record, const double mr_min[3], const double mr_max[3],
                                const dim_side *front_dim_side, tag_t edm_point_tag, int elec_direction) {
    if (mr_view_tag == NULL_TAG) {
        uc1601("模仁视图mr_view_tag为空的,不能标注", 1);
        return 0;
    }
    front_ordinate_switches sw;
    if (!read_front_ordinate_switches(&sw)) return 0;
    front_setup setup;
    if (!front_setup_of(elec_direction, &setup)) return 1;

    drf_preferences saved;
    apply_ordinate_preferences(&saved);
    ordinate_frame f;
    map_ordinate_frame(mr_view_tag, mr_view_min, mr_view_max, mr_min, mr_max, edm_point_tag, &f);

    const tag_t origin = create_core_ordinate_origin(mr_view_tag);
    const bool left = front_dim_side->left != 0;
    margin_values m = {};
    m.margin = create_core_margin(UF_DRF_ORD_VERTICAL_MARGIN, origin, setup.margin_line, mr_view_tag,
                                  core_margin_offset(f.o[0], f.vmin[0], f.vmax[0], left));
    m.view = mr_view_tag;
    m.vertical = true;
    m.side_flag = left;
    m.zero_line = setup.zero_line;
    m.record = record;
    m.min_order = setup.y_min;
    m.max_order = setup.y_max;
    m.zero_on = sw.y_0, m.edm_on = sw.y_edm, m.min_on = sw.y_min, m.max_on = sw.y_max;
    m.o = f.o[1], m.e = f.e[1], m.cmin = f.cmin[1], m.cmax = f.cmax[1];
    m.steps = &Y_MARGIN_STEPS;
    create_margin_values(&m, edm_point_tag);

    UF_CALL(UF_DRF_set_preferences(saved.mpi, saved.mpr, saved.radius_val, saved.diameter_val));
    return 1;
}
