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

/* One margin of a view: its type, the centre line it hangs on, the side it takes (left for a vertical margin, low for
 * a horizontal one: beyond the view box's left or lower edge, else its right or upper edge), the centre line whose
 * end carries its zero, the slot orders of its minimum and maximum edges and its four switches (origin, EDM point,
 * minimum edge, maximum edge). */
typedef struct margin_plan_s {
    int type;
    tag_t line;
    bool side_flag;
    tag_t zero_line;
    const int *min_order, *max_order;
    int switches[4];
} margin_plan;

/* The margin on the origin, 6 beyond the view box on its side. */
tag_t create_core_margin(tag_t view, tag_t origin, const ordinate_frame *frame, const margin_plan *plan);

/* The margin's values in the order origin, EDM point, minimum edge, maximum edge, with their skip and crowding rules;
 * the edges come from the record by the plan's slot orders. */
void create_margin_values(tag_t view, tag_t margin, const ordinate_frame *frame, const box_edge_set *record,
                          const margin_plan *plan, tag_t edm_point_tag);

#endif
