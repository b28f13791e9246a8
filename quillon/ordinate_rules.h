/* Where the values of the core-view ordinate dimensions stand on their margins. Everything here works on one sheet
 * coordinate along one margin (y on a vertical margin, x on a horizontal one), rounded to 2 decimals: o the origin,
 * e the EDM point, k the core edge in hand. A value that would crowd an earlier one is moved along the margin by steps
 * and joined to its own place by a dogleg. */
#ifndef QUILLON_ORDINATE_RULES_H
#define QUILLON_ORDINATE_RULES_H

#include "host/uf_types.h"
#include "my_func/edge_scans.h"

/* Two features closer than this along a margin crowd each other, sheet mm. */
#define ORDINATE_CROWDING 5.0
/* A margin lies this far outside the view box. */
#define ORDINATE_MARGIN_GAP 6.0
/* Every moved value hangs on a dogleg of this angle (degrees) and length (mm). */
#define ORDINATE_DOGLEG_ANGLE 60.0
#define ORDINATE_DOGLEG_DISTANCE 3.0

/* A margin's steps: one and two steps towards larger coordinates (up, right) and towards smaller ones. A value text
 * reaches from its place towards larger coordinates on a vertical margin and is turned along the extension line on a
 * horizontal one, so the steps are not symmetric. max_shifted_reach: how close a maximum edge below (left of) the
 * origin must be for its value to follow an EDM value moved one step down (left). */
typedef struct margin_steps_s {
    double p1, p2, n1, n2;
    double max_shifted_reach;
} margin_steps;

extern const margin_steps Y_MARGIN_STEPS; /* the vertical margin: values along y */
extern const margin_steps X_MARGIN_STEPS; /* the horizontal margin: values along x */

/* Which way the EDM value of a margin was moved by one step: towards larger (up, right) or smaller coordinates. */
typedef struct edm_shift_s {
    bool up_or_right;
    bool down_or_left;
} edm_shift;

/* The EDM value: with the origin's value shown (origin_on), moved clear of it unless a core edge between the two
 * keeps them apart. cmin and cmax are the core's extremes on the same axis. 1 and *position when moved; shift records
 * a one-step move. */
int place_edm_value(double o, double e, double cmin, double cmax, int origin_on, const margin_steps *steps,
                    edm_shift *shift, double *position);

/* The value of the core's minimum (k = cmin) or maximum (k = cmax) edge, clear of the origin's and EDM point's values
 * that are shown. 1 and *position when moved. */
int place_min_value(double o, double e, double k, int origin_on, int edm_on, const edm_shift *shift,
                    const margin_steps *steps, double *position);
int place_max_value(double o, double e, double k, int origin_on, int edm_on, const edm_shift *shift,
                    const margin_steps *steps, double *position);

/* The slots of an edge record in the order they are tried for one extreme of the scan plane: the vertical axis's
 * minimum and maximum, the horizontal axis's minimum and maximum. */
extern const int SLOTS_V_MIN[4];
extern const int SLOTS_V_MAX[4];
extern const int SLOTS_H_MIN[4];
extern const int SLOTS_H_MAX[4];

/* The first edge of the record found in the four slots in order; its index in order (0 to 3) goes to *found.
 * NULL_TAG when all four are empty. */
tag_t first_edge_of(const box_edge_set *record, const int order[4], int *found);

/* Which end of an edge an extreme-edge ordinate is attached to (1 first vertex, 2 second), from the two vertices'
 * sheet coordinates a1, a2 across the margin (x on a vertical margin, y on a horizontal one) and b1, b2 along it.
 * touching: the edge came from the last slot of the order, so only its extreme end is on the core's extreme. */
int choose_edge_end(bool touching, bool is_max, bool vertical_margin, bool side_flag, double a1, double a2, double b1,
                    double b2);

#endif
