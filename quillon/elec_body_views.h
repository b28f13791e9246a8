/* The electrode body in its own views on the first sheet of its layer: a top view that looks at the electrode from
 * the side opposite the core views, a side view projected below or to the right of it, and an iso view, with the
 * electrode's overall and working-part sizes written into the two orthographic views. */
#ifndef QUILLON_ELEC_BODY_VIEWS_H
#define QUILLON_ELEC_BODY_VIEWS_H

#include "host/uf_types.h"
#include "my_func/elec_record.h"

/* Places the three views on the current drawing and dimensions them. 1 on success, 0 after a message. */
int MY_create_elec_body_view_and_ord(tag_t elec_tag, const elec_data *elec_data1);

/* The frames and places of config.def, in sheet millimetres; (point_x, point_y) is the centre of the pair of
 * orthographic views. */
typedef struct elec_view_settings_s {
    double bound_x;
    double bound_y;
    double point_x;
    double point_y;
    double space;
    double iso_bound_x;
    double iso_bound_y;
    double iso_point_x;
    double iso_point_y;
} elec_view_settings;

/* Reads the nine keys on the first call and hands back the stored values afterwards: 1, or 0 after the reader's
 * message. */
int read_elec_view_settings(elec_view_settings *settings);
/* Forgets the stored values, as a fresh load of the library does. */
void reset_elec_view_settings(void);

/* The model views the electrode is seen in and which extents of its box are the top view's width and height and the
 * depth the side view adds. 0 for a direction outside the six. */
typedef struct elec_view_choice_s {
    const char *top_view_name;
    const char *iso_view_name;
    double width, height, depth;
} elec_view_choice;
int choose_elec_views(int elec_direction, const double box_min[3], const double box_max[3], elec_view_choice *choice);

/* Where the side view goes: below the top view, or to its right. */
#define ELEC_SIDE_BELOW 3 /* UF_DRAW_project_below */
#define ELEC_SIDE_RIGHT 2 /* UF_DRAW_project_right */

/* One scale for the top and side views and their reference points, the iso view's scale and reference point. */
typedef struct elec_view_layout_s {
    double view_scale;
    double iso_view_scale;
    double top_refer_point[2];
    double side_refer_point[2];
    double iso_refer_point[2];
    int ortho_proj_dir; /* ELEC_SIDE_BELOW or ELEC_SIDE_RIGHT */
} elec_view_layout;
void layout_elec_views(const elec_view_settings *settings, const elec_view_choice *choice, elec_view_layout *layout);

#endif
