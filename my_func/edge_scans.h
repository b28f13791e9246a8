// Extents by edge scan: the straight edges of a set of bodies that lie on the extremes of their common box, as seen in
// one plane of the model axes. The dimensions measure to these real edges rather than to a box.
#ifndef MY_FUNC_EDGE_SCANS_H
#define MY_FUNC_EDGE_SCANS_H

#include "host/uf_types.h"

// Sixteen edge tags, four candidates per side of the scan plane's horizontal axis h and vertical axis v; a slot that
// found nothing holds the null tag. Slots 0-7 serve dimensions along v, slots 8-15 dimensions along h.
typedef struct box_edge_set {
    tag_t edge_x_face_min_tag;  /* 0: (hmin, vmin) to (hmax, vmin), lying in the fixed plane */
    tag_t edge_x_face_max_tag;  /* 1: (hmin, vmax) to (hmax, vmax), in the fixed plane */
    tag_t edge_x_full_min_tag;  /* 2: (hmin, vmin) to (hmax, vmin), at any depth */
    tag_t edge_x_full_max_tag;  /* 3: (hmin, vmax) to (hmax, vmax), at any depth */
    tag_t edge_x_one_min_tag;   /* 4: both vertices at vmin, different h: the longest */
    tag_t edge_x_one_max_tag;   /* 5: the same at vmax */
    tag_t edge_x_touch_min_tag; /* 6: two vertices, one at vmin, differing in h or v */
    tag_t edge_x_touch_max_tag; /* 7: the same with a vertex at vmax */
    tag_t edge_y_face_min_tag;  /* 8: (hmin, vmin) to (hmin, vmax), in the fixed plane */
    tag_t edge_y_face_max_tag;  /* 9: (hmax, vmin) to (hmax, vmax), in the fixed plane */
    tag_t edge_y_full_min_tag;  /* 10: (hmin, vmin) to (hmin, vmax), at any depth */
    tag_t edge_y_full_max_tag;  /* 11: (hmax, vmin) to (hmax, vmax), at any depth */
    tag_t edge_y_one_min_tag;   /* 12: both vertices at hmin, different v: the longest */
    tag_t edge_y_one_max_tag;   /* 13: the same at hmax */
    tag_t edge_y_touch_min_tag; /* 14: two vertices, one at hmin, differing in h or v */
    tag_t edge_y_touch_max_tag; /* 15: the same with a vertex at hmax */
} box_edge_set;

// The mould-core members scan the solid bodies of the core layer and compute the box themselves: plane XY with the
// fixed plane at Z minimum, plane XZ with Y maximum, plane YZ with X minimum. 1 on success, 0 after a message; the
// record is written only on success.
int scan_core_edges_xy(int mr_layer, box_edge_set* record);
int scan_core_edges_xz(int mr_layer, box_edge_set* record);
int scan_core_edges_yz(int mr_layer, box_edge_set* record);

// The electrode members scan the given bodies within the given box.
int scan_body_edges_xy(const tag_t* bodies, int body_count, const double box_min[3], const double box_max[3],
                       box_edge_set* record);
int scan_body_edges_yz(const tag_t* bodies, int body_count, const double box_min[3], const double box_max[3],
                       box_edge_set* record);
int scan_body_edges_xz(const tag_t* bodies, int body_count, const double box_min[3], const double box_max[3],
                       box_edge_set* record);

// A slot by its number (0 to 15), in the order above.
tag_t box_edge_slot(const box_edge_set* record, int slot);

#endif
