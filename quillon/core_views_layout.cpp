#include <algorithm>
#include <cmath>

#include "quillon/core_views.h"
#include "quillon/sheet_notes.h"

namespace {

mr_layout_settings stored_settings;

}  // namespace

void reset_mr_layout_settings(void) { stored_settings = mr_layout_settings(); }

int read_mr_layout_settings(mr_layout_settings *settings) {
    if (stored_settings.top_and_front_bound_x == 0.0) {
        const config_cell keys[] = {
            {"mr_top_and_front_view_bound_x:", &stored_settings.top_and_front_bound_x},
            {"mr_top_and_front_view_bound_y:", &stored_settings.top_and_front_bound_y},
            {"mr_top_and_front_view_point_x:", &stored_settings.top_and_front_point_x},
            {"mr_top_and_front_view_point_y:", &stored_settings.top_and_front_point_y},
            {"mr_iso_view_bound_x:", &stored_settings.iso_bound_x},
            {"mr_iso_view_bound_y:", &stored_settings.iso_bound_y},
            {"mr_iso_view_point_x:", &stored_settings.iso_point_x},
            {"mr_iso_view_point_y:", &stored_settings.iso_point_y},
            {"mr_top_and_front_view_space:", &stored_settings.top_and_front_space},
            {"mr_isometric_view:", &stored_settings.isometric_view},
        };
        if (!read_config_cells(keys, sizeof keys / sizeof keys[0])) return 0;
    }
    *settings = stored_settings;
    return 1;
}

int choose_mr_views(int elec_direction, const double box_min[3], const double box_max[3], mr_view_choice *choice) {
    const double x = box_max[0] - box_min[0], y = box_max[1] - box_min[1], z = box_max[2] - box_min[2];
    switch (elec_direction) {
        case ELEC_DIR_T:
            *choice = {"top", "tfr-iso", x, y, z};
            return 1;
        case ELEC_DIR_NEG_T:
            *choice = {"bottom", "reve_iso", x, y, z};
            return 1;
        case ELEC_DIR_F:
            *choice = {"front", "reve_f", x, z, y};
            return 1;
        case ELEC_DIR_NEG_F:
            *choice = {"back", "reve_f_r", x, z, y};
            return 1;
        case ELEC_DIR_S:
            *choice = {"right", "reve_s", y, z, x};
            return 1;
        case ELEC_DIR_NEG_S:
            *choice = {"left", "reve_s_r", y, z, x};
            return 1;
        default:
            *choice = {NULL, NULL, x, y, z};
            return 0;
    }
}

double mr_iso_length(double width, double height, double depth) {
    if (depth > width && depth > height) return std::hypot(width, depth);
    return std::hypot(width, height);
}

void layout_mr_views(const mr_layout_settings *settings, const mr_view_choice *choice, mr_view_layout *layout) {
    const double length = mr_iso_length(choice->width, choice->height, choice->depth);
    layout->iso_view_scale = std::min(settings->iso_bound_x / length, settings->iso_bound_y / length);
    layout->top_view_scale = std::min(settings->top_and_front_bound_x / choice->width,
                                      settings->top_and_front_bound_y / (choice->height + choice->depth));
    const double s = layout->top_view_scale;
    const double x = settings->top_and_front_point_x, y = settings->top_and_front_point_y;
    layout->top_refer_point[0] = x;
    layout->top_refer_point[1] = y - choice->height * s / 2.0;
    layout->s_refer_point[0] = x;
    layout->s_refer_point[1] = y - choice->height * s - settings->top_and_front_space - choice->depth * s / 2.0;
    layout->iso_refer_point[0] = settings->iso_point_x;
    layout->iso_refer_point[1] = settings->iso_point_y;
}
