/* Axis-aligned extents of faces and solid bodies, built from what the topology gives exactly: edge vertices, points
 * of closed edges and, for curved faces, their isocline curves. Boxes are unrounded; callers round as they compare.
 *
 * Each routine returns 1 and writes min and max, or shows one message and returns 0 leaving them unwritten. */
#ifndef MY_FUNC_EXTENTS_H
#define MY_FUNC_EXTENTS_H

#include "host/uf_types.h"

/* Edge vertices; closed edges without vertex by their points at 0.02 mm chordal tolerance. Exact for straight edges. */
int MY_face_box_edge(tag_t face, double min[3], double max[3]);
int MY_solid_box_edge(tag_t body, double min[3], double max[3]);

/* Edge vertices, closed edges by their own box, widened by the isocline curves of curved faces along x, y and z. */
int MY_face_box_iso(tag_t face, double min[3], double max[3]);
int MY_solid_box_iso(tag_t body, double min[3], double max[3]);

#endif
