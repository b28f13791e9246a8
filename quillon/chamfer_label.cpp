#include "quillon/chamfer_label.h"

#include "host/uf_call.h"
#include "host/uf_drf.h"
#include "host/uf_view.h"
#include "my_func/numeric_text.h"
#include "quillon/drf_preferences.h"

namespace {

#define ROOM_NEEDED 7.0
#define TEXT_OUTWARDS 5.0
#define TEXT_INWARDS 6.0
#define BEYOND_VIEW 20.0

/* A model box seen in the view: its sheet corners, smaller coordinates in lo (mapping may swap them). Sheet positions
 * are compared at two decimals. */
void sheet_box(tag_t view, const double model_min[3], const double model_max[3], double lo[2], double hi[2]) {
    double a[2] = {0.0, 0.0}, b[2] = {0.0, 0.0};
    UF_CALL(UF_VIEW_map_model_to_drawing(view, model_min, a));
    UF_CALL(UF_VIEW_map_model_to_drawing(view, model_max, b));
    for (int k = 0; k < 2; ++k) {
        lo[k] = round_decimals(a[k] < b[k] ? a[k] : b[k], 2);
        hi[k] = round_decimals(a[k] < b[k] ? b[k] : a[k], 2);
    }
}

}  // namespace

int chamfer_label_points(int corner, const double vmin[2], const double vmax[2], const double emin[2],
                         const double emax[2], double text_point[3], double leader_point[3]) {
    if (corner < 1 || corner > 4) return 0;
    const bool right = corner == 1 || corner == 4;
    const bool upper = corner == 1 || corner == 2;
    const double sx = right ? 1.0 : -1.0;
    const double sy = upper ? 1.0 : -1.0;
    const double cx = right ? emax[0] : emin[0];
    const double cy = upper ? emax[1] : emin[1];
    const double room_x = round_decimals(right ? vmax[0] - emax[0] : emin[0] - vmin[0], 2);
    const double room_y = round_decimals(upper ? vmax[1] - emax[1] : emin[1] - vmin[1], 2);

    double tx, ty;
    if (room_x > ROOM_NEEDED && room_y > ROOM_NEEDED) {
        tx = cx + TEXT_OUTWARDS * sx;
        ty = cy + TEXT_OUTWARDS * sy;
    } else if (room_x > ROOM_NEEDED && room_y < ROOM_NEEDED) {
        tx = cx + TEXT_OUTWARDS * sx;
        ty = cy - TEXT_INWARDS * sy;
    } else if (room_x < ROOM_NEEDED && room_y > ROOM_NEEDED) {
        tx = cx - TEXT_INWARDS * sx;
        ty = cy + TEXT_OUTWARDS * sy;
    } else {
        // Cramped both ways (or exactly at the limit): clear of the whole view, where the leader can reach in.
        tx = cx - TEXT_INWARDS * sx;
        ty = (upper ? vmax[1] : vmin[1]) + BEYOND_VIEW * sy;
    }
    text_point[0] = tx, text_point[1] = ty, text_point[2] = 0.0;
    leader_point[0] = cx, leader_point[1] = cy, leader_point[2] = 0.0;
    return 1;
}

int write_chamfer_label(tag_t top_view, const double mr_view_min[3], const double mr_view_max[3], const elec_data *e) {
    double vmin[2], vmax[2], emin[2], emax[2];
    sheet_box(top_view, mr_view_min, mr_view_max, vmin, vmax);
    sheet_box(top_view, e->elec_box_min, e->elec_box_max, emin, emax);
    double note_ori[3], label_ori[3];
    if (!chamfer_label_points(e->chamfer_corner, vmin, vmax, emin, emax, note_ori, label_ori)) return 0;

    drf_preferences saved, working;
    UF_CALL(UF_DRF_ask_preferences(saved.mpi, saved.mpr, saved.radius_val, saved.diameter_val));
    UF_CALL(UF_DRF_ask_preferences(working.mpi, working.mpr, working.radius_val, working.diameter_val));
    working.mpr[9] = 1.5;
    working.mpr[44] = 3.175;
    working.mpr[45] = 1.0;
    // The leader leaves the text at the end that faces the corner.
    working.mpi[1] = note_ori[0] <= label_ori[0] ? 2 : 1;
    UF_CALL(UF_DRF_set_preferences(working.mpi, working.mpr, working.radius_val, working.diameter_val));

    tag_t label_tag = NULL_TAG;
    UF_CALL(UF_DRF_create_label(1, "c角", note_ori, UF_DRF_leader_attach_screen, NULL, label_ori, &label_tag));
    UF_CALL(UF_DRF_set_preferences(saved.mpi, saved.mpr, saved.radius_val, saved.diameter_val));
    return 1;
}
