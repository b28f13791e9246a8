/* The depth-zero label: the user words it and picks its point on the model and its place on the first sheet; every
 * later sheet of the run repeats it there, with its leader at the point as seen in that sheet's top view. */
#ifndef QUILLON_DEPTH_ZERO_LABEL_H
#define QUILLON_DEPTH_ZERO_LABEL_H

#include "host/uf_types.h"

/* Labels the depth-zero plane on the current sheet, asking the user on the first sheet of the run. The annotation
 * preferences are as before when it returns. Its result is not looked at. */
int write_depth_zero_label(tag_t mr_top_view_tag, int mr_layer);

/* Forgets the text, the points and the user's choice, as a fresh load of the library does. */
void reset_depth_zero_label(void);

#endif
