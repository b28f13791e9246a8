/* The base search of an electrode body: which side of its box the base (or, without base, the diagonal line) lies on,
 * the diagonal line, the EDM reference point, the body box and the single-side touch point. */
#ifndef MY_FUNC_BASIC_ANALYSIS_H
#define MY_FUNC_BASIC_ANALYSIS_H

#include "host/uf_types.h"
#include "my_func/elec_record.h"

/* The base's faces as the search found them; both null for an electrode without base. */
struct elec_base {
    tag_t top_face;      /* the back face, on the side named by the direction */
    tag_t depth_face;    /* the face with the back face's outline from which the working part projects */
    double depth_min[3]; /* the depth face's edge box, 3 decimals */
    double depth_max[3];
};

/* The side of the body box (bmin, bmax) whose whole rectangle the box (lo, hi) covers, as an ELEC_DIR_* code, tested
 * in the order t, -t, f, -f, s, -s; 0 for none. All six points rounded to 3 decimals. */
int elec_box_side(const double lo[3], const double hi[3], const double bmin[3], const double bmax[3]);

/* Fills elec_tag to not_have_base of the record (nothing else) and base. Returns 1, or 0 after one message; base then
 * holds the faces found before the failure, null tags for the rest. */
int find_elec_base(tag_t body, elec_data *record, elec_base *base);

/* The record cleared with init_elec_data and filled by find_elec_base; used where only the reference is wanted. */
int analyse_elec_body_basic(tag_t body, elec_data *record);

#endif
