/* Where an electrode's diagonal line runs across its depth face, for a body modelled without one: between the two
 * corners of the face's box that the designs of this shop join. */
#ifndef QUILLON_DIAGONAL_CORNERS_H
#define QUILLON_DIAGONAL_CORNERS_H

/* lo and hi: the depth face's box. In the base's own frame (back face up, the frame turned about x to face the front,
 * back and bottom, about y to face the sides) the line runs from the lower left corner to the upper right one. A copy
 * turned a quarter turn about its burn axis against the layer's first body (quarter_turned) has its line turned with
 * it. from and to get the corners. */
void diagonal_corners(int direction, const double lo[3], const double hi[3], int quarter_turned, double from[3],
                      double to[3]);

/* Whether the depth face's box (lo, hi) is that of first's turned a quarter turn about the burn axis: the two
 * extents across the axis swapped, and different. */
int quarter_turned_box(int direction, const double lo[3], const double hi[3], const double first_lo[3],
                       const double first_hi[3]);

#endif
