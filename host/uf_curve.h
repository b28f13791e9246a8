/* Free curves and points: lines, circles and arcs, points. */
#ifndef HOST_UF_CURVE_H
#define HOST_UF_CURVE_H

#include "host/uf_types.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct UF_CURVE_line_s {
    double start_point[3];
    double end_point[3];
} UF_CURVE_line_t;

/* A circle or arc in absolute coordinates. It runs anticlockwise about x_axis cross y_axis from start_angle to
 * end_angle (radians, measured from x_axis); a full circle runs from 0 to 2 pi. */
typedef struct UF_CURVE_arc_s {
    double arc_center[3];
    double radius;
    double start_angle;
    double end_angle;
    double x_axis[3];
    double y_axis[3];
} UF_CURVE_arc_t;

int UF_CURVE_ask_line_data(tag_t line, UF_CURVE_line_t *data);
int UF_CURVE_ask_arc_data(tag_t arc, UF_CURVE_arc_t *data);
int UF_CURVE_ask_point_data(tag_t point, double coordinates[3]);

/* New curves and points go on the work layer, not blanked, solid font. */
int UF_CURVE_create_point(const double coordinates[3], tag_t *point);
int UF_CURVE_create_line(const UF_CURVE_line_t *data, tag_t *line);
int UF_CURVE_create_arc(const UF_CURVE_arc_t *data, tag_t *arc);

#ifdef __cplusplus
}
#endif

#endif
