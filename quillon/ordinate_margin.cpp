#include "quillon/ordinate_margin.h"

#include "host/uf_call.h"
#include "host/uf_curve.h"
#include "host/uf_drf.h"
#include "host/uf_modl.h"
#include "host/uf_view.h"
#include "my_func/numeric_text.h"
#include "quillon/center_lines.h"

namespace {

double round2(double x) { return round_decimals(x, 2); }

/* One margin's values as they are worked out: the plan, and the frame's coordinates along the margin. */
struct margin_values {
    tag_t view;
    tag_t margin;
    bool vertical; /* a vertical margin carries y values */
    const margin_plan *plan;
    const box_edge_set *record;
    double o, e, cmin, cmax;
    const margin_steps *steps;
};

/* Maps both corners of a model box and sorts each sheet axis. */
void map_sorted_box(tag_t view, const double lo[3], const double hi[3], double out_min[2], double out_max[2]) {
    double a[2] = {0, 0}, b[2] = {0, 0};
    UF_CALL(UF_VIEW_map_model_to_drawing(view, lo, a));
    UF_CALL(UF_VIEW_map_model_to_drawing(view, hi, b));
    for (int i = 0; i < 2; ++i) {
        out_min[i] = round2(a[i] < b[i] ? a[i] : b[i]);
        out_max[i] = round2(a[i] < b[i] ? b[i] : a[i]);
    }
}

void map_point_object(tag_t view, tag_t point, double out[2]) {
    double model[3] = {0, 0, 0};
    UF_CALL(UF_CURVE_ask_point_data(point, model));
    out[0] = out[1] = 0;
    UF_CALL(UF_VIEW_map_model_to_drawing(view, model, out));
    out[0] = round2(out[0]);
    out[1] = round2(out[1]);
}

/* One ordinate on the margin; a moved value stands at position along the margin on a dogleg. */
void create_ordinate(const margin_values *m, tag_t object, int end, bool moved, double position) {
    UF_DRF_object_t drf_object_tag;
    UF_CALL(UF_DRF_init_object_structure(&drf_object_tag));
    drf_object_tag.object_tag = object;
    drf_object_tag.object_view_tag = m->view;
    drf_object_tag.object_assoc_modifier = end;
    char text_a[] = "a";
    char text_b[] = "b";
    char *appended[1] = {text_b};
    UF_DRF_text_t drf_text = {text_a, 1, appended};
    double dim_3d[3] = {0, 0, 0};
    if (moved) dim_3d[m->vertical ? 1 : 0] = position;
    const double dogleg_angle = moved ? ORDINATE_DOGLEG_ANGLE : 0.0;
    const double dogleg_distance = moved ? ORDINATE_DOGLEG_DISTANCE : 0.0;
    tag_t dim_tag = NULL_TAG;
    UF_CALL(UF_DRF_create_orddimension(m->margin, 2, &drf_object_tag, dogleg_angle, dogleg_distance, &drf_text, 1,
                                       dim_3d, &dim_tag));
}

/* The minimum or maximum edge's value: attached to the end of the first edge the slots give. */
void create_edge_value(const margin_values *m, bool is_max, const edm_shift *shift) {
    const double k = is_max ? m->cmax : m->cmin;
    const int zero_on = m->plan->switches[0], edm_on = m->plan->switches[1];
    /* An edge level with a value already shown would only repeat it. */
    if ((zero_on && k == m->o) || (edm_on && k == m->e)) return;
    int found = -1;
    const tag_t edge = first_edge_of(m->record, is_max ? m->plan->max_order : m->plan->min_order, &found);
    if (edge == NULL_TAG) return;
    double v1[3] = {0, 0, 0}, v2[3] = {0, 0, 0}, s1[2] = {0, 0}, s2[2] = {0, 0};
    int vertex_count = 0;
    UF_CALL(UF_MODL_ask_edge_verts(edge, v1, v2, &vertex_count));
    UF_CALL(UF_VIEW_map_model_to_drawing(m->view, v1, s1));
    UF_CALL(UF_VIEW_map_model_to_drawing(m->view, v2, s2));
    const int across = m->vertical ? 0 : 1, along = 1 - across;
    const int end = choose_edge_end(found == 3, is_max, m->vertical, m->plan->side_flag, round2(s1[across]),
                                    round2(s2[across]), round2(s1[along]), round2(s2[along]));
    double position = 0;
    const int moved = is_max ? place_max_value(m->o, m->e, k, zero_on, edm_on, shift, m->steps, &position)
                             : place_min_value(m->o, m->e, k, zero_on, edm_on, shift, m->steps, &position);
    create_ordinate(m, edge, end, moved != 0, position);
}

}  // namespace

void map_ordinate_frame(tag_t view, const double mr_view_min[3], const double mr_view_max[3], const double mr_min[3],
                        const double mr_max[3], tag_t edm_point_tag, ordinate_frame *frame) {
    map_point_object(view, ori_point, frame->o);
    map_point_object(view, edm_point_tag, frame->e);
    map_sorted_box(view, mr_view_min, mr_view_max, frame->vmin, frame->vmax);
    map_sorted_box(view, mr_min, mr_max, frame->cmin, frame->cmax);
}

void apply_ordinate_preferences(drf_preferences *saved) {
    UF_CALL(UF_DRF_ask_preferences(saved->mpi, saved->mpr, saved->radius_val, saved->diameter_val));
    drf_preferences working = *saved;
    working.mpi[3] = 2;
    working.mpi[7] = 1;
    working.mpi[9] = 3;
    working.mpi[16] = 1;
    working.mpi[90] = 1;
    working.mpr[32] = 3.175;
    working.mpr[33] = 0.75;
    working.mpr[34] = 0.2;
    UF_CALL(UF_DRF_set_preferences(working.mpi, working.mpr, working.radius_val, working.diameter_val));
}

tag_t create_core_ordinate_origin(tag_t view) {
    UF_DRF_object_t drf_object_tag;
    UF_CALL(UF_DRF_init_object_structure(&drf_object_tag));
    drf_object_tag.object_tag = ori_point;
    drf_object_tag.object_view_tag = view;
    const char origin_name[] = "";
    tag_t origin_tag = NULL_TAG;
    UF_CALL(UF_DRF_create_ordorigin(&drf_object_tag, 1, 1, 2, origin_name, &origin_tag));
    return origin_tag;
}

tag_t create_core_margin(tag_t view, tag_t origin, const ordinate_frame *frame, const margin_plan *plan) {
    UF_DRF_object_t drf_object_tag;
    UF_CALL(UF_DRF_init_object_structure(&drf_object_tag));
    drf_object_tag.object_tag = plan->line;
    drf_object_tag.object_view_tag = view;
    const double margin_xy_point[3] = {0, 0, 0};
    const double margin_xy_direction[2] = {0, 0};
    /* A horizontal margin lies off the origin in y, a vertical one in x. */
    const int across = plan->type == UF_DRF_ORD_HORIZONTAL_MARGIN ? 1 : 0;
    const double o = frame->o[across];
    const double margin_offset = plan->side_flag ? -(abs_value(o - frame->vmin[across]) + ORDINATE_MARGIN_GAP)
                                                 : abs_value(o - frame->vmax[across]) + ORDINATE_MARGIN_GAP;
    tag_t margin_tag = NULL_TAG;
    UF_CALL(UF_DRF_create_ordmargin(plan->type, origin, &drf_object_tag, margin_xy_point, margin_xy_direction,
                                    margin_offset, &margin_tag));
    return margin_tag;
}

void create_margin_values(tag_t view, tag_t margin, const ordinate_frame *frame, const box_edge_set *record,
                          const margin_plan *plan, tag_t edm_point_tag) {
    const bool vertical = plan->type == UF_DRF_ORD_VERTICAL_MARGIN;
    const int along = vertical ? 1 : 0;
    const margin_values values = {view,
                                  margin,
                                  vertical,
                                  plan,
                                  record,
                                  frame->o[along],
                                  frame->e[along],
                                  frame->cmin[along],
                                  frame->cmax[along],
                                  vertical ? &Y_MARGIN_STEPS : &X_MARGIN_STEPS};
    const margin_values *m = &values;
    const int zero_on = plan->switches[0], edm_on = plan->switches[1];
    if (zero_on) create_ordinate(m, plan->zero_line, plan->side_flag ? 1 : 2, false, 0);
    edm_shift shift = {false, false};
    if (edm_on && !(zero_on && m->e == m->o)) {
        double position = 0;
        const int moved = place_edm_value(m->o, m->e, m->cmin, m->cmax, zero_on, m->steps, &shift, &position);
        create_ordinate(m, edm_point_tag, 1, moved != 0, position);
    }
    if (plan->switches[2]) create_edge_value(m, false, &shift);
    if (plan->switches[3]) create_edge_value(m, true, &shift);
}
