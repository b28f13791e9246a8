/* How a copy of an electrode is turned about its burn axis against the first copy of its layer, and the burn axis
 * itself: the setup data a shop keys in besides the EDM point. */
#ifndef QUILLON_COPY_ROTATION_H
#define QUILLON_COPY_ROTATION_H

#include "my_func/elec_record.h"

/* The unit vector of the burn axis pointing to the side the base faces (the side the core's top view looks from),
 * for a direction code; 0 for a code outside the six. */
int burn_axis(int elec_direction, double axis[3]);

/* The turn, in degrees from 0 to below 360 and anticlockwise seen from the base's side, that brings the first copy's
 * body onto the copy's (their vertices matched to 0.02 mm about each body's vertex centroid); the smallest such turn
 * when the body looks alike in several. 1 and the angle, or 0 when the two burn in different directions or no turn
 * matches them. */
int copy_rotation(const elec_data *first, const elec_data *copy, double *degrees);

/* The same on the bodies' vertex lists (3 doubles each), about axis: the matching turn without host calls. */
int rotation_between(const double *first, int first_count, const double *copy, int copy_count, const double axis[3],
                     double *degrees);

#endif
