#include <algorithm>

#include "quillon/core_views.h"
#include "quillon/elec_body_views.h"
#include "quillon/sheet_notes.h"

namespace {

elec_view_settings stored_settings;

}  // namespace

void reset_elec_view_settings(void) { stored_settings = elec_view_settings(); }

int read_elec_view_settings(elec_view_settings *settings) {
    // A frame width of 0 cannot have been read: the keys have not been read yet.
    if (stored_settings.bound_x == 0.0) {
        const config_cell keys[] = {
            {"elec_top_and_front_view_bound_x:", &stored_settings.bound_x},
            {"elec_top_and_front_view_bound_y:", &stored_settings.bound_y},
            {"elec_top_and_front_view_point_x:", &stored_settings.point_x},
            {"elec_top_and_front_view_point_y:", &stored_settings.point_y},
            {"elec_top_and_front_view_space:", &stored_settings.space},
            {"elec_iso_view_bound_x:", &stored_settings.iso_bound_x},
            {"elec_iso_view_bound_y:", &stored_settings.iso_bound_y},
            {"elec_iso_view_point_x:", &stored_settings.iso_point_x},
            {"elec_iso_view_point_y:", &stored_settings.iso_point_y},
        };
        if (!read_config_cells(keys, sizeof keys / sizeof keys[0])) return 0;
    }
    *settings = stored_settings;
    return 1;
}

int choose_elec_views(int elec_direction, const double box_min[3], const double box_max[3], elec_view_choice *choice) {
    const double x = box_max[0] - box_min[0], y = box_max[1] - box_min[1], z = box_max[2] - box_min[2];
    // The electrode is seen from the side opposite the core views: from its working part towards the base.
    switch (elec_direction) {
        case ELEC_DIR_T:
            *choice = {"BOTTOM", "reve_iso", x, y, z};
            return 1;
        case ELEC_DIR_NEG_T:
            *choice = {"TOP", "tfr-iso", x, y, z};
            return 1;
        case ELEC_DIR_F:
            *choice = {"BACK", "reve_f_r", x, z, y};
            return 1;
        case ELEC_DIR_NEG_F:
            *choice = {"FRONT", "reve_f", x, z, y};
            return 1;
        case ELEC_DIR_S:
            *choice = {"LEFT", "reve_s_r", y, z, x};
            return 1;
        case ELEC_DIR_NEG_S:
            *choice = {"RIGHT", "reve_s", y, z, x};
            return 1;
        default:
            *choice = {NULL, NULL, x, y, z};
            return 0;
    }
}

void layout_elec_views(const elec_view_settings *settings, const elec_view_choice *choice, elec_view_layout *layout) {
    const double w = choice->width, h = choice->height, d = choice->depth;
    const double bx = settings->bound_x, by = settings->bound_y, sp = settings->space;
    const double px = settings->point_x, py = settings->point_y;
    layout->top_refer_point[0] = layout->side_refer_point[0] = px;
    layout->top_refer_point[1] = layout->side_refer_point[1] = py;
    // A frame relatively taller than the top view takes the side view below it; otherwise beside it.
    if (by / bx > h / w) {
        const double s = std::min(bx / w, (by - sp) / (h + d));
        layout->view_scale = s;
        layout->top_refer_point[1] = py + (s * d + sp) / 2.0;
        layout->side_refer_point[1] = py - (s * h + sp) / 2.0;
        layout->ortho_proj_dir = ELEC_SIDE_BELOW;
    } else {
        const double s = std::min(by / h, (bx - sp) / (w + d));
        layout->view_scale = s;
        layout->top_refer_point[0] = px - (s * d + sp) / 2.0;
        layout->side_refer_point[0] = px + (s * w + sp) / 2.0;
        layout->ortho_proj_dir = ELEC_SIDE_RIGHT;
    }
    // The iso view holds the diagonal of width and height, or of width and depth when the depth is strictly the
    // largest extent (so not always the two largest: with H > W it keeps W), the same as the core's iso view.
    const double length = mr_iso_length(w, h, d);
    layout->iso_view_scale = std::min(settings->iso_bound_x / length, settings->iso_bound_y / length);
    layout->iso_refer_point[0] = settings->iso_point_x;
    layout->iso_refer_point[1] = settings->iso_point_y;
}
