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
    const margin_plan plan = {UF_DRF_ORD_VERTICAL_MARGIN,
                              setup.margin_line,
                              front_dim_side->left != 0,
                              setup.zero_line,
                              setup.y_min,
                              setup.y_max,
                              {sw.y_0, sw.y_edm, sw.y_min, sw.y_max}};
    const tag_t margin = create_core_margin(mr_view_tag, origin, &f, &plan);
    create_margin_values(mr_view_tag, margin, &f, record, &plan, edm_point_tag);

    UF_CALL(UF_DRF_set_preferences(saved.mpi, saved.mpr, saved.radius_val, saved.diameter_val));
    return 1;
}
