/* The mould core's centre lines and origin point: the zero every position dimension of a run measures from. */
#ifndef QUILLON_CENTER_LINES_H
#define QUILLON_CENTER_LINES_H

#include "host/uf_types.h"

/* Made once per run, on its first sheet, and shared by the views and dimensions of every later sheet. */
extern tag_t top_center_line_x;
extern tag_t top_center_line_y;
extern tag_t top_center_line_z;
extern tag_t ori_point;

/* Forgets the lines of an earlier run so that the next sheet makes them afresh (the objects stay in the part). */
void reset_core_center_lines(void);

/* Draws the three axis lines through the origin (the work coordinate system's when the run asks for it), each reaching
 * 5 sheet millimetres beyond the core box at top_view_scale, and the origin point, all on mr_layer; the lines in the
 * centre-line font. Returns to draw_tag afterwards. 1 on success, 0 after a message. */
int create_core_center_lines(const double mr_min[3], const double mr_max[3], tag_t draw_tag, double top_view_scale,
                             int mr_layer);

#endif
