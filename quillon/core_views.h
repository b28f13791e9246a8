/* The mould core on an electrode's sheet: top view, front view below it and iso view, seen from the side the
 * electrode works on, scaled to fixed frames. */
#ifndef QUILLON_CORE_VIEWS_H
#define QUILLON_CORE_VIEWS_H

#include "host/uf_types.h"
#include "my_func/elec_record.h"

/* The number of the mould-core layout among the sheet's layouts; the run has this one only. */
#define MR_VIEW_LAYOUT 5

/* Places the core views on draw_tag and hands back the top and front views and the box they show: the core box
 * mr_min / mr_max widened by the electrode when show_electrode is set. On the first sheet of a run it also makes the
 * core's centre lines. 1 on success, 0 after a message. */
int import_mr_view(tag_t draw_tag, tag_t *top_view_tag, tag_t *s_view_tag, int mr_layer, int show_electrode,
                   double mr_view_min[3], double mr_view_max[3], int number_modl, const elec_data *elec_data1,
                   tag_t edm_point_tag, const double mr_min[3], const double mr_max[3]);

/* The frames and places of config.def, in sheet millimetres. */
typedef struct mr_layout_settings_s {
    double top_and_front_bound_x;
    double top_and_front_bound_y;
    double top_and_front_point_x;
    double top_and_front_point_y;
    double iso_bound_x;
    double iso_bound_y;
    double iso_point_x;
    double iso_point_y;
    double top_and_front_space;
    double isometric_view;
} mr_layout_settings;

/* Reads the settings once per run: 1, or 0 after the reader's message. */
int read_mr_layout_settings(mr_layout_settings *settings);
/* Forgets the settings, as a fresh load of the library does. */
void reset_mr_layout_settings(void);

/* The model views an electrode direction is seen in, and which extents of the box are the top view's width and
 * height and the front view's height. 0 for a direction outside the six. */
typedef struct mr_view_choice_s {
    const char *top_view_name;
    const char *iso_view_name;
    double width, height, depth;
} mr_view_choice;
int choose_mr_views(int elec_direction, const double box_min[3], const double box_max[3], mr_view_choice *choice);

/* Scales and reference points of the three views. */
typedef struct mr_view_layout_s {
    double top_view_scale;
    double iso_view_scale;
    double top_refer_point[2];
    double s_refer_point[2];
    double iso_refer_point[2];
} mr_view_layout;

/* The diagonal the iso view must hold: of width and height, or of width and depth when the depth is strictly the
 * largest extent. */
double mr_iso_length(double width, double height, double depth);
void layout_mr_views(const mr_layout_settings *settings, const mr_view_choice *choice, mr_view_layout *layout);

#endif
