/* Ordinate dimensions on the mould-core views: an origin at the core's origin point, margins outside the view box on
 * the sides the position dimensions left free, and values for the origin, the EDM point and the core's extreme edges,
 * each switched in config.def. */
#ifndef QUILLON_CORE_ORDINATES_H
#define QUILLON_CORE_ORDINATES_H

#include "host/uf_types.h"
#include "my_func/edge_scans.h"
#include "quillon/position_dims.h"

/* The top view: a horizontal and a vertical margin with up to four values each. record is the edge scan of the plane
 * the view shows (XY for t and -t, XZ for f and -f, YZ for s and -s). 1 on success, 0 after a message (a null view,
 * an unreadable switch). */
int create_top_view_ordinates(tag_t mr_view_tag, const double mr_view_min[3], const double mr_view_max[3],
                              const box_edge_set *record, const double mr_min[3], const double mr_max[3],
                              const dim_side *top_dim_side, tag_t edm_point_tag, int elec_direction);

/* The front view: one vertical margin for the depth, with up to four values. record is the XZ scan for t and -t and
 * the XY scan for the others. */
int create_front_view_ordinates(tag_t mr_view_tag, const double mr_view_min[3], const double mr_view_max[3],
                                const box_edge_set *record, const double mr_min[3], const double mr_max[3],
                                const dim_side *front_dim_side, tag_t edm_point_tag, int elec_direction);

/* Forgets the switches read from config.def, as a fresh load of the library does. */
void reset_core_ordinate_switches(void);

#endif
