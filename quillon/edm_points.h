/* The EDM reference point objects from which the drawings dimension each electrode's position. */
#ifndef QUILLON_EDM_POINTS_H
#define QUILLON_EDM_POINTS_H

#include "host/uf_types.h"
#include "my_func/elec_record.h"

/* Makes sure a point object at the record's reference point (att_side_pt for a single-side electrode, else
 * elec_point) lies on level, creating it there once. 1 when it does afterwards; 0 after a message. */
int create_edm_point(const elec_data *record, int level);

/* The point object at the record's reference point on level: 1 and its tag in point, or 0 after a message. */
int find_edm_point(tag_t *point, const elec_data *record, int level);

#endif
