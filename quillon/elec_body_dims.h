/* The electrode's six sizes in its body views: the overall size (its box) and the size of its working part, each as the
 * top view's width and height and the depth the side view adds. Each dimension ends on a real edge found by an edge
 * scan, or on a point made at that side of the box where no edge lies there. */
#ifndef QUILLON_ELEC_BODY_DIMS_H
#define QUILLON_ELEC_BODY_DIMS_H

#include "host/uf_types.h"
#include "my_func/elec_record.h"

/* Writes the dimensions into the top view t_view_tag and the side view s_view_tag of draw_tag; the fourth view
 * argument is not read. ortho_proj_dir is 2 when the side view stands right of the top view, 3 when below it. Of the
 * record only the working-part box (and whether the electrode has a base) is read. 1 on success, 0 after a message;
 * the annotation preferences are as before on every way out. */
int MY_elec_body_dims(tag_t draw_tag, tag_t t_view_tag, tag_t s_view_tag, tag_t unused_view_tag, int elec_direction,
                      int ortho_proj_dir, const double elec_box_min[3], const double elec_box_max[3],
                      elec_data elec_body_data1);

/* Model axes (0 x, 1 y, 2 z) the top view shows across (w) and up (h), and the one it looks along (d). 0 for a
 * direction outside the six. */
typedef struct body_view_axes_s {
    int w, h, d;
} body_view_axes;
int body_dim_axes(int elec_direction, body_view_axes *axes);

/* The three dimensions of a group. */
/* The sizes are written with three decimals and their trailing zeros ("10.000"); the fit is reckoned on that text. */
#define BODY_DIM_DECIMALS 3
#define BODY_DIM_TRAILING_ZEROS 1

#define BODY_DIM_TOP_WIDTH 1
#define BODY_DIM_TOP_HEIGHT 2
#define BODY_DIM_SIDE_DEPTH 3

/* Whether a dimension is horizontal on the sheet: the top width always, the side depth when the side view stands
 * to the right. */
bool body_dim_is_horizontal(int kind, int ortho_proj_dir);

/* Which vertex of a found edge a dimension ends on: 1 or 2, in the order the host gives the edge's vertices.
 * candidate is 1 to 4 (box edge, full-length edge, longest edge, touching edge); m is the measured axis and
 * other the view's other axis. Points are compared as given (rounded by the caller); equal coordinates take 2. */
int body_dim_end(int candidate, bool high_end, bool horizontal, int elec_direction, int m, int other,
                 const double p1[3], const double p2[3]);

/* Where a dimension's value goes. ref and scale are the view's; ext_w, ext_h and ext_d the extents of the
 * electrode box along the top view's axes, also for group 2; value the measured extent; m_min and m_max the sheet
 * points of the working-part box corners in the top view (group 2 only). */
typedef struct body_dim_spot_s {
    int group; /* 1 the electrode box, 2 the working part */
    int kind;  /* BODY_DIM_* */
    int ortho_proj_dir;
    double ref[2];
    double scale;
    double ext_w, ext_h, ext_d;
    double value;
    double m_min[2], m_max[2];
} body_dim_spot;

/* The estimated width of the value's text (2.5 mm per character of the text the sizes are written with, "10.000")
 * and whether it fits the dimension's drawn length, value times scale; a text exactly as long fits. */
bool body_dim_text_fits(double value, double scale, double *text_width);

void place_body_dim(const body_dim_spot *spot, double dim_point[3]);

#endif
