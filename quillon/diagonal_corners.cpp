#include "quillon/diagonal_corners.h"

#include "my_func/elec_record.h"
#include "my_func/numeric_text.h"

namespace {

/* The depth face's two axes across the burn axis. */
void face_axes(int direction, int *a, int *b) {
    const int side = direction < 0 ? -direction : direction;
    *a = side == 3 ? 1 : 0;
    *b = side == 1 ? 1 : 2;
}

}  // namespace

void diagonal_corners(int direction, const double lo[3], const double hi[3], int quarter_turned, double from[3],
                      double to[3]) {
    int a = 0, b = 0;
    face_axes(direction, &a, &b);
    // Turning the frame to face the bottom, the back or the side at max x mirrors one of the face's axes: the line
    // starts at the upper left corner then. A quarter turn (anticlockwise in the face's axes) takes the start along.
    const int mirrored = direction == ELEC_DIR_NEG_T || direction == ELEC_DIR_NEG_F || direction == ELEC_DIR_S;
    int start_a = -1, start_b = mirrored ? 1 : -1;
    if (quarter_turned) {
        const int turned_a = -start_b;
        start_b = start_a;
        start_a = turned_a;
    }
    for (int k = 0; k < 3; ++k) from[k] = lo[k], to[k] = hi[k];
    from[a] = start_a < 0 ? lo[a] : hi[a];
    to[a] = start_a < 0 ? hi[a] : lo[a];
    from[b] = start_b < 0 ? lo[b] : hi[b];
    to[b] = start_b < 0 ? hi[b] : lo[b];
}

int quarter_turned_box(int direction, const double lo[3], const double hi[3], const double first_lo[3],
                       const double first_hi[3]) {
    int a = 0, b = 0;
    face_axes(direction, &a, &b);
    const double width = hi[a] - lo[a], height = hi[b] - lo[b];
    const double first_width = first_hi[a] - first_lo[a], first_height = first_hi[b] - first_lo[b];
    return within_tolerance(width, first_height, 0.001) && within_tolerance(height, first_width, 0.001) &&
           !within_tolerance(width, height, 0.001);
}
