#include "quillon/elec_body_dims.h"

#include "host/uf.h"
#include "host/uf_call.h"
#include "host/uf_curve.h"
#include "host/uf_draw.h"
#include "host/uf_drf.h"
#include "host/uf_modl.h"
#include "host/uf_obj.h"
#include "host/uf_ui.h"
#include "host/uf_view.h"
#include "my_func/edge_scans.h"
#include "my_func/numeric_text.h"
#include "my_func/tag_array.h"
#include "quillon/drf_preferences.h"

namespace {

/* The bodies every scan examines, and where the dimensions of one group go. */
struct body_dims_job {
    tag_t draw_tag;
    tag_t t_view_tag;
    tag_t s_view_tag;
    int elec_direction;
    int ortho_proj_dir;
    body_view_axes axes;
    const tag_array *bodies;
    double ext_w, ext_h, ext_d; /* the electrode box, which the outline offsets go by in both groups */
};

struct body_dims_group {
    int group;
    const double *lo;
    const double *hi;
    double m_min[2], m_max[2];
};

/* An edge scan looking along a model axis, and the axes of its plane (h across, v up). */
struct looking_scan {
    int h, v;
    int (*scan)(const tag_t *, int, const double *, const double *, box_edge_set *);
};

looking_scan scan_along(int axis) {
    switch (axis) {
        case 0:
            return {1, 2, scan_body_edges_yz};
        case 1:
            return {0, 2, scan_body_edges_xz};
        default:
            return {0, 1, scan_body_edges_xy};
    }
}

tag_t create_fallback_point(tag_t draw_tag, const double point[3]) {
    int disp_state = 0;
    UF_CALL(UF_DRAW_ask_display_state(&disp_state));
    if (disp_state == UF_DRAW_DRAWING_DISPLAY) UF_CALL(UF_DRAW_set_display_state(UF_DRAW_MODEL_DISPLAY));
    tag_t point_tag = NULL_TAG;
    UF_CALL(UF_CURVE_create_point(point, &point_tag));
    if (disp_state == UF_DRAW_DRAWING_DISPLAY) UF_CALL(UF_DRAW_open_drawing(draw_tag));
    return point_tag;
}

/* One end of a dimension: the best edge the scan found at that side, else a point made there. */
void choose_end(const body_dims_job &job, const body_dims_group &g, const box_edge_set &record,
                const looking_scan &plane, int kind, int m, bool high_end, UF_DRF_object_t *end) {
    const bool horizontal = body_dim_is_horizontal(kind, job.ortho_proj_dir);
    const int base = m == plane.h ? 8 : 0;  // slots 8-15 measure along h, slots 0-7 along v
    for (int candidate = 1; candidate <= 4; ++candidate) {
        const tag_t edge = box_edge_slot(&record, base + 2 * (candidate - 1) + (high_end ? 1 : 0));
        if (edge == NULL_TAG) continue;
        double p1[3] = {0, 0, 0}, p2[3] = {0, 0, 0};
        int vertex_count = 0;
        UF_CALL(UF_MODL_ask_edge_verts(edge, p1, p2, &vertex_count));
        round_point(p1);
        round_point(p2);
        const int other = horizontal ? job.axes.h : job.axes.w;
        end->object_tag = edge;
        end->object_assoc_modifier =
            body_dim_end(candidate, high_end, horizontal, job.elec_direction, m, other, p1, p2);
        return;
    }
    double point[3];
    for (int k = 0; k < 3; ++k) point[k] = g.hi[k] / 2.0 + g.lo[k] / 2.0;
    point[m] = high_end ? g.hi[m] : g.lo[m];
    // The top width of an electrode seen along z is measured at the bottom of the box, where its top view ends.
    const bool along_z = job.elec_direction == ELEC_DIR_T || job.elec_direction == ELEC_DIR_NEG_T;
    if (kind == BODY_DIM_TOP_WIDTH && along_z) point[2] = g.lo[2];
    end->object_tag = create_fallback_point(job.draw_tag, point);
}

void create_body_dim(const body_dims_job &job, const body_dims_group &g, const box_edge_set &record,
                     const looking_scan &plane, int kind, int m) {
    const tag_t view = kind == BODY_DIM_SIDE_DEPTH ? job.s_view_tag : job.t_view_tag;
    UF_DRF_object_t drf_object1_tag, drf_object2_tag;
    UF_CALL(UF_DRF_init_object_structure(&drf_object1_tag));
    UF_CALL(UF_DRF_init_object_structure(&drf_object2_tag));
    choose_end(job, g, record, plane, kind, m, false, &drf_object1_tag);
    choose_end(job, g, record, plane, kind, m, true, &drf_object2_tag);
    drf_object1_tag.object_view_tag = view;
    drf_object2_tag.object_view_tag = view;

    body_dim_spot spot = {};
    spot.group = g.group;
    spot.kind = kind;
    spot.ortho_proj_dir = job.ortho_proj_dir;
    UF_CALL(UF_DRAW_ask_drawing_ref_pt(view, spot.ref));
    tag_t exp_tag = NULL_TAG;
    UF_CALL(UF_DRAW_ask_view_scale(view, &exp_tag, &spot.scale));
    spot.ext_w = job.ext_w;
    spot.ext_h = job.ext_h;
    spot.ext_d = job.ext_d;
    spot.value = g.hi[m] - g.lo[m];
    for (int k = 0; k < 2; ++k) {
        spot.m_min[k] = g.m_min[k];
        spot.m_max[k] = g.m_max[k];
    }
    double dim_point[3];
    place_body_dim(&spot, dim_point);

    char user_text[2] = "H";
    char empty_line[10] = {0};
    char *appended[1] = {empty_line};
    UF_DRF_text_t drf_text = {user_text, 1, appended};
    tag_t dim_tag = NULL_TAG;
    if (body_dim_is_horizontal(kind, job.ortho_proj_dir))
        UF_CALL(UF_DRF_create_horizontal_dim(&drf_object1_tag, &drf_object2_tag, &drf_text, dim_point, &dim_tag));
    else
        UF_CALL(UF_DRF_create_vertical_dim(&drf_object1_tag, &drf_object2_tag, &drf_text, dim_point, &dim_tag));
}

/* The top width and height from a scan along the top view's line of sight, then the side depth from a scan along the
 * side view's. 0 when a scan failed (it has told the user). */
int dimension_group(const body_dims_job &job, const body_dims_group &g) {
    const tag_t *bodies = job.bodies->items;
    const int count = job.bodies->count;
    box_edge_set record;
    const looking_scan top = scan_along(job.axes.d);
    if (!top.scan(bodies, count, g.lo, g.hi, &record)) return 0;
    create_body_dim(job, g, record, top, BODY_DIM_TOP_WIDTH, job.axes.w);
    create_body_dim(job, g, record, top, BODY_DIM_TOP_HEIGHT, job.axes.h);
    const looking_scan side = scan_along(job.ortho_proj_dir == 2 ? job.axes.w : job.axes.h);
    if (!side.scan(bodies, count, g.lo, g.hi, &record)) return 0;
    create_body_dim(job, g, record, side, BODY_DIM_SIDE_DEPTH, job.axes.d);
    return 1;
}

/* An electrode without a base has no working part: its working-part box is the zero box the analysis leaves. */
bool has_working_part(const elec_data &record) {
    if (record.not_have_base) return false;
    for (int k = 0; k < 3; ++k)
        if (record.elec_body_max[k] != record.elec_body_min[k]) return true;
    return false;
}

int collect_visible_bodies(tag_t view, tag_array *bodies) {
    int n_visible = 0, n_clipped = 0;
    tag_t *visible_obj = NULL, *clipped_obj = NULL;
    UF_CALL(UF_VIEW_ask_visible_objects(view, &n_visible, &visible_obj, &n_clipped, &clipped_obj));
    int ok = 1;
    for (int i = 0; i < n_visible && ok; ++i) {
        int type = 0, subtype = -1, body_type = 0;
        UF_CALL(UF_OBJ_ask_type_and_subtype(visible_obj[i], &type, &subtype));
        if (type != UF_solid_type || subtype != UF_solid_body_subtype) continue;
        UF_CALL(UF_MODL_ask_body_type(visible_obj[i], &body_type));
        if (body_type == UF_MODL_SOLID_BODY && !bodies->append(visible_obj[i])) ok = 0;
    }
    if (visible_obj != NULL) UF_free(visible_obj);
    if (clipped_obj != NULL) UF_free(clipped_obj);
    return ok;
}

}  // namespace

int MY_elec_body_dims(tag_t draw_tag, tag_t t_view_tag, tag_t s_view_tag, tag_t /*unused_view_tag*/, int elec_direction,
                      int ortho_proj_dir, const double elec_box_min[3], const double elec_box_max[3],
                      elec_data elec_body_data1) {
    tag_array bodies;
    const int listed = collect_visible_bodies(t_view_tag, &bodies);
    UF_CALL(UF_DRAW_set_border_display(FALSE));
    if (!listed) {
        uc1601("MY_elec_body_dims 子程式分配内存时出差错,这可能是可利用内存不够!", 1);
        return 0;
    }

    drf_preferences saved, working;
    UF_CALL(UF_DRF_ask_preferences(saved.mpi, saved.mpr, saved.radius_val, saved.diameter_val));
    UF_CALL(UF_DRF_ask_preferences(working.mpi, working.mpr, working.radius_val, working.diameter_val));
    working.mpi[3] = 2;
    working.mpi[7] = 1;
    working.mpi[9] = BODY_DIM_DECIMALS;
    working.mpi[16] = 1;
    working.mpi[30] = 5;
    working.mpi[90] = BODY_DIM_TRAILING_ZEROS;
    working.mpr[32] = 2.8;
    working.mpr[33] = 0.75;
    working.mpr[34] = 0.3;
    UF_CALL(UF_DRF_set_preferences(working.mpi, working.mpr, working.radius_val, working.diameter_val));

    int result = 1;
    body_dims_job job = {draw_tag, t_view_tag, s_view_tag, elec_direction, ortho_proj_dir, {0, 1, 2}, &bodies, 0, 0, 0};
    if (body_dim_axes(elec_direction, &job.axes)) {
        job.ext_w = elec_box_max[job.axes.w] - elec_box_min[job.axes.w];
        job.ext_h = elec_box_max[job.axes.h] - elec_box_min[job.axes.h];
        job.ext_d = elec_box_max[job.axes.d] - elec_box_min[job.axes.d];
        const body_dims_group overall = {1, elec_box_min, elec_box_max, {0, 0}, {0, 0}};
        result = dimension_group(job, overall);
        if (result && has_working_part(elec_body_data1)) {
            body_dims_group working_part = {
                2, elec_body_data1.elec_body_min, elec_body_data1.elec_body_max, {0, 0}, {0, 0}};
            UF_CALL(UF_VIEW_map_model_to_drawing(t_view_tag, elec_body_data1.elec_body_min, working_part.m_min));
            UF_CALL(UF_VIEW_map_model_to_drawing(t_view_tag, elec_body_data1.elec_body_max, working_part.m_max));
            result = dimension_group(job, working_part);
        }
    }
    UF_CALL(UF_DRF_set_preferences(saved.mpi, saved.mpr, saved.radius_val, saved.diameter_val));
    return result;
}
