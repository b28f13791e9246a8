/* What the top-view and front-view ordinates share: the sheet quantities of a view, the working preferences, the
 * origin, and one margin's four values (origin, EDM point, minimum and maximum edge) with their skip and crowding
 * rules. */
#ifndef QUILLON_ORDINATE_MARGIN_H
#define QUILLON_ORDINATE_MARGIN_H

#include "host/uf_types.h"
#include "my_func/edge_scans.h"
#include "quillon/drf_preferences.h"
#include "quillon/ordinate_rules.h"

/* Sheet points of a view, rounded to 2 decimals: the origin, the EDM point, and the view box and core box with each
 * sheet axis sorted (a turned-over view maps the model minimum to the sheet maximum). Index 0 is x, 1 is y. */
typedef struct ordinate_frame_s {
    double o[2], e[2];
    double vmin[2], vmax[2];
    double cmin[2], cmax[2];
} ordinate_frame;

void map_ordinate_frame(tag_t view, const double mr_view_min[3], const double mr_view_max[3], const double mr_min[3],
                        const double mr_max[3], tag_t edm_point_tag, ordinate_frame *frame);

/* Sets the ordinates' working preferences; the saved copy goes back with UF_DRF_set_preferences afterwards. */
void apply_ordinate_preferences(drf_preferences *saved);

/* The ordinate origin at the core's origin point in the view. */
tag_t create_core_ordinate_origin(tag_t view);

/* A margin of the given type hung on a centre line, offset across itself from the origin. */
tag_t create_core_margin(int type, tag_t origin, tag_t line, tag_t view, double offset);

/* The margin's offset: 6 beyond the view box on the near (left or lower) side when near_side, else on the far side. */
double core_margin_offset(double o, double vmin, double vmax, bool near_side);

/* One margin's values, in the order origin, EDM point, minimum edge, maximum edge. */
typedef struct margin_values_s {
    tag_t view;
    tag_t margin;
    bool vertical;   /* a vertical margin carries y values */
    bool side_flag;  /* left for a vertical margin, low for a horizontal one */
    tag_t zero_line; /* the centre line through the origin whose end carries the zero */
    const box_edge_set *record;
    const int *min_order, *max_order; /* four slots each */
    int zero_on, edm_on, min_on, max_on;
    double o, e, cmin, cmax; /* along the margin */
    const margin_steps *steps;
} margin_values;

void create_margin_values(const margin_values *m, tag_t edm_point_tag);

#endif
