/* The electrode's position on the mould-core views: linear dimensions from the core's centre lines to the EDM point,
 * two in the top view and one in the front view, each outside the view box on the side the EDM point lies towards. */
#ifndef QUILLON_POSITION_DIMS_H
#define QUILLON_POSITION_DIMS_H

#include "host/uf_types.h"
#include "my_func/elec_record.h"

/* The sides the position dimensions took, so that the ordinate margins keep to the others; one byte each, in this
 * order. left: the vertical dimension's text went beyond the box's right side on the sheet, so the vertical margin
 * goes left; low: the horizontal dimension's text went above the box, so the horizontal margin goes below. */
typedef struct dim_side_s {
    unsigned char left;
    unsigned char low;
} dim_side;

/* Both always return 1; a failed host call is listed and the routine goes on. A direction outside the six makes
 * nothing (the run stops on it right after). */
int create_top_position_dims(tag_t t_view_tag, const double mr_view_min[3], const double mr_view_max[3],
                             const elec_data *elec, tag_t edm_point_tag, dim_side *top_dim_side);
int create_front_position_dims(tag_t f_view_tag, const double mr_view_min[3], const double mr_view_max[3],
                               const elec_data *elec, tag_t edm_point_tag, dim_side *front_dim_side);

/* How a text is put beside the view box, on one sheet axis, from the EDM point's coordinate e and the mapped box
 * corners vmin and vmax (as they come, so vmax lies lower or further left in a mirrored view). */
typedef enum position_rule_e {
    POSITION_RULE_U,       /* horizontal dimension: 11 above when e is at or above the middle, else 4 below */
    POSITION_RULE_U_PRIME, /* horizontal dimension in a view whose vertical is turned over */
    POSITION_RULE_R,       /* vertical dimension: 4 right when e is at or right of the middle, else 11 left */
    POSITION_RULE_R_PRIME  /* vertical dimension in a view whose horizontal is turned over */
} position_rule;

/* The text's coordinate across the dimension; *side_flag becomes 1 when the text took the box's far side (above, or
 * right) and 0 otherwise. */
double position_text_across(position_rule rule, double e, double vmin, double vmax, unsigned char *side_flag);

/* The text's coordinate along the dimension: centred between the line's point p and the EDM point e, or, when the
 * value d as the dimension writes it (three decimals, trailing zeros dropped) needs more room than the dimension's
 * sheet length |d| * scale, beyond e on the side away from the line. */
double position_text_along(double d, double scale, double p, double e);

#endif
